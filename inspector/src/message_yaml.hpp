// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef MESSAGE_YAML_HPP_
#define MESSAGE_YAML_HPP_

#include <string>
#include <string_view>
#include <vector>

#include "records.hpp"

namespace typesupport_inspect
{

/// One `--set FIELD=VALUE`; FIELD may name a field of a nested message as `outer.inner`.
struct Assignment
{
  std::string path;
  std::string value;
};

/// Parses "FIELD=VALUE"; throws InspectError when there is no '=' or no field.
Assignment parse_assignment(std::string_view text);

/// A message in memory as YAML, one "field: value" line per field, found by
/// walking its records. Strings and primitive values are printed, nested
/// messages indented, arrays and sequences as lists; other kinds are named.
std::string message_yaml(const MessageMembers & members, const void * message);

/// Creates a message through the record's init_function, assigns the given
/// fields (strings and primitive values), renders it with message_yaml() and
/// destroys it through fini_function. Throws InspectError for a field the
/// message does not have or a value that does not fit it.
std::string round_trip(const MessageMembers & members, const std::vector<Assignment> & assignments);

/// round_trip() on what `interface` describes. For a service, each field is
/// looked up in the request, then in the response; each message named gets
/// its own round trip, the request's first, separated by "---".
std::string round_trip(const Interface & interface, const std::vector<Assignment> & assignments);

}  // namespace typesupport_inspect

#endif  // MESSAGE_YAML_HPP_
