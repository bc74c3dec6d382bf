// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__CODEC_SERTYPE_HPP_
#define SERVICE__DDS__CODEC_SERTYPE_HPP_

#include <string>

#include "dds/ddsi/ddsi_sertype.h"

#include "service/dds/sample_codec.hpp"

namespace typesupport_dds
{

/// Cyclone's description of a keyless DDS type whose samples a SampleCodec
/// turns into bytes. Cyclone sees only the ddsi_sertype part; the codec must
/// outlive every topic, reader and writer made with it.
struct CodecSertype : ddsi_sertype
{
  const SampleCodec * codec = nullptr;  ///< serializes the samples
};

/// A new sertype named `type_name` (the DDS type name, e.g.
/// "pkg::srv::dds_::Name_Request_") for samples that `codec` serializes.
/// Cyclone frees it once dds_create_topic_sertype has taken it and the last
/// entity using it is gone; until then the caller owns it (see
/// free_codec_sertype).
CodecSertype * make_codec_sertype(const std::string & type_name, const SampleCodec & codec);

/// Frees a sertype that was never handed to Cyclone.
void free_codec_sertype(CodecSertype * sertype);

/// The codec sertype that `type` is, or nullptr when `type` belongs to
/// another kind of sertype (an idlc type, say).
const CodecSertype * as_codec_sertype(const ddsi_sertype * type);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__CODEC_SERTYPE_HPP_
