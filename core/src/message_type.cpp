// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/message_type.hpp"

#include "rosidl_typesupport_introspection_c/field_types.h"

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

const char * layout_name(MemberLayout layout)
{
  return layout == MemberLayout::foxy ? "foxy" : "humble";
}

MemberLayout parse_layout(const std::string & name)
{
  if (name != "foxy" && name != "humble") {
    throw InputError("--layout must be 'foxy' or 'humble', not '" + name + "'");
  }
  return name == "foxy" ? MemberLayout::foxy : MemberLayout::humble;
}

std::string MessageType::text() const
{
  return interface_text(record_namespace, name);
}

std::string ServiceType::text() const
{
  return interface_text(record_namespace, name);
}

std::string element_type_name(const Field & field)
{
  switch (field.type_id) {
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
        std::string name =
          field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_STRING ? "string" : "wstring";
        if (field.string_upper_bound > 0) {
          name += "<=" + std::to_string(field.string_upper_bound);
        }
        return name;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE: {
        if (field.nested == nullptr) {
          return "<message>";
        }
        // Interface files name nested types without their kind.
        const std::string & space = field.nested->record_namespace;
        const std::size_t separator = space.find("__");
        return space.substr(0, separator) + "/" + field.nested->name;
      }
    default:
      return "<type " + std::to_string(field.type_id) + ">";
  }
}

std::string field_type_name(const Field & field)
{
  const std::string element = element_type_name(field);
  switch (field.array) {
    case ArrayKind::fixed: return element + "[" + std::to_string(field.array_size) + "]";
    case ArrayKind::bounded_sequence: return element + "[<=" + std::to_string(field.array_size) + "]";
    case ArrayKind::sequence: return element + "[]";
    case ArrayKind::none: break;
  }
  return element;
}

}  // namespace typesupport_core
