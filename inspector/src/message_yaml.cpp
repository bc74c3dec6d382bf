// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "message_yaml.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "inspect_error.hpp"

namespace typesupport_inspect
{

namespace
{

template<typename T>
T read(const void * at)
{
  T value;
  std::memcpy(&value, at, sizeof(T));
  return value;
}

template<typename T>
void write(void * at, T value)
{
  std::memcpy(at, &value, sizeof(T));
}

// YAML's plain scalars may not look like another type or start with an
// indicator; anything else is quoted.
std::string yaml_string(const std::string & text)
{
  bool control = false;
  for (const char c : text) {
    control |= static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  }
  if (control) {
    std::string quoted = "\"";
    for (const char c : text) {
      char escaped[8];
      if (c == '"' || c == '\\') {
        quoted += '\\';
        quoted += c;
      } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
        std::snprintf(escaped, sizeof(escaped), "\\x%02x", static_cast<unsigned char>(c));
        quoted += escaped;
      } else {
        quoted += c;
      }
    }
    return quoted + "\"";
  }
  std::string lower;
  for (const char c : text) {
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  char * end = nullptr;
  std::strtod(text.c_str(), &end);
  const bool numeric = !text.empty() && end == text.c_str() + text.size();
  const bool special = lower == "true" || lower == "false" || lower == "yes" || lower == "no" ||
    lower == "on" || lower == "off" || lower == "null" || lower == "~" || lower == "y" ||
    lower == "n";
  const bool plain = !text.empty() && !numeric && !special &&
    !std::isspace(static_cast<unsigned char>(text.front())) &&
    !std::isspace(static_cast<unsigned char>(text.back())) &&
    std::strchr("!&*-?:,[]{}#|>@`\"'%", text.front()) == nullptr &&
    text.find(": ") == std::string::npos && text.find(" #") == std::string::npos &&
    text.back() != ':';
  if (plain) {
    return text;
  }
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("''") : std::string(1, c);
  }
  return quoted + "'";
}

// The shortest decimal text that reads back as the same value.
template<typename Float>
std::string float_text(Float value)
{
  if (std::isnan(value)) {
    return ".nan";
  }
  if (std::isinf(value)) {
    return value > 0 ? ".inf" : "-.inf";
  }
  char text[64];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof(text), "%.*g", precision, static_cast<double>(value));
    if (static_cast<Float>(std::strtod(text, nullptr)) == value) {
      break;
    }
  }
  std::string result = text;
  if (result.find_first_of(".e") == std::string::npos) {
    result += ".0";
  }
  return result;
}

// A value this inspector does not decode, shown by its type: "<wstring>".
std::string named(const MessageMember & member)
{
  std::string name = "<";
  name += field_type_name(member);
  name += '>';
  return name;
}

// One value of a field that is not a nested message.
std::string scalar_yaml(const MessageMember & member, const void * at)
{
  switch (member.type_id_) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT: return float_text(read<float>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE: return float_text(read<double>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8:
      return std::to_string(read<std::int8_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
      return std::to_string(read<std::uint16_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
      return read<std::uint8_t>(at) != 0 ? "true" : "false";
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
      return std::to_string(read<std::uint8_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16:
      return std::to_string(read<std::int16_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
      return std::to_string(read<std::uint32_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32:
      return std::to_string(read<std::int32_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
      return std::to_string(read<std::uint64_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64:
      return std::to_string(read<std::int64_t>(at));
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING: {
        const auto text = read<rosidl_runtime_c__String>(at);
        return yaml_string(text.data != nullptr ? std::string(text.data, text.size) : "");
      }
    default:
      // wstring, long double and unknown codes are named, not decoded.
      return named(member);
  }
}

void write_message(
  const MessageMembers & members, const char * message, const std::string & first_indent,
  const std::string & indent, std::string & out)
{
  for (std::uint32_t i = 0; i < members.member_count_; ++i) {
    const MessageMember & member = members.members_[i];
    const char * field = message + member.offset_;
    out += i == 0 ? first_indent : indent;
    out += member.name_;
    const MessageMembers * nested = nested_members(member);

    if (array_kind(member) == ArrayKind::none) {
      if (nested != nullptr) {
        out += ":\n";
        write_message(*nested, field, indent + "  ", indent + "  ", out);
      } else {
        out += ": " + scalar_yaml(member, field) + "\n";
      }
      continue;
    }

    // Fixed arrays lie in the message; sequences are {data, size, capacity}.
    const char * elements = field;
    std::size_t count = member.array_size_;
    if (array_kind(member) != ArrayKind::fixed) {
      elements = read<const char *>(field);
      count = read<std::size_t>(field + sizeof(void *));
    }
    const std::size_t stride = element_size(member);
    if (stride == 0) {
      out += ": " + named(member) + "\n";
      continue;
    }
    if (count == 0 || elements == nullptr) {
      out += ": []\n";
      continue;
    }
    out += ":\n";
    for (std::size_t e = 0; e < count; ++e) {
      const char * element = elements + e * stride;
      if (nested != nullptr) {
        write_message(*nested, element, indent + "- ", indent + "  ", out);
      } else {
        out += indent + "- " + scalar_yaml(member, element) + "\n";
      }
    }
  }
}

template<typename Integer>
void assign_integer(
  void * at, const std::string & value, const std::string & path, const MessageMember & member)
{
  Integer parsed{};
  const char * end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, parsed);
  if (error != std::errc() || stop != end) {
    throw InspectError(
      "--set " + path + ": '" + value + "' does not fit " + element_type_name(member));
  }
  write(at, parsed);
}

template<typename Float>
void assign_float(void * at, const std::string & value, const std::string & path)
{
  char * end = nullptr;
  const double parsed = std::strtod(value.c_str(), &end);
  if (value.empty() || end != value.c_str() + value.size()) {
    throw InspectError("--set " + path + ": '" + value + "' is not a number");
  }
  write(at, static_cast<Float>(parsed));
}

void assign(
  const MessageMember & member, void * at, const std::string & value, const std::string & path)
{
  if (array_kind(member) != ArrayKind::none) {
    throw InspectError("--set " + path + ": the field is a " + field_type_name(member) +
      "; only single values can be set");
  }
  switch (member.type_id_) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING:
      if (member.string_upper_bound_ > 0 && value.size() > member.string_upper_bound_) {
        throw InspectError("--set " + path + ": " + std::to_string(value.size()) +
          " characters exceed the bound of " + std::to_string(member.string_upper_bound_));
      }
      if (!rosidl_runtime_c__String__assign(
          static_cast<rosidl_runtime_c__String *>(at), value.c_str()))
      {
        throw InspectError("--set " + path + ": the string could not be assigned (out of memory?)");
      }
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
      if (value != "true" && value != "false" && value != "1" && value != "0") {
        throw InspectError("--set " + path + ": '" + value + "' is not true or false");
      }
      write<std::uint8_t>(at, value == "true" || value == "1");
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT:
      assign_float<float>(at, value, path);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE:
      assign_float<double>(at, value, path);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8:
      assign_integer<std::int8_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
      assign_integer<std::uint8_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
      assign_integer<std::uint16_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16:
      assign_integer<std::int16_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
      assign_integer<std::uint32_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32:
      assign_integer<std::int32_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
      assign_integer<std::uint64_t>(at, value, path, member);
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64:
      assign_integer<std::int64_t>(at, value, path, member);
      return;
    default:
      throw InspectError("--set " + path + ": a field of type " + field_type_name(member) +
        " cannot be set");
  }
}

// The member a dotted path names, and where it lies in `message`; null when
// the message has no such field.
const MessageMember * find_field(
  const MessageMembers & members, char * message, const std::string & path, char ** at)
{
  const MessageMembers * current = &members;
  std::size_t begin = 0;
  while (true) {
    const std::size_t dot = path.find('.', begin);
    const std::string name = path.substr(begin, dot - begin);
    const MessageMember * found = nullptr;
    for (std::uint32_t i = 0; i < current->member_count_ && found == nullptr; ++i) {
      found = name == current->members_[i].name_ ? &current->members_[i] : nullptr;
    }
    if (found == nullptr) {
      return nullptr;
    }
    message += found->offset_;
    if (dot == std::string::npos) {
      *at = message;
      return found;
    }
    current = nested_members(*found);
    if (current == nullptr || array_kind(*found) != ArrayKind::none) {
      return nullptr;
    }
    begin = dot + 1;
  }
}

// Message memory, finalised (when initialised) and freed on every way out.
class MessageInMemory
{
public:
  explicit MessageInMemory(const MessageMembers & members)
  : members_(members),
    memory_(static_cast<char *>(::operator new(members.size_of_ > 0 ? members.size_of_ : 1,
      std::align_val_t{alignof(std::max_align_t)})))
  {
    std::memset(memory_, 0, members.size_of_);
    if (members.init_function == nullptr || members.fini_function == nullptr) {
      release();
      throw InspectError(std::string(members.message_name_) + ": no init or fini function");
    }
    members.init_function(memory_, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  }
  MessageInMemory(const MessageInMemory &) = delete;
  MessageInMemory & operator=(const MessageInMemory &) = delete;
  ~MessageInMemory()
  {
    members_.fini_function(memory_);
    release();
  }

  char * data() {return memory_;}

private:
  void release() {::operator delete(memory_, std::align_val_t{alignof(std::max_align_t)});}

  const MessageMembers & members_;
  char * memory_;
};

bool has_field(const MessageMembers & members, const std::string & path)
{
  const std::string first = path.substr(0, path.find('.'));
  for (std::uint32_t i = 0; i < members.member_count_; ++i) {
    if (first == members.members_[i].name_) {
      return true;
    }
  }
  return false;
}

}  // namespace

Assignment parse_assignment(std::string_view text)
{
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) {
    throw InspectError("--set '" + std::string(text) + "' is not of the form FIELD=VALUE");
  }
  return {std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

std::string message_yaml(const MessageMembers & members, const void * message)
{
  std::string out;
  write_message(members, static_cast<const char *>(message), "", "", out);
  return out;
}

std::string round_trip(const MessageMembers & members, const std::vector<Assignment> & assignments)
{
  MessageInMemory message(members);
  for (const Assignment & assignment : assignments) {
    char * at = nullptr;
    const MessageMember * member = find_field(members, message.data(), assignment.path, &at);
    if (member == nullptr) {
      throw InspectError("--set " + assignment.path + ": " + members.message_namespace_ + "/" +
        members.message_name_ + " has no field '" + assignment.path + "'");
    }
    assign(*member, at, assignment.value, assignment.path);
  }
  return message_yaml(members, message.data());
}

std::string round_trip(const Interface & interface, const std::vector<Assignment> & assignments)
{
  if (interface.message != nullptr) {
    return round_trip(*interface.message, assignments);
  }
  const MessageMembers & request = *interface.service->request_members_;
  const MessageMembers & response = *interface.service->response_members_;
  std::vector<Assignment> to_request;
  std::vector<Assignment> to_response;
  for (const Assignment & assignment : assignments) {
    if (has_field(request, assignment.path)) {
      to_request.push_back(assignment);
    } else if (has_field(response, assignment.path)) {
      to_response.push_back(assignment);
    } else {
      throw InspectError("--set " + assignment.path + ": " + interface.name.text() +
        " has no field '" + assignment.path + "' in its request or response");
    }
  }
  std::string out;
  if (!to_request.empty() || to_response.empty()) {
    out += round_trip(request, to_request);
  }
  if (!to_response.empty()) {
    out += (out.empty() ? "" : "---\n") + round_trip(response, to_response);
  }
  return out;
}

}  // namespace typesupport_inspect
