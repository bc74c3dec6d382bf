// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__SAMPLE_CODEC_HPP_
#define SERVICE__DDS__SAMPLE_CODEC_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace typesupport_dds
{

/// What travels on a service's request or reply topic: the header that
/// matches a reply to its call, and the message itself, in memory laid out as
/// the message's records describe (owned by whoever made the sample).
struct ServiceSample
{
  std::uint64_t guid = 0;  ///< the client's request writer instance handle
  std::int64_t seq = 0;  ///< the client's sequence number of the call
  void * message = nullptr;  ///< initialised message memory
};

/// Turns the samples of one DDS type into serialized bytes and back. The DDS
/// binding calls it from its sertype; it knows nothing of the message type.
class SampleCodec
{
public:
  virtual ~SampleCodec() = default;

  /// Replaces `out` with the whole serialized sample: the 4-byte encapsulation
  /// header, the fields, zero padding to a multiple of 4. Returns an empty
  /// string on success, otherwise a one-line reason (nothing is sent).
  virtual std::string serialize(const void * sample, std::vector<unsigned char> & out) const = 0;

  /// Reads a whole serialized sample of `size` bytes into `sample`, whose
  /// message memory is already initialised. Returns an empty string on
  /// success, otherwise a one-line reason; the sample may then hold part of
  /// the values but stays safe to finalise. Never reads outside the bytes.
  virtual std::string deserialize(
    const unsigned char * bytes, std::size_t size, void * sample) const = 0;
};

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__SAMPLE_CODEC_HPP_
