// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/interface_name.hpp"

#include <vector>

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

namespace
{

bool ends_with(const std::string & text, std::string_view suffix)
{
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A C identifier in ASCII: what package and type names become in symbols.
bool is_identifier(std::string_view part)
{
  if (part.empty() || (part[0] >= '0' && part[0] <= '9')) {
    return false;
  }
  for (const char c : part) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && c != '_') {
      return false;
    }
  }
  return true;
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

std::string InterfaceName::record_namespace() const
{
  return package + "__" + kind;
}

std::string InterfaceName::text() const
{
  return package + "/" + kind + "/" + name;
}

std::string InterfaceName::library_file() const
{
  return "lib" + package + "__rosidl_typesupport_introspection_c.so";
}

InterfaceName parse_interface_name(std::string_view text)
{
  std::vector<std::string_view> parts;
  std::size_t begin = 0;
  while (true) {
    const std::size_t slash = text.find('/', begin);
    parts.push_back(text.substr(begin, slash - begin));
    if (slash == std::string_view::npos) {
      break;
    }
    begin = slash + 1;
  }
  const std::string shown(text);
  if (parts.size() != 3) {
    throw InputError(
      "interface '" + shown + "' is not of the form package/msg/Name or package/srv/Name");
  }
  if (parts[1] != "msg" && parts[1] != "srv") {
    throw InputError(
      "interface '" + shown + "': kind '" + std::string(parts[1]) + "' is neither msg nor srv");
  }
  for (const std::string_view part : {parts[0], parts[2]}) {
    if (!is_identifier(part)) {
      throw InputError("interface '" + shown + "': '" + std::string(part) + "' is not a valid name");
    }
  }
  return {std::string(parts[0]), std::string(parts[1]), std::string(parts[2])};
}

std::string interface_text(std::string_view record_namespace, std::string_view name)
{
  const std::size_t separator = record_namespace.find("__");
  std::string text(record_namespace);
  if (separator != std::string_view::npos && separator > 0 &&
    record_namespace.find("__", separator + 2) == std::string_view::npos &&
    separator + 2 < record_namespace.size())
  {
    text = std::string(record_namespace.substr(0, separator)) + "/" +
      std::string(record_namespace.substr(separator + 2));
  }
  return text + "/" + std::string(name);
}

}  // namespace typesupport_core
