// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPE_SUPPORT_LIBRARY_HPP_
#define TYPE_SUPPORT_LIBRARY_HPP_

#include <string>

#include "interface_name.hpp"
#include "records.hpp"

namespace typesupport_inspect
{

/// A type support library opened with dlopen for the lifetime of this object.
class TypeSupportLibrary
{
public:
  /// Opens `path`: a path, or a bare file name that the dynamic loader finds
  /// on its search path. Throws InspectError when it cannot be loaded.
  explicit TypeSupportLibrary(const std::string & path);
  TypeSupportLibrary(const TypeSupportLibrary &) = delete;
  TypeSupportLibrary & operator=(const TypeSupportLibrary &) = delete;
  ~TypeSupportLibrary();

  /// Calls the getter that the naming scheme gives for `name` and checks what
  /// its handle describes. Throws InspectError when there is no such getter or
  /// the handle is not an introspection C one.
  Interface describe(const InterfaceName & name) const;

private:
  std::string path_;
  void * handle_;
};

}  // namespace typesupport_inspect

#endif  // TYPE_SUPPORT_LIBRARY_HPP_
