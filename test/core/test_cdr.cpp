// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The record-driven CDR codec: the bytes ROS 2 Foxy's Cyclone DDS layer puts
// on the wire, values that come back as they went, and hostile bytes that are
// refused without reading or writing outside the sample. (Its bytes are also
// compared with Cyclone's own serializer in the service tests.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"

#include "support/described_interface.hpp"
#include "support/yaml_document.hpp"
#include "typesupport_core/cdr.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/type_support_library.hpp"
#include "typesupport_core/yaml_reader.hpp"

namespace
{

using namespace typesupport_core;
using Bytes = std::vector<unsigned char>;

using test_support::described;

const MessageType & request_type()
{
  return *described(ZORV_TYPESUPPORT_LIBRARY_PATH, "zorv_interfaces/srv/StringCommand").service->request;
}

const MessageType & everything_type()
{
  return *described(INSPECTOR_FIXTURE_LIBRARY_PATH, "fixture_pkg/msg/Everything").message;
}

Bytes bytes_of(const std::string & text)
{
  return Bytes(text.begin(), text.end());
}

Bytes concat(std::initializer_list<Bytes> parts)
{
  Bytes all;
  for (const Bytes & part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// Expects decoding `bytes` to fail with an Error mentioning `part`.
void expect_refused(const CdrCodec & codec, const Bytes & bytes, bool header, const std::string & part)
{
  Message message(codec.type());
  RequestHeader request_header;
  try {
    codec.deserialize(bytes.data(), bytes.size(), message.data(), header ? &request_header : nullptr);
    ADD_FAILURE() << "accepted; expected an error mentioning '" << part << "'";
  } catch (const Error & error) {
    EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
  }
}

std::string command_of(const Message & message)
{
  const auto * text = static_cast<const rosidl_runtime_c__String *>(message.data());
  return std::string(text->data, text->size);
}

// The bytes Foxy's own serializer gives for this request (with guid
// 0x0102030405060708 and seq 1), and for the message alone on a plain topic.
const Bytes kFoxyRequest = concat({{0x00, 0x01, 0x00, 0x00},
    {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}, {0x01, 0, 0, 0, 0, 0, 0, 0},
    {0x0d, 0, 0, 0}, bytes_of("go to dock 7"), {0x00}, {0, 0, 0}});
const Bytes kFoxyPlain = concat({{0x00, 0x01, 0x00, 0x00}, {0x0d, 0, 0, 0},
    bytes_of("go to dock 7"), {0x00}, {0, 0, 0}});

TEST(Cdr, WritesAndReadsTheBytesOfFoxysSerializer)
{
  const CdrCodec codec(request_type());
  Message request(request_type());
  assign_path(request_type(), request.data(), "command", "go to dock 7");
  const RequestHeader header{0x0102030405060708u, 1};
  EXPECT_EQ(codec.serialize(request.data(), &header), kFoxyRequest);
  EXPECT_EQ(codec.serialize(request.data(), nullptr), kFoxyPlain);
  EXPECT_EQ(codec.serialized_size(request.data(), true), 40u);

  Message read(request_type());
  RequestHeader read_header;
  codec.deserialize(kFoxyRequest.data(), kFoxyRequest.size(), read.data(), &read_header);
  EXPECT_EQ(command_of(read), "go to dock 7");
  EXPECT_EQ(read_header.guid, header.guid);
  EXPECT_EQ(read_header.seq, header.seq);
  codec.deserialize(kFoxyPlain.data(), kFoxyPlain.size(), read.data(), nullptr);
  EXPECT_EQ(command_of(read), "go to dock 7");

  // The same sample from a big-endian writer.
  const Bytes big_endian = concat({{0x00, 0x00, 0x00, 0x00},
      {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}, {0, 0, 0, 0, 0, 0, 0, 0x02},
      {0, 0, 0, 0x03}, bytes_of("up"), {0x00}, {0}});
  codec.deserialize(big_endian.data(), big_endian.size(), read.data(), &read_header);
  EXPECT_EQ(command_of(read), "up");
  EXPECT_EQ(read_header.guid, header.guid);
  EXPECT_EQ(read_header.seq, 2);
}

// Every kind of field through the codec and back, compared as YAML.
TEST(Cdr, EveryKindOfFieldComesBackAsItWent)
{
  const CdrCodec codec(everything_type());
  Message sent(everything_type());
  // The long double stays within a double's range and precision: under
  // valgrind, which runs this too, x87 arithmetic has a double's.
  assign_yaml(everything_type(), sent.data(), parse_yaml(
      "{flag: true, byte_value: 255, char_value: -5, ratio: 0.1, precise: -2.5e-3, small: -128,"
      " small_unsigned: 200, medium: -32768, medium_unsigned: 65535, large: -7,"
      " large_unsigned: 4294967295, huge: -9223372036854775808,"
      " huge_unsigned: 18446744073709551615, name: 'hello: world', code: '12345678',"
      " wide: \"w\\u00efde \\U0001F600\", extended: -1.25e+300, triple: [4, 5, 6],"
      " readings: [1e20, .inf, -0.0], counts: [1, 2, 3], tags: [x, ''], inner: {x: 7, label: deep},"
      " inners: [{x: 1}, {label: two}, {}]}", "VALUES"));
  const Bytes wire = codec.serialize(sent.data(), nullptr);
  EXPECT_EQ(wire.size() % 4, 0u);

  Message received(everything_type());
  codec.deserialize(wire.data(), wire.size(), received.data(), nullptr);
  EXPECT_EQ(message_yaml(everything_type(), received.data()),
    message_yaml(everything_type(), sent.data()));
  // Decoding again into the same message overwrites every field.
  codec.deserialize(wire.data(), wire.size(), received.data(), nullptr);
  EXPECT_EQ(message_yaml(everything_type(), received.data()),
    message_yaml(everything_type(), sent.data()));
}

TEST(Cdr, ValuesTheWireMayNotCarryAreRefusedWhenWriting)
{
  const CdrCodec codec(everything_type());
  Message message(everything_type());
  auto * code = static_cast<rosidl_runtime_c__String *>(
    field_memory(message.data(), everything_type().fields[14]));
  ASSERT_EQ(everything_type().fields[14].name, "code");
  // Past the bound, as a caller writing memory directly can make it.
  ASSERT_TRUE(rosidl_runtime_c__String__assign(code, "123456789"));
  try {
    codec.serialize(message.data(), nullptr);
    ADD_FAILURE() << "a string past its bound was written";
  } catch (const Error & error) {
    EXPECT_NE(std::string(error.what()).find("9 bytes exceed the bound of 8 (field 'code')"),
      std::string::npos) << error.what();
  }
}

TEST(Cdr, HostileBytesAreRefusedWithoutReadingOrWritingOutsideTheSample)
{
  const CdrCodec codec(request_type());
  // Every prefix of a valid sample is truncated (the last 3 are padding).
  for (std::size_t size = 0; size + 3 < kFoxyRequest.size(); ++size) {
    SCOPED_TRACE(size);
    const Bytes prefix(kFoxyRequest.begin(), kFoxyRequest.begin() + size);
    Message message(request_type());
    RequestHeader header;
    EXPECT_THROW(codec.deserialize(prefix.data(), prefix.size(), message.data(), &header), Error);
  }
  Bytes huge_length = kFoxyRequest;
  huge_length[20] = huge_length[21] = huge_length[22] = huge_length[23] = 0xff;
  expect_refused(codec, huge_length, true, "a string of 4294967295 bytes, 16 left");
  Bytes no_nul = kFoxyRequest;
  no_nul[36] = '!';
  expect_refused(codec, no_nul, true, "a string without its NUL (field 'command') at byte 20");
  Bytes inner_nul = kFoxyRequest;
  inner_nul[26] = 0;
  expect_refused(codec, inner_nul, true, "a string with a NUL inside it");
  for (const auto & encapsulation : {Bytes{0x00, 0x07}, Bytes{0x01, 0x01}, Bytes{0x00, 0x02}}) {
    Bytes wrong = kFoxyRequest;
    wrong[0] = encapsulation[0];
    wrong[1] = encapsulation[1];
    expect_refused(codec, wrong, true, "unknown encapsulation");
  }
  expect_refused(codec, concat({kFoxyRequest, {0, 0, 0, 0}}), true, "7 bytes after the message (at most 3 may pad it) at byte 37");

  const CdrCodec everything(everything_type());
  Message message(everything_type());
  Bytes wire = everything.serialize(message.data(), nullptr);
  wire[4] = 2;  // flag
  expect_refused(everything, wire, false, "a bool of value 2 (field 'flag')");

  // Counts that claim more elements than the bytes could hold are refused
  // before anything is allocated for them.
  assign_yaml(everything_type(), message.data(), parse_yaml("{inners: [{x: 5}]}", "VALUES"));
  wire = everything.serialize(message.data(), nullptr);
  const Bytes one_inner = {0x01, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
  const auto at = std::search(wire.begin(), wire.end(), one_inner.begin(), one_inner.end());
  ASSERT_NE(at, wire.end());
  for (const unsigned char count : {0xff, 0x7f}) {
    Bytes claimed = wire;
    claimed[at - wire.begin() + 3] = count;
    expect_refused(everything, claimed, false, "elements cannot fit in the");
  }
  Bytes bounded = everything.serialize(message.data(), nullptr);
  const Bytes two_readings = {0x02, 0x00, 0x00, 0x00};
  const auto readings = std::search(bounded.begin() + 60, bounded.end(), two_readings.begin(),
      two_readings.end());
  ASSERT_NE(readings, bounded.end());
  *readings = 5;
  expect_refused(everything, bounded, false, "5 elements exceed the bound of 4 (field 'readings')");
}

}  // namespace
