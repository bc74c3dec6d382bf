// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A type support library made for the inspector's tests, with records the
// StringCommand service does not have: every primitive type, bounded strings,
// fixed arrays, bounded and unbounded sequences and nested messages; plus
// handles that are wrong on purpose. Package "fixture_pkg":
//   msg/Inner       int32 x, string label, float64 weight
//   msg/Everything  every kind of field (see the definition test)
//   msg/Wire        Everything without its wstring and long double
//   msg/Foreign     a handle of another type support
//   msg/Broken      a record with fields but no member array
//   msg/Null        a getter that returns no handle
//   srv/Pair        request: Inner item; response: bool ok

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_runtime_c/primitives_sequence.h"
#include "rosidl_runtime_c/primitives_sequence_functions.h"
#include "rosidl_runtime_c/service_type_support_struct.h"
#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_runtime_c/u16string.h"
#include "rosidl_runtime_c/u16string_functions.h"
#include "rosidl_typesupport_introspection_c/field_types.h"
#include "rosidl_typesupport_introspection_c/identifier.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"

#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))

namespace
{

using Member = rosidl_typesupport_introspection_c__MessageMember;
using Members = rosidl_typesupport_introspection_c__MessageMembers;

struct Inner
{
  std::int32_t x;
  rosidl_runtime_c__String label;
  double weight;  // after a string: its place on the wire moves with the label
};

struct InnerSequence
{
  Inner * data;
  std::size_t size;
  std::size_t capacity;
};

struct Everything
{
  bool flag;
  std::uint8_t byte_value;
  signed char char_value;
  float ratio;
  double precise;
  std::int8_t small;
  std::uint8_t small_unsigned;
  std::int16_t medium;
  std::uint16_t medium_unsigned;
  std::int32_t large;
  std::uint32_t large_unsigned;
  std::int64_t huge;
  std::uint64_t huge_unsigned;
  rosidl_runtime_c__String name;
  rosidl_runtime_c__String code;  // string<=8
  rosidl_runtime_c__U16String wide;
  long double extended;
  std::int16_t triple[3];
  rosidl_runtime_c__double__Sequence readings;  // float64[<=4]
  rosidl_runtime_c__int32__Sequence counts;  // int32[]
  rosidl_runtime_c__String tags[2];
  Inner inner;
  InnerSequence inners;  // Inner[]
};

const char * foreign_identifier = "rosidl_typesupport_cpp";

// Handles as generated code makes them: the introspection library's own
// identifier pointer, which callers compare, and the runtime's lookup
// function, which callers call.
rosidl_message_type_support_t message_handle(const char * identifier, const Members * members)
{
  return {identifier, members, get_message_typesupport_handle_function};
}

// Fields are set by name on a zeroed record, so this builds against every
// layout of MessageMember.
Member field(
  const char * name, std::uint8_t type, std::size_t offset, std::size_t string_bound = 0,
  bool is_array = false, std::size_t array_size = 0, bool is_upper_bound = false,
  const rosidl_message_type_support_t * nested = nullptr)
{
  Member member{};
  member.name_ = name;
  member.type_id_ = type;
  member.string_upper_bound_ = string_bound;
  member.members_ = nested;
  member.is_array_ = is_array;
  member.array_size_ = array_size;
  member.is_upper_bound_ = is_upper_bound;
  member.offset_ = static_cast<std::uint32_t>(offset);
  return member;
}

void init_inner(Inner * inner)
{
  inner->x = 0;
  rosidl_runtime_c__String__init(&inner->label);
}

void fini_inner(Inner * inner)
{
  rosidl_runtime_c__String__fini(&inner->label);
}

void inner_init(void * message, rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, sizeof(Inner));
  init_inner(static_cast<Inner *>(message));
}

void inner_fini(void * message)
{
  fini_inner(static_cast<Inner *>(message));
}

void ok_init(void * message, rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, sizeof(bool));
}

void ok_fini(void *) {}

// Initialises with values in every repeated field, so that rendering shows them.
void everything_init(void * memory, rosidl_runtime_c__message_initialization)
{
  auto * m = static_cast<Everything *>(memory);
  std::memset(m, 0, sizeof(*m));
  rosidl_runtime_c__String__init(&m->name);
  rosidl_runtime_c__String__init(&m->code);
  rosidl_runtime_c__U16String__init(&m->wide);
  m->triple[0] = 1;
  m->triple[1] = -2;
  m->triple[2] = 3;
  rosidl_runtime_c__double__Sequence__init(&m->readings, 2);
  m->readings.data[0] = 0.5;
  m->readings.data[1] = -1.25;
  rosidl_runtime_c__int32__Sequence__init(&m->counts, 0);
  rosidl_runtime_c__String__init(&m->tags[0]);
  rosidl_runtime_c__String__init(&m->tags[1]);
  rosidl_runtime_c__String__assign(&m->tags[0], "a");
  rosidl_runtime_c__String__assign(&m->tags[1], "b c");
  init_inner(&m->inner);
  m->inners.data = static_cast<Inner *>(std::calloc(2, sizeof(Inner)));
  m->inners.size = m->inners.capacity = 2;
  for (std::size_t i = 0; i < 2; ++i) {
    init_inner(&m->inners.data[i]);
    m->inners.data[i].x = static_cast<std::int32_t>(10 * (i + 1));
  }
  rosidl_runtime_c__String__assign(&m->inners.data[1].label, "second");
}

void everything_fini(void * memory)
{
  auto * m = static_cast<Everything *>(memory);
  rosidl_runtime_c__String__fini(&m->name);
  rosidl_runtime_c__String__fini(&m->code);
  rosidl_runtime_c__U16String__fini(&m->wide);
  rosidl_runtime_c__double__Sequence__fini(&m->readings);
  rosidl_runtime_c__int32__Sequence__fini(&m->counts);
  rosidl_runtime_c__String__fini(&m->tags[0]);
  rosidl_runtime_c__String__fini(&m->tags[1]);
  fini_inner(&m->inner);
  for (std::size_t i = 0; i < m->inners.size; ++i) {
    fini_inner(&m->inners.data[i]);
  }
  std::free(m->inners.data);
}

struct Records
{
  Member inner_fields[3];
  Members inner;
  rosidl_message_type_support_t inner_handle;
  Member everything_fields[23];
  Members everything;
  rosidl_message_type_support_t everything_handle;
  Member wire_fields[21];
  Members wire;
  rosidl_message_type_support_t wire_handle;
  Members broken;
  rosidl_message_type_support_t broken_handle;
  rosidl_message_type_support_t foreign_handle;
  Member ok_field[1];
  Members pair_response;
  Member item_field[1];
  Members pair_request;
  rosidl_typesupport_introspection_c__ServiceMembers pair;
  rosidl_service_type_support_t pair_handle;

  Records()
  {
    using namespace std;
    inner_fields[0] = field("x", rosidl_typesupport_introspection_c__ROS_TYPE_INT32, offsetof(Inner, x));
    inner_fields[1] =
      field("label", rosidl_typesupport_introspection_c__ROS_TYPE_STRING, offsetof(Inner, label));
    inner_fields[2] =
      field("weight", rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE, offsetof(Inner, weight));
    inner = {"fixture_pkg__msg", "Inner", 3, sizeof(Inner), inner_fields, inner_init, inner_fini};
    inner_handle = message_handle(rosidl_typesupport_introspection_c__identifier, &inner);

    Member * f = everything_fields;
    *f++ = field("flag", rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN, offsetof(Everything, flag));
    *f++ = field("byte_value", rosidl_typesupport_introspection_c__ROS_TYPE_OCTET,
      offsetof(Everything, byte_value));
    *f++ = field("char_value", rosidl_typesupport_introspection_c__ROS_TYPE_CHAR,
      offsetof(Everything, char_value));
    *f++ = field("ratio", rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT, offsetof(Everything, ratio));
    *f++ = field("precise", rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE,
      offsetof(Everything, precise));
    *f++ = field("small", rosidl_typesupport_introspection_c__ROS_TYPE_INT8, offsetof(Everything, small));
    *f++ = field("small_unsigned", rosidl_typesupport_introspection_c__ROS_TYPE_UINT8,
      offsetof(Everything, small_unsigned));
    *f++ = field("medium", rosidl_typesupport_introspection_c__ROS_TYPE_INT16, offsetof(Everything, medium));
    *f++ = field("medium_unsigned", rosidl_typesupport_introspection_c__ROS_TYPE_UINT16,
      offsetof(Everything, medium_unsigned));
    *f++ = field("large", rosidl_typesupport_introspection_c__ROS_TYPE_INT32, offsetof(Everything, large));
    *f++ = field("large_unsigned", rosidl_typesupport_introspection_c__ROS_TYPE_UINT32,
      offsetof(Everything, large_unsigned));
    *f++ = field("huge", rosidl_typesupport_introspection_c__ROS_TYPE_INT64, offsetof(Everything, huge));
    *f++ = field("huge_unsigned", rosidl_typesupport_introspection_c__ROS_TYPE_UINT64,
      offsetof(Everything, huge_unsigned));
    *f++ = field("name", rosidl_typesupport_introspection_c__ROS_TYPE_STRING, offsetof(Everything, name));
    *f++ = field("code", rosidl_typesupport_introspection_c__ROS_TYPE_STRING, offsetof(Everything, code), 8);
    *f++ = field("wide", rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING, offsetof(Everything, wide));
    *f++ = field("extended", rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE,
      offsetof(Everything, extended));
    *f++ = field("triple", rosidl_typesupport_introspection_c__ROS_TYPE_INT16,
      offsetof(Everything, triple), 0, true, 3);
    *f++ = field("readings", rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE,
      offsetof(Everything, readings), 0, true, 4, true);
    *f++ = field("counts", rosidl_typesupport_introspection_c__ROS_TYPE_INT32,
      offsetof(Everything, counts), 0, true);
    *f++ = field("tags", rosidl_typesupport_introspection_c__ROS_TYPE_STRING,
      offsetof(Everything, tags), 0, true, 2);
    *f++ = field("inner", rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE,
      offsetof(Everything, inner), 0, false, 0, false, &inner_handle);
    *f++ = field("inners", rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE,
      offsetof(Everything, inners), 0, true, 0, false, &inner_handle);
    everything = {"fixture_pkg__msg", "Everything", 23, sizeof(Everything), everything_fields,
      everything_init, everything_fini};
    everything_handle = message_handle(rosidl_typesupport_introspection_c__identifier, &everything);

    // Everything but its wstring and long double, which Cyclone's IDL
    // cannot express: the message that has an IDL twin.
    Member * w = wire_fields;
    for (const Member & member : everything_fields) {
      if (member.type_id_ != rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING &&
        member.type_id_ != rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE)
      {
        *w++ = member;
      }
    }
    wire = {"fixture_pkg__msg", "Wire", 21, sizeof(Everything), wire_fields, everything_init,
      everything_fini};
    wire_handle = message_handle(rosidl_typesupport_introspection_c__identifier, &wire);

    broken = {"fixture_pkg__msg", "Broken", 2, 16, nullptr, nullptr, nullptr};
    broken_handle = message_handle(rosidl_typesupport_introspection_c__identifier, &broken);
    foreign_handle = message_handle(foreign_identifier, &inner);

    ok_field[0] = field("ok", rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN, 0);
    pair_response = {"fixture_pkg__srv", "Pair_Response", 1, sizeof(bool), ok_field, ok_init, ok_fini};
    item_field[0] = field("item", rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE, 0, 0, false, 0,
      false, &inner_handle);
    pair_request = {"fixture_pkg__srv", "Pair_Request", 1, sizeof(Inner), item_field, inner_init,
      inner_fini};
    pair = {"fixture_pkg__srv", "Pair", &pair_request, &pair_response};
    pair_handle = {rosidl_typesupport_introspection_c__identifier, &pair,
      get_service_typesupport_handle_function};
  }
};

const Records & records()
{
  static const Records built;
  return built;
}

}  // namespace

FIXTURE_EXPORT const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__fixture_pkg__msg__Inner()
{
  return &records().inner_handle;
}

FIXTURE_EXPORT const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__fixture_pkg__msg__Everything()
{
  return &records().everything_handle;
}

FIXTURE_EXPORT const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__fixture_pkg__msg__Wire()
{
  return &records().wire_handle;
}

FIXTURE_EXPORT const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__fixture_pkg__msg__Foreign()
{
  return &records().foreign_handle;
}

FIXTURE_EXPORT const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__fixture_pkg__msg__Broken()
{
  return &records().broken_handle;
}

FIXTURE_EXPORT const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__fixture_pkg__msg__Null()
{
  return nullptr;
}

FIXTURE_EXPORT const rosidl_service_type_support_t *
rosidl_typesupport_introspection_c__get_service_type_support_handle__fixture_pkg__srv__Pair()
{
  return &records().pair_handle;
}
