// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TEST__SERVICE__SUPPORT__STRING_CODEC_HPP_
#define TEST__SERVICE__SUPPORT__STRING_CODEC_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "service/dds/sample_codec.hpp"

namespace service_test
{

/// A stand-in codec for StringCommand's request or response: a ServiceSample
/// whose message is a std::string, as the header and one string in classic
/// little-endian CDR. It reads both byte orders and refuses what a strict
/// reader must.
class StringCodec : public typesupport_dds::SampleCodec
{
public:
  /// Serializes a ServiceSample whose message points to a std::string.
  std::string serialize(const void * sample, std::vector<unsigned char> & out) const override;

  /// Reads into a ServiceSample whose message points to a std::string.
  std::string deserialize(
    const unsigned char * bytes, std::size_t size, void * sample) const override;
};

/// A codec that refuses everything: for endpoints that only move raw bytes.
class RefusingCodec : public typesupport_dds::SampleCodec
{
public:
  /// Refuses.
  std::string serialize(const void * sample, std::vector<unsigned char> & out) const override;

  /// Refuses.
  std::string deserialize(
    const unsigned char * bytes, std::size_t size, void * sample) const override;
};

}  // namespace service_test

#endif  // TEST__SERVICE__SUPPORT__STRING_CODEC_HPP_
