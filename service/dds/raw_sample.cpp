// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/raw_sample.hpp"

#include <string>
#include <utility>
#include <vector>

#include "service/dds/dds_error.hpp"

namespace typesupport_dds
{
namespace
{

// dds_writecdr consumes the caller's reference, written or not.
std::string write_serdata(dds_entity_t writer, ddsi_serdata * serdata)
{
  const dds_return_t rc = dds_writecdr(writer, serdata);
  return rc == DDS_RETCODE_OK ? std::string() : retcode_message("cannot write", rc);
}

}  // namespace

std::string write_raw(
  const CodecTopic & topic, dds_entity_t writer, const std::vector<unsigned char> & bytes)
{
  // Cyclone sends an empty sample as packets every receiver takes for
  // malformed, and then never sees it acknowledged.
  if (bytes.size() < 4) {
    return "a sample of " + std::to_string(bytes.size()) +
           " bytes has no encapsulation header to send";
  }
  ddsi_serdata * serdata = serdata_from_bytes(topic.sertype(), bytes);
  if (serdata == nullptr) {
    return "cannot make a sample of " + std::to_string(bytes.size()) + " bytes";
  }
  return write_serdata(writer, serdata);
}

std::string write_sample(
  const CodecTopic & topic, const SampleCodec & codec, dds_entity_t writer, const void * sample)
{
  std::vector<unsigned char> bytes;
  std::string error = codec.serialize(sample, bytes);
  if (!error.empty()) {
    return one_line(std::move(error));
  }
  ddsi_serdata * serdata = serdata_from_bytes(topic.sertype(), std::move(bytes));
  if (serdata == nullptr) {
    return "cannot make a sample of the serialized bytes";
  }
  return write_serdata(writer, serdata);
}

TakenSample::TakenSample(ddsi_serdata * serdata, const dds_sample_info_t & info)
: serdata_(serdata), info_(info)
{
}

TakenSample::~TakenSample()
{
  if (serdata_ != nullptr) {
    ddsi_serdata_unref(serdata_);
  }
}

TakenSample::TakenSample(TakenSample && other) noexcept
: serdata_(std::exchange(other.serdata_, nullptr)), info_(other.info_)
{
}

TakenSample & TakenSample::operator=(TakenSample && other) noexcept
{
  if (this != &other) {
    if (serdata_ != nullptr) {
      ddsi_serdata_unref(serdata_);
    }
    serdata_ = std::exchange(other.serdata_, nullptr);
    info_ = other.info_;
  }
  return *this;
}

dds_return_t take_samples(
  dds_entity_t reader, std::size_t max_samples, std::vector<TakenSample> & out)
{
  std::vector<ddsi_serdata *> serdata(max_samples, nullptr);
  std::vector<dds_sample_info_t> infos(max_samples);
  out.reserve(out.size() + max_samples);  // no allocation once Cyclone gave references
  const dds_return_t n = dds_takecdr(
    reader, serdata.data(), static_cast<uint32_t>(max_samples), infos.data(), DDS_ANY_STATE);
  for (dds_return_t i = 0; i < n; ++i) {
    out.emplace_back(serdata[static_cast<std::size_t>(i)], infos[static_cast<std::size_t>(i)]);
  }
  return n;
}

}  // namespace typesupport_dds
