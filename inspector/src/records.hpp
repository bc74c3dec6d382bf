// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef RECORDS_HPP_
#define RECORDS_HPP_

#include <cstddef>
#include <string>

#include "rosidl_typesupport_introspection_c/message_introspection.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"

#include "interface_name.hpp"

namespace typesupport_inspect
{

using MessageMember = rosidl_typesupport_introspection_c__MessageMember;
using MessageMembers = rosidl_typesupport_introspection_c__MessageMembers;
using ServiceMembers = rosidl_typesupport_introspection_c__ServiceMembers;

/// The identifier every introspection C type support handle carries.
inline constexpr char kIntrospectionIdentifier[] = "rosidl_typesupport_introspection_c";

/// How a field repeats.
enum class ArrayKind
{
  none,  ///< a single value
  fixed,  ///< T[N]
  bounded_sequence,  ///< T[<=N]
  sequence,  ///< T[]
};

ArrayKind array_kind(const MessageMember & member);

/// The members record of a nested message field, or null for other fields.
const MessageMembers * nested_members(const MessageMember & member);

/// The type of a nested message as an interface file names it: "package/Name".
std::string message_type_name(const MessageMembers & members);

/// The type of one element of a field: "int32", "string<=10", "package/Name".
std::string element_type_name(const MessageMember & member);

/// The type of a field with its array suffix: "int32[3]", "string[<=5]", "package/Name[]".
std::string field_type_name(const MessageMember & member);

/// Bytes one element of the field takes in memory; 0 for a type code this
/// inspector does not know.
std::size_t element_size(const MessageMember & member);

/// What a type support handle describes: a service or a message.
struct Interface
{
  InterfaceName name;
  std::string identifier;
  const ServiceMembers * service = nullptr;
  const MessageMembers * message = nullptr;
};

/// Checks what a handle's `data` describes before anything walks it: every
/// name and member array present, nested records reachable, nesting bounded.
/// Throws InspectError naming the fault.
Interface describe_handle(const InterfaceName & name, const char * identifier, const void * data);

}  // namespace typesupport_inspect

#endif  // RECORDS_HPP_
