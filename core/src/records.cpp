// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/records.hpp"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <optional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/u16string.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "raw_records.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/readable_memory.hpp"
#include "typesupport_core/utf8.hpp"

namespace typesupport_core
{

namespace
{

std::string address_text(const void * address)
{
  char text[32];
  std::snprintf(text, sizeof(text), "0x%" PRIxPTR, reinterpret_cast<std::uintptr_t>(address));
  return text;
}

// Bytes and alignment of one element of a field of type `type_id` in memory;
// {0, 0} for a code that is not a field type.
std::pair<std::size_t, std::size_t> primitive_extent(std::uint8_t type_id)
{
  switch (type_id) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT: return {4, 4};
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE: return {8, 8};
    case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE:
      return {sizeof(long double), alignof(long double)};
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8: return {1, 1};
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16: return {2, 2};
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32: return {4, 4};
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64: return {8, 8};
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING:
      return {sizeof(rosidl_runtime_c__String), alignof(rosidl_runtime_c__String)};
    case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING:
      return {sizeof(rosidl_runtime_c__U16String), alignof(rosidl_runtime_c__U16String)};
    default: return {0, 0};
  }
}

// The namespace and name a record must carry.
struct ExpectedName
{
  std::string record_namespace;
  std::string name;
};

// A sequence in memory, whatever its element type: {data, size, capacity}.
constexpr std::size_t kSequenceSize = 3 * sizeof(void *);

// Reads the records of one interface under one member layout. Every members
// record is read once; a record reached again is the type already read.
class RecordReader
{
public:
  RecordReader(const ReadableMemory & memory, MemberLayout layout)
  : memory_(memory), layout_(layout) {}

  // The fields checked so far, to tell which layout got further.
  std::size_t progress() const {return progress_;}
  // True once a members record with more than one field has been read.
  bool multi_field_seen() const {return multi_field_seen_;}
  std::vector<std::unique_ptr<MessageType>> take_types() {return std::move(types_);}

  // The text at `address`, a name or namespace of the record `where`.
  std::string name_text(const char * address, const std::string & what, const std::string & where)
  {
    const auto text = memory_.text(address, kMaxNameLength);
    if (!text) {
      throw Error(where + ": " + what + " at " + address_text(address) +
        " is not a readable text of at most " + std::to_string(kMaxNameLength) + " bytes");
    }
    if (text->empty()) {
      throw Error(where + ": " + what + " is empty");
    }
    if (invalid_utf8_at(*text) != std::string::npos) {
      throw Error(where + ": " + what + " is not valid UTF-8 (" + describe_invalid_utf8(*text) + ")");
    }
    return *text;
  }

  // Checks a message handle's identifier, function and data; returns its data.
  const void * handle_data(const void * address, const std::string & where)
  {
    if (!memory_.readable(address, sizeof(RawHandle))) {
      throw Error(where + ": handle at " + address_text(address) + " is not readable");
    }
    RawHandle handle;
    std::memcpy(&handle, address, sizeof(handle));
    const auto identifier = memory_.text(handle.typesupport_identifier, kMaxNameLength);
    if (!identifier) {
      throw Error(where + ": handle identifier is not a readable text");
    }
    if (*identifier != kIntrospectionIdentifier) {
      throw Error(where + ": handle identifier is '" + printable(*identifier) + "', not '" +
        kIntrospectionIdentifier + "'");
    }
    check_code(handle.func, where + ": handle function");
    if (handle.data == nullptr) {
      throw Error(where + ": handle has no data");
    }
    return handle.data;
  }

  // The type a members record describes, checked. When `expected` is given,
  // the record must carry that namespace and name.
  const MessageType & message(
    const void * record, const std::string & where, int depth,
    const ExpectedName * expected = nullptr)
  {
    const auto done = done_.find(record);
    if (done != done_.end()) {
      check_expected(*done->second, expected, where);
      return *done->second;
    }
    if (in_progress_.count(record) > 0) {
      throw Error(where + ": messages nest in a cycle");
    }
    if (depth > kMaxNesting) {
      throw Error(where + ": messages nest deeper than " + std::to_string(kMaxNesting));
    }
    if (types_.size() >= kMaxMessageTypes) {
      throw Error(where + ": more than " + std::to_string(kMaxMessageTypes) + " message types");
    }
    if (!memory_.readable(record, sizeof(RawMessageMembers))) {
      throw Error(where + ": members record at " + address_text(record) + " is not readable");
    }
    RawMessageMembers raw;
    std::memcpy(&raw, record, sizeof(raw));

    auto type = std::make_unique<MessageType>();
    type->record = record;
    type->record_namespace = name_text(raw.message_namespace_, "message namespace", where);
    type->name = name_text(raw.message_name_, "message name", where);
    const std::string here = type->text();
    check_expected(*type, expected, where);
    // One type, one record: two records of one name would be told apart by
    // nothing that a caller sees.
    if (!type_names_.emplace(here, record).second) {
      throw Error(where + ": two different records describe " + here);
    }
    if (raw.member_count_ > kMaxFields) {
      throw Error(here + ": " + std::to_string(raw.member_count_) + " fields, more than " +
        std::to_string(kMaxFields));
    }
    if (raw.size_of_ > kMaxMessageSize) {
      throw Error(here + ": size_of_ " + std::to_string(raw.size_of_) + " is more than " +
        std::to_string(kMaxMessageSize));
    }
    // A C structure takes at least one byte, also without fields (the
    // message library gives an empty message a placeholder member).
    if (raw.size_of_ == 0) {
      throw Error(here + (raw.member_count_ > 0 ? ": size_of_ is 0 but the message has fields" :
        ": size_of_ is 0"));
    }
    const std::size_t stride =
      layout_ == MemberLayout::foxy ? sizeof(RawFoxyMember) : sizeof(RawHumbleMember);
    if (raw.member_count_ > 0 && raw.members_ == nullptr) {
      throw Error(here + ": " + std::to_string(raw.member_count_) + " fields but no member array");
    }
    if (!memory_.readable(raw.members_, raw.member_count_ * stride)) {
      throw Error(here + ": member array at " + address_text(raw.members_) + " (" +
        std::to_string(raw.member_count_) + (raw.member_count_ == 1 ? " field" : " fields") +
        ") is not readable");
    }
    check_code(reinterpret_cast<const void *>(raw.init_function), here + ": init_function");
    check_code(reinterpret_cast<const void *>(raw.fini_function), here + ": fini_function");
    type->size_of = raw.size_of_;
    type->init_function = raw.init_function;
    type->fini_function = raw.fini_function;
    multi_field_seen_ |= raw.member_count_ > 1;

    in_progress_.insert(record);
    std::set<std::string> names;
    // Where each field lies, to find two that share bytes.
    std::vector<std::pair<std::size_t, std::size_t>> extents;
    for (std::uint32_t i = 0; i < raw.member_count_; ++i) {
      std::size_t extent = 0;
      std::size_t alignment = 1;
      Field field = read_field(
        static_cast<const unsigned char *>(raw.members_) + i * stride, *type, i, depth, extent,
        alignment);
      if (!names.insert(field.name).second) {
        throw Error(here + ": two fields are named '" + field.name + "'");
      }
      type->alignment = std::max(type->alignment, alignment);
      extents.emplace_back(field.offset, field.offset + extent);
      type->fields.push_back(std::move(field));
      ++progress_;
    }
    in_progress_.erase(record);
    std::sort(extents.begin(), extents.end());
    for (std::size_t i = 1; i < extents.size(); ++i) {
      if (extents[i].first < extents[i - 1].second) {
        throw Error(here + ": two fields share the bytes at offset " +
          std::to_string(extents[i].first));
      }
    }

    MessageType * read = type.get();
    types_.push_back(std::move(type));
    done_.emplace(record, read);
    return *read;
  }

private:
  // The record must carry the namespace and name `expected` gives, if any.
  static void check_expected(
    const MessageType & type, const ExpectedName * expected, const std::string & where)
  {
    if (expected != nullptr &&
      (type.record_namespace != expected->record_namespace || type.name != expected->name))
    {
      throw Error(where + ": the records are those of " + type.text());
    }
  }

  // Names may hold anything; error messages show them on one line.
  static std::string printable(const std::string & text)
  {
    std::string shown;
    for (const char c : text) {
      shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return shown;
  }

  void check_code(const void * function, const std::string & what) const
  {
    if (function != nullptr && !memory_.executable(function)) {
      throw Error(what + " at " + address_text(function) + " is not code");
    }
  }

  // Reads and checks field `index` at `address`; `extent` and `alignment`
  // receive the bytes it takes in the message and the alignment it needs.
  Field read_field(
    const unsigned char * address, const MessageType & owner, std::uint32_t index, int depth,
    std::size_t & extent, std::size_t & alignment)
  {
    RawMemberHead head;
    std::memcpy(&head, address, sizeof(head));
    ResizeFunction resize = nullptr;
    if (layout_ == MemberLayout::foxy) {
      RawFoxyMember member;
      std::memcpy(&member, address, sizeof(member));
      resize = member.resize_function;
    } else {
      RawHumbleMember member;
      std::memcpy(&member, address, sizeof(member));
      check_code(reinterpret_cast<const void *>(member.fetch_function),
        owner.text() + " field " + std::to_string(index) + ": fetch_function");
      check_code(reinterpret_cast<const void *>(member.assign_function),
        owner.text() + " field " + std::to_string(index) + ": assign_function");
      resize = member.resize_function;
    }

    Field field;
    field.name = name_text(head.name_, "field " + std::to_string(index) + " name", owner.text());
    const std::string where = owner.text() + " field '" + field.name + "'";
    for (const auto & function : {
        std::make_pair(reinterpret_cast<const void *>(head.size_function), "size_function"),
        std::make_pair(reinterpret_cast<const void *>(head.get_const_function), "get_const_function"),
        std::make_pair(reinterpret_cast<const void *>(head.get_function), "get_function"),
        std::make_pair(reinterpret_cast<const void *>(resize), "resize_function")})
    {
      check_code(function.first, where + ": " + function.second);
    }
    field.resize_function = resize;
    field.type_id = head.type_id_;
    field.offset = head.offset_;
    field.has_default_value = head.default_value_ != nullptr;

    if (head.is_array_ > 1 || head.is_upper_bound_ > 1) {
      throw Error(where + ": is_array_ or is_upper_bound_ is neither true nor false");
    }
    if (!head.is_array_) {
      if (head.is_upper_bound_ || head.array_size_ != 0) {
        throw Error(where + ": not an array, but has an array size or bound");
      }
      field.array = ArrayKind::none;
    } else if (head.is_upper_bound_) {
      if (head.array_size_ == 0) {
        throw Error(where + ": a bounded sequence with bound 0");
      }
      field.array = ArrayKind::bounded_sequence;
    } else {
      field.array = head.array_size_ > 0 ? ArrayKind::fixed : ArrayKind::sequence;
    }
    field.array_size = head.array_size_;

    const bool is_string = field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_STRING ||
      field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING;
    if (!is_string && head.string_upper_bound_ != 0) {
      throw Error(where + ": a string bound on a field that is not a string");
    }
    field.string_upper_bound = head.string_upper_bound_;

    alignment = 1;
    if (field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE) {
      if (head.members_ == nullptr) {
        throw Error(where + ": a nested message without a type support handle");
      }
      const void * data = handle_data(head.members_, where);
      field.nested = &message(data, where, depth + 1);
      field.element_size = field.nested->size_of;
      alignment = field.nested->alignment;
      if (field.array != ArrayKind::none && field.element_size % alignment != 0) {
        throw Error(where + ": elements of " + std::to_string(field.element_size) +
          " bytes cannot all be aligned to " + std::to_string(alignment));
      }
    } else {
      if (head.members_ != nullptr) {
        throw Error(where + ": a nested handle on a field that is not a message");
      }
      const auto extent = primitive_extent(field.type_id);
      if (extent.first == 0) {
        throw Error(where + ": unknown type code " + std::to_string(field.type_id));
      }
      field.element_size = extent.first;
      alignment = extent.second;
    }

    // The bytes the field takes, without overflow.
    extent = field.element_size;
    if (field.is_sequence()) {
      extent = kSequenceSize;
      alignment = alignof(void *);
    } else if (field.array == ArrayKind::fixed) {
      if (field.element_size > 0 && field.array_size > kMaxMessageSize / field.element_size) {
        throw Error(where + ": " + std::to_string(field.array_size) + " elements of " +
          std::to_string(field.element_size) + " bytes are more than " +
          std::to_string(kMaxMessageSize) + " bytes");
      }
      extent = field.array_size * field.element_size;
    }
    const std::size_t size_of = owner.size_of;
    if (field.offset > size_of || extent > size_of - field.offset) {
      throw Error(where + ": " + std::to_string(extent) + " bytes at offset " +
        std::to_string(field.offset) + " reach past the message's size_of_ " +
        std::to_string(size_of));
    }
    if (field.offset % alignment != 0) {
      throw Error(where + ": offset " + std::to_string(field.offset) + " is not aligned to " +
        std::to_string(alignment));
    }
    return field;
  }

  const ReadableMemory & memory_;
  MemberLayout layout_;
  std::size_t progress_ = 0;
  bool multi_field_seen_ = false;
  std::map<const void *, MessageType *> done_;
  std::map<std::string, const void *> type_names_;
  std::set<const void *> in_progress_;
  std::vector<std::unique_ptr<MessageType>> types_;
};

// One reading of the interface under one layout: the interface, or the error
// and how far the reading got.
struct Reading
{
  std::optional<Interface> interface;
  std::string error;
  std::size_t progress = 0;
  bool multi_field_seen = false;
};

Reading read_interface(
  const InterfaceName & name, const ReadableMemory & memory, const void * handle_address,
  MemberLayout layout)
{
  Reading reading;
  RecordReader reader(memory, layout);
  try {
    Interface interface;
    interface.name = name;
    interface.identifier = kIntrospectionIdentifier;
    interface.layout = layout;
    const std::string where = name.text();
    const void * data = reader.handle_data(handle_address, where);
    if (name.is_service()) {
      if (!memory.readable(data, sizeof(RawServiceMembers))) {
        throw Error(where + ": service record at " + address_text(data) + " is not readable");
      }
      RawServiceMembers raw;
      std::memcpy(&raw, data, sizeof(raw));
      ServiceType service;
      service.record_namespace = reader.name_text(raw.service_namespace_, "service namespace", where);
      service.name = reader.name_text(raw.service_name_, "service name", where);
      if (service.record_namespace != name.record_namespace() || service.name != name.name) {
        throw Error(where + ": the records are those of " + service.text());
      }
      struct Part
      {
        const RawMessageMembers * record;
        const char * suffix;
        const char * role;
        const MessageType ** type;
      };
      for (const Part & part : {Part{raw.request_members_, "_Request", "request", &service.request},
          Part{raw.response_members_, "_Response", "response", &service.response}})
      {
        if (!memory.readable(part.record, sizeof(RawMessageMembers))) {
          throw Error(where + ": the service record's " + part.role + " members record at " +
            address_text(part.record) + " is not readable (is the handle a message's?)");
        }
        const ExpectedName expected{service.record_namespace, service.name + part.suffix};
        *part.type = &reader.message(part.record, where + " " + part.role, 0, &expected);
      }
      interface.service = service;
    } else {
      const ExpectedName expected{name.record_namespace(), name.name};
      interface.message = &reader.message(data, where, 0, &expected);
    }
    interface.types = reader.take_types();
    reading.interface = std::move(interface);
  } catch (const Error & error) {
    reading.error = error.what();
  }
  reading.progress = reader.progress();
  reading.multi_field_seen = reader.multi_field_seen();
  return reading;
}

// The layout of the headers this was built with, preferred when the records
// cannot tell.
constexpr MemberLayout kBuiltLayout =
  sizeof(rosidl_typesupport_introspection_c__MessageMember) == sizeof(RawFoxyMember) ?
  MemberLayout::foxy : MemberLayout::humble;

}  // namespace

Interface describe_handle(
  const InterfaceName & name, const void * handle, std::optional<MemberLayout> layout)
{
  const ReadableMemory memory;
  if (layout) {
    Reading forced = read_interface(name, memory, handle, *layout);
    if (!forced.interface) {
      throw Error(forced.error + " (reading the " + layout_name(*layout) + " layout)");
    }
    forced.interface->layout_settled = true;
    return std::move(*forced.interface);
  }

  const MemberLayout other =
    kBuiltLayout == MemberLayout::foxy ? MemberLayout::humble : MemberLayout::foxy;
  Reading built = read_interface(name, memory, handle, kBuiltLayout);
  Reading alternative = read_interface(name, memory, handle, other);
  if (built.interface && alternative.interface) {
    // Both layouts read the same: one field per member array. The record
    // functions past get_function lie in different places in the two, so
    // none of them is used.
    Interface & interface = *built.interface;
    interface.layout_settled = false;
    for (const auto & type : interface.types) {
      for (Field & field : type->fields) {
        field.resize_function = nullptr;
      }
    }
    return std::move(interface);
  }
  if (built.interface || alternative.interface) {
    Interface & interface = built.interface ? *built.interface : *alternative.interface;
    interface.layout_settled = true;
    return std::move(interface);
  }
  // Neither reads: report the fault of the reading that got further.
  const Reading & further = alternative.progress > built.progress ? alternative : built;
  throw Error(further.error);
}

}  // namespace typesupport_core
