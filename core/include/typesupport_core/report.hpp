// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__REPORT_HPP_
#define TYPESUPPORT_CORE__REPORT_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "typesupport_core/message_type.hpp"

namespace typesupport_core
{

/// A report built once and written as YAML or as JSON.
struct ReportNode
{
  enum class Kind { text, number, boolean, object, list };

  static ReportNode of_text(std::string value);
  static ReportNode of_number(std::uint64_t value);
  static ReportNode of_boolean(bool value);
  static ReportNode object();
  static ReportNode list();

  /// Adds a named child to an object; returns *this.
  ReportNode & add(std::string key, ReportNode child);
  /// Adds an item to a list; returns *this.
  ReportNode & append(ReportNode item);

  Kind kind = Kind::object;
  std::string scalar;  ///< text (valid UTF-8), number or boolean, as written
  std::vector<std::string> keys;  ///< object: names of the children, in order
  std::vector<ReportNode> items;  ///< object: the children; list: the items
};

/// Every record of `interface` in detail: identifier, member layout, the
/// service's names and message types or the message type, then every message
/// type reached, each once: namespace, name, size, functions present and, per
/// field, name, type, string bound, array kind and size, offset, whether a
/// default is present and the nested type. Linear in the records.
ReportNode records_report(const Interface & interface);

/// The interface as its definition file reads: one "type name" line per
/// field, and "---" between a service's request and response.
std::string definition_text(const Interface & interface);

/// A YAML document, written by libyaml.
std::string to_yaml(const ReportNode & root);

/// JSON, two-space indented, ending in a newline.
std::string to_json(const ReportNode & root);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__REPORT_HPP_
