// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "support/string_codec.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace service_test
{
namespace
{

using typesupport_dds::ServiceSample;

void put_le(std::vector<unsigned char> & out, std::uint64_t value, int size)
{
  for (int i = 0; i < size; ++i) {
    out.push_back(static_cast<unsigned char>(value >> (8 * i)));
  }
}

std::uint64_t get(const unsigned char * bytes, int size, bool little_endian)
{
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) {
    value = (value << 8) | bytes[little_endian ? size - 1 - i : i];
  }
  return value;
}

}  // namespace

std::string StringCodec::serialize(const void * sample, std::vector<unsigned char> & out) const
{
  const auto * service_sample = static_cast<const ServiceSample *>(sample);
  const auto * text = static_cast<const std::string *>(service_sample->message);
  if (text->find('\0') != std::string::npos) {
    return "the string holds a NUL";
  }
  out = {0x00, 0x01, 0x00, 0x00};
  put_le(out, service_sample->guid, 8);
  put_le(out, static_cast<std::uint64_t>(service_sample->seq), 8);
  put_le(out, text->size() + 1, 4);
  out.insert(out.end(), text->begin(), text->end());
  out.push_back(0);
  while (out.size() % 4 != 0) {
    out.push_back(0);
  }
  return {};
}

std::string StringCodec::deserialize(
  const unsigned char * bytes, std::size_t size, void * sample) const
{
  auto * service_sample = static_cast<ServiceSample *>(sample);
  if (size < 4) {
    return "no encapsulation header in " + std::to_string(size) + " bytes";
  }
  if (bytes[0] != 0 || bytes[1] > 1) {
    return "unsupported encapsulation " + std::to_string(bytes[0]) + "," +
           std::to_string(bytes[1]);
  }
  const bool little_endian = bytes[1] == 1;
  if (size < 24) {
    return "truncated: " + std::to_string(size) + " bytes, header and string length need 24";
  }
  service_sample->guid = get(bytes + 4, 8, little_endian);
  service_sample->seq = static_cast<std::int64_t>(get(bytes + 12, 8, little_endian));
  const std::uint64_t length = get(bytes + 20, 4, little_endian);
  auto * text = static_cast<std::string *>(service_sample->message);
  if (length == 0) {
    text->clear();
    return {};
  }
  if (length > size - 24) {
    return "string length " + std::to_string(length) + " past the end of " +
           std::to_string(size) + " bytes";
  }
  if (bytes[24 + length - 1] != 0) {
    return "string without its NUL";
  }
  text->assign(reinterpret_cast<const char *>(bytes + 24), length - 1);
  return {};
}

std::string RefusingCodec::serialize(const void *, std::vector<unsigned char> &) const
{
  return "this endpoint writes raw bytes only";
}

std::string RefusingCodec::deserialize(const unsigned char *, std::size_t, void *) const
{
  return "this endpoint reads raw bytes only";
}

}  // namespace service_test
