// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Load, use and unload the library thousands of times, as a plugin host may:
// each load starts from the state at load, and the process keeps no trace of
// earlier loads. ZORV_LOAD_CYCLES sets the number of cycles.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/process_usage.hpp"
#include "support/string_command_library.hpp"
#include "support/unexported_handles.hpp"

namespace
{

using test_support::LoadedLibrary;
using test_support::StringCommandLibrary;
using test_support::members_of;

// One cycle: load, check the load state, make the first calls and a message,
// unload. Returns "" or what went wrong.
std::string cycle(const test_support::HandleLocator & locator)
{
  std::string problem;
  {
    StringCommandLibrary lib;
    problem = test_support::load_state_deviation(locator.locate(lib));
    const rosidl_service_type_support_t * service = lib.service_getter();
    if (problem.empty() && service->typesupport_identifier != lib.identifier) {
      problem = "service identifier not set";
    }
    const auto * request = members_of(service)->request_members_;
    alignas(std::max_align_t) unsigned char message[24];
    request->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
    request->fini_function(message);
  }
  if (problem.empty() && LoadedLibrary::is_loaded(test_support::kTypeSupportPath)) {
    problem = "still loaded after dlclose";
  }
  return problem;
}

TEST(LoadCycles, RepeatedLoadsStartFreshAndLeaveNoMappingOrDescriptorBehind)
{
  const int cycles = test_support::setting("ZORV_LOAD_CYCLES", 10000);
  const test_support::HandleLocator locator(test_support::kTypeSupportPath);

  // The first loads may set up the loader's and allocator's own state.
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(cycle(locator), "") << "warm-up cycle " << i;
  }
  // Sanitizer runtimes map shadow memory as the process runs; there only the
  // mappings of files (the libraries themselves) are compared.
  const bool file_backed_only = ZORV_SANITIZED;
  const std::uint64_t mapped_before = test_support::mapped_bytes(file_backed_only);
  const int descriptors_before = test_support::open_file_descriptors();

  for (int i = 0; i < cycles; ++i) {
    const std::string problem = cycle(locator);
    ASSERT_EQ(problem, "") << "cycle " << i;
  }

  EXPECT_EQ(test_support::mapped_bytes(file_backed_only), mapped_before) << "after " << cycles << " cycles";
  EXPECT_EQ(test_support::open_file_descriptors(), descriptors_before);
}

}  // namespace
