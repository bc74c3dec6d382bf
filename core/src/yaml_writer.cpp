// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/yaml_writer.hpp"

#include <climits>

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

namespace
{

int append_output(void * data, unsigned char * buffer, size_t size)
{
  static_cast<std::string *>(data)->append(reinterpret_cast<const char *>(buffer), size);
  return 1;
}

bool is_ascii_letter(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Line breaks and characters YAML may not hold raw: these are written
// double-quoted, where libyaml escapes them.
bool needs_escapes(std::string_view text)
{
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) {
      return true;
    }
    // U+0080 to U+009F (C2 80-9F), U+2028 and U+2029 (E2 80 A8-A9),
    // U+FEFF (EF BB BF), U+FFFE and U+FFFF (EF BF BE-BF).
    const auto next = [&](std::size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      };
    if ((byte == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) ||
      (byte == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) ||
      (byte == 0xEF && next(1) == 0xBB && next(2) == 0xBF) ||
      (byte == 0xEF && next(1) == 0xBF && (next(2) == 0xBE || next(2) == 0xBF)))
    {
      return true;
    }
  }
  return false;
}

}  // namespace

bool reads_back_as_plain_string(std::string_view text)
{
  if (text.empty() || !(is_ascii_letter(text[0]) || text[0] == '_')) {
    return false;
  }
  std::string lower;
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) {
      return false;
    }
    lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  // YAML 1.1's booleans (with y and n) and null, in any case.
  for (const char * word : {"y", "n", "yes", "no", "true", "false", "on", "off", "null"}) {
    if (lower == word) {
      return false;
    }
  }
  return true;
}

YamlWriter::YamlWriter()
{
  if (!yaml_emitter_initialize(&emitter_)) {
    throw Error("cannot start the YAML emitter");
  }
  yaml_emitter_set_output(&emitter_, append_output, &out_);
  yaml_emitter_set_unicode(&emitter_, 1);
  yaml_emitter_set_width(&emitter_, INT_MAX);
  yaml_emitter_set_indent(&emitter_, 2);
  yaml_emitter_set_break(&emitter_, YAML_LN_BREAK);

  yaml_event_t event;
  yaml_stream_start_event_initialize(&event, YAML_UTF8_ENCODING);
  emit(event);
  yaml_document_start_event_initialize(&event, nullptr, nullptr, nullptr, 1);
  emit(event);
}

YamlWriter::~YamlWriter()
{
  yaml_emitter_delete(&emitter_);
}

void YamlWriter::emit(yaml_event_t & event)
{
  // yaml_emitter_emit takes the event, also when it fails.
  if (!yaml_emitter_emit(&emitter_, &event)) {
    throw Error(std::string("YAML emitter: ") +
      (emitter_.problem != nullptr ? emitter_.problem : "unknown problem"));
  }
}

void YamlWriter::begin_mapping()
{
  yaml_event_t event;
  yaml_mapping_start_event_initialize(&event, nullptr, nullptr, 1, YAML_BLOCK_MAPPING_STYLE);
  emit(event);
}

void YamlWriter::end_mapping()
{
  yaml_event_t event;
  yaml_mapping_end_event_initialize(&event);
  emit(event);
}

void YamlWriter::begin_sequence()
{
  yaml_event_t event;
  yaml_sequence_start_event_initialize(&event, nullptr, nullptr, 1, YAML_BLOCK_SEQUENCE_STYLE);
  emit(event);
}

void YamlWriter::end_sequence()
{
  yaml_event_t event;
  yaml_sequence_end_event_initialize(&event);
  emit(event);
}

void YamlWriter::scalar(std::string_view value, yaml_scalar_style_t style)
{
  yaml_event_t event;
  // libyaml wants a pointer even for an empty value, and an int size.
  const char * data = value.data() != nullptr ? value.data() : "";
  if (value.size() > static_cast<std::size_t>(INT_MAX)) {
    throw Error("a value of " + std::to_string(value.size()) + " bytes is too long for YAML");
  }
  if (!yaml_scalar_event_initialize(&event, nullptr, nullptr,
    reinterpret_cast<const yaml_char_t *>(data), static_cast<int>(value.size()), 1, 1,
    style))
  {
    throw Error("YAML emitter: cannot hold a scalar of " + std::to_string(value.size()) + " bytes");
  }
  emit(event);
}

void YamlWriter::text(std::string_view utf8)
{
  // libyaml keeps a requested plain style only where YAML allows it there and
  // falls back to quotes otherwise; single quotes need no escapes.
  yaml_scalar_style_t style = YAML_SINGLE_QUOTED_SCALAR_STYLE;
  if (reads_back_as_plain_string(utf8)) {
    style = YAML_PLAIN_SCALAR_STYLE;
  } else if (needs_escapes(utf8)) {
    style = YAML_DOUBLE_QUOTED_SCALAR_STYLE;
  }
  scalar(utf8, style);
}

void YamlWriter::plain(std::string_view token)
{
  scalar(token, YAML_PLAIN_SCALAR_STYLE);
}

std::string YamlWriter::finish()
{
  if (!finished_) {
    yaml_event_t event;
    yaml_document_end_event_initialize(&event, 1);
    emit(event);
    yaml_stream_end_event_initialize(&event);
    emit(event);
    finished_ = true;
  }
  return out_;
}

}  // namespace typesupport_core
