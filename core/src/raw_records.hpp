// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef RAW_RECORDS_HPP_
#define RAW_RECORDS_HPP_

#include <cstddef>
#include <cstdint>

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"

namespace typesupport_core
{

// The introspection records as they lie in memory, spelled out here so that
// either layout can be read whatever headers this was built with. Booleans
// are read as bytes, so that a value other than 0 or 1 can be told apart.

using SizeFunction = std::size_t (*)(const void *);
using GetConstFunction = const void * (*)(const void *, std::size_t);
using GetFunction = void * (*)(void *, std::size_t);
using FetchFunction = void (*)(const void *, std::size_t, void *);
using AssignFunction = void (*)(void *, std::size_t, const void *);
using ResizeFunction = bool (*)(void *, std::size_t);
using InitFunction = void (*)(void *, enum rosidl_runtime_c__message_initialization);
using FiniFunction = void (*)(void *);

struct RawHandle
{
  const char * typesupport_identifier;
  const void * data;
  const void * func;
};

// The fields both layouts share, in their order.
struct RawMemberHead
{
  const char * name_;
  std::uint8_t type_id_;
  std::size_t string_upper_bound_;
  const RawHandle * members_;
  std::uint8_t is_array_;
  std::size_t array_size_;
  std::uint8_t is_upper_bound_;
  std::uint32_t offset_;
  const void * default_value_;
  SizeFunction size_function;
  GetConstFunction get_const_function;
  GetFunction get_function;
};

struct RawFoxyMember
{
  RawMemberHead head;
  ResizeFunction resize_function;
};

struct RawHumbleMember
{
  RawMemberHead head;
  FetchFunction fetch_function;
  AssignFunction assign_function;
  ResizeFunction resize_function;
};

struct RawMessageMembers
{
  const char * message_namespace_;
  const char * message_name_;
  std::uint32_t member_count_;
  std::size_t size_of_;
  const void * members_;
  InitFunction init_function;
  FiniFunction fini_function;
};

struct RawServiceMembers
{
  const char * service_namespace_;
  const char * service_name_;
  const RawMessageMembers * request_members_;
  const RawMessageMembers * response_members_;
};

static_assert(sizeof(RawFoxyMember) == 96, "Foxy's member record is 96 bytes on x86-64");
static_assert(sizeof(RawHumbleMember) == 112, "the 15-field member record is 112 bytes on x86-64");
static_assert(
  sizeof(rosidl_typesupport_introspection_c__MessageMember) == sizeof(RawFoxyMember) ||
  sizeof(rosidl_typesupport_introspection_c__MessageMember) == sizeof(RawHumbleMember),
  "the installed member record has one of the two known layouts");
static_assert(
  sizeof(rosidl_typesupport_introspection_c__MessageMembers) == sizeof(RawMessageMembers),
  "the members record is laid out as read here");

}  // namespace typesupport_core

#endif  // RAW_RECORDS_HPP_
