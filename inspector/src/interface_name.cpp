// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "interface_name.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

#include "inspect_error.hpp"

namespace typesupport_inspect
{

namespace
{

bool ends_with(const std::string & text, std::string_view suffix)
{
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool is_identifier(const std::string & part)
{
  return !part.empty() && !std::isdigit(static_cast<unsigned char>(part[0])) &&
         std::all_of(part.begin(), part.end(), [](char c) {
             return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
           });
}

}  // namespace

bool InterfaceName::is_service() const
{
  return kind == "srv" && !ends_with(name, "_Request") && !ends_with(name, "_Response");
}

std::string InterfaceName::getter_symbol() const
{
  const char * prefix = is_service() ?
    "rosidl_typesupport_introspection_c__get_service_type_support_handle__" :
    "rosidl_typesupport_introspection_c__get_message_type_support_handle__";
  return prefix + package + "__" + kind + "__" + name;
}

std::string InterfaceName::text() const
{
  return package + "/" + kind + "/" + name;
}

InterfaceName parse_interface_name(std::string_view text)
{
  std::vector<std::string> parts;
  std::size_t begin = 0;
  while (true) {
    const std::size_t slash = text.find('/', begin);
    parts.emplace_back(text.substr(begin, slash - begin));
    if (slash == std::string_view::npos) {
      break;
    }
    begin = slash + 1;
  }
  const std::string shown(text);
  if (parts.size() != 3) {
    throw InspectError(
      "interface '" + shown + "' is not of the form package/msg/Name or package/srv/Name");
  }
  if (parts[1] != "msg" && parts[1] != "srv") {
    throw InspectError("interface '" + shown + "': kind '" + parts[1] + "' is neither msg nor srv");
  }
  for (const std::string & part : {parts[0], parts[2]}) {
    if (!is_identifier(part)) {
      throw InspectError("interface '" + shown + "': '" + part + "' is not a valid name");
    }
  }
  return {parts[0], parts[1], parts[2]};
}

}  // namespace typesupport_inspect
