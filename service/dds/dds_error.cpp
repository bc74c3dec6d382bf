// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/dds_error.hpp"

#include <string>

namespace typesupport_dds
{

std::string retcode_message(const std::string & what, dds_return_t rc)
{
  return what + ": " + dds_strretcode(rc);
}

void throw_retcode(const std::string & what, dds_return_t rc)
{
  throw DdsError(retcode_message(what, rc));
}

dds_entity_t checked_entity(const std::string & what, dds_entity_t entity)
{
  if (entity < 0) {
    throw_retcode("cannot create " + what, entity);
  }
  return entity;
}

std::string one_line(std::string text)
{
  for (char & c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      c = ' ';
    }
  }
  return text;
}

}  // namespace typesupport_dds
