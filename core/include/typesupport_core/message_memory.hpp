// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__MESSAGE_MEMORY_HPP_
#define TYPESUPPORT_CORE__MESSAGE_MEMORY_HPP_

#include <cstddef>

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

/// How many elements the field at `memory` holds: 1 for a single value, the
/// count of a fixed array, the current size of a sequence.
std::size_t element_count(const Field & field, const void * memory);

/// The element at `index` of the field at `memory` (index 0 of a single value).
const void * element_memory(const Field & field, const void * memory, std::size_t index);
/// The element at `index` of the field at `memory` (index 0 of a single value).
void * element_memory(const Field & field, void * memory, std::size_t index);

/// Makes the sequence field at `memory` hold `count` initialised elements,
/// dropping what it held: through the record's resize function when it has
/// one, otherwise through the runtime's sequence functions (nested messages:
/// allocated here, each element through the nested record's init function, as
/// the message library's own sequence functions do). Throws Error on failure.
void resize_sequence(const Field & field, void * memory, std::size_t count);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__MESSAGE_MEMORY_HPP_
