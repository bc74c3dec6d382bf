// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__LOADED_LIBRARY_HPP_
#define SUPPORT__LOADED_LIBRARY_HPP_

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace test_support
{

/// A shared object opened with dlopen for the lifetime of this object, as a
/// generic caller opens a type support library: by file name, functions found
/// by name.
class LoadedLibrary
{
public:
  explicit LoadedLibrary(const std::string & path, int flags = RTLD_NOW | RTLD_LOCAL)
  : path_(path), handle_(dlopen(path.c_str(), flags))
  {
    if (handle_ == nullptr) {
      throw std::runtime_error("dlopen " + path + ": " + dlerror());
    }
  }

  LoadedLibrary(const LoadedLibrary &) = delete;
  LoadedLibrary & operator=(const LoadedLibrary &) = delete;

  ~LoadedLibrary() {close();}

  /// dlclose now; the destructor then does nothing.
  void close()
  {
    if (handle_ != nullptr) {
      dlclose(handle_);
      handle_ = nullptr;
    }
  }

  /// The address of `name` in this object or its dependencies; throws if absent.
  void * address(const std::string & name) const
  {
    dlerror();
    void * found = dlsym(handle_, name.c_str());
    if (found == nullptr) {
      throw std::runtime_error("dlsym " + name + " in " + path_ + ": not found");
    }
    return found;
  }

  /// The function `name`, as a pointer of type `Function`.
  template<typename Function>
  Function function(const std::string & name) const
  {
    return reinterpret_cast<Function>(address(name));
  }

  /// True while any dlopen of `path` is still open in this process.
  static bool is_loaded(const std::string & path)
  {
    void * probe = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (probe == nullptr) {
      return false;
    }
    dlclose(probe);
    return true;
  }

private:
  std::string path_;
  void * handle_;
};

}  // namespace test_support

#endif  // SUPPORT__LOADED_LIBRARY_HPP_
