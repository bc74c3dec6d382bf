// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TEST__SERVICE__SUPPORT__SERVICE_FIXTURE_HPP_
#define TEST__SERVICE__SUPPORT__SERVICE_FIXTURE_HPP_

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>

#include "service/dds/ros_environment.hpp"
#include "service/dds/ros_names.hpp"

namespace service_test
{

/// How long a test waits for anything a peer does: far longer than it takes.
constexpr std::chrono::seconds kPatience{20};

/// Selects `domain_id` for this process and its peers and reads the
/// environment as the binding's user would.
typesupport_dds::DomainSettings settings_for_domain(unsigned domain_id);

/// The topic and type names of StringCommand service `service`.
typesupport_dds::ServiceTopicNames string_command_names(const std::string & service);

/// The value `future` gets within kPatience. Aborts the test program when
/// none comes: a thread still blocked in the binding cannot be left behind.
template<typename T>
T get_in_time(std::future<T> & future, const char * what)
{
  if (future.wait_for(kPatience) != std::future_status::ready) {
    std::fprintf(stderr, "%s: still blocked after %lld s\n", what,
      static_cast<long long>(kPatience.count()));
    std::abort();
  }
  return future.get();
}

}  // namespace service_test

#endif  // TEST__SERVICE__SUPPORT__SERVICE_FIXTURE_HPP_
