// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "report_tree.hpp"

#include <cstdio>

namespace typesupport_inspect
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

bool is_scalar(const ReportNode & node)
{
  return node.kind != ReportNode::Kind::object && node.kind != ReportNode::Kind::list;
}

void write_text(const ReportNode & node, const std::string & indent, std::string & out);

// Writes the children of an object; the first line may already carry a prefix.
void write_children(
  const ReportNode & node, const std::string & first_indent, const std::string & indent,
  std::string & out)
{
  for (std::size_t i = 0; i < node.keys.size(); ++i) {
    const ReportNode & child = node.items[i];
    out += i == 0 ? first_indent : indent;
    out += node.keys[i] + ":";
    if (is_scalar(child)) {
      out += " " + child.scalar + "\n";
    } else if (child.kind == ReportNode::Kind::list && child.items.empty()) {
      out += " []\n";
    } else {
      out += "\n";
      write_text(child, indent + "  ", out);
    }
  }
}

void write_text(const ReportNode & node, const std::string & indent, std::string & out)
{
  if (node.kind == ReportNode::Kind::object) {
    write_children(node, indent, indent, out);
    return;
  }
  for (const ReportNode & item : node.items) {
    if (is_scalar(item)) {
      out += indent + "- " + item.scalar + "\n";
    } else {
      write_children(item, indent + "- ", indent + "  ", out);
    }
  }
}

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

std::string to_text(const ReportNode & root)
{
  std::string out;
  write_text(root, "", out);
  return out;
}

std::string to_json(const ReportNode & root)
{
  std::string out;
  write_json(root, "", out);
  return out + "\n";
}

}  // namespace typesupport_inspect
