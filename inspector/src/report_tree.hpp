// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef REPORT_TREE_HPP_
#define REPORT_TREE_HPP_

#include <cstdint>
#include <string>
#include <vector>

namespace typesupport_inspect
{

/// A report built once and written as indented text or as JSON.
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
  std::string scalar;  ///< text, number or boolean, as written in text
  std::vector<std::string> keys;  ///< object: names of the children, in order
  std::vector<ReportNode> items;  ///< object: the children; list: the items
};

/// Indented "key: value" text, lists as "- " items.
std::string to_text(const ReportNode & root);

/// JSON, two-space indented, ending in a newline.
std::string to_json(const ReportNode & root);

}  // namespace typesupport_inspect

#endif  // REPORT_TREE_HPP_
