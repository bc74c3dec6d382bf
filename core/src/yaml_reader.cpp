// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/yaml_reader.hpp"

#include <yaml.h>

#include <set>

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

namespace
{

// Reads libyaml's events into nodes, one event ahead.
class Reader
{
public:
  Reader(std::string_view text, const std::string & what)
  : what_(what)
  {
    if (!yaml_parser_initialize(&parser_)) {
      throw Error("cannot start the YAML parser");
    }
    yaml_parser_set_input_string(
      &parser_, reinterpret_cast<const unsigned char *>(text.data()), text.size());
  }
  Reader(const Reader &) = delete;
  Reader & operator=(const Reader &) = delete;
  ~Reader()
  {
    if (has_event_) {
      yaml_event_delete(&event_);
    }
    yaml_parser_delete(&parser_);
  }

  YamlNode document()
  {
    expect(YAML_STREAM_START_EVENT);
    next();
    if (event_.type == YAML_STREAM_END_EVENT) {
      return YamlNode{};
    }
    expect(YAML_DOCUMENT_START_EVENT);
    next();
    YamlNode root = node(0);
    expect(YAML_DOCUMENT_END_EVENT);
    next();
    if (event_.type != YAML_STREAM_END_EVENT) {
      fail("holds more than one document");
    }
    return root;
  }

private:
  // Moves to the next event.
  void next()
  {
    if (has_event_) {
      yaml_event_delete(&event_);
      has_event_ = false;
    }
    if (!yaml_parser_parse(&parser_, &event_)) {
      const std::size_t line = parser_.problem_mark.line + 1;
      throw InputError(what_ + " is not valid YAML: " +
        (parser_.problem != nullptr ? parser_.problem : "unknown problem") + " at line " +
        std::to_string(line));
    }
    has_event_ = true;
  }

  void expect(yaml_event_type_t type)
  {
    if (!has_event_) {
      next();
    }
    if (event_.type != type) {
      fail("has an unexpected structure");
    }
  }

  [[noreturn]] void fail(const std::string & problem) const
  {
    throw InputError(what_ + " " + problem + " (line " +
      std::to_string(event_.start_mark.line + 1) + ")");
  }

  // The node whose first event is the current one; leaves the event after it.
  YamlNode node(std::size_t depth)
  {
    YamlNode read;
    read.line = event_.start_mark.line + 1;
    switch (event_.type) {
      case YAML_ALIAS_EVENT:
        fail("uses an alias, which is not supported");
      case YAML_SCALAR_EVENT:
        read.kind = YamlNode::Kind::scalar;
        read.text.assign(reinterpret_cast<const char *>(event_.data.scalar.value),
          event_.data.scalar.length);
        read.quoted = event_.data.scalar.style != YAML_PLAIN_SCALAR_STYLE;
        next();
        return read;
      case YAML_SEQUENCE_START_EVENT:
        check_depth(depth);
        read.kind = YamlNode::Kind::sequence;
        next();
        while (event_.type != YAML_SEQUENCE_END_EVENT) {
          read.items.push_back(node(depth + 1));
        }
        next();
        return read;
      case YAML_MAPPING_START_EVENT: {
          check_depth(depth);
          read.kind = YamlNode::Kind::mapping;
          next();
          std::set<std::string> keys;
          while (event_.type != YAML_MAPPING_END_EVENT) {
            if (event_.type != YAML_SCALAR_EVENT) {
              fail("has a key that is not a plain name");
            }
            YamlNode key = node(depth + 1);
            if (!keys.insert(key.text).second) {
              throw InputError(what_ + " gives '" + key.text + "' twice (line " +
                std::to_string(key.line) + ")");
            }
            read.entries.emplace_back(key.text, node(depth + 1));
          }
          next();
          return read;
        }
      default:
        fail("has an unexpected structure");
    }
  }

  void check_depth(std::size_t depth) const
  {
    if (depth >= kMaxYamlDepth) {
      fail("nests deeper than " + std::to_string(kMaxYamlDepth) + " levels");
    }
  }

  std::string what_;
  yaml_parser_t parser_;
  yaml_event_t event_;
  bool has_event_ = false;
};

}  // namespace

bool YamlNode::is_null() const
{
  return kind == Kind::scalar && !quoted && (text.empty() || text == "~" || text == "null" ||
         text == "Null" || text == "NULL");
}

YamlNode parse_yaml(std::string_view text, const std::string & what)
{
  Reader reader(text, what);
  return reader.document();
}

}  // namespace typesupport_core
