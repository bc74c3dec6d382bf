// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/codec_serdata.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "dds/ddsi/q_radmin.h"

#include "service/dds/codec_sertype.hpp"

namespace typesupport_dds
{
namespace
{

constexpr std::size_t kMaxSampleSize = std::numeric_limits<std::uint32_t>::max() - 3;

std::size_t align4(std::size_t n)
{
  return (n + 3) & ~static_cast<std::size_t>(3);
}

const CodecSerdata * codec_serdata(const ddsi_serdata * serdata)
{
  return static_cast<const CodecSerdata *>(serdata);
}

// Every sample of a keyless type belongs to the one instance: they share a
// hash and compare equal as keys.
CodecSerdata * new_serdata(const ddsi_sertype * type, ddsi_serdata_kind kind)
{
  auto * serdata = new (std::nothrow) CodecSerdata();
  if (serdata == nullptr) {
    return nullptr;
  }
  ddsi_serdata_init(serdata, type, kind);
  serdata->hash = type->serdata_basehash;
  return serdata;
}

// Takes ownership of `bytes`; nullptr if they cannot form a sample.
ddsi_serdata * serdata_holding(
  const ddsi_sertype * type, ddsi_serdata_kind kind, std::vector<unsigned char> && bytes)
{
  if (bytes.size() > kMaxSampleSize) {
    return nullptr;
  }
  try {
    CodecSerdata * serdata = new_serdata(type, kind);
    if (serdata == nullptr) {
      return nullptr;
    }
    serdata->size = static_cast<std::uint32_t>(bytes.size());
    serdata->bytes = std::move(bytes);
    serdata->bytes.resize(align4(serdata->size), 0);
    return serdata;
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

bool eqkey(const ddsi_serdata *, const ddsi_serdata *)
{
  return true;
}

uint32_t get_size(const ddsi_serdata * serdata)
{
  return codec_serdata(serdata)->size;
}

void free_serdata(ddsi_serdata * serdata)
{
  delete static_cast<CodecSerdata *>(serdata);
}

// Fragments come in order of their first byte and may overlap; a gap would
// leave bytes unknown, so the sample is then refused (Cyclone drops it).
ddsi_serdata * from_ser(
  const ddsi_sertype * type, ddsi_serdata_kind kind, const nn_rdata * fragchain, size_t size)
{
  if (size > kMaxSampleSize) {
    return nullptr;
  }
  try {
    std::vector<unsigned char> bytes(size);
    std::size_t filled = 0;
    for (const nn_rdata * frag = fragchain; frag != nullptr && filled < size;
      frag = frag->nextfrag)
    {
      if (frag->min > filled) {
        return nullptr;
      }
      if (frag->maxp1 <= filled) {
        continue;
      }
      const std::size_t end = std::min<std::size_t>(frag->maxp1, size);
      const unsigned char * payload =
        NN_RMSG_PAYLOADOFF(frag->rmsg, NN_RDATA_PAYLOAD_OFF(frag));
      std::memcpy(bytes.data() + filled, payload + (filled - frag->min), end - filled);
      filled = end;
    }
    if (filled != size) {
      return nullptr;
    }
    return serdata_holding(type, kind, std::move(bytes));
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

ddsi_serdata * from_ser_iov(
  const ddsi_sertype * type, ddsi_serdata_kind kind, ddsrt_msg_iovlen_t niov,
  const ddsrt_iovec_t * iov, size_t size)
{
  if (size > kMaxSampleSize) {
    return nullptr;
  }
  try {
    std::vector<unsigned char> bytes;
    bytes.reserve(size);
    for (ddsrt_msg_iovlen_t i = 0; i < niov && bytes.size() < size; ++i) {
      const std::size_t take = std::min<std::size_t>(iov[i].iov_len, size - bytes.size());
      const auto * base = static_cast<const unsigned char *>(iov[i].iov_base);
      bytes.insert(bytes.end(), base, base + take);
    }
    if (bytes.size() != size) {
      return nullptr;
    }
    return serdata_holding(type, kind, std::move(bytes));
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

ddsi_serdata * from_keyhash(const ddsi_sertype * type, const ddsi_keyhash *)
{
  return new_serdata(type, SDK_KEY);
}

ddsi_serdata * from_sample(const ddsi_sertype * type, ddsi_serdata_kind kind, const void * sample)
{
  if (kind != SDK_DATA) {
    return new_serdata(type, kind);
  }
  const CodecSertype * sertype = as_codec_sertype(type);
  if (sertype == nullptr || sample == nullptr) {
    return nullptr;
  }
  try {
    std::vector<unsigned char> bytes;
    if (!sertype->codec->serialize(sample, bytes).empty()) {
      return nullptr;
    }
    return serdata_holding(type, kind, std::move(bytes));
  } catch (...) {
    return nullptr;
  }
}

// Cyclone may ask for up to the next multiple of 4 past the size; the
// stored bytes are padded that far, and anything beyond reads as zero.
void to_ser(const ddsi_serdata * serdata, size_t off, size_t sz, void * buf)
{
  const std::vector<unsigned char> & bytes = codec_serdata(serdata)->bytes;
  auto * out = static_cast<unsigned char *>(buf);
  const std::size_t available = off < bytes.size() ? std::min(sz, bytes.size() - off) : 0;
  if (available > 0) {
    std::memcpy(out, bytes.data() + off, available);
  }
  if (available < sz) {
    std::memset(out + available, 0, sz - available);
  }
}

ddsi_serdata * to_ser_ref(const ddsi_serdata * serdata, size_t off, size_t sz, ddsrt_iovec_t * ref)
{
  const std::vector<unsigned char> & bytes = codec_serdata(serdata)->bytes;
  const std::size_t start = std::min(off, bytes.size());
  ref->iov_base = const_cast<unsigned char *>(bytes.data() + start);
  ref->iov_len = static_cast<ddsrt_iov_len_t>(std::min(sz, bytes.size() - start));
  return ddsi_serdata_ref(serdata);
}

void to_ser_unref(ddsi_serdata * serdata, const ddsrt_iovec_t *)
{
  ddsi_serdata_unref(serdata);
}

// Reading with dds_take into caller memory: the sample is whatever the
// codec reads. The binding itself takes the bytes with dds_takecdr, to get
// the codec's reason when they are bad.
bool to_sample(const ddsi_serdata * serdata, void * sample, void **, void *)
{
  const CodecSertype * sertype = as_codec_sertype(serdata->type);
  const CodecSerdata * data = codec_serdata(serdata);
  if (sertype == nullptr || sample == nullptr || data->kind != SDK_DATA) {
    return false;
  }
  try {
    return sertype->codec->deserialize(data->bytes.data(), data->size, sample).empty();
  } catch (...) {
    return false;
  }
}

// The key of a keyless type is empty: an untyped sample carries no bytes,
// and outlives the topic safely since it never looks at its type.
ddsi_serdata * to_untyped(const ddsi_serdata * serdata)
{
  return new_serdata(serdata->type, SDK_KEY);
}

bool untyped_to_sample(const ddsi_sertype *, const ddsi_serdata *, void *, void **, void *)
{
  return true;
}

size_t print(const ddsi_sertype *, const ddsi_serdata * serdata, char * buf, size_t size)
{
  const CodecSerdata * data = codec_serdata(serdata);
  int n = std::snprintf(buf, size, "%u bytes:", static_cast<unsigned>(data->size));
  std::size_t written = n > 0 ? static_cast<std::size_t>(n) : 0;
  for (std::uint32_t i = 0; i < data->size && written + 1 < size; ++i) {
    n = std::snprintf(buf + written, size - written, " %02x", data->bytes[i]);
    written += n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  return std::min(written, size - 1);
}

void get_keyhash(const ddsi_serdata *, ddsi_keyhash * buf, bool)
{
  std::memset(buf->value, 0, sizeof(buf->value));
}

}  // namespace

const ddsi_serdata_ops codec_serdata_ops = {
  eqkey,
  get_size,
  from_ser,
  from_ser_iov,
  from_keyhash,
  from_sample,
  to_ser,
  to_ser_ref,
  to_ser_unref,
  to_sample,
  to_untyped,
  untyped_to_sample,
  free_serdata,
  print,
  get_keyhash,
#ifdef DDS_HAS_SHM
  nullptr,  // no shared memory: samples always travel serialized
  nullptr,
#endif
};

ddsi_serdata * serdata_from_bytes(const ddsi_sertype * type, std::vector<unsigned char> bytes)
{
  if (as_codec_sertype(type) == nullptr) {
    return nullptr;
  }
  return serdata_holding(type, SDK_DATA, std::move(bytes));
}

ByteView serdata_bytes(const ddsi_serdata * serdata)
{
  if (serdata == nullptr || serdata->ops != &codec_serdata_ops || serdata->kind != SDK_DATA) {
    return {};
  }
  const CodecSerdata * data = codec_serdata(serdata);
  return {data->bytes.data(), data->size};
}

}  // namespace typesupport_dds
