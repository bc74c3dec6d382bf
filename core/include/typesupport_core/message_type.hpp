// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__MESSAGE_TYPE_HPP_
#define TYPESUPPORT_CORE__MESSAGE_TYPE_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "rosidl_runtime_c/message_initialization.h"

#include "typesupport_core/interface_name.hpp"

namespace typesupport_core
{

/// How a field repeats.
enum class ArrayKind
{
  none,  ///< a single value
  fixed,  ///< T[N]
  bounded_sequence,  ///< T[<=N]
  sequence,  ///< T[]
};

/// The two layouts of the introspection member record: ROS 2 Foxy's (13
/// fields; Galactic's too) and the one with `fetch_function` and
/// `assign_function` (15 fields; Humble and later, Debian's rosidl 3.3).
enum class MemberLayout
{
  foxy,
  humble,
};

/// "foxy" or "humble".
const char * layout_name(MemberLayout layout);

/// The layout named "foxy" or "humble"; throws InputError for another name.
MemberLayout parse_layout(const std::string & name);

struct MessageType;

/// One field of a message, as its records give it, checked against the
/// memory its message occupies.
struct Field
{
  std::string name;  ///< valid UTF-8
  std::uint8_t type_id = 0;  ///< a rosidl_typesupport_introspection_c__ROS_TYPE_* code
  std::size_t string_upper_bound = 0;  ///< strings and wstrings: 0 when unbounded
  ArrayKind array = ArrayKind::none;
  std::size_t array_size = 0;  ///< fixed arrays: the count; bounded sequences: the bound
  std::size_t offset = 0;  ///< from the start of the message
  bool has_default_value = false;
  const MessageType * nested = nullptr;  ///< for nested messages
  std::size_t element_size = 0;  ///< bytes one element takes in memory
  /// The record's resize function for sequences, when it has one and the
  /// layout settles which record field holds it; null otherwise.
  bool (* resize_function)(void *, std::size_t) = nullptr;

  /// True for bounded and unbounded sequences: {data, size, capacity} in memory.
  bool is_sequence() const
  {
    return array == ArrayKind::bounded_sequence || array == ArrayKind::sequence;
  }
};

/// A message as its members record describes it, with every field checked.
struct MessageType
{
  std::string record_namespace;  ///< "package__kind"
  std::string name;
  std::size_t size_of = 0;
  /// The alignment the message needs in memory: its strictest field's.
  std::size_t alignment = 1;
  void (* init_function)(void *, enum rosidl_runtime_c__message_initialization) = nullptr;
  void (* fini_function)(void *) = nullptr;
  std::vector<Field> fields;
  const void * record = nullptr;  ///< the members record it was read from

  /// "package/kind/Name".
  std::string text() const;
};

/// A service: its names and the types of its two messages.
struct ServiceType
{
  std::string record_namespace;
  std::string name;
  const MessageType * request = nullptr;
  const MessageType * response = nullptr;

  /// "package/srv/Name".
  std::string text() const;
};

/// What a type support handle describes, read and checked once, in memory of
/// its own: nothing here points back into the records but the functions.
struct Interface
{
  InterfaceName name;
  std::string identifier;
  MemberLayout layout = MemberLayout::humble;
  /// False when every member array holds one field, so that both layouts read
  /// the same and the record functions past get_function are not used.
  bool layout_settled = false;
  const MessageType * message = nullptr;  ///< for a message interface
  std::optional<ServiceType> service;  ///< for a service interface
  std::vector<std::unique_ptr<MessageType>> types;  ///< every message type reached
};

/// The type of one element of a field as an interface file names it:
/// "int32", "string<=10", "package/Name".
std::string element_type_name(const Field & field);

/// The type of a field with its array suffix: "int32[3]", "string[<=5]", "package/Name[]".
std::string field_type_name(const Field & field);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__MESSAGE_TYPE_HPP_
