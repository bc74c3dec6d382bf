// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/utf8.hpp"

#include <cstdio>

namespace typesupport_core
{

namespace
{

// The length of the valid sequence starting at `at`, or 0 when it is invalid.
std::size_t sequence_length(std::string_view text, std::size_t at)
{
  const auto byte = [&text](std::size_t i) {return static_cast<unsigned char>(text[i]);};
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;  // bounds of the second byte, which rule out
  unsigned char high = 0xBF;  // overlong forms, surrogates and > U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
      return 0;
    }
  }
  return length;
}

void append_code_point(char32_t point, std::string & out)
{
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

}  // namespace

std::size_t invalid_utf8_at(std::string_view text)
{
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = sequence_length(text, at);
    if (length == 0) {
      return at;
    }
    at += length;
  }
  return std::string_view::npos;
}

std::string describe_invalid_utf8(std::string_view text)
{
  const std::size_t at = invalid_utf8_at(text);
  if (at == std::string_view::npos) {
    return "valid UTF-8";
  }
  char description[64];
  std::snprintf(description, sizeof(description), "byte 0x%02x at offset %zu",
    static_cast<unsigned>(static_cast<unsigned char>(text[at])), at);
  return description;
}

void append_utf16(std::string_view text, std::u16string & out)
{
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = sequence_length(text, at);
    if (length == 0) {
      return;  // callers check validity first
    }
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    char32_t point = length == 1 ? lead : length == 2 ? (lead & 0x1F) :
      length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (std::size_t i = 1; i < length; ++i) {
      point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    if (point >= 0x10000) {
      point -= 0x10000;
      out += static_cast<char16_t>(0xD800 | (point >> 10));
      out += static_cast<char16_t>(0xDC00 | (point & 0x3FF));
    } else {
      out += static_cast<char16_t>(point);
    }
    at += length;
  }
}

std::size_t append_utf8(const std::uint16_t * units, std::size_t count, std::string & out)
{
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count &&
      units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
    {
      append_code_point(
        0x10000 + ((static_cast<char32_t>(unit - 0xD800) << 10) | (units[i + 1] - 0xDC00)), out);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return i;
    } else {
      append_code_point(unit, out);
    }
  }
  return std::string::npos;
}

}  // namespace typesupport_core
