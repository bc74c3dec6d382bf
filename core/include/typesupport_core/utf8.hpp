// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__UTF8_HPP_
#define TYPESUPPORT_CORE__UTF8_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace typesupport_core
{

/// The offset of the first byte of `text` that does not start or continue a
/// valid UTF-8 sequence (overlong forms, surrogates and values past U+10FFFF
/// are invalid), or npos when all of it is valid.
std::size_t invalid_utf8_at(std::string_view text);

/// Says where and why `text` is not valid UTF-8, for an error message:
/// "byte 0xff at offset 3".
std::string describe_invalid_utf8(std::string_view text);

/// Appends `text`, which must be valid UTF-8, to `out` as UTF-16.
void append_utf16(std::string_view text, std::u16string & out);

/// Appends `count` UTF-16 units to `out` as UTF-8. Returns the index of an
/// unpaired surrogate, which has no UTF-8 form, or npos when all was appended.
std::size_t append_utf8(const std::uint16_t * units, std::size_t count, std::string & out);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__UTF8_HPP_
