// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__RAW_SAMPLE_HPP_
#define SERVICE__DDS__RAW_SAMPLE_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "dds/dds.h"

#include "service/dds/codec_serdata.hpp"
#include "service/dds/codec_topic.hpp"

namespace typesupport_dds
{

/// Writes `bytes` as they are, as one sample, with `writer` (a writer on
/// `topic`): no codec looks at them, so a test can send any bytes a peer
/// might, as long as they hold at least an encapsulation header (4 bytes).
/// Returns an empty string or a one-line reason.
std::string write_raw(
  const CodecTopic & topic, dds_entity_t writer, const std::vector<unsigned char> & bytes);

/// Serializes `sample` with the topic's codec and writes it with `writer`.
/// Returns an empty string or a one-line reason (the codec's, or Cyclone's).
std::string write_sample(
  const CodecTopic & topic, const SampleCodec & codec, dds_entity_t writer, const void * sample);

/// One sample taken from a reader on a codec topic: its bytes as received
/// and where it came from. Holds a reference to Cyclone's sample.
class TakenSample
{
public:
  /// Takes over one reference to `serdata` (may be null).
  TakenSample(ddsi_serdata * serdata, const dds_sample_info_t & info);
  /// Drops the reference.
  ~TakenSample();
  /// Takes over `other`'s reference.
  TakenSample(TakenSample && other) noexcept;
  /// Drops its reference and takes over `other`'s.
  TakenSample & operator=(TakenSample && other) noexcept;
  /// Not copyable: it holds one reference.
  TakenSample(const TakenSample &) = delete;
  /// Not copyable: it holds one reference.
  TakenSample & operator=(const TakenSample &) = delete;

  /// The bytes, empty for a sample that carries no data (a writer that went
  /// away, say) or that is not of a codec sertype.
  ByteView bytes() const {return serdata_bytes(serdata_);}
  /// Cyclone's sample info: valid_data, publication_handle, ...
  const dds_sample_info_t & info() const {return info_;}

private:
  ddsi_serdata * serdata_;
  dds_sample_info_t info_;
};

/// Takes up to `max_samples` samples from `reader` (or a read condition)
/// into `out` (appended). Returns the number taken or a negative Cyclone
/// return code.
dds_return_t take_samples(
  dds_entity_t reader, std::size_t max_samples, std::vector<TakenSample> & out);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__RAW_SAMPLE_HPP_
