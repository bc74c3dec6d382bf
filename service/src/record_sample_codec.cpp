// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "record_sample_codec.hpp"

#include "typesupport_core/error.hpp"

namespace typesupport_service
{

RecordSampleCodec::RecordSampleCodec(const typesupport_core::MessageType & type)
: codec_(type)
{
}

std::string RecordSampleCodec::serialize(const void * sample, std::vector<unsigned char> & out) const
{
  const auto & service_sample = *static_cast<const typesupport_dds::ServiceSample *>(sample);
  const typesupport_core::RequestHeader header{service_sample.guid, service_sample.seq};
  try {
    out.resize(codec_.serialized_size(service_sample.message, true));
    codec_.serialize(service_sample.message, &header, out.data(), out.size());
  } catch (const typesupport_core::Error & error) {
    return error.what();
  }
  return "";
}

std::string RecordSampleCodec::deserialize(
  const unsigned char * bytes, std::size_t size, void * sample) const
{
  auto & service_sample = *static_cast<typesupport_dds::ServiceSample *>(sample);
  typesupport_core::RequestHeader header;
  try {
    codec_.deserialize(bytes, size, service_sample.message, &header);
  } catch (const typesupport_core::Error & error) {
    return error.what();
  }
  service_sample.guid = header.guid;
  service_sample.seq = header.seq;
  return "";
}

}  // namespace typesupport_service
