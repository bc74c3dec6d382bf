// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef INTERFACE_NAME_HPP_
#define INTERFACE_NAME_HPP_

#include <string>
#include <string_view>

namespace typesupport_inspect
{

/// An interface as a user names it: `package/srv/Name`, `package/srv/Name_Request`,
/// `package/srv/Name_Response` or `package/msg/Name`.
struct InterfaceName
{
  std::string package;
  std::string kind;  ///< "msg" or "srv"
  std::string name;

  /// True for a service itself (not its request or response message).
  bool is_service() const;
  /// The exported getter of the introspection C type support, by its naming scheme.
  std::string getter_symbol() const;
  /// "package/kind/name".
  std::string text() const;
};

/// Parses `text`; throws InspectError naming what is wrong.
InterfaceName parse_interface_name(std::string_view text);

}  // namespace typesupport_inspect

#endif  // INTERFACE_NAME_HPP_
