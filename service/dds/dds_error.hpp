// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__DDS_ERROR_HPP_
#define SERVICE__DDS__DDS_ERROR_HPP_

#include <stdexcept>
#include <string>

#include "dds/dds.h"

namespace typesupport_dds
{

/// A participant, topic, reader or writer could not be set up. The message is
/// one line, ready to print.
class DdsError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// "what: <Cyclone's name for rc>", one line.
std::string retcode_message(const std::string & what, dds_return_t rc);

/// Throws a DdsError with retcode_message(what, rc).
[[noreturn]] void throw_retcode(const std::string & what, dds_return_t rc);

/// Returns `entity` if it is a valid handle, else throws a DdsError saying
/// what could not be created and why.
dds_entity_t checked_entity(const std::string & what, dds_entity_t entity);

/// Replaces line breaks and other control characters with spaces, so that a
/// reason taken from a peer's bytes or a codec stays on one line.
std::string one_line(std::string text);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__DDS_ERROR_HPP_
