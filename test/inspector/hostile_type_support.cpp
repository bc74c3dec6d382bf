// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A type support library whose records a generic caller must not trust,
// package "hostile_pkg". Each message or service getter hands back records
// with one fault: sizes and offsets that do not fit, pointers that lead
// nowhere, names that are not text, codes that mean nothing, nesting that
// would take exponential time or never end, handles of the wrong kind. A
// reader that follows them blindly crashes, hangs or prints nonsense; the
// inspector must refuse each with one line, quickly.
//
// A few interfaces are valid but awkward, and must print exactly:
//   msg/SequenceChain  33 types, each level nesting the next three times
//   msg/TrickyNames    field names that YAML and JSON must quote or escape
//   msg/Holder         nested messages without fields, alone and in arrays
// and msg/ZeroedString is valid records whose init leaves a string zeroed.

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_runtime_c/service_type_support_struct.h"
#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_interface/macros.h"
#include "rosidl_typesupport_introspection_c/field_types.h"
#include "rosidl_typesupport_introspection_c/identifier.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"

namespace
{

using Member = rosidl_typesupport_introspection_c__MessageMember;
using Members = rosidl_typesupport_introspection_c__MessageMembers;
using ServiceMembers = rosidl_typesupport_introspection_c__ServiceMembers;
using Handle = rosidl_message_type_support_t;
using ServiceHandle = rosidl_service_type_support_t;
using InitFunction = void (*)(void *, enum rosidl_runtime_c__message_initialization);
using FiniFunction = void (*)(void *);

constexpr std::uint8_t kInt32 = rosidl_typesupport_introspection_c__ROS_TYPE_INT32;
constexpr std::uint8_t kUint64 = rosidl_typesupport_introspection_c__ROS_TYPE_UINT64;
constexpr std::uint8_t kDouble = rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE;
constexpr std::uint8_t kString = rosidl_typesupport_introspection_c__ROS_TYPE_STRING;
constexpr std::uint8_t kMessage = rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE;

constexpr char kNamespace[] = "hostile_pkg__msg";
constexpr char kServiceNamespace[] = "hostile_pkg__srv";

// An address in the first page, which is never mapped.
template<typename Pointer>
Pointer wild()
{
  return reinterpret_cast<Pointer>(std::uintptr_t{0x10});
}

// Bytes that are data, never code: where a hostile record points a function.
unsigned char not_code[64];

// Functions for messages whose fields need no work: the caller zeroes the
// memory before init, and these touch nothing, whatever size_of_ claims.
void keep(void *, enum rosidl_runtime_c__message_initialization) {}
void release(void *) {}

// Fields are set by name on a zeroed record, so this builds against either
// layout of MessageMember.
Member field(
  const char * name, std::uint8_t type, std::size_t offset, const Handle * nested = nullptr)
{
  Member member{};
  member.name_ = name;
  member.type_id_ = type;
  member.members_ = nested;
  member.offset_ = static_cast<std::uint32_t>(offset);
  return member;
}

Member array_field(
  const char * name, std::uint8_t type, std::size_t offset, std::size_t size,
  bool is_upper_bound = false, const Handle * nested = nullptr)
{
  Member member = field(name, type, offset, nested);
  member.is_array_ = true;
  member.array_size_ = size;
  member.is_upper_bound_ = is_upper_bound;
  return member;
}

// Assigned one by one, so that the padding keeps the zeroes of static
// storage: a record read as another kind then shows those, not leftovers.
void set_members(
  Members & members, const char * record_namespace, const char * name, std::uint32_t count,
  std::size_t size_of, const Member * fields, InitFunction init = keep,
  FiniFunction fini = release)
{
  members.message_namespace_ = record_namespace;
  members.message_name_ = name;
  members.member_count_ = count;
  members.size_of_ = size_of;
  members.members_ = fields;
  members.init_function = init;
  members.fini_function = fini;
}

Handle handle_of(const Members * members)
{
  return {rosidl_typesupport_introspection_c__identifier, members,
    get_message_typesupport_handle_function};
}

// One message interface: up to four fields, the members record and its handle.
struct MessageCase
{
  Member fields[4];
  Members members;
  Handle handle;

  // A message of `fields` in this library's namespace, with no-op init and fini.
  void make(const char * name, std::size_t size_of, std::initializer_list<Member> list)
  {
    std::size_t count = 0;
    for (const Member & member : list) {
      fields[count++] = member;
    }
    set_members(members, kNamespace, name, static_cast<std::uint32_t>(count), size_of, fields);
    handle = handle_of(&members);
  }
};

// The C form of every sequence, whatever its element type.
struct AnySequence
{
  void * data;
  std::size_t size;
  std::size_t capacity;
};

// --- A chain of 32 message types, each nesting the next three times --------
//
// Level 0 is the interface (an int32 `value` and fields a, b, c), levels 1 to
// 31 have only a, b and c, and level 32 is a leaf with one int32. As
// sequences the records are valid and reach 33 types by 3^32 paths: a reader
// that reads a type once per path never ends. By value, the message would
// hold 3^32 leaves, which no size can describe.

constexpr std::size_t kChainLevels = 32;
constexpr std::size_t kChainTypes = kChainLevels + 1;

struct ChainTop
{
  std::int32_t value;
  AnySequence a;
  AnySequence b;
  AnySequence c;
};

struct ChainLevel
{
  AnySequence a;
  AnySequence b;
  AnySequence c;
};

struct ChainLeaf
{
  std::int32_t x;
};

constexpr std::size_t chain_size(std::size_t level)
{
  return level == 0 ? sizeof(ChainTop) : level < kChainLevels ? sizeof(ChainLevel) :
         sizeof(ChainLeaf);
}

template<std::size_t Level>
void chain_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, chain_size(Level));
}

template<std::size_t Level>
void chain_fini(void * message);

// Finalises and frees what a sequence of level `Level` messages holds, as the
// message library's own sequence functions do: every element up to the capacity.
template<std::size_t Level>
void drop_elements(AnySequence & sequence)
{
  auto * elements = static_cast<unsigned char *>(sequence.data);
  for (std::size_t i = 0; elements != nullptr && i < sequence.capacity; ++i) {
    chain_fini<Level>(elements + i * chain_size(Level));
  }
  std::free(elements);
  sequence = AnySequence{nullptr, 0, 0};
}

template<std::size_t Level>
void chain_fini([[maybe_unused]] void * message)
{
  if constexpr (Level == 0) {
    auto * top = static_cast<ChainTop *>(message);
    for (AnySequence * sequence : {&top->a, &top->b, &top->c}) {
      drop_elements<Level + 1>(*sequence);
    }
  } else if constexpr (Level < kChainLevels) {
    auto * level = static_cast<ChainLevel *>(message);
    for (AnySequence * sequence : {&level->a, &level->b, &level->c}) {
      drop_elements<Level + 1>(*sequence);
    }
  }
}

template<std::size_t... Levels>
constexpr std::array<InitFunction, kChainTypes> chain_inits(std::index_sequence<Levels...>)
{
  return {{&chain_init<Levels>...}};
}

template<std::size_t... Levels>
constexpr std::array<FiniFunction, kChainTypes> chain_finis(std::index_sequence<Levels...>)
{
  return {{&chain_fini<Levels>...}};
}

enum class ChainKind
{
  sequences,  // valid: Next[] a, b, c
  values,  // Next a, b, c with the true sizes, which pass any limit
  undersized_values,  // Next a, b, c, every level claiming 48 bytes
};

struct Chain
{
  char names[kChainTypes][40];
  Member fields[kChainTypes][4];
  Members members[kChainTypes];
  Handle handles[kChainTypes];

  void make(const char * base, ChainKind kind)
  {
    static constexpr auto inits = chain_inits(std::make_index_sequence<kChainTypes>{});
    static constexpr auto finis = chain_finis(std::make_index_sequence<kChainTypes>{});
    // The true sizes of the by-value chain, from the leaf up.
    std::size_t value_sizes[kChainTypes];
    value_sizes[kChainLevels] = sizeof(ChainLeaf);
    for (std::size_t level = kChainLevels - 1; level > 0; --level) {
      value_sizes[level] = 3 * value_sizes[level + 1];
    }
    value_sizes[0] = sizeof(std::int32_t) + 3 * value_sizes[1];

    for (std::size_t level = 0; level < kChainTypes; ++level) {
      if (level == 0) {
        std::snprintf(names[level], sizeof(names[level]), "%s", base);
      } else if (level < kChainLevels) {
        std::snprintf(names[level], sizeof(names[level]), "%s%02zu", base, level);
      } else {
        std::snprintf(names[level], sizeof(names[level]), "%sLeaf", base);
      }
      handles[level] = handle_of(&members[level]);
    }
    for (std::size_t level = 0; level < kChainTypes; ++level) {
      Member * out = fields[level];
      std::uint32_t count = 0;
      std::size_t size_of = 0;
      if (level == kChainLevels) {
        out[count++] = field("x", kInt32, 0);
        size_of = sizeof(ChainLeaf);
      } else {
        const Handle * next = &handles[level + 1];
        std::size_t offsets[3];
        if (kind == ChainKind::sequences) {
          if (level == 0) {
            offsets[0] = offsetof(ChainTop, a);
            offsets[1] = offsetof(ChainTop, b);
            offsets[2] = offsetof(ChainTop, c);
          } else {
            offsets[0] = offsetof(ChainLevel, a);
            offsets[1] = offsetof(ChainLevel, b);
            offsets[2] = offsetof(ChainLevel, c);
          }
          size_of = chain_size(level);
        } else if (kind == ChainKind::values) {
          const std::size_t start = level == 0 ? sizeof(std::int32_t) : 0;
          for (std::size_t i = 0; i < 3; ++i) {
            offsets[i] = start + i * value_sizes[level + 1];
          }
          size_of = value_sizes[level];
        } else {
          // 48 bytes hold three leaves at 0, 16 and 32, but not three levels.
          const std::size_t start = level == 0 ? 16 : 0;
          for (std::size_t i = 0; i < 3; ++i) {
            offsets[i] = start + 16 * i;
          }
          size_of = level == 0 ? 112 : 48;
        }
        if (level == 0) {
          out[count++] = field("value", kInt32, 0);
        }
        for (std::size_t i = 0; i < 3; ++i) {
          static constexpr const char * kNames[] = {"a", "b", "c"};
          out[count++] = kind == ChainKind::sequences ?
            array_field(kNames[i], kMessage, offsets[i], 0, false, next) :
            field(kNames[i], kMessage, offsets[i], next);
        }
      }
      set_members(members[level], kNamespace, names[level], count, size_of, out,
        kind == ChainKind::sequences ? inits[level] : keep,
        kind == ChainKind::sequences ? finis[level] : release);
    }
  }
};

// --- Valid records that are awkward to print --------------------------------

// Field names that YAML reads as something else unless quoted, and that JSON
// must escape. The tests hold the same list.
constexpr const char * kTrickyNames[] = {
  "a: b # c", "- x", "'q'", "\"dq\"", "back\\slash", "*alias", "&anchor", "!tag", "? key",
  "[1, 2]", "{k: v}", "%percent", "@at", "#hash", " lead", "trail ", "true", "null", "~",
  "123", "1e3", "tab\there", "gr\u00f6\u00dfe",
};
constexpr std::size_t kTrickyCount = sizeof(kTrickyNames) / sizeof(kTrickyNames[0]);
// The field whose name is "\"dq\"" is a string; the others are int32.
constexpr std::size_t kTrickyStringField = 3;

struct Tricky
{
  std::int32_t numbers[kTrickyCount];
  rosidl_runtime_c__String text;
};

std::size_t tricky_offset(std::size_t index)
{
  return index == kTrickyStringField ? offsetof(Tricky, text) :
         offsetof(Tricky, numbers) + index * sizeof(std::int32_t);
}

void tricky_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  auto * tricky = static_cast<Tricky *>(message);
  std::memset(tricky, 0, sizeof(*tricky));
  rosidl_runtime_c__String__init(&tricky->text);
}

void tricky_fini(void * message)
{
  rosidl_runtime_c__String__fini(&static_cast<Tricky *>(message)->text);
}

// hostile_pkg/msg/ZeroedString, whose init leaves the string as zeroed memory.
struct ZeroedStringMessage
{
  std::int32_t n;
  rosidl_runtime_c__String s;
};

// A message that is a single string.
void string_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  rosidl_runtime_c__String__init(static_cast<rosidl_runtime_c__String *>(message));
}

void string_fini(void * message)
{
  rosidl_runtime_c__String__fini(static_cast<rosidl_runtime_c__String *>(message));
}

// A message of an int32 and, at offset 4, a message that is a single string.
constexpr std::size_t kMisalignedInner = 4;
constexpr std::size_t kMisalignedOuterSize = 32;

void misaligned_outer_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, kMisalignedOuterSize);
  string_init(
    static_cast<unsigned char *>(message) + kMisalignedInner, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
}

void misaligned_outer_fini(void * message)
{
  string_fini(static_cast<unsigned char *>(message) + kMisalignedInner);
}

// An empty message as the C generator lays it out: one byte, no field.
struct Empty
{
  std::uint8_t structure_needs_at_least_one_member;
};

struct Holder
{
  std::int32_t n;
  Empty e;
  Empty arr[2];
  AnySequence seq;  // Empty[]
};

void empty_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, sizeof(Empty));
}

void holder_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, sizeof(Holder));
}

void holder_fini(void * message)
{
  std::free(static_cast<Holder *>(message)->seq.data);
}

// --- Every record ----------------------------------------------------------

struct Records
{
  // Memory: sizes, offsets and pointers.
  MessageCase huge_size;
  MessageCase tebibyte_size;
  MessageCase field_past_end;
  MessageCase field_crosses_end;
  MessageCase huge_fixed_array;
  MessageCase zero_size;
  MessageCase wild_member_array;
  MessageCase huge_member_count;
  MessageCase members_cross_guard;
  MessageCase wild_field_name;
  MessageCase long_field_name;
  MessageCase unterminated_field_name;
  MessageCase invalid_utf8_field_name;
  MessageCase invalid_utf8_message_name;
  MessageCase type_code_zero;
  MessageCase type_code_99;
  MessageCase is_array_two;
  MessageCase bound_zero;
  MessageCase size_on_single_value;
  MessageCase string_bound_on_int;
  MessageCase handle_on_int;
  MessageCase misaligned_string;
  MessageCase duplicate_name;
  MessageCase init_into_data;
  MessageCase size_function_into_data;
  MessageCase overlapping_fields;
  MessageCase zero_size_elements;
  MessageCase empty_zero;
  MessageCase newline_in_faulty_field;
  MessageCase newline_in_message_name;
  MessageCase zeroed_string;
  MessageCase twin;
  MessageCase other_twin;
  MessageCase twin_holder;
  MessageCase string_only;
  MessageCase misaligned_nested_string;
  // Time: nesting.
  Chain sequence_chain;
  Chain value_chain;
  Chain undersized_value_chain;
  MessageCase self_cycle;
  MessageCase pair_cycle;
  MessageCase pair_cycle_other;
  // Wrong kinds of handle and record.
  MessageCase scalar;
  MessageCase foreign_nested;
  Handle foreign_handle;
  MessageCase nested_null_data;
  Handle null_data_handle;
  MessageCase nested_wild_handle;
  MessageCase wild_identifier;
  MessageCase original;
  MessageCase message_as_service;
  ServiceMembers service_as_message;
  // Read as a members record, which is longer, the service record runs on
  // into these: its member array would lie where this first pointer leads,
  // which is nowhere.
  const void * service_as_message_tail[3];
  ServiceHandle service_as_message_handle;
  MessageCase misnamed_request;
  MessageCase misnamed_response;
  ServiceMembers misnamed_service;
  ServiceHandle misnamed_service_handle;
  MessageCase repeated_request;
  ServiceMembers response_is_request;
  ServiceHandle response_is_request_handle;
  // Valid but awkward.
  Member tricky_fields[kTrickyCount];
  Members tricky;
  Handle tricky_handle;
  MessageCase empty;
  MessageCase holder;

  char long_name[301];
  // Two mappings, each a readable page followed by an unreadable one: a name
  // with no NUL up to the end of the first, a member array running into the
  // second.
  unsigned char * guarded = nullptr;
  std::size_t page = 0;

  Records()
  {
    page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void * mapped =
      mmap(nullptr, 4 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped != MAP_FAILED) {
      guarded = static_cast<unsigned char *>(mapped);
      mprotect(guarded + page, page, PROT_NONE);
      mprotect(guarded + 3 * page, page, PROT_NONE);
    }
    make_memory_cases();
    make_nesting_cases();
    make_kind_cases();
    make_valid_cases();
  }

  Records(const Records &) = delete;
  Records & operator=(const Records &) = delete;

  ~Records()
  {
    if (guarded != nullptr) {
      munmap(guarded, 4 * page);
    }
  }

  void make_memory_cases()
  {
    huge_size.make("HugeSize", SIZE_MAX - 7, {field("x", kInt32, 0)});
    tebibyte_size.make("TebibyteSize", std::size_t{1} << 40, {field("x", kInt32, 0)});
    field_past_end.make("FieldPastEnd", 8, {field("x", kInt32, 12)});
    field_crosses_end.make("FieldCrossesEnd", 16, {field("s", kString, 8)});
    huge_fixed_array.make("HugeFixedArray", 16,
      {array_field("x", kInt32, 0, std::size_t{1} << 40)});
    zero_size.make("ZeroSize", 0, {field("x", kInt32, 0)});

    wild_member_array.make("WildMemberArray", 4, {});
    wild_member_array.members.member_count_ = 1;
    wild_member_array.members.members_ = wild<const Member *>();
    // One valid field fills the end of a readable page; a second would lie past it.
    Member * last = nullptr;
    if (guarded != nullptr) {
      last = reinterpret_cast<Member *>(guarded + 3 * page - sizeof(Member));
      *last = field("x", kInt32, 0);
    }
    members_cross_guard.make("MemberArrayCrossesGuard", 4, {});
    members_cross_guard.members.member_count_ = 2;
    members_cross_guard.members.members_ = last;
    huge_member_count.make("HugeMemberCount", 4, {});
    huge_member_count.members.member_count_ = UINT32_MAX;
    huge_member_count.members.members_ = last;

    wild_field_name.make("WildFieldName", 4, {field(wild<const char *>(), kInt32, 0)});
    std::memset(long_name, 'n', sizeof(long_name) - 1);
    long_name[sizeof(long_name) - 1] = '\0';
    long_field_name.make("LongFieldName", 4, {field(long_name, kInt32, 0)});
    const char * unterminated = nullptr;
    if (guarded != nullptr) {
      std::memset(guarded + page - 64, 'u', 64);
      unterminated = reinterpret_cast<const char *>(guarded + page - 64);
    }
    unterminated_field_name.make("UnterminatedFieldName", 4, {field(unterminated, kInt32, 0)});
    invalid_utf8_field_name.make("InvalidUtf8FieldName", 4, {field("bad\xff" "name", kInt32, 0)});
    invalid_utf8_message_name.make("InvalidUtf8MessageName\xc3", 4, {field("x", kInt32, 0)});

    type_code_zero.make("TypeCodeZero", 8, {field("x", 0, 0)});
    type_code_99.make("TypeCode99", 8, {field("x", 99, 0)});
    is_array_two.make("IsArrayTwo", 8, {array_field("x", kInt32, 0, 2)});
    // A byte that is neither false nor true, as another compiler or a
    // corrupted record may leave it.
    std::memset(&is_array_two.fields[0].is_array_, 2, 1);
    bound_zero.make("BoundedSequenceBoundZero", 24, {array_field("x", kInt32, 0, 0, true)});
    size_on_single_value.make("SizeOnSingleValue", 16, {field("x", kInt32, 0)});
    size_on_single_value.fields[0].array_size_ = 4;
    string_bound_on_int.make("StringBoundOnInt", 4, {field("x", kInt32, 0)});
    string_bound_on_int.fields[0].string_upper_bound_ = 10;
    handle_on_int.make("HandleOnInt", 4, {field("x", kInt32, 0, &huge_size.handle)});
    misaligned_string.make("MisalignedString", 32, {field("s", kString, 4)});
    duplicate_name.make("DuplicateName", 8, {field("x", kInt32, 0), field("x", kInt32, 4)});

    init_into_data.make("InitIntoData", 4, {field("x", kInt32, 0)});
    init_into_data.members.init_function =
      reinterpret_cast<InitFunction>(reinterpret_cast<std::uintptr_t>(not_code));
    size_function_into_data.make("SizeFunctionIntoData", 8, {array_field("x", kInt32, 0, 2)});
    size_function_into_data.fields[0].size_function =
      reinterpret_cast<std::size_t (*)(const void *)>(reinterpret_cast<std::uintptr_t>(not_code));

    // A string and a number in the same bytes: setting the number makes the
    // string's data pointer whatever number was given.
    overlapping_fields.make("OverlappingFields", sizeof(rosidl_runtime_c__String),
      {field("s", kString, 0), field("n", kUint64, 0)});
    overlapping_fields.members.init_function = string_init;
    overlapping_fields.members.fini_function = string_fini;
    // 2^40 elements of a message that claims no bytes: the array takes none,
    // yet printing it visits every element.
    empty_zero.make("EmptyZero", 0, {});
    zero_size_elements.make("ZeroSizeElements", 8, {field("n", kInt32, 0),
        array_field("arr", kMessage, 4, std::size_t{1} << 40, false, &empty_zero.handle)});

    // Names are any UTF-8; the fault in these fields must still be told on one line.
    newline_in_faulty_field.make("NewlineInFaultyField", 4, {field("first\nsecond", 99, 0)});
    newline_in_message_name.make("Newline\nName", 4, {field("x", kInt32, 0)});
    // A string that init leaves as zeroed memory: no data, no size, which a
    // message after fini also holds.
    zeroed_string.make("ZeroedString", sizeof(ZeroedStringMessage), {
        field("n", kInt32, offsetof(ZeroedStringMessage, n)),
        field("s", kString, offsetof(ZeroedStringMessage, s))});

    // Two different records that both claim to be hostile_pkg/msg/Twin.
    twin.make("Twin", 4, {field("x", kInt32, 0)});
    other_twin.make("Twin", 8, {field("y", kDouble, 0)});
    twin_holder.make("TwinHolder", 16,
      {field("a", kMessage, 0, &twin.handle), field("b", kMessage, 8, &other_twin.handle)});
    // A string needs 8-byte alignment, also inside a nested message: at
    // offset 4 of the outer one, it lies at 4.
    string_only.make("StringOnly", sizeof(rosidl_runtime_c__String), {field("s", kString, 0)});
    string_only.members.init_function = string_init;
    string_only.members.fini_function = string_fini;
    misaligned_nested_string.make("MisalignedNestedString", kMisalignedOuterSize,
      {field("n", kInt32, 0), field("inner", kMessage, kMisalignedInner, &string_only.handle)});
    misaligned_nested_string.members.init_function = misaligned_outer_init;
    misaligned_nested_string.members.fini_function = misaligned_outer_fini;
  }

  void make_nesting_cases()
  {
    sequence_chain.make("SequenceChain", ChainKind::sequences);
    value_chain.make("ValueChain", ChainKind::values);
    undersized_value_chain.make("UndersizedValueChain", ChainKind::undersized_values);

    // SelfCycle[] a, b, c: three ways round at every step.
    self_cycle.make("SelfCycle", 3 * sizeof(AnySequence), {
        array_field("a", kMessage, 0, 0, false, &self_cycle.handle),
        array_field("b", kMessage, sizeof(AnySequence), 0, false, &self_cycle.handle),
        array_field("c", kMessage, 2 * sizeof(AnySequence), 0, false, &self_cycle.handle)});
    // PairCycle -> PairCycleOther -> PairCycle, two ways at every step.
    pair_cycle.make("PairCycle", 2 * sizeof(AnySequence), {
        array_field("a", kMessage, 0, 0, false, &pair_cycle_other.handle),
        array_field("b", kMessage, sizeof(AnySequence), 0, false, &pair_cycle_other.handle)});
    pair_cycle_other.make("PairCycleOther", 2 * sizeof(AnySequence), {
        array_field("a", kMessage, 0, 0, false, &pair_cycle.handle),
        array_field("b", kMessage, sizeof(AnySequence), 0, false, &pair_cycle.handle)});
  }

  void make_kind_cases()
  {
    scalar.make("Scalar", 4, {field("x", kInt32, 0)});
    // Valid introspection records behind another type support's identifier:
    // a caller must not read them as introspection records on trust.
    foreign_handle = {"rosidl_typesupport_cpp", &scalar.members,
      get_message_typesupport_handle_function};
    foreign_nested.make("ForeignNested", 4, {field("inner", kMessage, 0, &foreign_handle)});
    null_data_handle = {rosidl_typesupport_introspection_c__identifier, nullptr,
      get_message_typesupport_handle_function};
    nested_null_data.make("NestedNullData", 4, {field("inner", kMessage, 0, &null_data_handle)});
    nested_wild_handle.make("NestedWildHandle", 4,
      {field("inner", kMessage, 0, wild<const Handle *>())});
    wild_identifier.make("WildIdentifier", 4, {field("x", kInt32, 0)});
    wild_identifier.handle.typesupport_identifier = wild<const char *>();

    original.make("Original", 4, {field("x", kInt32, 0)});

    // The message handle a service getter returns here carries the service's
    // names, so only its shape tells that it is no service record.
    message_as_service.make("MessageAsService", 4, {field("x", kInt32, 0)});
    message_as_service.members.message_namespace_ = kServiceNamespace;
    // The service record a message getter returns here.
    service_as_message = {kServiceNamespace, "ServiceAsMessage", &scalar.members, &scalar.members};
    service_as_message_tail[0] = wild<const void *>();
    service_as_message_handle = {rosidl_typesupport_introspection_c__identifier,
      &service_as_message, get_service_typesupport_handle_function};

    misnamed_request.make("Other_Request", 4, {field("x", kInt32, 0)});
    misnamed_request.members.message_namespace_ = kServiceNamespace;
    misnamed_response.make("MisnamedRequest_Response", 4, {field("x", kInt32, 0)});
    misnamed_response.members.message_namespace_ = kServiceNamespace;
    misnamed_service = {kServiceNamespace, "MisnamedRequest", &misnamed_request.members,
      &misnamed_response.members};
    misnamed_service_handle = {rosidl_typesupport_introspection_c__identifier, &misnamed_service,
      get_service_typesupport_handle_function};

    // The request's record given again as the response's.
    repeated_request.make("ResponseIsRequest_Request", 4, {field("x", kInt32, 0)});
    repeated_request.members.message_namespace_ = kServiceNamespace;
    response_is_request = {kServiceNamespace, "ResponseIsRequest", &repeated_request.members,
      &repeated_request.members};
    response_is_request_handle = {rosidl_typesupport_introspection_c__identifier,
      &response_is_request, get_service_typesupport_handle_function};
  }

  void make_valid_cases()
  {
    for (std::size_t i = 0; i < kTrickyCount; ++i) {
      tricky_fields[i] =
        field(kTrickyNames[i], i == kTrickyStringField ? kString : kInt32, tricky_offset(i));
    }
    set_members(tricky, kNamespace, "TrickyNames", kTrickyCount, sizeof(Tricky), tricky_fields,
      tricky_init, tricky_fini);
    tricky_handle = handle_of(&tricky);

    empty.make("Empty", sizeof(Empty), {});
    empty.members.init_function = empty_init;
    holder.make("Holder", sizeof(Holder), {
        field("n", kInt32, offsetof(Holder, n)),
        field("e", kMessage, offsetof(Holder, e), &empty.handle),
        array_field("arr", kMessage, offsetof(Holder, arr), 2, false, &empty.handle),
        array_field("seq", kMessage, offsetof(Holder, seq), 0, false, &empty.handle)});
    holder.members.init_function = holder_init;
    holder.members.fini_function = holder_fini;
  }
};

const Records & records()
{
  static const Records built;
  return built;
}

}  // namespace

#define HOSTILE_EXPORT extern "C" __attribute__((visibility("default")))

// A message getter of package hostile_pkg returning `handle`.
#define HOSTILE_MESSAGE(name, handle) \
  HOSTILE_EXPORT const rosidl_message_type_support_t * \
  ROSIDL_TYPESUPPORT_INTERFACE__MESSAGE_SYMBOL_NAME( \
    rosidl_typesupport_introspection_c, hostile_pkg, msg, name)() \
  { \
    return handle; \
  }

// A service getter of package hostile_pkg returning `handle`.
#define HOSTILE_SERVICE(name, handle) \
  HOSTILE_EXPORT const rosidl_service_type_support_t * \
  ROSIDL_TYPESUPPORT_INTERFACE__SERVICE_SYMBOL_NAME( \
    rosidl_typesupport_introspection_c, hostile_pkg, srv, name)() \
  { \
    return handle; \
  }

HOSTILE_MESSAGE(HugeSize, &records().huge_size.handle)
HOSTILE_MESSAGE(TebibyteSize, &records().tebibyte_size.handle)
HOSTILE_MESSAGE(FieldPastEnd, &records().field_past_end.handle)
HOSTILE_MESSAGE(FieldCrossesEnd, &records().field_crosses_end.handle)
HOSTILE_MESSAGE(HugeFixedArray, &records().huge_fixed_array.handle)
HOSTILE_MESSAGE(ZeroSize, &records().zero_size.handle)
HOSTILE_MESSAGE(WildMemberArray, &records().wild_member_array.handle)
HOSTILE_MESSAGE(HugeMemberCount, &records().huge_member_count.handle)
HOSTILE_MESSAGE(MemberArrayCrossesGuard, &records().members_cross_guard.handle)
HOSTILE_MESSAGE(WildFieldName, &records().wild_field_name.handle)
HOSTILE_MESSAGE(LongFieldName, &records().long_field_name.handle)
HOSTILE_MESSAGE(UnterminatedFieldName, &records().unterminated_field_name.handle)
HOSTILE_MESSAGE(InvalidUtf8FieldName, &records().invalid_utf8_field_name.handle)
HOSTILE_MESSAGE(InvalidUtf8MessageName, &records().invalid_utf8_message_name.handle)
HOSTILE_MESSAGE(TypeCodeZero, &records().type_code_zero.handle)
HOSTILE_MESSAGE(TypeCode99, &records().type_code_99.handle)
HOSTILE_MESSAGE(IsArrayTwo, &records().is_array_two.handle)
HOSTILE_MESSAGE(BoundedSequenceBoundZero, &records().bound_zero.handle)
HOSTILE_MESSAGE(SizeOnSingleValue, &records().size_on_single_value.handle)
HOSTILE_MESSAGE(StringBoundOnInt, &records().string_bound_on_int.handle)
HOSTILE_MESSAGE(HandleOnInt, &records().handle_on_int.handle)
HOSTILE_MESSAGE(MisalignedString, &records().misaligned_string.handle)
HOSTILE_MESSAGE(DuplicateName, &records().duplicate_name.handle)
HOSTILE_MESSAGE(InitIntoData, &records().init_into_data.handle)
HOSTILE_MESSAGE(SizeFunctionIntoData, &records().size_function_into_data.handle)
HOSTILE_MESSAGE(OverlappingFields, &records().overlapping_fields.handle)
HOSTILE_MESSAGE(ZeroSizeElements, &records().zero_size_elements.handle)
HOSTILE_MESSAGE(NewlineInFaultyField, &records().newline_in_faulty_field.handle)
HOSTILE_MESSAGE(NewlineInMessageName, &records().newline_in_message_name.handle)
HOSTILE_MESSAGE(ZeroedString, &records().zeroed_string.handle)
HOSTILE_MESSAGE(TwinHolder, &records().twin_holder.handle)
HOSTILE_MESSAGE(MisalignedNestedString, &records().misaligned_nested_string.handle)

HOSTILE_MESSAGE(SequenceChain, &records().sequence_chain.handles[0])
HOSTILE_MESSAGE(ValueChain, &records().value_chain.handles[0])
HOSTILE_MESSAGE(UndersizedValueChain, &records().undersized_value_chain.handles[0])
HOSTILE_MESSAGE(SelfCycle, &records().self_cycle.handle)
HOSTILE_MESSAGE(PairCycle, &records().pair_cycle.handle)

HOSTILE_MESSAGE(ForeignNested, &records().foreign_nested.handle)
HOSTILE_MESSAGE(NestedNullData, &records().nested_null_data.handle)
HOSTILE_MESSAGE(NestedWildHandle, &records().nested_wild_handle.handle)
HOSTILE_MESSAGE(WildIdentifier, &records().wild_identifier.handle)
// The records of hostile_pkg/msg/Original under another message's getter.
HOSTILE_MESSAGE(Impostor, &records().original.handle)
// A service's handle from a message getter.
HOSTILE_MESSAGE(ServiceAsMessage,
  reinterpret_cast<const rosidl_message_type_support_t *>(&records().service_as_message_handle))
// A message's handle from a service getter.
HOSTILE_SERVICE(MessageAsService,
  reinterpret_cast<const rosidl_service_type_support_t *>(&records().message_as_service.handle))
HOSTILE_SERVICE(MisnamedRequest, &records().misnamed_service_handle)
HOSTILE_SERVICE(ResponseIsRequest, &records().response_is_request_handle)
// A handle pointer that leads nowhere.
HOSTILE_MESSAGE(WildHandle, wild<const rosidl_message_type_support_t *>())

HOSTILE_MESSAGE(TrickyNames, &records().tricky_handle)
HOSTILE_MESSAGE(Holder, &records().holder.handle)
