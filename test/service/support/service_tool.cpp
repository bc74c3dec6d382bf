// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "support/service_tool.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/service_fixture.hpp"

namespace service_test
{

std::string tool_path()
{
  return TYPESUPPORT_SERVICE_PATH;
}

std::string type_support_library_path()
{
  return TYPESUPPORT_LIBRARY_PATH;
}

std::string type_support_library_directory()
{
  return TYPESUPPORT_LIBRARY_DIRECTORY;
}

std::vector<std::string> tool_environment()
{
  return {"LD_LIBRARY_PATH=" + type_support_library_directory()};
}

std::unique_ptr<ChildProcess> start_tool(
  const std::vector<std::string> & args, const std::vector<std::string> & extra_environment)
{
  ChildOptions options;
  options.capture_error = true;
  options.environment = tool_environment();
  options.environment.insert(
    options.environment.end(), extra_environment.begin(), extra_environment.end());
  options.working_directory = "/";
  std::vector<std::string> argv = {tool_path()};
  argv.insert(argv.end(), args.begin(), args.end());
  return std::make_unique<ChildProcess>(argv, options);
}

Finished finish(ChildProcess & child, std::chrono::milliseconds patience)
{
  Finished finished;
  finished.status = child.wait(patience);
  if (finished.status == -1) {
    child.signal(SIGKILL);
    child.wait(patience);
  }
  finished.out = child.output(patience);
  finished.err = child.error_output(patience);
  return finished;
}

Finished run_tool(
  const std::vector<std::string> & args, const std::vector<std::string> & extra_environment)
{
  const auto tool = start_tool(args, extra_environment);
  return finish(*tool, kPatience);
}

std::string yaml_quoted(const std::string & text)
{
  // YAML 1.1 (libyaml, PyYAML) takes these for line breaks, which a flow
  // scalar folds into spaces; a byte order mark may be dropped.
  const std::pair<const char *, const char *> escaped[] = {
    {"\xc2\x85", "\\N"}, {"\xe2\x80\xa8", "\\L"}, {"\xe2\x80\xa9", "\\P"},
    {"\xef\xbb\xbf", "\\uFEFF"}};
  std::string quoted = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto special = std::find_if(std::begin(escaped), std::end(escaped),
        [&](const auto & entry) {
          return text.compare(i, std::strlen(entry.first), entry.first) == 0;
        });
    if (special != std::end(escaped)) {
      quoted += special->second;
      i += std::strlen(special->first) - 1;
      continue;
    }
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\x%02x", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string values_setting(const std::string & field, const std::string & text)
{
  return "{" + field + ": " + yaml_quoted(text) + "}";
}

std::string native_escaped(const std::string & text)
{
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || c == '\\') {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\x%02x", byte);
      escaped += escape;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string string_field(const test_support::YamlValue & document, const std::string & field)
{
  using Kind = test_support::YamlValue::Kind;
  if (document.kind != Kind::mapping || document.entries.size() != 1 ||
    document.entries[0].first != field)
  {
    ADD_FAILURE() << "not a mapping with the one field '" << field << "'";
    return "";
  }
  const test_support::YamlValue & value = document.entries[0].second;
  if (value.kind != Kind::scalar || value.resolved != "str") {
    ADD_FAILURE() << "'" << field << "' is not a string but a " << value.resolved << ": " <<
      value.text;
    return "";
  }
  return value.text;
}

std::vector<std::string> string_fields(const std::string & text, const std::string & field)
{
  std::vector<std::string> values;
  try {
    for (const test_support::YamlValue & document : test_support::load_yaml(text)) {
      values.push_back(string_field(document, field));
    }
  } catch (const std::exception & error) {
    ADD_FAILURE() << "not YAML: " << error.what() << "\n" << text.substr(0, 400);
  }
  return values;
}

std::vector<std::string> lines_of(const std::string & text)
{
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    const std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace service_test
