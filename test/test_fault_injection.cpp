// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Allocation failures inside the message library, and garbage in message
// memory. This test program defines rcutils_get_default_allocator and exports
// it, so the ROS runtime's string functions allocate through an allocator
// that counts every block and fails on request.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>

#include "rcutils/allocator.h"
#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"

#include "support/message_cases.hpp"
#include "support/string_command_library.hpp"

namespace
{

std::atomic<bool> g_fail_allocations{false};
std::atomic<long> g_live_blocks{0};
std::atomic<long> g_failed_allocations{0};

rcutils_allocator_t real_default_allocator()
{
  using Getter = rcutils_allocator_t (*)();
  static const auto real = reinterpret_cast<Getter>(dlsym(RTLD_NEXT, "rcutils_get_default_allocator"));
  return real();
}

bool refuse()
{
  if (g_fail_allocations) {
    ++g_failed_allocations;
    return true;
  }
  return false;
}

void * counting_allocate(size_t size, void * state)
{
  if (refuse()) {
    return nullptr;
  }
  void * block = real_default_allocator().allocate(size, state);
  g_live_blocks += block != nullptr ? 1 : 0;
  return block;
}

void * counting_zero_allocate(size_t count, size_t size, void * state)
{
  if (refuse()) {
    return nullptr;
  }
  void * block = real_default_allocator().zero_allocate(count, size, state);
  g_live_blocks += block != nullptr ? 1 : 0;
  return block;
}

void * counting_reallocate(void * pointer, size_t size, void * state)
{
  if (refuse()) {
    return nullptr;
  }
  void * block = real_default_allocator().reallocate(pointer, size, state);
  g_live_blocks += pointer == nullptr && block != nullptr ? 1 : 0;
  return block;
}

void counting_deallocate(void * pointer, void * state)
{
  g_live_blocks -= pointer != nullptr ? 1 : 0;
  real_default_allocator().deallocate(pointer, state);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) rcutils_allocator_t rcutils_get_default_allocator()
{
  rcutils_allocator_t allocator = real_default_allocator();
  allocator.allocate = counting_allocate;
  allocator.zero_allocate = counting_zero_allocate;
  allocator.reallocate = counting_reallocate;
  allocator.deallocate = counting_deallocate;
  return allocator;
}

namespace
{

using test_support::StringCommandLibrary;
using test_support::members_of;

using test_support::MessageCase;

class FaultInjection : public ::testing::TestWithParam<MessageCase>
{
protected:
  void SetUp() override
  {
    members = members_of((lib.*GetParam().getter_of)());
    g_fail_allocations = false;
    g_failed_allocations = 0;
    live_at_start = g_live_blocks;
  }

  void TearDown() override
  {
    g_fail_allocations = false;
    EXPECT_EQ(g_live_blocks, live_at_start) << "blocks leaked";
  }

  rosidl_runtime_c__String * text() {return reinterpret_cast<rosidl_runtime_c__String *>(message);}

  StringCommandLibrary lib;
  const rosidl_typesupport_introspection_c__MessageMembers * members = nullptr;
  long live_at_start = 0;
  alignas(std::max_align_t) unsigned char message[24];
};

TEST_P(FaultInjection, FailedInitLeavesAMessageThatFiniAcceptsAndThatInitialisesLater)
{
  std::memset(message, 0xEE, sizeof(message));
  g_fail_allocations = true;
  members->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  g_fail_allocations = false;

  ASSERT_GT(g_failed_allocations, 0) << "the init never reached the allocator";
  EXPECT_EQ(text()->data, nullptr);
  EXPECT_EQ(text()->size, 0u);
  EXPECT_EQ(text()->capacity, 0u);
  members->fini_function(message);  // must neither crash nor free garbage

  members->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  ASSERT_NE(text()->data, nullptr);
  EXPECT_STREQ(text()->data, "");
  ASSERT_TRUE(rosidl_runtime_c__String__assign(text(), "after the failure"));
  EXPECT_STREQ(text()->data, "after the failure");
  members->fini_function(message);
  EXPECT_EQ(text()->data, nullptr);
}

TEST_P(FaultInjection, MessageLibraryReportsTheFailureTheAdaptorCannotPassOn)
{
  using SiblingInit = bool (*)(void *);
  const auto sibling_init = lib.library.function<SiblingInit>(GetParam().sibling_init);

  g_fail_allocations = true;
  EXPECT_FALSE(sibling_init(message));
  g_fail_allocations = false;
  members->fini_function(message);

  EXPECT_TRUE(sibling_init(message));
  members->fini_function(message);
}

TEST_P(FaultInjection, FailedAssignAfterInitKeepsTheMessageWhole)
{
  members->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  ASSERT_TRUE(rosidl_runtime_c__String__assign(text(), "kept"));

  g_fail_allocations = true;
  EXPECT_FALSE(rosidl_runtime_c__String__assign(text(), std::string(4096, 'x').c_str()));
  g_fail_allocations = false;

  EXPECT_STREQ(text()->data, "kept");
  members->fini_function(message);
}

TEST_P(FaultInjection, GarbageBeforeInitIsOverwrittenWhateverItHolds)
{
  for (const unsigned char pattern : {0x00, 0xFF, 0x5A, 0x01}) {
    SCOPED_TRACE("pattern " + std::to_string(pattern));
    std::memset(message, pattern, sizeof(message));
    members->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_SKIP);
    ASSERT_NE(text()->data, nullptr);
    EXPECT_STREQ(text()->data, "");
    EXPECT_EQ(text()->size, 0u);
    members->fini_function(message);
  }
}

INSTANTIATE_TEST_SUITE_P(
  StringCommand, FaultInjection,
  ::testing::Values(test_support::kRequestCase, test_support::kResponseCase),
  test_support::MessageCaseName());

}  // namespace
