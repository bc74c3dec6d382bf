// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "callgrind.hpp"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace test_support
{

namespace
{

// From a callgrind output file written with --compress-strings=no.
std::map<std::string, EventCounts> self_counts(const std::string & callgrind_file)
{
  std::ifstream in(callgrind_file);
  if (!in) {
    throw std::runtime_error("cannot read " + callgrind_file);
  }
  std::map<std::string, EventCounts> costs;
  std::vector<std::string> events;
  std::string function;
  bool next_line_is_call_cost = false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("events:", 0) == 0) {
      std::istringstream names(line.substr(7));
      for (std::string name; names >> name; ) {
        events.push_back(name);
      }
    } else if (line.rfind("fn=", 0) == 0) {
      function = line.substr(3);
    } else if (line.rfind("calls=", 0) == 0) {
      // The cost line after a call is the callee's inclusive cost.
      next_line_is_call_cost = true;
    } else if (!line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) ||
      line[0] == '+' || line[0] == '-' || line[0] == '*'))
    {
      if (next_line_is_call_cost) {
        next_line_is_call_cost = false;
        continue;
      }
      // "position count...": one count per event, in the order of "events:";
      // trailing zero counts may be left out.
      std::istringstream fields(line);
      std::string position;
      fields >> position;
      std::uint64_t count = 0;
      for (std::size_t e = 0; e < events.size() && fields >> count; ++e) {
        if (!function.empty()) {
          costs[function][events[e]] += count;
        }
      }
    }
  }
  return costs;
}

}  // namespace

std::map<std::string, EventCounts> callgrind_self_counts(const std::string & command)
{
  char path[] = "/tmp/zorv-callgrind-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    throw std::runtime_error("mkstemp failed");
  }
  close(fd);
  const std::string run = "valgrind --tool=callgrind --cache-sim=yes --compress-strings=no "
    "--compress-pos=no --callgrind-out-file=" + std::string(path) + " " + command +
    " > /dev/null 2>&1";
  const int status = std::system(run.c_str());
  if (status != 0) {
    std::remove(path);
    throw std::runtime_error("callgrind run failed: " + run);
  }
  auto costs = self_counts(path);
  std::remove(path);
  return costs;
}

}  // namespace test_support
