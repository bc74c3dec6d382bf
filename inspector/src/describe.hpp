// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef DESCRIBE_HPP_
#define DESCRIBE_HPP_

#include <string>

#include "records.hpp"
#include "report_tree.hpp"

namespace typesupport_inspect
{

/// The interface as its definition file reads, rebuilt from the records: one
/// "type name" line per field, and "---" between a service's request and
/// response.
std::string definition_text(const Interface & interface);

/// Every record in detail: identifier, namespaces, names, sizes and, per field,
/// name, type, string bound, array kind and size, offset and whether a default
/// is present; nested messages followed through their members.
ReportNode records_report(const Interface & interface);

}  // namespace typesupport_inspect

#endif  // DESCRIBE_HPP_
