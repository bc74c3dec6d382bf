// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Writes samples given as hex on a topic of the binding's sertype, without
// any codec: how a test puts malformed bytes on the wire from a process of
// their own. Waits for a reader first and for its acknowledgements after.
//
// raw_sample_writer TOPIC TYPE HEX [HEX...]

#include <cstdio>
#include <string>
#include <vector>

#include "dds/dds.h"

#include "service/dds/codec_topic.hpp"
#include "service/dds/dds_error.hpp"
#include "service/dds/entity_setup.hpp"
#include "service/dds/owned_entity.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/raw_sample.hpp"
#include "support/string_codec.hpp"

namespace
{

bool parse_hex(const std::string & text, std::vector<unsigned char> & bytes)
{
  bytes.clear();
  std::string digits;
  for (char c : text) {
    if (c != ' ') {
      digits += c;
    }
  }
  if (digits.size() % 2 != 0) {
    return false;
  }
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(digits.c_str() + i, "%2x", &value) != 1) {
      return false;
    }
    bytes.push_back(static_cast<unsigned char>(value));
  }
  return true;
}

int run(int argc, char ** argv)
{
  using namespace typesupport_dds;
  DomainSettings settings;
  const std::string error = read_ros_environment(settings);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const service_test::RefusingCodec codec;
  Participant participant(settings);
  CodecTopic topic(participant.entity(), argv[1], argv[2], codec);
  OwnedEntity writer("raw writer", make_service_writer(participant, topic, ""));
  const dds_time_t deadline = dds_time() + DDS_SECS(10);
  dds_publication_matched_status_t matched{};
  while (dds_get_publication_matched_status(writer.get(), &matched) == DDS_RETCODE_OK &&
    matched.current_count == 0 && dds_time() < deadline)
  {
    dds_sleepfor(DDS_MSECS(10));
  }
  if (matched.current_count == 0) {
    std::fprintf(stderr, "no reader on %s\n", argv[1]);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    std::vector<unsigned char> bytes;
    if (!parse_hex(argv[i], bytes)) {
      std::fprintf(stderr, "not hex: %s\n", argv[i]);
      return 1;
    }
    const std::string failed = write_raw(topic, writer.get(), bytes);
    if (!failed.empty()) {
      std::fprintf(stderr, "%s\n", failed.c_str());
      return 1;
    }
  }
  const dds_return_t rc = dds_wait_for_acks(writer.get(), DDS_SECS(10));
  if (rc != DDS_RETCODE_OK) {
    std::fprintf(stderr, "%s\n", retcode_message("samples not acknowledged", rc).c_str());
    return 1;
  }
  std::printf("sent %d\n", argc - 3);
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 4) {
    std::fprintf(stderr, "usage: raw_sample_writer TOPIC TYPE HEX [HEX...]\n");
    return 2;
  }
  try {
    return run(argc, argv);
  } catch (const typesupport_dds::DdsError & e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
