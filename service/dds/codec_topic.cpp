// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/codec_topic.hpp"

#include <string>

#include "service/dds/codec_sertype.hpp"
#include "service/dds/dds_error.hpp"

namespace typesupport_dds
{

CodecTopic::CodecTopic(
  dds_entity_t participant, const std::string & topic_name, const std::string & type_name,
  const SampleCodec & codec)
: entity_(0), sertype_(nullptr)
{
  CodecSertype * made = make_codec_sertype(type_name, codec);
  ddsi_sertype * sertype = made;
  const dds_entity_t topic =
    dds_create_topic_sertype(participant, topic_name.c_str(), &sertype, nullptr, nullptr, nullptr);
  if (topic < 0) {
    // Still ours: Cyclone takes the sertype only with a topic.
    free_codec_sertype(made);
    throw_retcode("cannot create topic " + topic_name + " of type " + type_name, topic);
  }
  entity_ = topic;
  sertype_ = sertype;
}

CodecTopic::~CodecTopic()
{
  dds_delete(entity_);
}

}  // namespace typesupport_dds
