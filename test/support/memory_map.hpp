// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__MEMORY_MAP_HPP_
#define SUPPORT__MEMORY_MAP_HPP_

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace test_support
{

/// The permissions ("rw-p", "r--p", ...) of the mapping that holds `address`,
/// read from /proc/self/maps.
inline std::string mapping_permissions(const void * address)
{
  const auto target = reinterpret_cast<std::uintptr_t>(address);
  std::FILE * maps = std::fopen("/proc/self/maps", "r");
  if (maps == nullptr) {
    throw std::runtime_error("cannot read /proc/self/maps");
  }
  char line[4096];
  std::string permissions;
  while (permissions.empty() && std::fgets(line, sizeof(line), maps) != nullptr) {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    char perms[5] = {};
    if (std::sscanf(line, "%" SCNxPTR "-%" SCNxPTR " %4s", &begin, &end, perms) == 3 &&
      begin <= target && target < end)
    {
      permissions = perms;
    }
  }
  std::fclose(maps);
  if (permissions.empty()) {
    throw std::runtime_error("address not mapped");
  }
  return permissions;
}

}  // namespace test_support

#endif  // SUPPORT__MEMORY_MAP_HPP_
