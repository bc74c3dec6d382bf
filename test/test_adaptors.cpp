// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The init and fini adaptors against a recording message library: this test
// program defines the message library's four functions and exports them, so
// the type support library binds to these, which record each call and then
// forward it to the real message library.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "rosidl_runtime_c/string.h"

#include "support/call_with_mode.h"
#include "support/message_cases.hpp"
#include "support/string_command_library.hpp"

namespace
{

struct Call
{
  std::string function;
  void * message;

  bool operator==(const Call & other) const
  {
    return function == other.function && message == other.message;
  }
};

std::vector<Call> g_calls;

template<typename Function>
Function real(const char * name)
{
  void * sibling = dlopen("libzorv_interfaces__rosidl_generator_c.so", RTLD_NOW | RTLD_NOLOAD);
  if (sibling == nullptr) {
    throw std::runtime_error("the message library is not loaded");
  }
  void * found = dlsym(sibling, name);
  dlclose(sibling);
  if (found == nullptr || found == dlsym(RTLD_DEFAULT, name)) {
    throw std::runtime_error(std::string("no real ") + name);
  }
  return reinterpret_cast<Function>(found);
}

template<typename Message>
bool record_init(const char * name, Message * msg)
{
  g_calls.push_back({name, msg});
  return real<bool (*)(Message *)>(name)(msg);
}

template<typename Message>
void record_fini(const char * name, Message * msg)
{
  g_calls.push_back({name, msg});
  real<void (*)(Message *)>(name)(msg);
}

}  // namespace

// The recording message library. The message types are opaque here: the
// adaptors hand pointers through, and the real library does the work.
extern "C" {
struct zorv_interfaces__srv__StringCommand_Request;
struct zorv_interfaces__srv__StringCommand_Response;

__attribute__((visibility("default"))) bool
zorv_interfaces__srv__StringCommand_Request__init(zorv_interfaces__srv__StringCommand_Request * msg)
{
  return record_init("zorv_interfaces__srv__StringCommand_Request__init", msg);
}

__attribute__((visibility("default"))) void
zorv_interfaces__srv__StringCommand_Request__fini(zorv_interfaces__srv__StringCommand_Request * msg)
{
  record_fini("zorv_interfaces__srv__StringCommand_Request__fini", msg);
}

__attribute__((visibility("default"))) bool
zorv_interfaces__srv__StringCommand_Response__init(zorv_interfaces__srv__StringCommand_Response * msg)
{
  return record_init("zorv_interfaces__srv__StringCommand_Response__init", msg);
}

__attribute__((visibility("default"))) void
zorv_interfaces__srv__StringCommand_Response__fini(zorv_interfaces__srv__StringCommand_Response * msg)
{
  record_fini("zorv_interfaces__srv__StringCommand_Response__fini", msg);
}
}  // extern "C"

namespace
{

using test_support::StringCommandLibrary;
using test_support::members_of;

using test_support::MessageCase;

class Adaptors : public ::testing::TestWithParam<MessageCase>
{
protected:
  void SetUp() override {g_calls.clear();}

  StringCommandLibrary lib;
};

// The four enumerators, and values a C caller could pass beyond them.
const unsigned int kModes[] = {
  ROSIDL_RUNTIME_C_MSG_INIT_ALL, ROSIDL_RUNTIME_C_MSG_INIT_SKIP, ROSIDL_RUNTIME_C_MSG_INIT_ZERO,
  ROSIDL_RUNTIME_C_MSG_INIT_DEFAULTS_ONLY, 4, 0x7fffffff, UINT_MAX};

TEST_P(Adaptors, EveryModeInitsThenFinisTheMatchingMessageOnceEachWithTheSamePointer)
{
  const MessageCase & c = GetParam();
  const auto * members = members_of((lib.*c.getter_of)());

  for (unsigned int mode : kModes) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    g_calls.clear();
    alignas(std::max_align_t) unsigned char message[24];
    std::memset(message, 0x5A, sizeof(message));

    call_init_with_mode(members->init_function, message, mode);
    ASSERT_EQ(g_calls, (std::vector<Call>{{c.sibling_init, message}}));
    // The real initialisation ran: every mode gives the same empty string.
    const auto * text = reinterpret_cast<const rosidl_runtime_c__String *>(message);
    ASSERT_NE(text->data, nullptr);
    EXPECT_STREQ(text->data, "");

    members->fini_function(message);
    EXPECT_EQ(g_calls, (std::vector<Call>{{c.sibling_init, message}, {c.sibling_fini, message}}));
    EXPECT_EQ(text->data, nullptr);
  }
}

TEST_P(Adaptors, NullPointerGoesThroughUnchangedForEveryMode)
{
  const MessageCase & c = GetParam();
  const auto * members = members_of((lib.*c.getter_of)());

  for (unsigned int mode : kModes) {
    call_init_with_mode(members->init_function, nullptr, mode);
  }
  members->fini_function(nullptr);

  std::vector<Call> expected(std::size(kModes), Call{c.sibling_init, nullptr});
  expected.push_back({c.sibling_fini, nullptr});
  EXPECT_EQ(g_calls, expected);
}

TEST_P(Adaptors, ExportedAdaptorsReachTheSameMessageLibraryFunctions)
{
  const MessageCase & c = GetParam();
  const auto init = lib.*c.init_of;
  const auto fini = lib.*c.fini_of;

  alignas(std::max_align_t) unsigned char message[24];
  init(message, ROSIDL_RUNTIME_C_MSG_INIT_ZERO);
  fini(message);
  EXPECT_EQ(g_calls, (std::vector<Call>{{c.sibling_init, message}, {c.sibling_fini, message}}));
}

// Each record leads to its own adaptors, names and message library functions,
// and never to the other message's.
TEST_P(Adaptors, EachRecordLeadsToItsOwnAdaptorsNamesAndMessageLibraryFunctions)
{
  const MessageCase & c = GetParam();
  const MessageCase & other = test_support::other_case(c);
  const auto * members = members_of((lib.*c.getter_of)());

  EXPECT_STREQ(members->message_name_, c.message_name);
  ASSERT_EQ(members->member_count_, 1u);
  EXPECT_STREQ(members->members_[0].name_, c.field_name);
  EXPECT_EQ(reinterpret_cast<void *>(members->init_function), lib.library.address(c.init));
  EXPECT_EQ(reinterpret_cast<void *>(members->fini_function), lib.library.address(c.fini));
  EXPECT_NE(reinterpret_cast<void *>(members->init_function), lib.library.address(other.init));
  EXPECT_NE(reinterpret_cast<void *>(members->fini_function), lib.library.address(other.fini));
  EXPECT_NE(members, members_of((lib.*other.getter_of)()));

  alignas(std::max_align_t) unsigned char message[24];
  members->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  members->fini_function(message);
  EXPECT_EQ(g_calls, (std::vector<Call>{{c.sibling_init, message}, {c.sibling_fini, message}}));
}

INSTANTIATE_TEST_SUITE_P(
  StringCommand, Adaptors,
  ::testing::Values(test_support::kRequestCase, test_support::kResponseCase),
  test_support::MessageCaseName());

}  // namespace
