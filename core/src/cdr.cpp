// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/cdr.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_runtime_c/u16string.h"
#include "rosidl_runtime_c/u16string_functions.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "typesupport_core/error.hpp"
#include "typesupport_core/message_memory.hpp"

namespace typesupport_core
{

namespace
{

constexpr std::size_t kEncapsulationSize = 4;
constexpr std::size_t kHeaderSize = 16;
// The x87 value of a long double; the rest of its 16 bytes is padding.
constexpr std::size_t kLongDoubleValueSize = 10;
constexpr std::size_t kLongDoubleWireSize = 16;
// The longest string or sequence a 32-bit length can carry (strings count their NUL).
constexpr std::size_t kMaxWireCount = std::numeric_limits<std::uint32_t>::max() - 1;

// What went wrong and where; the fields it happened in are added on the way out.
struct Fault
{
  explicit Fault(std::string what, std::size_t where = 0)
  : problem(std::move(what)), at(where) {}

  std::string problem;
  std::size_t at;
  std::string path;
};

// The index that names a field as a whole, not one of its elements.
constexpr std::size_t kWholeField = std::numeric_limits<std::size_t>::max();

std::string path_part(const Field & field, std::size_t index)
{
  return index == kWholeField ? field.name : field.name + "[" + std::to_string(index) + "]";
}

// Runs `body`; a Fault thrown in it gets the field's name in front of its path.
template<typename Body>
void in_field(const Field & field, std::size_t index, Body body)
{
  try {
    body();
  } catch (Fault & fault) {
    fault.path = path_part(field, index) + (fault.path.empty() ? "" : "." + fault.path);
    throw;
  }
}

// Bytes one value of a primitive field takes on the wire; 0 for the others.
std::size_t primitive_wire_size(std::uint8_t type_id)
{
  switch (type_id) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8: return 1;
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16: return 2;
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32: return 4;
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64: return 8;
    default: return 0;
  }
}

// The zero bytes before a value aligned to `alignment` (1, 2, 4 or 8) at
// `position`, counted from the end of the encapsulation header.
inline std::size_t padding(std::size_t position, std::size_t alignment)
{
  return (alignment - ((position - kEncapsulationSize) & (alignment - 1))) & (alignment - 1);
}

// Copies a primitive of 1, 2, 4 or 8 bytes with a copy of that fixed size,
// which compiles to one move instead of a call.
inline void copy_primitive(void * to, const void * from, std::size_t size)
{
  switch (size) {
    case 1: std::memcpy(to, from, 1); return;
    case 2: std::memcpy(to, from, 2); return;
    case 4: std::memcpy(to, from, 4); return;
    case 8: std::memcpy(to, from, 8); return;
    default: std::memcpy(to, from, size); return;
  }
}

// Counts the bytes a message takes, or writes them; one traversal serves both,
// so that the size and the bytes cannot disagree.
class Counter
{
public:
  // Only the writing pass looks inside strings.
  static constexpr bool kScansStrings = false;

  explicit Counter(std::size_t start)
  : position_(start) {}

  void align(std::size_t alignment)
  {
    position_ += padding(position_, alignment);
  }
  void bytes(const void *, std::size_t count) {position_ += count;}
  void primitive(const void *, std::size_t size) {position_ += size;}
  void zeros(std::size_t count) {position_ += count;}
  void u32(std::uint32_t) {align(4); position_ += 4;}
  std::size_t position() const {return position_;}

private:
  std::size_t position_;
};

class Writer
{
public:
  static constexpr bool kScansStrings = true;

  Writer(unsigned char * out, std::size_t start)
  : out_(out), position_(start) {}

  void align(std::size_t alignment)
  {
    const std::size_t count = padding(position_, alignment);
    for (std::size_t i = 0; i < count; ++i) {
      out_[position_ + i] = 0;
    }
    position_ += count;
  }
  void primitive(const void * data, std::size_t size)
  {
    copy_primitive(out_ + position_, data, size);
    position_ += size;
  }
  void bytes(const void * data, std::size_t count)
  {
    if (count > 0) {
      std::memcpy(out_ + position_, data, count);
      position_ += count;
    }
  }
  void zeros(std::size_t count)
  {
    std::memset(out_ + position_, 0, count);
    position_ += count;
  }
  void u32(std::uint32_t value)
  {
    align(4);
    bytes(&value, 4);
  }
  std::size_t position() const {return position_;}

private:
  unsigned char * out_;
  std::size_t position_;
};

template<typename Sink>
void encode_fields(Sink & sink, const MessageType & type, const void * message);

template<typename Sink>
void encode_value(Sink & sink, const Field & field, const void * at)
{
  switch (field.type_id) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN: {
        const unsigned char value = load<unsigned char>(at) != 0 ? 1 : 0;
        sink.bytes(&value, 1);
        return;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE:
      sink.align(8);
      sink.bytes(at, kLongDoubleValueSize);
      sink.zeros(kLongDoubleWireSize - kLongDoubleValueSize);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING: {
        const auto text = load<rosidl_runtime_c__String>(at);
        const std::size_t size = text.data != nullptr ? text.size : 0;
        if (field.string_upper_bound > 0 && size > field.string_upper_bound) {
          throw Fault{std::to_string(size) + " bytes exceed the bound of " +
                  std::to_string(field.string_upper_bound)};
        }
        if (size >= kMaxWireCount) {
          throw Fault{"a string of " + std::to_string(size) + " bytes is too long for the wire"};
        }
        if (Sink::kScansStrings && size > 0 && std::memchr(text.data, '\0', size) != nullptr) {
          throw Fault{"a string holds a NUL character"};
        }
        sink.u32(static_cast<std::uint32_t>(size + 1));
        sink.bytes(text.data, size);
        sink.zeros(1);
        return;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING: {
        const auto text = load<rosidl_runtime_c__U16String>(at);
        const std::size_t size = text.data != nullptr ? text.size : 0;
        if (field.string_upper_bound > 0 && size > field.string_upper_bound) {
          throw Fault{std::to_string(size) + " UTF-16 units exceed the bound of " +
                  std::to_string(field.string_upper_bound)};
        }
        if (size > kMaxWireCount) {
          throw Fault{"a wstring of " + std::to_string(size) + " units is too long for the wire"};
        }
        sink.u32(static_cast<std::uint32_t>(size));
        for (std::size_t i = 0; i < size; ++i) {
          const std::uint32_t unit = text.data[i];
          sink.bytes(&unit, 4);
        }
        return;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE:
      encode_fields(sink, *field.nested, at);
      return;
    default: {
        const std::size_t size = primitive_wire_size(field.type_id);
        sink.align(size);
        sink.primitive(at, size);
        return;
      }
  }
}

template<typename Sink>
void encode_field(Sink & sink, const Field & field, const void * memory)
{
  if (field.array == ArrayKind::none) {
    // Most fields are single numbers: straight to the bytes.
    const std::size_t size = primitive_wire_size(field.type_id);
    if (size > 0 && field.type_id != rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN) {
      sink.align(size);
      sink.primitive(memory, size);
      return;
    }
    in_field(field, kWholeField, [&] {encode_value(sink, field, memory);});
    return;
  }
  const std::size_t count = element_count(field, memory);
  if (field.is_sequence()) {
    if (field.array == ArrayKind::bounded_sequence && count > field.array_size) {
      in_field(field, kWholeField, [&] {
          throw Fault{std::to_string(count) + " elements exceed the bound of " +
                  std::to_string(field.array_size)};
        });
    }
    if (count > kMaxWireCount) {
      in_field(field, kWholeField, [&] {throw Fault{std::to_string(count) + " elements are too many"};});
    }
    sink.u32(static_cast<std::uint32_t>(count));
  }
  const std::size_t size = primitive_wire_size(field.type_id);
  if (size > 0 && count > 0) {
    // Consecutive values of one primitive type stay aligned: one copy.
    sink.align(size);
    sink.bytes(element_memory(field, memory, 0), count * size);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    in_field(field, i, [&] {encode_value(sink, field, element_memory(field, memory, i));});
  }
}

template<typename Sink>
void encode_fields(Sink & sink, const MessageType & type, const void * message)
{
  if (type.fields.empty()) {
    const unsigned char nothing = 0;
    sink.bytes(&nothing, 1);
    return;
  }
  for (const Field & field : type.fields) {
    encode_field(sink, field, field_memory(message, field));
  }
}

std::size_t padded(std::size_t size)
{
  return (size + 3) / 4 * 4;
}

[[noreturn]] void rethrow(const Fault & fault, const char * doing)
{
  throw Error(std::string(doing) + ": " + fault.problem +
    (fault.path.empty() ? "" : " (field '" + fault.path + "')") +
    (fault.at > 0 ? " at byte " + std::to_string(fault.at) : ""));
}

// Reads a sample, checking every length against what remains.
class Reader
{
public:
  Reader(
    const unsigned char * bytes, std::size_t size, bool swap, std::size_t allocation_budget,
    const std::unordered_map<const MessageType *, std::size_t> & min_wire_size)
  : bytes_(bytes), size_(size), swap_(swap), budget_(allocation_budget),
    min_wire_size_(min_wire_size) {}

  std::size_t position() const {return position_;}
  std::size_t remaining() const {return size_ - position_;}

  void align(std::size_t alignment)
  {
    const std::size_t skip = padding(position_, alignment);
    position_ = std::min(size_, position_ + skip);
  }

  const unsigned char * take(std::size_t count)
  {
    if (count > remaining()) {
      throw Fault{"the sample ends: " + std::to_string(count) + " bytes needed, " +
              std::to_string(remaining()) + " left", position_};
    }
    return take_unchecked(count);
  }

  // `count` values of `size` bytes, without overflow.
  const unsigned char * take_values(std::size_t count, std::size_t size)
  {
    if (count > remaining() / size) {
      throw Fault{"the sample ends: " + std::to_string(count) + " values of " +
              std::to_string(size) + " bytes needed, " + std::to_string(remaining()) + " left",
              position_};
    }
    return take_unchecked(count * size);
  }

  const unsigned char * take_unchecked(std::size_t count)
  {
    const unsigned char * at = bytes_ + position_;
    position_ += count;
    return at;
  }

  // A value of `size` bytes in the writer's byte order, into `out`.
  void value(std::size_t size, void * out)
  {
    align(size);
    const unsigned char * at = take(size);
    if (!swap_) {
      copy_primitive(out, at, size);
      return;
    }
    auto * bytes = static_cast<unsigned char *>(out);
    for (std::size_t i = 0; i < size; ++i) {
      bytes[i] = at[size - 1 - i];
    }
  }

  std::uint32_t u32()
  {
    std::uint32_t count = 0;
    value(4, &count);
    return count;
  }

  void fields(const MessageType & type, void * message)
  {
    if (type.fields.empty()) {
      // One byte, which a writer may leave out at the end of a sample.
      if (remaining() > 0) {
        take(1);
      }
      return;
    }
    for (const Field & field : type.fields) {
      field_value(field, field_memory(message, field));
    }
  }

private:
  void field_value(const Field & field, void * memory)
  {
    if (field.array == ArrayKind::none) {
      in_field(field, kWholeField, [&] {element(field, memory);});
      return;
    }
    std::size_t count = field.array_size;
    if (field.is_sequence()) {
      in_field(field, kWholeField, [&] {count = sequence_count(field, memory);});
    }
    const std::size_t size = primitive_wire_size(field.type_id);
    if (size > 0 && count > 0 && !swap_ &&
      field.type_id != rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN)
    {
      in_field(field, kWholeField, [&] {
          align(size);
          std::memcpy(element_memory(field, memory, 0), take_values(count, size), count * size);
        });
      return;
    }
    for (std::size_t i = 0; i < count; ++i) {
      in_field(field, i, [&] {element(field, element_memory(field, memory, i));});
    }
  }

  // Reads a sequence's count, checks it, and sizes the sequence.
  std::size_t sequence_count(const Field & field, void * memory)
  {
    const std::size_t count = u32();
    if (field.array == ArrayKind::bounded_sequence && count > field.array_size) {
      throw Fault{std::to_string(count) + " elements exceed the bound of " +
              std::to_string(field.array_size), position_};
    }
    const std::size_t least = field.nested != nullptr ? min_wire_size_.at(field.nested) :
      std::max<std::size_t>(primitive_wire_size(field.type_id), field.type_id ==
        rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE ? kLongDoubleWireSize : 4);
    if (count > remaining() / least) {
      throw Fault{std::to_string(count) + " elements cannot fit in the " +
              std::to_string(remaining()) + " bytes left", position_};
    }
    // A message read into again (a server's request, say) mostly gets
    // sequences of the same length: their elements are overwritten in place.
    if (element_count(field, memory) == count && (count == 0 || element_memory(field, memory, 0))) {
      return count;
    }
    const std::size_t memory_needed = count * field.element_size;
    if (memory_needed > budget_) {
      throw Fault{std::to_string(count) + " elements would take more memory than the sample "
                "allows", position_};
    }
    budget_ -= memory_needed;
    try {
      resize_sequence(field, memory, count);
    } catch (const Error & error) {
      throw Fault{error.what(), position_};
    }
    return count;
  }

  void element(const Field & field, void * at)
  {
    switch (field.type_id) {
      case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN: {
          const unsigned char value = *take(1);
          if (value > 1) {
            throw Fault{"a bool of value " + std::to_string(value), position_ - 1};
          }
          std::memcpy(at, &value, 1);
          return;
        }
      case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE: {
          align(8);
          unsigned char wire[kLongDoubleWireSize];
          std::memcpy(wire, take(kLongDoubleWireSize), kLongDoubleWireSize);
          if (swap_) {
            std::reverse(wire, wire + kLongDoubleWireSize);
          }
          unsigned char value[sizeof(long double)] = {};
          std::memcpy(value, wire, kLongDoubleValueSize);
          std::memcpy(at, value, sizeof(value));
          return;
        }
      case rosidl_typesupport_introspection_c__ROS_TYPE_STRING:
        string(field, static_cast<rosidl_runtime_c__String *>(at));
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING:
        wstring(field, static_cast<rosidl_runtime_c__U16String *>(at));
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE:
        fields(*field.nested, at);
        return;
      default:
        value(primitive_wire_size(field.type_id), at);
        return;
    }
  }

  void string(const Field & field, rosidl_runtime_c__String * text)
  {
    const std::size_t start = position_;
    const std::size_t length = u32();
    if (length > remaining()) {
      throw Fault{"a string of " + std::to_string(length) + " bytes, " +
              std::to_string(remaining()) + " left", start};
    }
    const char * characters = reinterpret_cast<const char *>(take(length));
    std::size_t size = 0;
    if (length > 0) {
      size = length - 1;
      if (characters[size] != '\0') {
        throw Fault{"a string without its NUL", start};
      }
      if (std::memchr(characters, '\0', size) != nullptr) {
        throw Fault{"a string with a NUL inside it", start};
      }
    }
    if (field.string_upper_bound > 0 && size > field.string_upper_bound) {
      throw Fault{std::to_string(size) + " bytes exceed the bound of " +
              std::to_string(field.string_upper_bound), start};
    }
    // In place when it fits, as the runtime's assign would reallocate.
    if (text->data != nullptr && text->capacity > size) {
      std::memcpy(text->data, characters, size);
      text->data[size] = '\0';
      text->size = size;
    } else if (!rosidl_runtime_c__String__assignn(text, characters, size)) {
      throw Fault{"out of memory for a string of " + std::to_string(size) + " bytes", start};
    }
  }

  void wstring(const Field & field, rosidl_runtime_c__U16String * text)
  {
    const std::size_t start = position_;
    const std::size_t count = u32();
    if (count > remaining() / 4) {
      throw Fault{"a wstring of " + std::to_string(count) + " units, " +
              std::to_string(remaining()) + " bytes left", start};
    }
    if (field.string_upper_bound > 0 && count > field.string_upper_bound) {
      throw Fault{std::to_string(count) + " UTF-16 units exceed the bound of " +
              std::to_string(field.string_upper_bound), start};
    }
    std::vector<std::uint16_t> units(count);
    for (std::size_t i = 0; i < count; ++i) {
      std::uint32_t unit = 0;
      value(4, &unit);
      if (unit > 0xFFFF || unit == 0) {
        throw Fault{"a wstring unit of value " + std::to_string(unit), position_ - 4};
      }
      units[i] = static_cast<std::uint16_t>(unit);
    }
    // The runtime refuses a null pointer, which an empty vector may give.
    const std::uint16_t none = 0;
    if (!rosidl_runtime_c__U16String__assignn(text, count > 0 ? units.data() : &none, count)) {
      throw Fault{"out of memory for a wstring of " + std::to_string(count) + " units", start};
    }
  }

  const unsigned char * bytes_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool swap_;
  std::size_t budget_;
  const std::unordered_map<const MessageType *, std::size_t> & min_wire_size_;
};

}  // namespace

CdrCodec::CdrCodec(const MessageType & type)
: type_(type)
{
  min_wire_size(type);
}

std::size_t CdrCodec::min_wire_size(const MessageType & type)
{
  const auto known = min_wire_size_.find(&type);
  if (known != min_wire_size_.end()) {
    return known->second;
  }
  std::size_t least = 0;
  for (const Field & field : type.fields) {
    std::size_t value = primitive_wire_size(field.type_id);
    if (field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE) {
      value = kLongDoubleWireSize;
    } else if (field.nested != nullptr) {
      value = min_wire_size(*field.nested);
    } else if (value == 0) {
      value = 4;  // a string's or wstring's length
    }
    // Sizes are bounded by the records' checks, so this cannot overflow.
    least += field.is_sequence() ? 4 : field.array == ArrayKind::fixed ? value * field.array_size : value;
  }
  least = std::max<std::size_t>(least, 1);
  min_wire_size_.emplace(&type, least);
  return least;
}

std::size_t CdrCodec::serialized_size(const void * message, bool with_header) const
{
  Counter counter(kEncapsulationSize + (with_header ? kHeaderSize : 0));
  try {
    encode_fields(counter, type_, message);
  } catch (const Fault & fault) {
    rethrow(fault, ("cannot serialize " + type_.text()).c_str());
  }
  return padded(counter.position());
}

void CdrCodec::serialize(
  const void * message, const RequestHeader * header, unsigned char * out, std::size_t size) const
{
  const unsigned char encapsulation[kEncapsulationSize] = {0x00, 0x01, 0x00, 0x00};
  Writer writer(out, 0);
  writer.bytes(encapsulation, sizeof(encapsulation));
  if (header != nullptr) {
    writer.bytes(&header->guid, 8);
    writer.bytes(&header->seq, 8);
  }
  try {
    encode_fields(writer, type_, message);
  } catch (const Fault & fault) {
    rethrow(fault, ("cannot serialize " + type_.text()).c_str());
  }
  if (writer.position() > size || padded(writer.position()) != size) {
    throw Error("cannot serialize " + type_.text() + ": the buffer of " + std::to_string(size) +
      " bytes does not match the " + std::to_string(padded(writer.position())) + " it takes");
  }
  writer.zeros(size - writer.position());
}

std::vector<unsigned char> CdrCodec::serialize(const void * message, const RequestHeader * header) const
{
  std::vector<unsigned char> out(serialized_size(message, header != nullptr));
  serialize(message, header, out.data(), out.size());
  return out;
}

void CdrCodec::deserialize(
  const unsigned char * bytes, std::size_t size, void * message, RequestHeader * header) const
{
  const auto refuse = [this](const std::string & problem) {
      return Error("cannot deserialize " + type_.text() + ": " + problem);
    };
  if (size < kEncapsulationSize) {
    throw refuse(std::to_string(size) + " bytes hold no encapsulation header");
  }
  if (bytes[0] != 0x00 || bytes[1] > 0x01) {
    char encapsulation[32];
    std::snprintf(encapsulation, sizeof(encapsulation), "%02x %02x", bytes[0], bytes[1]);
    throw refuse(std::string("unknown encapsulation ") + encapsulation +
      " (expected plain CDR, 00 00 or 00 01)");
  }
  const bool swap = bytes[1] != 0x01;
  const std::size_t budget =
    std::min(size, (std::numeric_limits<std::size_t>::max() - (1 << 20)) / kAllocationPerSampleByte) *
    kAllocationPerSampleByte + (1 << 20);
  Reader reader(bytes, size, swap, budget, min_wire_size_);
  try {
    reader.take(kEncapsulationSize);
    if (header != nullptr) {
      reader.value(8, &header->guid);
      std::uint64_t seq = 0;
      reader.value(8, &seq);
      std::memcpy(&header->seq, &seq, 8);
    }
    reader.fields(type_, message);
    if (reader.remaining() >= 4) {
      throw Fault{std::to_string(reader.remaining()) + " bytes after the message (at most 3 "
                "may pad it)", reader.position()};
    }
  } catch (const Fault & fault) {
    rethrow(fault, ("cannot deserialize " + type_.text()).c_str());
  }
}

}  // namespace typesupport_core
