// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__FOXY_RECORDS_HPP_
#define SUPPORT__FOXY_RECORDS_HPP_

#include <cstddef>
#include <cstdint>

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"

namespace test_support
{

/// ROS 2 Foxy's rosidl_typesupport_introspection_c__MessageMember, field by
/// field (13 fields; the installed headers may have 15): a caller built
/// against Foxy reads these fields at these offsets, and a library built for
/// Foxy lays them out so.
struct FoxyMessageMember
{
  const char * name_;
  std::uint8_t type_id_;
  std::size_t string_upper_bound_;
  const rosidl_message_type_support_t * members_;
  bool is_array_;
  std::size_t array_size_;
  bool is_upper_bound_;
  std::uint32_t offset_;
  const void * default_value_;
  std::size_t (* size_function)(const void *);
  const void * (*get_const_function)(const void *, std::size_t index);
  void * (*get_function)(void *, std::size_t index);
  bool (* resize_function)(void *, std::size_t size);
};

/// The members record, the same in both layouts, with an array of Foxy's
/// member records.
struct FoxyMessageMembers
{
  const char * message_namespace_;
  const char * message_name_;
  std::uint32_t member_count_;
  std::size_t size_of_;
  const FoxyMessageMember * members_;
  void (* init_function)(void *, enum rosidl_runtime_c__message_initialization);
  void (* fini_function)(void *);
};

/// The service record, the same in both layouts.
struct FoxyServiceMembers
{
  const char * service_namespace_;
  const char * service_name_;
  const FoxyMessageMembers * request_members_;
  const FoxyMessageMembers * response_members_;
};

static_assert(sizeof(FoxyMessageMember) == 96, "Foxy's member record is 96 bytes on x86-64");
static_assert(
  sizeof(FoxyMessageMembers) == sizeof(rosidl_typesupport_introspection_c__MessageMembers),
  "the members record has one layout");

}  // namespace test_support

#endif  // SUPPORT__FOXY_RECORDS_HPP_
