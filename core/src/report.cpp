// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/report.hpp"

#include <cstdio>

#include "typesupport_core/yaml_writer.hpp"

namespace typesupport_core
{

ReportNode ReportNode::of_text(std::string value)
{
  ReportNode node;
  node.kind = Kind::text;
  node.scalar = std::move(value);
  return node;
}

ReportNode ReportNode::of_number(std::uint64_t value)
{
  ReportNode node;
  node.kind = Kind::number;
  node.scalar = std::to_string(value);
  return node;
}

ReportNode ReportNode::of_boolean(bool value)
{
  ReportNode node;
  node.kind = Kind::boolean;
  node.scalar = value ? "true" : "false";
  return node;
}

ReportNode ReportNode::object()
{
  return ReportNode{};
}

ReportNode ReportNode::list()
{
  ReportNode node;
  node.kind = Kind::list;
  return node;
}

ReportNode & ReportNode::add(std::string key, ReportNode child)
{
  keys.push_back(std::move(key));
  items.push_back(std::move(child));
  return *this;
}

ReportNode & ReportNode::append(ReportNode item)
{
  items.push_back(std::move(item));
  return *this;
}

namespace
{

const char * array_kind_name(ArrayKind kind)
{
  switch (kind) {
    case ArrayKind::fixed: return "fixed";
    case ArrayKind::bounded_sequence: return "bounded sequence";
    case ArrayKind::sequence: return "sequence";
    case ArrayKind::none: break;
  }
  return "none";
}

// One message type; nested types are named here and reported once on their own.
ReportNode message_report(const MessageType & type)
{
  ReportNode fields = ReportNode::list();
  for (const Field & field : type.fields) {
    ReportNode entry = ReportNode::object();
    entry.add("name", ReportNode::of_text(field.name))
    .add("type", ReportNode::of_text(field_type_name(field)))
    .add("type_id", ReportNode::of_number(field.type_id))
    .add("string_upper_bound", ReportNode::of_number(field.string_upper_bound))
    .add("array", ReportNode::of_text(array_kind_name(field.array)))
    .add("array_size", ReportNode::of_number(field.array_size))
    .add("offset", ReportNode::of_number(field.offset))
    .add("has_default_value", ReportNode::of_boolean(field.has_default_value));
    if (field.nested != nullptr) {
      entry.add("message", ReportNode::of_text(field.nested->text()));
    }
    fields.append(std::move(entry));
  }
  ReportNode report = ReportNode::object();
  report.add("type", ReportNode::of_text(type.text()))
  .add("namespace", ReportNode::of_text(type.record_namespace))
  .add("name", ReportNode::of_text(type.name))
  .add("size_of", ReportNode::of_number(type.size_of))
  .add("member_count", ReportNode::of_number(type.fields.size()))
  .add("has_init_function", ReportNode::of_boolean(type.init_function != nullptr))
  .add("has_fini_function", ReportNode::of_boolean(type.fini_function != nullptr))
  .add("fields", std::move(fields));
  return report;
}

// Every type reached from `type`, each once, in the order first reached.
void add_types(const MessageType & type, std::vector<const MessageType *> & reached)
{
  for (const MessageType * seen : reached) {
    if (seen == &type) {
      return;
    }
  }
  reached.push_back(&type);
  for (const Field & field : type.fields) {
    if (field.nested != nullptr) {
      add_types(*field.nested, reached);
    }
  }
}

std::string message_definition(const MessageType & type)
{
  std::string text;
  for (const Field & field : type.fields) {
    text += field_type_name(field) + " " + field.name + "\n";
  }
  return text;
}

void write_yaml(YamlWriter & out, const ReportNode & node)
{
  switch (node.kind) {
    case ReportNode::Kind::text: out.text(node.scalar); return;
    case ReportNode::Kind::number:
    case ReportNode::Kind::boolean: out.plain(node.scalar); return;
    case ReportNode::Kind::object:
      out.begin_mapping();
      for (std::size_t i = 0; i < node.keys.size(); ++i) {
        out.text(node.keys[i]);
        write_yaml(out, node.items[i]);
      }
      out.end_mapping();
      return;
    case ReportNode::Kind::list:
      out.begin_sequence();
      for (const ReportNode & item : node.items) {
        write_yaml(out, item);
      }
      out.end_sequence();
      return;
  }
}

// Texts are valid UTF-8 (the records were checked), so only quotes,
// backslashes and control characters need escapes.
std::string json_string(const std::string & text)
{
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\t': quoted += "\\t"; break;
      case '\r': quoted += "\\r"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

void write_json(const ReportNode & node, const std::string & indent, std::string & out)
{
  switch (node.kind) {
    case ReportNode::Kind::text: out += json_string(node.scalar); return;
    case ReportNode::Kind::number:
    case ReportNode::Kind::boolean: out += node.scalar; return;
    case ReportNode::Kind::object:
      if (node.keys.empty()) {
        out += "{}";
        return;
      }
      out += "{\n";
      for (std::size_t i = 0; i < node.keys.size(); ++i) {
        out += indent + "  " + json_string(node.keys[i]) + ": ";
        write_json(node.items[i], indent + "  ", out);
        out += i + 1 < node.keys.size() ? ",\n" : "\n";
      }
      out += indent + "}";
      return;
    case ReportNode::Kind::list:
      if (node.items.empty()) {
        out += "[]";
        return;
      }
      out += "[\n";
      for (std::size_t i = 0; i < node.items.size(); ++i) {
        out += indent + "  ";
        write_json(node.items[i], indent + "  ", out);
        out += i + 1 < node.items.size() ? ",\n" : "\n";
      }
      out += indent + "]";
      return;
  }
}

}  // namespace

ReportNode records_report(const Interface & interface)
{
  ReportNode report = ReportNode::object();
  report.add("interface", ReportNode::of_text(interface.name.text()))
  .add("typesupport_identifier", ReportNode::of_text(interface.identifier))
  .add("member_layout", ReportNode::of_text(
      interface.layout_settled ? layout_name(interface.layout) : "either"));
  std::vector<const MessageType *> reached;
  if (interface.service) {
    ReportNode service = ReportNode::object();
    service.add("namespace", ReportNode::of_text(interface.service->record_namespace))
    .add("name", ReportNode::of_text(interface.service->name))
    .add("request", ReportNode::of_text(interface.service->request->text()))
    .add("response", ReportNode::of_text(interface.service->response->text()));
    report.add("service", std::move(service));
    add_types(*interface.service->request, reached);
    add_types(*interface.service->response, reached);
  } else {
    report.add("message", ReportNode::of_text(interface.message->text()));
    add_types(*interface.message, reached);
  }
  ReportNode types = ReportNode::list();
  for (const MessageType * type : reached) {
    types.append(message_report(*type));
  }
  report.add("types", std::move(types));
  return report;
}

std::string definition_text(const Interface & interface)
{
  if (interface.service) {
    return message_definition(*interface.service->request) + "---\n" +
           message_definition(*interface.service->response);
  }
  return message_definition(*interface.message);
}

std::string to_yaml(const ReportNode & root)
{
  YamlWriter out;
  write_yaml(out, root);
  return out.finish();
}

std::string to_json(const ReportNode & root)
{
  std::string out;
  write_json(root, "", out);
  return out + "\n";
}

}  // namespace typesupport_core
