// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__MESSAGE_MEMORY_HPP_
#define TYPESUPPORT_CORE__MESSAGE_MEMORY_HPP_

#include <cstddef>
#include <cstring>

#include "typesupport_core/message_type.hpp"

namespace typesupport_core
{

/// A message in memory of its own, made as a generic caller makes one:
/// `size_of` zeroed bytes, then the record's init_function; finalised through
/// fini_function and freed when it goes.
class Message
{
public:
  /// Throws Error when the type has no init or fini function, or memory runs out.
  explicit Message(const MessageType & type);
  Message(const Message &) = delete;
  Message & operator=(const Message &) = delete;
  ~Message();

  const MessageType & type() const {return type_;}
  void * data() {return memory_;}
  const void * data() const {return memory_;}

private:
  const MessageType & type_;
  void * memory_;
};

/// The memory of `field` in the message at `message`.
inline void * field_memory(void * message, const Field & field)
{
  return static_cast<unsigned char *>(message) + field.offset;
}
/// The memory of `field` in the message at `message`.
inline const void * field_memory(const void * message, const Field & field)
{
  return static_cast<const unsigned char *>(message) + field.offset;
}

/// The value of type `T` at `at`, which need not be aligned for it.
template<typename T>
T load(const void * at)
{
  T value;
  std::memcpy(&value, at, sizeof(T));
  return value;
}

/// Stores `value` at `at`, which need not be aligned for it.
template<typename T>
void store(void * at, T value)
{
  std::memcpy(at, &value, sizeof(T));
}

/// Every sequence of the C message structures, whatever its element type.
struct SequenceMemory
{
  void * data;
  std::size_t size;
  std::size_t capacity;
};

/// The sequence at `memory`.
inline SequenceMemory read_sequence(const void * memory)
{
  return load<SequenceMemory>(memory);
}

/// How many elements the field at `memory` holds: 1 for a single value, the
/// count of a fixed array, the current size of a sequence.
inline std::size_t element_count(const Field & field, const void * memory)
{
  switch (field.array) {
    case ArrayKind::none: return 1;
    case ArrayKind::fixed: return field.array_size;
    case ArrayKind::bounded_sequence:
    case ArrayKind::sequence: return read_sequence(memory).size;
  }
  return 0;
}

/// The element at `index` of the field at `memory` (index 0 of a single value).
inline const void * element_memory(const Field & field, const void * memory, std::size_t index)
{
  const void * elements = field.is_sequence() ? read_sequence(memory).data : memory;
  return static_cast<const unsigned char *>(elements) + index * field.element_size;
}

/// The element at `index` of the field at `memory` (index 0 of a single value).
inline void * element_memory(const Field & field, void * memory, std::size_t index)
{
  void * elements = field.is_sequence() ? read_sequence(memory).data : memory;
  return static_cast<unsigned char *>(elements) + index * field.element_size;
}

/// Makes the sequence field at `memory` hold `count` initialised elements,
/// dropping what it held: through the record's resize function when it has
/// one, otherwise through the runtime's sequence functions (nested messages:
/// allocated here, each element through the nested record's init function, as
/// the message library's own sequence functions do). Throws Error on failure.
void resize_sequence(const Field & field, void * memory, std::size_t count);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__MESSAGE_MEMORY_HPP_
