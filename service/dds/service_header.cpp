// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/service_header.hpp"

#include <cstdint>
#include <string>

namespace typesupport_dds
{
namespace
{

constexpr std::size_t kEncapsulationSize = 4;
constexpr std::size_t kHeaderSize = 16;

std::uint64_t read_u64(const unsigned char * bytes, bool little_endian)
{
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) {
    const unsigned char byte = little_endian ? bytes[7 - i] : bytes[i];
    value = (value << 8) | byte;
  }
  return value;
}

}  // namespace

std::string read_service_header(
  const unsigned char * bytes, std::size_t size, ServiceHeader & header)
{
  if (bytes == nullptr || size < kEncapsulationSize + kHeaderSize) {
    return "sample of " + std::to_string(size) + " bytes is shorter than a service header";
  }
  if (bytes[0] != 0 || bytes[1] > 1) {
    return "unsupported encapsulation " + std::to_string(bytes[0]) + "," +
           std::to_string(bytes[1]) + " (classic CDR expected)";
  }
  const bool little_endian = bytes[1] == 1;
  header.guid = read_u64(bytes + kEncapsulationSize, little_endian);
  header.seq = static_cast<std::int64_t>(read_u64(bytes + kEncapsulationSize + 8, little_endian));
  return {};
}

}  // namespace typesupport_dds
