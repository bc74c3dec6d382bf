// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__CODEC_SERDATA_HPP_
#define SERVICE__DDS__CODEC_SERDATA_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dds/ddsi/ddsi_serdata.h"

namespace typesupport_dds
{

/// One sample of a codec sertype, kept as its serialized bytes: the bytes a
/// codec wrote, or the bytes as they came off the wire, unchecked (they are
/// judged only when a codec reads them, so a bad sample reaches the reader).
struct CodecSerdata : ddsi_serdata
{
  /// The bytes, zero-padded to a multiple of 4 so that Cyclone may read up to
  /// the next multiple of 4 of `size`.
  std::vector<unsigned char> bytes;
  std::uint32_t size = 0;  ///< the sample's own size, encapsulation header included
};

/// The serdata operations of every codec sertype.
extern const ddsi_serdata_ops codec_serdata_ops;

/// Serialized bytes of a sample, borrowed.
struct ByteView
{
  const unsigned char * data = nullptr;  ///< first byte, the encapsulation header
  std::size_t size = 0;  ///< number of bytes
};

/// A new data sample of the codec sertype `type` holding `bytes` as they
/// are, with one reference for the caller; nullptr when the bytes do not fit
/// in a sample (4 GiB) or memory runs out.
ddsi_serdata * serdata_from_bytes(const ddsi_sertype * type, std::vector<unsigned char> bytes);

/// The bytes of `serdata` if it is a data sample of a codec sertype, else an
/// empty view.
ByteView serdata_bytes(const ddsi_serdata * serdata);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__CODEC_SERDATA_HPP_
