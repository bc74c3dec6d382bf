// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// What a generic caller reads through the three handles: every field of every
// record, read with the installed headers and again with the field layout of
// ROS 2 Foxy, on fresh loads of the library.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "support/foxy_records.hpp"
#include "support/message_cases.hpp"
#include "support/process_usage.hpp"
#include "support/string_command_library.hpp"
#include "support/unexported_handles.hpp"

namespace
{

using test_support::LoadedLibrary;
using test_support::StringCommandLibrary;
using test_support::MessageCase;
using test_support::members_of;

using test_support::FoxyMessageMember;
using test_support::FoxyMessageMembers;
using test_support::FoxyServiceMembers;

template<typename Foxy, typename Installed>
Foxy as_foxy(const Installed * record)
{
  static_assert(sizeof(Foxy) <= sizeof(Installed), "the Foxy record must not read past ours");
  Foxy copy;
  std::memcpy(&copy, record, sizeof(Foxy));
  return copy;
}

// Checks one string member through either layout: the two layouts agree on
// every field up to get_function, and the rest are null either way.
template<typename Member>
void expect_string_member(const Member & member, const char * field_name)
{
  EXPECT_STREQ(member.name_, field_name);
  EXPECT_EQ(member.type_id_, rosidl_typesupport_introspection_c__ROS_TYPE_STRING);
  EXPECT_EQ(member.type_id_, 16);
  EXPECT_EQ(member.string_upper_bound_, 0u);
  EXPECT_EQ(member.members_, nullptr);
  EXPECT_FALSE(member.is_array_);
  EXPECT_EQ(member.array_size_, 0u);
  EXPECT_FALSE(member.is_upper_bound_);
  EXPECT_EQ(member.offset_, 0u);
  EXPECT_EQ(member.default_value_, nullptr);
  EXPECT_EQ(member.size_function, nullptr);
  EXPECT_EQ(member.get_const_function, nullptr);
  EXPECT_EQ(member.get_function, nullptr);
  EXPECT_EQ(member.resize_function, nullptr);
}

template<typename Members>
void expect_message_members(
  const Members & members, const MessageCase & expected, const LoadedLibrary & library)
{
  EXPECT_STREQ(members.message_namespace_, "zorv_interfaces__srv");
  EXPECT_STREQ(members.message_name_, expected.message_name);
  EXPECT_EQ(members.member_count_, 1u);
  EXPECT_EQ(members.size_of_, sizeof(rosidl_runtime_c__String));
  EXPECT_EQ(members.size_of_, 24u);
  ASSERT_NE(members.members_, nullptr);
  EXPECT_EQ(
    reinterpret_cast<void *>(members.init_function), library.address(expected.init));
  EXPECT_EQ(
    reinterpret_cast<void *>(members.fini_function), library.address(expected.fini));
}

class MessageRecords : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageRecords, HandleIsStableAndCarriesTheIdentifierAndLookupFunction)
{
  StringCommandLibrary lib;
  const MessageCase & expected = GetParam();
  auto getter = lib.library.function<test_support::MessageGetter>(expected.getter);

  const rosidl_message_type_support_t * handle = getter();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(getter(), handle);
  EXPECT_EQ(handle->typesupport_identifier, lib.identifier);
  EXPECT_STREQ(handle->typesupport_identifier, "rosidl_typesupport_introspection_c");
  EXPECT_EQ(handle->func, &get_message_typesupport_handle_function);
  EXPECT_EQ(handle->func(handle, lib.identifier), handle);
  EXPECT_EQ(get_message_typesupport_handle(handle, lib.identifier), handle);
}

TEST_P(MessageRecords, EveryFieldReadsTheSameThroughInstalledAndFoxyLayouts)
{
  StringCommandLibrary lib;
  const MessageCase & expected = GetParam();
  const auto * members = members_of((lib.*expected.getter_of)());

  expect_message_members(*members, expected, lib.library);
  expect_string_member(members->members_[0], expected.field_name);

  const auto foxy_members = as_foxy<FoxyMessageMembers>(members);
  expect_message_members(foxy_members, expected, lib.library);
  expect_string_member(as_foxy<FoxyMessageMember>(members->members_), expected.field_name);
}

TEST_P(MessageRecords, RoundTripThroughTheRecordsAlone)
{
  StringCommandLibrary lib;
  const MessageCase & expected = GetParam();
  const auto * members = members_of((lib.*expected.getter_of)());

  alignas(std::max_align_t) unsigned char message[24];
  std::memset(message, 0xA5, sizeof(message));
  ASSERT_LE(members->size_of_, sizeof(message));
  members->init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);

  auto * text = reinterpret_cast<rosidl_runtime_c__String *>(message + members->members_[0].offset_);
  ASSERT_NE(text->data, nullptr);
  EXPECT_STREQ(text->data, "");
  EXPECT_EQ(text->size, 0u);

  ASSERT_TRUE(rosidl_runtime_c__String__assign(text, "turn left, then 90 degrees"));
  const auto * read_back =
    reinterpret_cast<const rosidl_runtime_c__String *>(message + members->members_[0].offset_);
  EXPECT_STREQ(read_back->data, "turn left, then 90 degrees");
  EXPECT_EQ(read_back->size, std::strlen("turn left, then 90 degrees"));

  members->fini_function(message);
  EXPECT_EQ(text->data, nullptr);
  EXPECT_EQ(text->size, 0u);
  EXPECT_EQ(text->capacity, 0u);
}

INSTANTIATE_TEST_SUITE_P(
  StringCommand, MessageRecords,
  ::testing::Values(test_support::kRequestCase, test_support::kResponseCase),
  test_support::MessageCaseName());

// The service record and its links, in each order of first calls.

void expect_service(
  const rosidl_service_type_support_t * service, const StringCommandLibrary & lib)
{
  EXPECT_EQ(service->typesupport_identifier, lib.identifier);
  EXPECT_EQ(service->func, &get_service_typesupport_handle_function);
  EXPECT_EQ(service->func(service, lib.identifier), service);

  const auto * members = members_of(service);
  EXPECT_STREQ(members->service_namespace_, "zorv_interfaces__srv");
  EXPECT_STREQ(members->service_name_, "StringCommand");
  EXPECT_EQ(members->request_members_, members_of(lib.request_getter()));
  EXPECT_EQ(members->response_members_, members_of(lib.response_getter()));
  ASSERT_NE(members->request_members_, nullptr);
  ASSERT_NE(members->response_members_, nullptr);
  EXPECT_STREQ(members->request_members_->message_name_, "StringCommand_Request");
  EXPECT_STREQ(members->request_members_->members_[0].name_, "command");
  EXPECT_STREQ(members->response_members_->message_name_, "StringCommand_Response");
  EXPECT_STREQ(members->response_members_->members_[0].name_, "answer");

  const auto foxy = as_foxy<FoxyServiceMembers>(members);
  EXPECT_STREQ(foxy.service_namespace_, "zorv_interfaces__srv");
  EXPECT_STREQ(foxy.service_name_, "StringCommand");
  EXPECT_EQ(static_cast<const void *>(foxy.request_members_), members->request_members_);
  EXPECT_EQ(static_cast<const void *>(foxy.response_members_), members->response_members_);
}

const test_support::HandleLocator & locator()
{
  static const test_support::HandleLocator located(test_support::kTypeSupportPath);
  return located;
}

TEST(ServiceRecord, ServiceGetterFirstLinksBothMessagesAndSetsTheirIdentifiers)
{
  StringCommandLibrary lib;
  const test_support::UnexportedHandles handles = locator().locate(lib);
  EXPECT_EQ(test_support::load_state_deviation(handles), "");

  const rosidl_service_type_support_t * service = lib.service_getter();
  EXPECT_EQ(service, handles.service);
  const auto * members = members_of(service);
  // Read before any message getter runs here: the service getter set them.
  EXPECT_EQ(handles.request->typesupport_identifier, lib.identifier);
  EXPECT_EQ(handles.response->typesupport_identifier, lib.identifier);
  EXPECT_EQ(members->request_members_, handles.request->data);
  EXPECT_EQ(members->response_members_, handles.response->data);

  expect_service(service, lib);
}

TEST(ServiceRecord, ServiceGetterAfterBothMessageGettersChangesNoMessageHandle)
{
  StringCommandLibrary lib;
  EXPECT_EQ(test_support::load_state_deviation(locator().locate(lib)), "");

  const rosidl_message_type_support_t * request = lib.request_getter();
  const rosidl_message_type_support_t * response = lib.response_getter();
  const rosidl_message_type_support_t request_before = *request;
  const rosidl_message_type_support_t response_before = *response;

  const rosidl_service_type_support_t * service = lib.service_getter();
  EXPECT_EQ(std::memcmp(request, &request_before, sizeof(request_before)), 0);
  EXPECT_EQ(std::memcmp(response, &response_before, sizeof(response_before)), 0);
  EXPECT_EQ(members_of(service)->request_members_, request->data);
  EXPECT_EQ(members_of(service)->response_members_, response->data);
  expect_service(service, lib);
}

TEST(ServiceRecord, RepeatedCallsReturnTheSameHandleAndChangeNothing)
{
  StringCommandLibrary lib;
  const rosidl_service_type_support_t * service = lib.service_getter();
  const rosidl_service_type_support_t handle_before = *service;
  const rosidl_typesupport_introspection_c__ServiceMembers members_before = *members_of(service);

  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lib.service_getter(), service);
    EXPECT_EQ(lib.request_getter(), lib.request_getter());
  }
  EXPECT_EQ(std::memcmp(service, &handle_before, sizeof(handle_before)), 0);
  EXPECT_EQ(std::memcmp(members_of(service), &members_before, sizeof(members_before)), 0);
}

TEST(ServiceRecord, EachFreshLoadStartsFromTheLoadState)
{
  for (int load = 0; load < 3; ++load) {
    StringCommandLibrary lib;
    EXPECT_EQ(test_support::load_state_deviation(locator().locate(lib)), "");
    expect_service(lib.service_getter(), lib);
    lib.library.close();
    EXPECT_FALSE(LoadedLibrary::is_loaded(test_support::kTypeSupportPath));
  }
}

// Records that never change sit in memory that is read-only once relocated;
// the handles and the service record, which fill on first use, do not.
TEST(Memory, ConstantRecordsAreReadOnlyAndFilledOnesWritable)
{
  StringCommandLibrary lib;
  const rosidl_service_type_support_t * service = lib.service_getter();
  const auto * service_members = members_of(service);

  for (const rosidl_message_type_support_t * handle : {lib.request_getter(), lib.response_getter()}) {
    const auto * members = members_of(handle);
    EXPECT_EQ(test_support::mapping_permissions(members)[1], '-') << members->message_name_;
    EXPECT_EQ(test_support::mapping_permissions(members->members_)[1], '-') << members->message_name_;
    EXPECT_EQ(test_support::mapping_permissions(members->message_name_)[1], '-');
    EXPECT_EQ(test_support::mapping_permissions(handle)[1], 'w') << members->message_name_;
  }
  EXPECT_EQ(test_support::mapping_permissions(service)[1], 'w');
  EXPECT_EQ(test_support::mapping_permissions(service_members)[1], 'w');
}

}  // namespace
