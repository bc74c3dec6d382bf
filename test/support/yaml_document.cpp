// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// GCC 12 with AddressSanitizer warns, wrongly, of an uninitialised value in
// <regex>'s own std::function; the warning points into the library headers.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "yaml_document.hpp"

#include <yaml.h>

#include <regex>
#include <stdexcept>

namespace test_support
{

namespace
{

YamlValue convert(yaml_document_t & document, yaml_node_t * node)
{
  YamlValue value;
  switch (node->type) {
    case YAML_SCALAR_NODE:
      value.kind = YamlValue::Kind::scalar;
      value.text.assign(reinterpret_cast<const char *>(node->data.scalar.value),
        node->data.scalar.length);
      value.resolved = node->data.scalar.style == YAML_PLAIN_SCALAR_STYLE ?
        resolve_plain_scalar(value.text) : "str";
      break;
    case YAML_SEQUENCE_NODE:
      value.kind = YamlValue::Kind::sequence;
      for (yaml_node_item_t * item = node->data.sequence.items.start;
        item < node->data.sequence.items.top; ++item)
      {
        value.items.push_back(convert(document, yaml_document_get_node(&document, *item)));
      }
      break;
    case YAML_MAPPING_NODE:
      value.kind = YamlValue::Kind::mapping;
      for (yaml_node_pair_t * pair = node->data.mapping.pairs.start;
        pair < node->data.mapping.pairs.top; ++pair)
      {
        YamlValue key = convert(document, yaml_document_get_node(&document, pair->key));
        value.entries.emplace_back(key.text,
          convert(document, yaml_document_get_node(&document, pair->value)));
      }
      break;
    default:
      throw std::runtime_error("empty YAML node");
  }
  return value;
}

}  // namespace

const YamlValue & YamlValue::operator[](const std::string & key) const
{
  for (const auto & entry : entries) {
    if (entry.first == key) {
      return entry.second;
    }
  }
  throw std::runtime_error("no key '" + key + "' in the YAML mapping");
}

std::vector<YamlValue> load_yaml(const std::string & text)
{
  yaml_parser_t parser;
  yaml_parser_initialize(&parser);
  yaml_parser_set_input_string(
    &parser, reinterpret_cast<const unsigned char *>(text.data()), text.size());
  std::vector<YamlValue> documents;
  while (true) {
    yaml_document_t document;
    if (!yaml_parser_load(&parser, &document)) {
      const std::string problem = parser.problem != nullptr ? parser.problem : "unknown";
      const std::size_t line = parser.problem_mark.line + 1;
      yaml_parser_delete(&parser);
      throw std::runtime_error("invalid YAML: " + problem + " at line " + std::to_string(line) +
        " in:\n" + text);
    }
    yaml_node_t * root = yaml_document_get_root_node(&document);
    if (root == nullptr) {
      yaml_document_delete(&document);
      break;
    }
    documents.push_back(convert(document, root));
    yaml_document_delete(&document);
  }
  yaml_parser_delete(&parser);
  return documents;
}

YamlValue load_one_yaml(const std::string & text)
{
  std::vector<YamlValue> documents = load_yaml(text);
  if (documents.size() != 1) {
    throw std::runtime_error(std::to_string(documents.size()) + " YAML documents, not one, in:\n" +
      text);
  }
  return documents[0];
}

std::string resolve_plain_scalar(const std::string & text)
{
  // The implicit resolvers of YAML 1.1 as PyYAML registers them, with the
  // forms the 1.2 core schema adds.
  static const std::vector<std::pair<std::string, std::regex>> rules = {
    {"bool", std::regex("yes|Yes|YES|no|No|NO|true|True|TRUE|false|False|FALSE|on|On|ON|off|Off|OFF"
      "|y|Y|n|N")},
    {"float", std::regex(
        "[-+]?(?:[0-9][0-9_]*)\\.[0-9_]*(?:[eE][-+]?[0-9]+)?"
        "|\\.[0-9_]+(?:[eE][-+]?[0-9]+)?"
        "|[-+]?[0-9][0-9_]*(?:[eE][-+]?[0-9]+)"
        "|[-+]?[0-9][0-9_]*(?::[0-5]?[0-9])+\\.[0-9_]*"
        "|[-+]?\\.(?:inf|Inf|INF)"
        "|\\.(?:nan|NaN|NAN)")},
    {"int", std::regex(
        "[-+]?0b[0-1_]+|[-+]?0[0-7_]+|[-+]?(?:0|[1-9][0-9_]*)|[-+]?0x[0-9a-fA-F_]+"
        "|[-+]?0o[0-7]+|[-+]?[1-9][0-9_]*(?::[0-5]?[0-9])+")},
    {"merge", std::regex("<<")},
    {"null", std::regex("~|null|Null|NULL|")},
    {"timestamp", std::regex(
        "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]"
        "|[0-9][0-9][0-9][0-9]-[0-9][0-9]?-[0-9][0-9]?"
        "(?:[Tt]|[ \\t]+)[0-9][0-9]?:[0-9][0-9]:[0-9][0-9](?:\\.[0-9]*)?"
        "(?:[ \\t]*(?:Z|[-+][0-9][0-9]?(?::[0-9][0-9])?))?")},
    {"value", std::regex("=")},
  };
  for (const auto & rule : rules) {
    if (std::regex_match(text, rule.second)) {
      return rule.first;
    }
  }
  return "str";
}

bool yaml11_reads_float(const std::string & text)
{
  static const std::regex rule(
    "[-+]?(?:[0-9][0-9_]*)\\.[0-9_]*(?:[eE][-+][0-9]+)?"
    "|\\.[0-9_]+(?:[eE][-+][0-9]+)?"
    "|[-+]?[0-9][0-9_]*(?::[0-5]?[0-9])+\\.[0-9_]*"
    "|[-+]?\\.(?:inf|Inf|INF)"
    "|\\.(?:nan|NaN|NAN)");
  return std::regex_match(text, rule);
}

}  // namespace test_support
