// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The getters allocate nothing, on their first calls or ever after. This test
// program defines the C allocator's entry points and exports them, so every
// heap call in the process, the libraries' included, is counted here.

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>

#include "support/string_command_library.hpp"

extern "C" {
void * __libc_malloc(std::size_t size);
void * __libc_calloc(std::size_t count, std::size_t size);
void * __libc_realloc(void * pointer, std::size_t size);
void __libc_free(void * pointer);
}

namespace
{

std::atomic<bool> g_counting{false};
std::atomic<long> g_heap_calls{0};

}  // namespace

// Sanitizer runtimes own the allocator themselves; there the counting is off.
#if !ZORV_SANITIZED
namespace
{

void count()
{
  if (g_counting.load(std::memory_order_relaxed)) {
    g_heap_calls.fetch_add(1, std::memory_order_relaxed);
  }
}

}  // namespace

extern "C" {
__attribute__((visibility("default"))) void * malloc(std::size_t size)
{
  count();
  return __libc_malloc(size);
}

__attribute__((visibility("default"))) void * calloc(std::size_t count_, std::size_t size)
{
  count();
  return __libc_calloc(count_, size);
}

__attribute__((visibility("default"))) void * realloc(void * pointer, std::size_t size)
{
  count();
  return __libc_realloc(pointer, size);
}

__attribute__((visibility("default"))) void free(void * pointer)
{
  if (pointer != nullptr) {
    count();
  }
  __libc_free(pointer);
}
}  // extern "C"
#endif

namespace
{

using test_support::StringCommandLibrary;

class HeapCalls : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (ZORV_SANITIZED) {
      GTEST_SKIP() << "a sanitizer build replaces the allocator";
    }
  }
};

TEST_F(HeapCalls, CountingSeesTheMessageLibraryAllocate)
{
  StringCommandLibrary lib;
  alignas(std::max_align_t) unsigned char message[24];
  g_heap_calls = 0;
  g_counting = true;
  lib.request_init(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  lib.request_fini(message);
  g_counting = false;
  EXPECT_EQ(g_heap_calls, 2) << "one allocation and one free of the empty string";
}

TEST_F(HeapCalls, FirstCallsAndAMillionSteadyCallsAllocateNothing)
{
  StringCommandLibrary lib;  // loading allocates; the calls must not
  g_heap_calls = 0;
  g_counting = true;

  lib.service_getter();
  lib.request_getter();
  lib.response_getter();
  const long first_calls = g_heap_calls;

  const void * volatile sink = nullptr;
  for (int i = 0; i < 1000000; ++i) {
    sink = lib.request_getter();
    sink = lib.response_getter();
    sink = lib.service_getter();
  }
  (void)sink;
  g_counting = false;

  EXPECT_EQ(first_calls, 0);
  EXPECT_EQ(g_heap_calls, 0);
}

}  // namespace
