// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__TYPE_SUPPORT_LIBRARY_HPP_
#define TYPESUPPORT_CORE__TYPE_SUPPORT_LIBRARY_HPP_

#include <optional>
#include <string>

#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_type.hpp"

namespace typesupport_core
{

/// An introspection C type support library, opened with dlopen for the
/// lifetime of this object.
class TypeSupportLibrary
{
public:
  /// Opens `path`: a path, or a bare file name that the dynamic loader finds on
  /// its search path (LD_LIBRARY_PATH, the runpath, the system's). Throws
  /// InputError for an empty path (which would name the program itself) and
  /// Error when the library cannot be loaded.
  explicit TypeSupportLibrary(const std::string & path);
  TypeSupportLibrary(const TypeSupportLibrary &) = delete;
  TypeSupportLibrary & operator=(const TypeSupportLibrary &) = delete;
  ~TypeSupportLibrary();

  /// Calls the getter that the naming scheme gives for `name` and reads what
  /// its handle describes (see describe_handle()). Throws Error when there is
  /// no such getter, it returns no handle, or the records are faulty.
  Interface describe(const InterfaceName & name, std::optional<MemberLayout> layout) const;

  /// The path it was opened with.
  const std::string & path() const {return path_;}

private:
  std::string path_;
  void * handle_;
};

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__TYPE_SUPPORT_LIBRARY_HPP_
