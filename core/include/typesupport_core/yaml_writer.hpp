// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__YAML_WRITER_HPP_
#define TYPESUPPORT_CORE__YAML_WRITER_HPP_

#include <string>
#include <string_view>

#include <yaml.h>

namespace typesupport_core
{

/// Writes one YAML document in block style through libyaml's emitter, which
/// quotes and escapes what needs it. Strings are plain only where no YAML
/// reader (1.1 or 1.2) could take them for another type.
class YamlWriter
{
public:
  /// Starts the stream and the document.
  YamlWriter();
  YamlWriter(const YamlWriter &) = delete;
  YamlWriter & operator=(const YamlWriter &) = delete;
  ~YamlWriter();

  /// Opens a mapping; keys and values then alternate until end_mapping().
  void begin_mapping();
  void end_mapping();
  /// Opens a sequence of items until end_sequence().
  void begin_sequence();
  void end_sequence();

  /// A string, which must be valid UTF-8: a key, or a text value.
  void text(std::string_view utf8);
  /// A number or boolean as the caller wrote it, plain: "42", "-1.5e+20", "true".
  void plain(std::string_view token);

  /// Ends the document and the stream and returns the text.
  std::string finish();

private:
  void emit(yaml_event_t & event);
  void scalar(std::string_view value, yaml_scalar_style_t style);

  yaml_emitter_t emitter_;
  std::string out_;
  bool finished_ = false;
};

/// True when `text` can stand as a plain YAML scalar and still read back as
/// that same string under YAML 1.1 and 1.2: it starts with an ASCII letter or
/// '_', holds only printable ASCII, and is no boolean or null word.
bool reads_back_as_plain_string(std::string_view text);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__YAML_WRITER_HPP_
