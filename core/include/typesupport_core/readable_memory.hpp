// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__READABLE_MEMORY_HPP_
#define TYPESUPPORT_CORE__READABLE_MEMORY_HPP_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace typesupport_core
{

/// The process's memory mappings at one moment (from /proc/self/maps), to
/// check a pointer found in untrusted records before following it.
class ReadableMemory
{
public:
  /// Reads the current mappings; throws Error when they cannot be read.
  ReadableMemory();

  /// True when all `size` bytes from `address` lie in readable mappings.
  bool readable(const void * address, std::size_t size) const;

  /// True when `address` lies in an executable mapping.
  bool executable(const void * address) const;

  /// The NUL-terminated text at `address` when it is readable and at most
  /// `max_length` bytes long (without its NUL); nothing otherwise.
  std::optional<std::string> text(const char * address, std::size_t max_length) const;

private:
  struct Range
  {
    std::uintptr_t begin;
    std::uintptr_t end;
    bool readable;
    bool executable;
  };

  // The range holding `address`, or null.
  const Range * find(std::uintptr_t address) const;

  std::vector<Range> ranges_;  // sorted, as the kernel lists them
};

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__READABLE_MEMORY_HPP_
