// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/message_yaml.hpp"

#include <cstdint>
#include <cstring>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_runtime_c/u16string.h"
#include "rosidl_runtime_c/u16string_functions.h"
#include "rosidl_typesupport_introspection_c/field_types.h"

#include "typesupport_core/error.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/numbers.hpp"
#include "typesupport_core/utf8.hpp"

namespace typesupport_core
{

namespace
{

// "outer.inner[2].x": where a value lies, for messages.
std::string element_path(const std::string & path, const Field & field, std::size_t index)
{
  return field.array == ArrayKind::none ? path : path + "[" + std::to_string(index) + "]";
}

std::string child_path(const std::string & path, const std::string & name)
{
  return path.empty() ? name : path + "." + name;
}

void write_value(YamlWriter & out, const Field & field, const void * at, const std::string & path);

void write_fields(
  YamlWriter & out, const MessageType & type, const void * message, const std::string & path)
{
  out.begin_mapping();
  for (const Field & field : type.fields) {
    const std::string here = child_path(path, field.name);
    out.text(field.name);
    const void * memory = field_memory(message, field);
    if (field.array == ArrayKind::none) {
      write_value(out, field, memory, here);
      continue;
    }
    out.begin_sequence();
    const std::size_t count = element_count(field, memory);
    for (std::size_t i = 0; i < count; ++i) {
      write_value(out, field, element_memory(field, memory, i), element_path(here, field, i));
    }
    out.end_sequence();
  }
  out.end_mapping();
}

void write_value(YamlWriter & out, const Field & field, const void * at, const std::string & path)
{
  switch (field.type_id) {
    case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT:
      out.plain(float_text(load<float>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE:
      out.plain(float_text(load<double>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE:
      out.plain(float_text(load<long double>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT8:
      out.plain(std::to_string(load<std::int8_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
      out.plain(std::to_string(load<std::uint16_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
      out.plain(load<std::uint8_t>(at) != 0 ? "true" : "false");
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
      out.plain(std::to_string(load<std::uint8_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT16:
      out.plain(std::to_string(load<std::int16_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
      out.plain(std::to_string(load<std::uint32_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT32:
      out.plain(std::to_string(load<std::int32_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
      out.plain(std::to_string(load<std::uint64_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_INT64:
      out.plain(std::to_string(load<std::int64_t>(at)));
      return;
    case rosidl_typesupport_introspection_c__ROS_TYPE_STRING: {
        const auto text = load<rosidl_runtime_c__String>(at);
        const std::string_view value =
          text.data != nullptr ? std::string_view(text.data, text.size) : std::string_view();
        if (invalid_utf8_at(value) != std::string_view::npos) {
          throw Error("field '" + path + "' is not valid UTF-8 (" + describe_invalid_utf8(value) +
            ")");
        }
        out.text(value);
        return;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING: {
        const auto text = load<rosidl_runtime_c__U16String>(at);
        std::string utf8;
        const std::size_t unpaired =
          text.data != nullptr ? append_utf8(text.data, text.size, utf8) : std::string::npos;
        if (unpaired != std::string::npos) {
          throw Error("field '" + path + "' holds an unpaired UTF-16 surrogate at unit " +
            std::to_string(unpaired));
        }
        out.text(utf8);
        return;
      }
    case rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE:
      write_fields(out, *field.nested, at, path);
      return;
    default:
      throw Error("field '" + path + "' has unknown type code " + std::to_string(field.type_id));
  }
}

template<typename Integer>
void assign_integer(void * at, std::string_view text, const Field & field)
{
  store(at, parse_integer<Integer>(text, element_type_name(field).c_str()));
}

// Sets one element from a scalar's text.
void assign_text(const Field & field, void * at, std::string_view text, const std::string & path)
{
  try {
    const bool is_text = field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_STRING ||
      field.type_id == rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING;
    if (is_text && invalid_utf8_at(text) != std::string_view::npos) {
      throw InputError("not valid UTF-8 (" + describe_invalid_utf8(text) + ")");
    }
    switch (field.type_id) {
      case rosidl_typesupport_introspection_c__ROS_TYPE_STRING: {
          if (field.string_upper_bound > 0 && text.size() > field.string_upper_bound) {
            throw InputError(std::to_string(text.size()) + " bytes exceed the bound of " +
              std::to_string(field.string_upper_bound));
          }
          if (text.find('\0') != std::string_view::npos) {
            throw InputError("a string cannot hold a NUL character");
          }
          if (!rosidl_runtime_c__String__assignn(
              static_cast<rosidl_runtime_c__String *>(at), text.data(), text.size()))
          {
            throw Error("out of memory");
          }
          return;
        }
      case rosidl_typesupport_introspection_c__ROS_TYPE_WSTRING: {
          std::u16string units;
          append_utf16(text, units);
          if (field.string_upper_bound > 0 && units.size() > field.string_upper_bound) {
            throw InputError(std::to_string(units.size()) + " UTF-16 units exceed the bound of " +
              std::to_string(field.string_upper_bound));
          }
          if (units.find(u'\0') != std::u16string::npos) {
            throw InputError("a string cannot hold a NUL character");
          }
          static_assert(sizeof(char16_t) == sizeof(std::uint16_t), "UTF-16 units are 16 bits");
          if (!rosidl_runtime_c__U16String__assignn(static_cast<rosidl_runtime_c__U16String *>(at),
            reinterpret_cast<const std::uint16_t *>(units.data()), units.size()))
          {
            throw Error("out of memory");
          }
          return;
        }
      case rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN:
        store<std::uint8_t>(at, parse_bool(text));
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_FLOAT:
        store(at, parse_float32(text));
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE:
        store(at, parse_float64(text));
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_LONG_DOUBLE:
        store(at, parse_long_double(text));
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_CHAR:
      case rosidl_typesupport_introspection_c__ROS_TYPE_INT8:
        assign_integer<std::int8_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_OCTET:
      case rosidl_typesupport_introspection_c__ROS_TYPE_UINT8:
        assign_integer<std::uint8_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_WCHAR:
      case rosidl_typesupport_introspection_c__ROS_TYPE_UINT16:
        assign_integer<std::uint16_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_INT16:
        assign_integer<std::int16_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_UINT32:
        assign_integer<std::uint32_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_INT32:
        assign_integer<std::int32_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_UINT64:
        assign_integer<std::uint64_t>(at, text, field);
        return;
      case rosidl_typesupport_introspection_c__ROS_TYPE_INT64:
        assign_integer<std::int64_t>(at, text, field);
        return;
      default:
        throw InputError("a " + element_type_name(field) + " needs a mapping of its fields");
    }
  } catch (const InputError & error) {
    throw InputError("field '" + path + "': " + error.what());
  } catch (const Error & error) {
    throw Error("field '" + path + "': " + error.what());
  }
}

void assign_fields(
  const MessageType & type, void * message, const YamlNode & values, const std::string & path);

void assign_element(const Field & field, void * at, const YamlNode & value, const std::string & path)
{
  if (field.nested != nullptr) {
    assign_fields(*field.nested, at, value, path);
  } else if (value.kind != YamlNode::Kind::scalar) {
    throw InputError("field '" + path + "' (" + element_type_name(field) +
      ") needs a single value, not a " +
      (value.kind == YamlNode::Kind::sequence ? "list" : "mapping") +
      " (line " + std::to_string(value.line) + ")");
  } else {
    assign_text(field, at, value.text, path);
  }
}

void assign_field(const Field & field, void * memory, const YamlNode & value, const std::string & path)
{
  if (field.array == ArrayKind::none) {
    assign_element(field, memory, value, path);
    return;
  }
  if (value.kind != YamlNode::Kind::sequence) {
    throw InputError("field '" + path + "' (" + field_type_name(field) + ") needs a list (line " +
      std::to_string(value.line) + ")");
  }
  const std::size_t count = value.items.size();
  if (field.array == ArrayKind::fixed && count != field.array_size) {
    throw InputError("field '" + path + "' (" + field_type_name(field) + ") needs " +
      std::to_string(field.array_size) + " elements, not " + std::to_string(count));
  }
  if (field.array == ArrayKind::bounded_sequence && count > field.array_size) {
    throw InputError("field '" + path + "' (" + field_type_name(field) + "): " +
      std::to_string(count) + " elements exceed the bound of " + std::to_string(field.array_size));
  }
  if (field.is_sequence()) {
    resize_sequence(field, memory, count);
  }
  for (std::size_t i = 0; i < count; ++i) {
    assign_element(field, element_memory(field, memory, i), value.items[i],
      element_path(path, field, i));
  }
}

void assign_fields(
  const MessageType & type, void * message, const YamlNode & values, const std::string & path)
{
  if (values.kind != YamlNode::Kind::mapping) {
    if (values.is_null()) {
      return;
    }
    throw InputError((path.empty() ? type.text() : "field '" + path + "' (" + type.text() + ")") +
      " needs a mapping of field names to values (line " + std::to_string(values.line) + ")");
  }
  for (const auto & entry : values.entries) {
    const Field * found = nullptr;
    for (const Field & field : type.fields) {
      if (field.name == entry.first) {
        found = &field;
        break;
      }
    }
    const std::string here = child_path(path, entry.first);
    if (found == nullptr) {
      throw InputError(type.text() + " has no field '" + entry.first + "'" +
        (path.empty() ? "" : " (at '" + here + "')"));
    }
    assign_field(*found, field_memory(message, *found), entry.second, here);
  }
}

}  // namespace

void write_message(YamlWriter & out, const MessageType & type, const void * message)
{
  write_fields(out, type, message, "");
}

std::string message_yaml(const MessageType & type, const void * message)
{
  YamlWriter out;
  write_message(out, type, message);
  return out.finish();
}

void assign_yaml(const MessageType & type, void * message, const YamlNode & values)
{
  assign_fields(type, message, values, "");
}

void assign_path(const MessageType & type, void * message, std::string_view path, std::string_view text)
{
  const MessageType * current = &type;
  unsigned char * at = static_cast<unsigned char *>(message);
  std::size_t begin = 0;
  while (true) {
    const std::size_t dot = path.find('.', begin);
    const std::string_view name = path.substr(begin, dot == std::string_view::npos ? dot : dot - begin);
    const Field * found = nullptr;
    for (const Field & field : current->fields) {
      if (field.name == name) {
        found = &field;
        break;
      }
    }
    const std::string shown(path.substr(0, dot));
    if (found == nullptr) {
      throw InputError(type.text() + " has no field '" + std::string(path) + "'");
    }
    at += found->offset;
    if (found->array != ArrayKind::none) {
      throw InputError("field '" + shown + "' is a " + field_type_name(*found) +
        "; only single values can be set");
    }
    if (dot == std::string_view::npos) {
      if (found->nested != nullptr) {
        throw InputError("field '" + shown + "' is a " + field_type_name(*found) +
          "; only single values can be set");
      }
      assign_text(*found, at, text, shown);
      return;
    }
    if (found->nested == nullptr) {
      throw InputError(type.text() + " has no field '" + std::string(path) + "'");
    }
    current = found->nested;
    begin = dot + 1;
  }
}

}  // namespace typesupport_core
