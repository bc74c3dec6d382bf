// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/message_memory.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

#include "rosidl_runtime_c/primitives_sequence_functions.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_runtime_c/u16string_functions.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

namespace
{

// Messages are aligned as malloc aligns: enough for any field type.
constexpr std::size_t kMessageAlignment = alignof(std::max_align_t);

// The runtime's functions for one sequence type, reached through the shared
// layout of all sequences.
template<typename SequenceType>
bool runtime_resize(
  void * memory, std::size_t count, bool (* init)(SequenceType *, std::size_t),
  void (* fini)(SequenceType *))
{
  auto * sequence = static_cast<SequenceType *>(memory);
  fini(sequence);
  return init(sequence, count);
}

bool resize_primitive_sequence(std::uint8_t type_id, void * memory, std::size_t count)
{
  switch (type_id) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT:
      return runtime_resize(memory, count, rosidl_runtime_c__float__Sequence__init,
               rosidl_runtime_c__float__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE:
      return runtime_resize(memory, count, rosidl_runtime_c__double__Sequence__init,
               rosidl_runtime_c__double__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE:
      return runtime_resize(memory, count, rosidl_runtime_c__long_double__Sequence__init,
               rosidl_runtime_c__long_double__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
      return runtime_resize(memory, count, rosidl_runtime_c__char__Sequence__init,
               rosidl_runtime_c__char__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
      return runtime_resize(memory, count, rosidl_runtime_c__wchar__Sequence__init,
               rosidl_runtime_c__wchar__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
      return runtime_resize(memory, count, rosidl_runtime_c__boolean__Sequence__init,
               rosidl_runtime_c__boolean__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
      return runtime_resize(memory, count, rosidl_runtime_c__octet__Sequence__init,
               rosidl_runtime_c__octet__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
      return runtime_resize(memory, count, rosidl_runtime_c__uint8__Sequence__init,
               rosidl_runtime_c__uint8__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8:
      return runtime_resize(memory, count, rosidl_runtime_c__int8__Sequence__init,
               rosidl_runtime_c__int8__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
      return runtime_resize(memory, count, rosidl_runtime_c__uint16__Sequence__init,
               rosidl_runtime_c__uint16__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16:
      return runtime_resize(memory, count, rosidl_runtime_c__int16__Sequence__init,
               rosidl_runtime_c__int16__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
      return runtime_resize(memory, count, rosidl_runtime_c__uint32__Sequence__init,
               rosidl_runtime_c__uint32__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32:
      return runtime_resize(memory, count, rosidl_runtime_c__int32__Sequence__init,
               rosidl_runtime_c__int32__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
      return runtime_resize(memory, count, rosidl_runtime_c__uint64__Sequence__init,
               rosidl_runtime_c__uint64__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64:
      return runtime_resize(memory, count, rosidl_runtime_c__int64__Sequence__init,
               rosidl_runtime_c__int64__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING:
      return runtime_resize(memory, count, rosidl_runtime_c__String__Sequence__init,
               rosidl_runtime_c__String__Sequence__fini);
    case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING:
      return runtime_resize(memory, count, rosidl_runtime_c__U16String__Sequence__init,
               rosidl_runtime_c__U16String__Sequence__fini);
    default:
      return false;
  }
}

// Nested messages have no runtime sequence functions: the message library's
// own allocate with calloc, initialise every element up to the capacity, and
// finalise and free them the same way.
bool resize_message_sequence(const MessageType & nested, void * memory, std::size_t count)
{
  SequenceMemory sequence = read_sequence(memory);
  auto * old_elements = static_cast<unsigned char *>(sequence.data);
  for (std::size_t i = 0; old_elements != nullptr && i < sequence.capacity; ++i) {
    nested.fini_function(old_elements + i * nested.size_of);
  }
  std::free(old_elements);
  sequence = SequenceMemory{nullptr, 0, 0};
  if (count > 0) {
    sequence.data = std::calloc(count, nested.size_of > 0 ? nested.size_of : 1);
    if (sequence.data == nullptr) {
      std::memcpy(memory, &sequence, sizeof(sequence));
      return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
      nested.init_function(
        static_cast<unsigned char *>(sequence.data) + i * nested.size_of, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
    }
    sequence.size = sequence.capacity = count;
  }
  std::memcpy(memory, &sequence, sizeof(sequence));
  return true;
}

}  // namespace

Message::Message(const MessageType & type)
: type_(type), memory_(nullptr)
{
  if (type.init_function == nullptr || type.fini_function == nullptr) {
    throw Error(type.text() + ": the record has no init or fini function");
  }
  const std::size_t size = type.size_of > 0 ? type.size_of : 1;
  memory_ = ::operator new(size, std::align_val_t{kMessageAlignment}, std::nothrow);
  if (memory_ == nullptr) {
    throw Error(type.text() + ": out of memory for " + std::to_string(size) + " bytes");
  }
  std::memset(memory_, 0, size);
  type.init_function(memory_, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
}

Message::~Message()
{
  type_.fini_function(memory_);
  ::operator delete(memory_, std::align_val_t{kMessageAlignment});
}

void resize_sequence(const Field & field, void * memory, std::size_t count)
{
  bool resized = false;
  if (field.resize_function != nullptr) {
    resized = field.resize_function(memory, count) && read_sequence(memory).size == count;
  } else if (field.nested != nullptr) {
    resized = resize_message_sequence(*field.nested, memory, count);
  } else {
    resized = resize_primitive_sequence(field.type_id, memory, count);
  }
  if (!resized) {
    throw Error("field '" + field.name + "': cannot make a sequence of " + std::to_string(count) +
      " elements");
  }
}

}  // namespace typesupport_core
