// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__PROCESS_USAGE_HPP_
#define SUPPORT__PROCESS_USAGE_HPP_

#include <dirent.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

/// Bytes mapped into this process, summed over /proc/self/maps; with
/// `file_backed_only`, over the mappings of files only.
inline std::uint64_t mapped_bytes(bool file_backed_only = false)
{
  std::FILE * maps = std::fopen("/proc/self/maps", "r");
  if (maps == nullptr) {
    throw std::runtime_error("cannot read /proc/self/maps");
  }
  std::uint64_t total = 0;
  char line[4096];
  while (std::fgets(line, sizeof(line), maps) != nullptr) {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t inode = 0;
    // address range, permissions, offset, device, inode, path
    if (std::sscanf(line, "%" SCNx64 "-%" SCNx64 " %*s %*s %*s %" SCNu64, &begin, &end, &inode) == 3 &&
      (!file_backed_only || inode != 0))
    {
      total += end - begin;
    }
  }
  std::fclose(maps);
  return total;
}

/// File descriptors open in this process, counted in /proc/self/fd.
inline int open_file_descriptors()
{
  DIR * fds = opendir("/proc/self/fd");
  if (fds == nullptr) {
    throw std::runtime_error("cannot read /proc/self/fd");
  }
  int count = 0;
  while (const dirent * entry = readdir(fds)) {
    count += entry->d_name[0] != '.' ? 1 : 0;
  }
  closedir(fds);
  return count - 1;  // the one opendir holds
}

/// A positive whole number from the environment, or `fallback`.
inline int setting(const char * name, int fallback)
{
  const char * text = std::getenv(name);
  const int value = text != nullptr ? std::atoi(text) : 0;
  return value > 0 ? value : fallback;
}

}  // namespace test_support

#endif  // SUPPORT__PROCESS_USAGE_HPP_
