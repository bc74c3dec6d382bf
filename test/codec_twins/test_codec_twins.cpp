// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The record-driven codec against Cyclone DDS's own serializer (dds_stream_*,
// driven by idlc's description of IDL twins): for the same values the same
// bytes, and each reads what the other writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "dds/dds.h"
#include "dds/ddsi/ddsi_cdrstream.h"
#include "fixture_twins.h"
#include "wire_values.hpp"
#include "string_command.h"

#include "support/described_interface.hpp"
#include "typesupport_core/cdr.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/type_support_library.hpp"
#include "typesupport_core/yaml_reader.hpp"

namespace
{

using namespace typesupport_core;
using Bytes = std::vector<unsigned char>;

// Classic CDR, as Foxy's layer writes.
constexpr std::uint32_t kXcdr1 = 1;

using test_support::described;

const ServiceType & string_command()
{
  return *described(ZORV_TYPESUPPORT_LIBRARY_PATH, "zorv_interfaces/srv/StringCommand").service;
}

const MessageType & wire()
{
  return *described(INSPECTOR_FIXTURE_LIBRARY_PATH, "fixture_pkg/msg/Wire").message;
}

// Cyclone's bytes for `twin`: the stream after the encapsulation header.
Bytes cyclone_write(const void * twin, const dds_topic_descriptor_t & descriptor)
{
  dds_ostream_t stream;
  dds_ostream_init(&stream, 0, kXcdr1);
  dds_stream_write(&stream, static_cast<const char *>(twin), descriptor.m_ops);
  Bytes bytes(stream.m_buffer, stream.m_buffer + stream.m_index);
  dds_ostream_fini(&stream);
  return bytes;
}

// Reads our sample with Cyclone's reader into `twin` (zeroed by the caller),
// then writes it again with Cyclone's writer.
Bytes cyclone_read_and_write(const Bytes & ours, const dds_topic_descriptor_t & descriptor)
{
  std::vector<unsigned char> twin(descriptor.m_size, 0);
  dds_istream_t stream;
  dds_istream_init(&stream, static_cast<std::uint32_t>(ours.size() - 4), ours.data() + 4, kXcdr1);
  dds_stream_read(&stream, reinterpret_cast<char *>(twin.data()), descriptor.m_ops);
  dds_istream_fini(&stream);
  Bytes again = cyclone_write(twin.data(), descriptor);
  dds_stream_free_sample(twin.data(), descriptor.m_ops);
  return again;
}

// Our whole sample holds Cyclone's stream after Foxy's encapsulation header,
// then zero padding to a multiple of 4.
void expect_same_bytes(const Bytes & ours, const Bytes & cyclones)
{
  ASSERT_GE(ours.size(), 4 + cyclones.size());
  EXPECT_EQ(Bytes(ours.begin(), ours.begin() + 4), (Bytes{0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(Bytes(ours.begin() + 4, ours.begin() + 4 + static_cast<long>(cyclones.size())), cyclones);
  EXPECT_EQ(ours.size(), (4 + cyclones.size() + 3) / 4 * 4);
  for (std::size_t i = 4 + cyclones.size(); i < ours.size(); ++i) {
    EXPECT_EQ(ours[i], 0) << "padding byte " << i;
  }
}

// Cyclone's stream as a whole sample, as a Cyclone writer sends it.
Bytes as_sample(const Bytes & cyclones)
{
  Bytes sample((4 + cyclones.size() + 3) / 4 * 4, 0);
  sample[1] = 0x01;
  std::copy(cyclones.begin(), cyclones.end(), sample.begin() + 4);
  return sample;
}

TEST(CodecTwins, StringCommandRequestsAndRepliesAreCyclonesBytesBothWays)
{
  const std::vector<std::string> texts = {"", "x", "go to dock 7", "it's \"quoted\": {a: [b]}",
    "\xc3\xa9t\xc3\xa9 \xe2\x80\xa8 \xf0\x9f\x98\x80", std::string(65536, 'k'), std::string(3, 'z')};
  const std::vector<std::pair<std::uint64_t, std::int64_t>> headers = {
    {0x0102030405060708u, 1}, {0xfedcba9876543210u, -2},
    {0, std::numeric_limits<std::int64_t>::max()}};
  const ServiceType & service = string_command();
  const CdrCodec request_codec(*service.request);
  const CdrCodec response_codec(*service.response);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string & text = texts[i];
    SCOPED_TRACE(text.substr(0, 40));
    const RequestHeader header{headers[i % headers.size()].first, headers[i % headers.size()].second};
    for (const bool request : {true, false}) {
      const CdrCodec & codec = request ? request_codec : response_codec;
      Message ours(codec.type());
      assign_path(codec.type(), ours.data(), request ? "command" : "answer", text);
      const Bytes our_bytes = codec.serialize(ours.data(), &header);

      Bytes cyclones;
      if (request) {
        zorv_interfaces_srv_dds__StringCommand_Request_ twin{
          header.guid, header.seq, const_cast<char *>(text.c_str())};
        cyclones = cyclone_write(&twin, zorv_interfaces_srv_dds__StringCommand_Request__desc);
      } else {
        zorv_interfaces_srv_dds__StringCommand_Response_ twin{
          header.guid, header.seq, const_cast<char *>(text.c_str())};
        cyclones = cyclone_write(&twin, zorv_interfaces_srv_dds__StringCommand_Response__desc);
      }
      expect_same_bytes(our_bytes, cyclones);

      // Each reads what the other wrote.
      Message read(codec.type());
      RequestHeader read_header;
      const Bytes sample = as_sample(cyclones);
      codec.deserialize(sample.data(), sample.size(), read.data(), &read_header);
      EXPECT_EQ(read_header.guid, header.guid);
      EXPECT_EQ(read_header.seq, header.seq);
      EXPECT_EQ(message_yaml(codec.type(), read.data()), message_yaml(codec.type(), ours.data()));
      EXPECT_EQ(cyclone_read_and_write(our_bytes, request ?
        zorv_interfaces_srv_dds__StringCommand_Request__desc :
        zorv_interfaces_srv_dds__StringCommand_Response__desc), cyclones);
    }
  }
}

// One set of values of the twin, written in both forms.
struct WireValues
{
  const char * name;
  const char * yaml;  // for our message (after its init_function)
  void (* fill)(fixture_pkg_msg_dds__Wire_ & twin);  // the same values in the twin
};

// Values the fixture's init_function gives.
void fill_initial(fixture_pkg_msg_dds__Wire_ & twin)
{
  static double readings[] = {0.5, -1.25};
  static fixture_pkg_msg_dds__Inner_ inners[] = {{10, const_cast<char *>(""), 0},
    {20, const_cast<char *>("second"), 0}};
  twin.name = const_cast<char *>("");
  twin.triple[0] = 1;
  twin.triple[1] = -2;
  twin.triple[2] = 3;
  twin.readings = {2, 2, readings, false};
  twin.tags[0] = const_cast<char *>("a");
  twin.tags[1] = const_cast<char *>("b c");
  twin.inner.label = const_cast<char *>("");
  twin.inners = {2, 2, inners, false};
}

void fill_empty(fixture_pkg_msg_dds__Wire_ & twin)
{
  twin.name = const_cast<char *>("");
  twin.tags[0] = const_cast<char *>("");
  twin.tags[1] = const_cast<char *>("");
  twin.inner.label = const_cast<char *>("");
  twin.flag = true;  // a lone byte before the float, to move the alignments
}

TEST(CodecTwins, EveryKindOfFieldIsCyclonesBytesBothWays)
{
  const std::vector<WireValues> values = {
    {"initial", "{}", fill_initial},
    {"full", codec_twins::kFullWireValues, codec_twins::fill_full_wire},
    {"empty", "{flag: true, triple: [0, 0, 0], readings: [], counts: [], tags: ['', ''],"
      " inners: []}", fill_empty},
  };
  const CdrCodec codec(wire());
  for (const WireValues & value : values) {
    SCOPED_TRACE(value.name);
    Message ours(wire());
    assign_yaml(wire(), ours.data(), parse_yaml(value.yaml, "values"));
    const Bytes our_bytes = codec.serialize(ours.data(), nullptr);

    fixture_pkg_msg_dds__Wire_ twin{};
    value.fill(twin);
    const Bytes cyclones = cyclone_write(&twin, fixture_pkg_msg_dds__Wire__desc);
    expect_same_bytes(our_bytes, cyclones);

    Message read(wire());
    const Bytes sample = as_sample(cyclones);
    codec.deserialize(sample.data(), sample.size(), read.data(), nullptr);
    EXPECT_EQ(message_yaml(wire(), read.data()), message_yaml(wire(), ours.data()));
    EXPECT_EQ(cyclone_read_and_write(our_bytes, fixture_pkg_msg_dds__Wire__desc), cyclones);
  }
}

}  // namespace
