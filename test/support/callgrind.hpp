// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__CALLGRIND_HPP_
#define SUPPORT__CALLGRIND_HPP_

#include <cstdint>
#include <map>
#include <string>

namespace test_support
{

/// Event counts of one function, by callgrind's event name ("Ir", "Dw", ...).
using EventCounts = std::map<std::string, std::uint64_t>;

/// Runs `command` under valgrind's callgrind with its cache simulation on, so
/// that data reads ("Dr") and writes ("Dw") are counted besides instructions
/// ("Ir"), and returns each function's own counts (callees not included), by
/// function name; throws if valgrind fails.
std::map<std::string, EventCounts> callgrind_self_counts(const std::string & command);

}  // namespace test_support

#endif  // SUPPORT__CALLGRIND_HPP_
