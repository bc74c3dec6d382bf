// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Calls each exported function of the type support library COUNT times after
// one first call, for instruction counting under callgrind: the difference
// between two runs with different counts is the steady-state cost.
//
//   call_driver LIBRARY COUNT

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "support/string_command_library.hpp"

int main(int argc, char ** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LIBRARY COUNT\n", argv[0]);
    return 2;
  }
  const long count = std::atol(argv[2]);
  try {
    test_support::LoadedLibrary library(argv[1]);
    const auto request = library.function<test_support::MessageGetter>(test_support::kRequestGetter);
    const auto response =
      library.function<test_support::MessageGetter>(test_support::kResponseGetter);
    const auto service = library.function<test_support::ServiceGetter>(test_support::kServiceGetter);
    const auto request_init = library.function<test_support::InitFunction>(test_support::kRequestInit);
    const auto request_fini = library.function<test_support::FiniFunction>(test_support::kRequestFini);
    const auto response_init =
      library.function<test_support::InitFunction>(test_support::kResponseInit);
    const auto response_fini =
      library.function<test_support::FiniFunction>(test_support::kResponseFini);

    // The first calls, whose one-time work is the same in every run.
    service();
    request();
    response();

    alignas(std::max_align_t) unsigned char message[24];
    for (long i = 0; i < count; ++i) {
      // Volatile stores keep the calls from being merged or dropped.
      volatile const void * sink = request();
      sink = response();
      sink = service();
      (void)sink;
      request_init(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
      request_fini(message);
      response_init(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
      response_fini(message);
    }
  } catch (const std::exception & e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
