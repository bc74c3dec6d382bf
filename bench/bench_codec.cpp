// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The record-driven CDR codec against Cyclone DDS's own serializer of the
// IDL twin, side by side in one run (bench/report.py pairs them up):
//   serialize    a fresh buffer holding the whole sample, each time
//   deserialize  into a message (a twin sample) kept across iterations
// for a StringCommand request with a short and a 64 KiB command, and for the
// fixture's Wire message with every kind of field.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dds/dds.h"
#include "dds/ddsi/ddsi_cdrstream.h"
#include "fixture_twins.h"
#include "string_command.h"
#include "wire_values.hpp"

#include "typesupport_core/cdr.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/type_support_library.hpp"
#include "typesupport_core/yaml_reader.hpp"

namespace
{

using namespace typesupport_core;

constexpr std::uint32_t kXcdr1 = 1;

// One case: our message and codec, and the same values in the idlc twin.
struct Case
{
  std::unique_ptr<TypeSupportLibrary> library;
  std::unique_ptr<Interface> interface;
  std::unique_ptr<CdrCodec> codec;
  std::unique_ptr<Message> message;
  bool with_header = false;
  const dds_topic_descriptor_t * descriptor = nullptr;
  std::vector<unsigned char> twin;  // a sample of the twin type
  std::string text;  // what the twin's strings point at
};

Case request_case(const std::string & command)
{
  Case c;
  c.library = std::make_unique<TypeSupportLibrary>(ZORV_TYPESUPPORT_LIBRARY_PATH);
  c.interface = std::make_unique<Interface>(c.library->describe(
      parse_interface_name("zorv_interfaces/srv/StringCommand"), std::nullopt));
  const MessageType & type = *c.interface->service->request;
  c.codec = std::make_unique<CdrCodec>(type);
  c.message = std::make_unique<Message>(type);
  assign_path(type, c.message->data(), "command", command);
  c.with_header = true;
  c.text = command;
  c.descriptor = &zorv_interfaces_srv_dds__StringCommand_Request__desc;
  c.twin.resize(sizeof(zorv_interfaces_srv_dds__StringCommand_Request_));
  zorv_interfaces_srv_dds__StringCommand_Request_ twin{
    0x0102030405060708u, 1, const_cast<char *>(c.text.c_str())};
  std::memcpy(c.twin.data(), &twin, sizeof(twin));
  return c;
}

Case wire_case()
{
  Case c;
  c.library = std::make_unique<TypeSupportLibrary>(INSPECTOR_FIXTURE_LIBRARY_PATH);
  c.interface = std::make_unique<Interface>(
    c.library->describe(parse_interface_name("fixture_pkg/msg/Wire"), std::nullopt));
  const MessageType & type = *c.interface->message;
  c.codec = std::make_unique<CdrCodec>(type);
  c.message = std::make_unique<Message>(type);
  assign_yaml(type, c.message->data(), parse_yaml(codec_twins::kFullWireValues, "values"));
  c.descriptor = &fixture_pkg_msg_dds__Wire__desc;
  fixture_pkg_msg_dds__Wire_ twin{};
  codec_twins::fill_full_wire(twin);
  c.twin.resize(sizeof(twin));
  std::memcpy(c.twin.data(), &twin, sizeof(twin));
  return c;
}

const Case & the_case(int which)
{
  static const Case cases[] = {request_case("go to dock 7"), request_case(std::string(65536, 'k')),
    wire_case()};
  return cases[which];
}

const char * case_name(int which)
{
  static const char * names[] = {"request", "request_64KiB", "wire"};
  return names[which];
}

void BM_Records_Serialize(benchmark::State & state)
{
  const Case & c = the_case(static_cast<int>(state.range(0)));
  const RequestHeader header{0x0102030405060708u, 1};
  for (auto _ : state) {
    // A buffer of its own each time, as Cyclone's stream allocates one.
    const std::size_t size = c.codec->serialized_size(c.message->data(), c.with_header);
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
    c.codec->serialize(c.message->data(), c.with_header ? &header : nullptr, bytes.get(), size);
    benchmark::DoNotOptimize(bytes.get());
  }
  state.SetLabel(case_name(static_cast<int>(state.range(0))));
}

void BM_Cyclone_Serialize(benchmark::State & state)
{
  const Case & c = the_case(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    dds_ostream_t stream;
    dds_ostream_init(&stream, 0, kXcdr1);
    dds_stream_write(&stream, reinterpret_cast<const char *>(c.twin.data()), c.descriptor->m_ops);
    benchmark::DoNotOptimize(stream.m_buffer);
    dds_ostream_fini(&stream);
  }
  state.SetLabel(case_name(static_cast<int>(state.range(0))));
}

void BM_Records_Deserialize(benchmark::State & state)
{
  const Case & c = the_case(static_cast<int>(state.range(0)));
  const RequestHeader header{0x0102030405060708u, 1};
  const std::vector<unsigned char> bytes =
    c.codec->serialize(c.message->data(), c.with_header ? &header : nullptr);
  Message into(c.codec->type());
  RequestHeader read_header;
  for (auto _ : state) {
    c.codec->deserialize(bytes.data(), bytes.size(), into.data(), c.with_header ? &read_header : nullptr);
    benchmark::ClobberMemory();
  }
  state.SetLabel(case_name(static_cast<int>(state.range(0))));
}

void BM_Cyclone_Deserialize(benchmark::State & state)
{
  const Case & c = the_case(static_cast<int>(state.range(0)));
  dds_ostream_t written;
  dds_ostream_init(&written, 0, kXcdr1);
  dds_stream_write(&written, reinterpret_cast<const char *>(c.twin.data()), c.descriptor->m_ops);
  std::vector<unsigned char> into(c.descriptor->m_size, 0);
  for (auto _ : state) {
    dds_istream_t stream;
    dds_istream_init(&stream, written.m_index, written.m_buffer, kXcdr1);
    dds_stream_read(&stream, reinterpret_cast<char *>(into.data()), c.descriptor->m_ops);
    dds_istream_fini(&stream);
    benchmark::ClobberMemory();
  }
  dds_stream_free_sample(into.data(), c.descriptor->m_ops);
  dds_ostream_fini(&written);
  state.SetLabel(case_name(static_cast<int>(state.range(0))));
}

BENCHMARK(BM_Records_Serialize)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Cyclone_Serialize)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Records_Deserialize)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Cyclone_Deserialize)->Arg(0)->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
