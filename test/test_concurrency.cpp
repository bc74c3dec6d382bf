// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Many threads race the first calls of the three getters on a fresh load,
// over and over; every thread must see every field filled, and all threads
// the same values. ZORV_STRESS_THREADS and ZORV_STRESS_LOADS scale the run.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/process_usage.hpp"
#include "support/start_line.hpp"
#include "support/string_command_library.hpp"

namespace
{

using test_support::StringCommandLibrary;
using test_support::members_of;
using test_support::setting;

// What one thread saw once all three getters had returned to it.
struct Observation
{
  const rosidl_message_type_support_t * request = nullptr;
  const rosidl_message_type_support_t * response = nullptr;
  const rosidl_service_type_support_t * service = nullptr;
  const char * request_identifier = nullptr;
  const char * response_identifier = nullptr;
  const char * service_identifier = nullptr;
  const void * request_link = nullptr;
  const void * response_link = nullptr;

  bool operator==(const Observation & other) const
  {
    return request == other.request && response == other.response && service == other.service &&
           request_identifier == other.request_identifier &&
           response_identifier == other.response_identifier &&
           service_identifier == other.service_identifier && request_link == other.request_link &&
           response_link == other.response_link;
  }
};

// Calls the getters in the order numbered `order` (0 to 5), then reads every
// field that the first calls fill.
Observation race(const StringCommandLibrary & lib, int order)
{
  std::array<int, 3> sequence{0, 1, 2};
  for (int i = 0; i < order; ++i) {
    std::next_permutation(sequence.begin(), sequence.end());
  }
  Observation seen;
  for (int which : sequence) {
    switch (which) {
      case 0: seen.request = lib.request_getter(); break;
      case 1: seen.response = lib.response_getter(); break;
      default: seen.service = lib.service_getter(); break;
    }
  }
  seen.request_identifier = seen.request->typesupport_identifier;
  seen.response_identifier = seen.response->typesupport_identifier;
  seen.service_identifier = seen.service->typesupport_identifier;
  seen.request_link = members_of(seen.service)->request_members_;
  seen.response_link = members_of(seen.service)->response_members_;
  return seen;
}

TEST(Concurrency, RacingFirstCallsOnFreshLoadsAllSeeOneConsistentSetOfValues)
{
  const int threads = setting("ZORV_STRESS_THREADS", 64);
  const int loads = setting("ZORV_STRESS_LOADS", 500);
  int inconsistent_loads = 0;

  for (int load = 0; load < loads; ++load) {
    StringCommandLibrary lib;
    std::vector<Observation> seen(static_cast<std::size_t>(threads));
    test_support::StartLine start(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back(
        [&, t] {
          start.arrive_and_wait();
          seen[static_cast<std::size_t>(t)] = race(lib, (t + load) % 6);
        });
    }
    for (auto & worker : workers) {
      worker.join();
    }

    // What any caller must see once the getters have returned.
    const Observation expected{
      lib.request_getter(), lib.response_getter(), lib.service_getter(), lib.identifier,
      lib.identifier, lib.identifier, members_of(lib.request_getter()),
      members_of(lib.response_getter())};
    const bool all_consistent = std::all_of(
      seen.begin(), seen.end(), [&](const Observation & o) {return o == expected;});
    if (!all_consistent) {
      ++inconsistent_loads;
    }
  }
  EXPECT_EQ(inconsistent_loads, 0) << "of " << loads << " loads raced by " << threads << " threads";
}

}  // namespace
