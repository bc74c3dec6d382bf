// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__SERVICE_HEADER_HPP_
#define SERVICE__DDS__SERVICE_HEADER_HPP_

#include <cstddef>
#include <cstdint>
#include <string>

namespace typesupport_dds
{

/// The header every request and reply starts with, after the encapsulation.
struct ServiceHeader
{
  std::uint64_t guid = 0;  ///< the client's request writer instance handle
  std::int64_t seq = 0;  ///< the client's sequence number of the call
};

/// Reads the header of a serialized request or reply: 4 bytes of
/// encapsulation (classic CDR, big- or little-endian), then guid and seq in
/// that byte order, unpadded. Lets a client skip replies meant for others
/// without decoding them. Returns an empty string or a one-line reason.
std::string read_service_header(
  const unsigned char * bytes, std::size_t size, ServiceHeader & header);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__SERVICE_HEADER_HPP_
