// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__CALLGRIND_HPP_
#define SUPPORT__CALLGRIND_HPP_

#include <cstdint>
#include <map>
#include <string>

namespace test_support
{

/// Runs `command` under valgrind's callgrind and returns the instructions
/// executed in each function itself (callees not included), by function
/// name; throws if valgrind fails.
std::map<std::string, std::uint64_t> callgrind_self_instructions(const std::string & command);

}  // namespace test_support

#endif  // SUPPORT__CALLGRIND_HPP_
