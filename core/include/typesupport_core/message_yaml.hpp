// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__MESSAGE_YAML_HPP_
#define TYPESUPPORT_CORE__MESSAGE_YAML_HPP_

#include <string>
#include <string_view>

#include "typesupport_core/message_type.hpp"
#include "typesupport_core/yaml_reader.hpp"
#include "typesupport_core/yaml_writer.hpp"

namespace typesupport_core
{

/// Writes the message of `type` at `message` as a YAML mapping, one entry per
/// field, by walking its records: numbers plain, strings and wstrings as text,
/// nested messages as mappings, arrays and sequences as lists. Throws Error
/// naming the field when a string is not valid UTF-8 or a wstring holds an
/// unpaired surrogate, neither of which any YAML can hold.
void write_message(YamlWriter & out, const MessageType & type, const void * message);

/// The message as a YAML document, as write_message() writes it.
std::string message_yaml(const MessageType & type, const void * message);

/// Sets the fields that `values`, a YAML mapping, names in the message of
/// `type` at `message`, as `ros2 service call` takes them; other fields keep
/// their values. Nested messages are mappings, arrays and sequences lists;
/// a fixed array needs all its elements. Throws InputError naming the field
/// for an unknown field, a value of the wrong kind or out of range, or a
/// string or sequence past its bound.
void assign_yaml(const MessageType & type, void * message, const YamlNode & values);

/// Sets the field that `path` names ("field" or "outer.inner", single values
/// only) in the message of `type` at `message` to the value `text`, read as
/// the field's type reads it (a string field takes it as it is). Throws
/// InputError as assign_yaml() does.
void assign_path(const MessageType & type, void * message, std::string_view path, std::string_view text);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__MESSAGE_YAML_HPP_
