// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/codec_sertype.hpp"

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "service/dds/codec_serdata.hpp"

namespace typesupport_dds
{
namespace
{

const CodecSertype * codec_of(const ddsi_sertype * type)
{
  return static_cast<const CodecSertype *>(type);
}

void free_sertype(ddsi_sertype * type)
{
  free_codec_sertype(static_cast<CodecSertype *>(type));
}

// Sample memory belongs to whoever made the sample, laid out as only the
// codec knows: Cyclone never allocates, zeroes or frees samples of this type
// itself (the binding reads with dds_takecdr). A null sample is refused by
// the serdata's to_sample.
void zero_samples(const ddsi_sertype *, void *, size_t) {}

void realloc_samples(void ** ptrs, const ddsi_sertype *, void *, size_t, size_t count)
{
  for (size_t i = 0; i < count; ++i) {
    ptrs[i] = nullptr;
  }
}

void free_samples(const ddsi_sertype *, void **, size_t, dds_free_op_t) {}

bool equal(const ddsi_sertype * a, const ddsi_sertype * b)
{
  return codec_of(a)->codec == codec_of(b)->codec;
}

uint32_t hash(const ddsi_sertype * type)
{
  const std::size_t h = std::hash<const void *>{}(codec_of(type)->codec);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

// Used by Cyclone only for loaned (shared memory) samples, which the
// binding leaves off; answered through the codec all the same.
size_t get_serialized_size(const ddsi_sertype * type, const void * sample)
{
  try {
    std::vector<unsigned char> bytes;
    if (!codec_of(type)->codec->serialize(sample, bytes).empty()) {
      return std::numeric_limits<size_t>::max();
    }
    return bytes.size();
  } catch (...) {
    return std::numeric_limits<size_t>::max();
  }
}

bool serialize_into(const ddsi_sertype * type, const void * sample, void * dst, size_t dst_size)
{
  try {
    std::vector<unsigned char> bytes;
    if (!codec_of(type)->codec->serialize(sample, bytes).empty() || bytes.size() > dst_size) {
      return false;
    }
    std::memcpy(dst, bytes.data(), bytes.size());
    return true;
  } catch (...) {
    return false;
  }
}

const ddsi_sertype_ops sertype_ops = {
  ddsi_sertype_v0,
  nullptr,
  free_sertype,
  zero_samples,
  realloc_samples,
  free_samples,
  equal,
  hash,
  nullptr,  // no type identifier: a Foxy node advertises no type information
  nullptr,
  nullptr,
  nullptr,  // XCDR1 only, nothing to derive
  get_serialized_size,
  serialize_into,
};

}  // namespace

CodecSertype * make_codec_sertype(const std::string & type_name, const SampleCodec & codec)
{
  auto * sertype = new CodecSertype();
  sertype->codec = &codec;
  ddsi_sertype_init_flags(
    sertype, type_name.c_str(), &sertype_ops, &codec_serdata_ops,
    DDSI_SERTYPE_FLAG_TOPICKIND_NO_KEY);
  // Classic CDR is all a Foxy node reads or writes.
  sertype->allowed_data_representation = DDS_DATA_REPRESENTATION_FLAG_XCDR1;
  return sertype;
}

void free_codec_sertype(CodecSertype * sertype)
{
  if (sertype != nullptr) {
    ddsi_sertype_fini(sertype);
    delete sertype;
  }
}

const CodecSertype * as_codec_sertype(const ddsi_sertype * type)
{
  if (type == nullptr || type->ops != &sertype_ops) {
    return nullptr;
  }
  return codec_of(type);
}

}  // namespace typesupport_dds
