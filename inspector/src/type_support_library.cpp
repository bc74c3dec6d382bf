// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "type_support_library.hpp"

#include <dlfcn.h>

#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_runtime_c/service_type_support_struct.h"

#include "inspect_error.hpp"

namespace typesupport_inspect
{

TypeSupportLibrary::TypeSupportLibrary(const std::string & path)
: path_(path), handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
  if (handle_ == nullptr) {
    const char * reason = dlerror();
    throw InspectError(
      "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error"));
  }
}

TypeSupportLibrary::~TypeSupportLibrary()
{
  dlclose(handle_);
}

Interface TypeSupportLibrary::describe(const InterfaceName & name) const
{
  const std::string symbol = name.getter_symbol();
  dlerror();
  void * getter = dlsym(handle_, symbol.c_str());
  if (getter == nullptr) {
    throw InspectError(path_ + " has no getter " + symbol + " for " + name.text());
  }
  // Both handle types start with the same three fields.
  if (name.is_service()) {
    using Getter = const rosidl_service_type_support_t * (*)();
    const rosidl_service_type_support_t * handle = reinterpret_cast<Getter>(getter)();
    if (handle == nullptr) {
      throw InspectError(symbol + " returned no handle");
    }
    return describe_handle(name, handle->typesupport_identifier, handle->data);
  }
  using Getter = const rosidl_message_type_support_t * (*)();
  const rosidl_message_type_support_t * handle = reinterpret_cast<Getter>(getter)();
  if (handle == nullptr) {
    throw InspectError(symbol + " returned no handle");
  }
  return describe_handle(name, handle->typesupport_identifier, handle->data);
}

}  // namespace typesupport_inspect
