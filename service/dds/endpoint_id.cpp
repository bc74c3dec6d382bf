// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/endpoint_id.hpp"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace typesupport_dds
{
namespace
{

std::atomic<std::uint32_t> endpoint_counter{0};

}  // namespace

EndpointId next_endpoint_id(const std::array<unsigned char, 12> & guid_prefix)
{
  const std::uint32_t counter = endpoint_counter.fetch_add(1);
  EndpointId id{};
  std::copy(guid_prefix.begin(), guid_prefix.end(), id.begin());
  id[12] = static_cast<unsigned char>(counter >> 24);
  id[13] = static_cast<unsigned char>(counter >> 16);
  id[14] = static_cast<unsigned char>(counter >> 8);
  id[15] = static_cast<unsigned char>(counter);
  return id;
}

std::string format_endpoint_id(const EndpointId & id)
{
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < id.size(); ++i) {
    std::snprintf(byte, sizeof(byte), i == 0 ? "%2x" : ".%x", static_cast<unsigned>(id[i]));
    text += byte;
  }
  return text;
}

std::string endpoint_user_data(const std::string & key, const EndpointId & id)
{
  return key + "=" + format_endpoint_id(id) + ";";
}

bool user_data_value(
  const void * data, std::size_t size, const std::string & key, std::string & value)
{
  if (data == nullptr) {
    return false;
  }
  const auto * bytes = static_cast<const char *>(data);
  const std::string text(bytes, std::find(bytes, bytes + size, '\0'));
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find(';', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    const std::string::size_type equals = text.find('=', start);
    if (equals != std::string::npos && equals < end &&
      text.compare(start, equals - start, key) == 0)
    {
      value = text.substr(equals + 1, end - equals - 1);
      return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace typesupport_dds
