// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__YAML_DOCUMENT_HPP_
#define SUPPORT__YAML_DOCUMENT_HPP_

#include <map>
#include <string>
#include <vector>

namespace test_support
{

/// A node of a YAML document as libyaml's loader reads it, with the tag that
/// YAML 1.1's implicit rules (as PyYAML applies them) give a plain scalar.
struct YamlValue
{
  enum class Kind { scalar, sequence, mapping };

  Kind kind = Kind::scalar;
  std::string text;  ///< a scalar's value
  /// A scalar's type: "str" for quoted scalars and plain ones no rule claims;
  /// otherwise "bool", "int", "float", "null", "timestamp", "merge" or "value".
  std::string resolved;
  std::vector<YamlValue> items;  ///< a sequence's items
  std::vector<std::pair<std::string, YamlValue>> entries;  ///< a mapping's, in order

  /// The value of `key` in a mapping; throws when there is none.
  const YamlValue & operator[](const std::string & key) const;
};

/// Every document of `text`, loaded by libyaml; throws std::runtime_error with
/// libyaml's problem when the text is not valid YAML.
std::vector<YamlValue> load_yaml(const std::string & text);

/// The single document of `text`; throws unless there is exactly one.
YamlValue load_one_yaml(const std::string & text);

/// The type YAML 1.1's implicit rules give the plain scalar `text` (PyYAML's
/// resolver), or "str"; the YAML 1.2 core schema's forms (".inf", "0o17")
/// count as well.
std::string resolve_plain_scalar(const std::string & text);

/// True when YAML 1.1's float rule, exactly as PyYAML has it (a '.' and a
/// signed exponent), takes the plain scalar `text` for a float.
bool yaml11_reads_float(const std::string & text);

}  // namespace test_support

#endif  // SUPPORT__YAML_DOCUMENT_HPP_
