// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__ENDPOINT_ID_HPP_
#define SERVICE__DDS__ENDPOINT_ID_HPP_

#include <array>
#include <cstddef>
#include <string>

namespace typesupport_dds
{

/// What a ROS 2 client or server puts in its endpoints' user data to be
/// recognised: the participant's GUID prefix, then a big-endian counter.
using EndpointId = std::array<unsigned char, 16>;

/// A new id on the participant with GUID prefix `guid_prefix`; the counter
/// is shared by every client and server of the process. Thread-safe.
EndpointId next_endpoint_id(const std::array<unsigned char, 12> & guid_prefix);

/// The id as a ROS node writes it: hex bytes joined by ".", the first one
/// padded with a space to width two, the others unpadded (" 1.10.c2.0...").
std::string format_endpoint_id(const EndpointId & id);

/// "<key>=<formatted id>;", e.g. "clientid= 1.10.c2...;".
std::string endpoint_user_data(const std::string & key, const EndpointId & id);

/// Finds `key` in user data made of "key=value;" pairs (a peer's bytes,
/// read up to a NUL if there is one). Returns whether it is there; its value
/// goes to `value`.
bool user_data_value(
  const void * data, std::size_t size, const std::string & key, std::string & value);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__ENDPOINT_ID_HPP_
