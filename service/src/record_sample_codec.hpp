// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__SRC__RECORD_SAMPLE_CODEC_HPP_
#define SERVICE__SRC__RECORD_SAMPLE_CODEC_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "service/dds/sample_codec.hpp"
#include "typesupport_core/cdr.hpp"
#include "typesupport_core/message_type.hpp"

namespace typesupport_service
{

/// The samples of one of a service's messages, (de)serialized by the
/// record-driven CDR codec with the request header in front.
class RecordSampleCodec : public typesupport_dds::SampleCodec
{
public:
  explicit RecordSampleCodec(const typesupport_core::MessageType & type);

  /// `sample` is a typesupport_dds::ServiceSample.
  std::string serialize(const void * sample, std::vector<unsigned char> & out) const override;
  /// `sample` is a typesupport_dds::ServiceSample with initialised message memory.
  std::string deserialize(const unsigned char * bytes, std::size_t size, void * sample) const override;

private:
  typesupport_core::CdrCodec codec_;
};

}  // namespace typesupport_service

#endif  // SERVICE__SRC__RECORD_SAMPLE_CODEC_HPP_
