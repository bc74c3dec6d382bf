// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/readable_memory.hpp"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

ReadableMemory::ReadableMemory()
{
  FILE * maps = std::fopen("/proc/self/maps", "re");
  if (maps == nullptr) {
    throw Error("cannot read /proc/self/maps to check the records' pointers");
  }
  char line[4096];
  while (std::fgets(line, sizeof(line), maps) != nullptr) {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    char permissions[5] = {};
    if (std::sscanf(line, "%" SCNxPTR "-%" SCNxPTR " %4s", &begin, &end, permissions) == 3) {
      ranges_.push_back({begin, end, permissions[0] == 'r', permissions[2] == 'x'});
    }
    // A line longer than the buffer continues on the next read: skip the rest.
    while (std::strchr(line, '\n') == nullptr && std::fgets(line, sizeof(line), maps) != nullptr) {
    }
  }
  std::fclose(maps);
  std::sort(ranges_.begin(), ranges_.end(),
    [](const Range & a, const Range & b) {return a.begin < b.begin;});
}

const ReadableMemory::Range * ReadableMemory::find(std::uintptr_t address) const
{
  auto after = std::upper_bound(ranges_.begin(), ranges_.end(), address,
      [](std::uintptr_t value, const Range & range) {return value < range.begin;});
  if (after == ranges_.begin()) {
    return nullptr;
  }
  const Range & range = *(after - 1);
  return address < range.end ? &range : nullptr;
}

bool ReadableMemory::readable(const void * address, std::size_t size) const
{
  std::uintptr_t at = reinterpret_cast<std::uintptr_t>(address);
  if (at == 0 || size > UINTPTR_MAX - at) {
    return false;
  }
  const std::uintptr_t end = at + size;
  // Adjacent readable mappings count as one.
  while (at < end || size == 0) {
    const Range * range = find(at);
    if (range == nullptr || !range->readable) {
      return false;
    }
    if (size == 0) {
      return true;
    }
    at = range->end;
  }
  return true;
}

bool ReadableMemory::executable(const void * address) const
{
  const Range * range = find(reinterpret_cast<std::uintptr_t>(address));
  return range != nullptr && range->executable;
}

std::optional<std::string> ReadableMemory::text(const char * address, std::size_t max_length) const
{
  std::uintptr_t at = reinterpret_cast<std::uintptr_t>(address);
  std::string found;
  while (true) {
    const Range * range = at == 0 ? nullptr : find(at);
    if (range == nullptr || !range->readable) {
      return std::nullopt;
    }
    const char * begin = reinterpret_cast<const char *>(at);
    const std::size_t available =
      std::min<std::uintptr_t>(range->end - at, max_length + 1 - found.size());
    const void * nul = std::memchr(begin, '\0', available);
    if (nul != nullptr) {
      found.append(begin, static_cast<const char *>(nul));
      return found;
    }
    found.append(begin, available);
    if (found.size() > max_length) {
      return std::nullopt;
    }
    at = range->end;
  }
}

}  // namespace typesupport_core
