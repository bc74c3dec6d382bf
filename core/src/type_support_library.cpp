// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/type_support_library.hpp"

#include <dlfcn.h>

#include "typesupport_core/error.hpp"
#include "typesupport_core/records.hpp"

namespace typesupport_core
{

TypeSupportLibrary::TypeSupportLibrary(const std::string & path)
: path_(path), handle_(nullptr)
{
  if (path.empty()) {
    throw InputError("the library path is empty");
  }
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char * reason = dlerror();
    throw Error("cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error"));
  }
}

TypeSupportLibrary::~TypeSupportLibrary()
{
  dlclose(handle_);
}

Interface TypeSupportLibrary::describe(
  const InterfaceName & name, std::optional<MemberLayout> layout) const
{
  const std::string symbol = name.getter_symbol();
  dlerror();
  void * getter = dlsym(handle_, symbol.c_str());
  if (getter == nullptr) {
    throw Error(path_ + " has no getter " + symbol + " for " + name.text());
  }
  // Message and service getters both return a pointer to a handle, whose
  // first three fields are the same.
  using Getter = const void * (*)();
  const void * handle = reinterpret_cast<Getter>(getter)();
  if (handle == nullptr) {
    throw Error(symbol + " returned no handle");
  }
  return describe_handle(name, handle, layout);
}

}  // namespace typesupport_core
