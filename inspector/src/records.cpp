// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "records.hpp"

#include <cstring>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/u16string.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "inspect_error.hpp"

namespace typesupport_inspect
{

ArrayKind array_kind(const MessageMember & member)
{
  if (!member.is_array_) {
    return ArrayKind::none;
  }
  if (member.is_upper_bound_) {
    return ArrayKind::bounded_sequence;
  }
  return member.array_size_ > 0 ? ArrayKind::fixed : ArrayKind::sequence;
}

const MessageMembers * nested_members(const MessageMember & member)
{
  if (member.type_id_ != rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE ||
    member.members_ == nullptr)
  {
    return nullptr;
  }
  return static_cast<const MessageMembers *>(member.members_->data);
}

std::string message_type_name(const MessageMembers & members)
{
  // The namespace is "package__kind".
  const std::string space = members.message_namespace_;
  const std::size_t separator = space.find("__");
  return space.substr(0, separator) + "/" + members.message_name_;
}

std::string element_type_name(const MessageMember & member)
{
  switch (member.type_id_) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT: return "float32";
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE: return "float64";
    case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE: return "long double";
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR: return "char";
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR: return "wchar";
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN: return "bool";
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET: return "byte";
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8: return "uint8";
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8: return "int8";
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16: return "uint16";
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16: return "int16";
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32: return "uint32";
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32: return "int32";
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64: return "uint64";
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64: return "int64";
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING:
    case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING: {
        const bool narrow = member.type_id_ == rosidl_typesupport_introspection_c__ROS_TYPE_STRING;
        std::string name = narrow ? "string" : "wstring";
        if (member.string_upper_bound_ > 0) {
          name += "<=" + std::to_string(member.string_upper_bound_);
        }
        return name;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE: {
        const MessageMembers * nested = nested_members(member);
        return nested != nullptr ? message_type_name(*nested) : "<unknown message>";
      }
    default:
      return "<type " + std::to_string(member.type_id_) + ">";
  }
}

std::string field_type_name(const MessageMember & member)
{
  const std::string element = element_type_name(member);
  switch (array_kind(member)) {
    case ArrayKind::fixed: return element + "[" + std::to_string(member.array_size_) + "]";
    case ArrayKind::bounded_sequence:
      return element + "[<=" + std::to_string(member.array_size_) + "]";
    case ArrayKind::sequence: return element + "[]";
    case ArrayKind::none: break;
  }
  return element;
}

std::size_t element_size(const MessageMember & member)
{
  switch (member.type_id_) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT: return sizeof(float);
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE: return sizeof(double);
    case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE: return sizeof(long double);
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR: return sizeof(signed char);
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR: return sizeof(std::uint16_t);
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN: return sizeof(bool);
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8: return 1;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16: return 2;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32: return 4;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64: return 8;
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING:
      return sizeof(rosidl_runtime_c__String);
    case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING:
      return sizeof(rosidl_runtime_c__U16String);
    case rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE: {
        const MessageMembers * nested = nested_members(member);
        return nested != nullptr ? nested->size_of_ : 0;
      }
    default:
      return 0;
  }
}

namespace
{

// Deeper nesting than this is taken for a cycle in the records.
constexpr int kMaxNesting = 32;

void check_message(const MessageMembers * members, const std::string & where, int depth)
{
  if (members == nullptr) {
    throw InspectError(where + ": no message members record");
  }
  if (depth > kMaxNesting) {
    throw InspectError(where + ": messages nest deeper than " + std::to_string(kMaxNesting));
  }
  if (members->message_namespace_ == nullptr || members->message_name_ == nullptr) {
    throw InspectError(where + ": message record without namespace or name");
  }
  const std::string name = std::string(members->message_namespace_) + "::" + members->message_name_;
  if (members->member_count_ > 0 && members->members_ == nullptr) {
    throw InspectError(name + ": " + std::to_string(members->member_count_) +
      " fields but no member array");
  }
  for (std::uint32_t i = 0; i < members->member_count_; ++i) {
    const MessageMember & member = members->members_[i];
    if (member.name_ == nullptr) {
      throw InspectError(name + ": field " + std::to_string(i) + " has no name");
    }
    if (member.type_id_ == rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE) {
      if (member.members_ == nullptr || member.members_->data == nullptr) {
        throw InspectError(name + "." + member.name_ + ": nested message without type support");
      }
      check_message(nested_members(member), name + "." + member.name_, depth + 1);
    }
  }
}

}  // namespace

Interface describe_handle(const InterfaceName & name, const char * identifier, const void * data)
{
  if (identifier == nullptr || std::strcmp(identifier, kIntrospectionIdentifier) != 0) {
    throw InspectError(name.text() + ": handle identifier is '" +
      (identifier != nullptr ? identifier : "(null)") + "', not '" + kIntrospectionIdentifier +
      "'");
  }
  if (data == nullptr) {
    throw InspectError(name.text() + ": handle has no data");
  }
  Interface interface{name, identifier, nullptr, nullptr};
  if (name.is_service()) {
    interface.service = static_cast<const ServiceMembers *>(data);
    const ServiceMembers & service = *interface.service;
    if (service.service_namespace_ == nullptr || service.service_name_ == nullptr) {
      throw InspectError(name.text() + ": service record without namespace or name");
    }
    check_message(interface.service->request_members_, name.text() + " request", 0);
    check_message(interface.service->response_members_, name.text() + " response", 0);
  } else {
    interface.message = static_cast<const MessageMembers *>(data);
    check_message(interface.message, name.text(), 0);
  }
  return interface;
}

}  // namespace typesupport_inspect
