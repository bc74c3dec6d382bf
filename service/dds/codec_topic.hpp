// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__CODEC_TOPIC_HPP_
#define SERVICE__DDS__CODEC_TOPIC_HPP_

#include <string>

#include "dds/dds.h"

#include "service/dds/sample_codec.hpp"

struct ddsi_sertype;

namespace typesupport_dds
{

/// A DDS topic whose samples `codec` serializes. Readers and writers made on
/// it read and write with dds_takecdr / dds_writecdr (see raw_sample.hpp).
class CodecTopic
{
public:
  /// Creates topic `topic_name` of DDS type `type_name` on `participant`.
  /// Throws DdsError. `codec` must outlive the topic and every reader and
  /// writer made on it.
  CodecTopic(
    dds_entity_t participant, const std::string & topic_name, const std::string & type_name,
    const SampleCodec & codec);

  /// Deletes the topic; its readers and writers must be deleted first.
  ~CodecTopic();

  /// Not copyable: it owns the topic.
  CodecTopic(const CodecTopic &) = delete;
  /// Not copyable: it owns the topic.
  CodecTopic & operator=(const CodecTopic &) = delete;

  /// The topic entity.
  dds_entity_t entity() const {return entity_;}

  /// The sertype Cyclone uses for the topic (possibly an equal one that the
  /// domain already had), valid while the topic exists.
  const ddsi_sertype * sertype() const {return sertype_;}

private:
  dds_entity_t entity_;
  const ddsi_sertype * sertype_;
};

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__CODEC_TOPIC_HPP_
