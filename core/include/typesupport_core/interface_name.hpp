// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__INTERFACE_NAME_HPP_
#define TYPESUPPORT_CORE__INTERFACE_NAME_HPP_

#include <string>
#include <string_view>

namespace typesupport_core
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
  /// The namespace its records carry: "package__kind".
  std::string record_namespace() const;
  /// "package/kind/name", the one spelling used in every message and output.
  std::string text() const;
  /// The introspection C type support library of the package, by its naming
  /// scheme: "libpackage__rosidl_typesupport_introspection_c.so".
  std::string library_file() const;
};

/// Parses `text`; throws InputError naming what is wrong.
InterfaceName parse_interface_name(std::string_view text);

/// "package/kind/Name" for records whose namespace is "package__kind"; a
/// namespace of another form is kept whole: "namespace/Name".
std::string interface_text(std::string_view record_namespace, std::string_view name);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__INTERFACE_NAME_HPP_
