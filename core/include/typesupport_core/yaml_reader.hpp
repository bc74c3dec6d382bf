// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__YAML_READER_HPP_
#define TYPESUPPORT_CORE__YAML_READER_HPP_

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace typesupport_core
{

/// One node of a YAML document as libyaml's parser reads it.
struct YamlNode
{
  enum class Kind { scalar, sequence, mapping };

  Kind kind = Kind::scalar;
  std::string text;  ///< a scalar's value
  bool quoted = false;  ///< a scalar written in quotes or as a block
  std::vector<YamlNode> items;  ///< a sequence's items
  std::vector<std::pair<std::string, YamlNode>> entries;  ///< a mapping's, in order
  std::size_t line = 0;  ///< where it starts, from 1

  /// True for a plain empty scalar, "~" or "null": YAML's null.
  bool is_null() const;
};

/// The deepest nesting of sequences and mappings a document may have.
inline constexpr std::size_t kMaxYamlDepth = 64;

/// Parses one YAML document with libyaml. An empty text is a null scalar.
/// Aliases, keys that are not scalars, repeated keys, more than one document
/// and nesting deeper than kMaxYamlDepth are refused. Throws InputError
/// starting with `what` (for instance "VALUES") and naming the line.
YamlNode parse_yaml(std::string_view text, const std::string & what);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__YAML_READER_HPP_
