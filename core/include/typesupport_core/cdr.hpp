// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__CDR_HPP_
#define TYPESUPPORT_CORE__CDR_HPP_

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "typesupport_core/message_type.hpp"

namespace typesupport_core
{

/// The header a service's requests and replies carry before the message: the
/// client's request writer (guid) and its sequence number of the call.
struct RequestHeader
{
  std::uint64_t guid = 0;
  std::int64_t seq = 0;
};

/// Serializes and deserializes messages of one type as classic CDR (XCDR1)
/// in the form ROS 2 Foxy's Cyclone DDS layer puts them on the wire, driven
/// by the type's records alone:
/// - a 4-byte encapsulation header, 00 01 00 00 (little-endian) when writing;
///   either byte order when reading;
/// - then, for service samples, the 16-byte request header;
/// - fields aligned to min(size, 8) counted from the end of the encapsulation
///   header: strings as a 32-bit length with the NUL, the bytes and the NUL;
///   wstrings as a 32-bit count of UTF-16 units, each in 4 bytes; sequences as
///   a 32-bit count and the elements; fixed arrays as the elements; nested
///   messages in place, a message without fields as one zero byte; long double
///   as its 10 bytes and 6 zero bytes, aligned to 8;
/// - zero padding to a multiple of 4.
/// Bytes are untrusted: every length and count is checked against the bytes
/// that remain (and against the field's bound) before anything is allocated
/// or written, and nothing is read outside the sample.
class CdrCodec
{
public:
  /// The total bytes that sequences may allocate while reading one sample, as
  /// a multiple of the sample's size (plus one MiB): no real message needs
  /// more than a few times its serialized size in memory.
  static constexpr std::size_t kAllocationPerSampleByte = 32;

  explicit CdrCodec(const MessageType & type);

  const MessageType & type() const {return type_;}

  /// The serialized size of the message at `message`, with or without the
  /// request header. Throws Error for a value the wire may not carry: a
  /// string or sequence past its bound or longer than 2^32 - 2, a string
  /// holding a NUL character.
  std::size_t serialized_size(const void * message, bool with_header) const;

  /// Writes the whole sample into `out`, which has exactly serialized_size()
  /// bytes. Throws Error as serialized_size() does.
  void serialize(
    const void * message, const RequestHeader * header, unsigned char * out, std::size_t size) const;

  /// The whole sample as a new buffer.
  std::vector<unsigned char> serialize(const void * message, const RequestHeader * header) const;

  /// Reads a whole sample of `size` bytes into the message at `message`, which
  /// its init_function has initialised; every field is overwritten. With
  /// `header`, the sample carries the request header, which is stored there.
  /// Throws Error naming the fault and the field; the message then holds
  /// part of the values and stays safe to finalise.
  void deserialize(
    const unsigned char * bytes, std::size_t size, void * message, RequestHeader * header) const;

private:
  // The fewest bytes a value of `type` takes on the wire (at least 1), which
  // bounds the element count a sequence of it can claim.
  std::size_t min_wire_size(const MessageType & type);

  const MessageType & type_;
  std::unordered_map<const MessageType *, std::size_t> min_wire_size_;
};

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__CDR_HPP_
