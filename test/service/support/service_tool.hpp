// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TEST__SERVICE__SUPPORT__SERVICE_TOOL_HPP_
#define TEST__SERVICE__SUPPORT__SERVICE_TOOL_HPP_

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "test/support/yaml_document.hpp"

namespace service_test
{

/// The service type every end-to-end test uses.
constexpr char kStringCommand[] = "zorv_interfaces/srv/StringCommand";

/// The built typesupport-service.
std::string tool_path();

/// The built type support library, and the directory the loader finds it in.
std::string type_support_library_path();
std::string type_support_library_directory();

/// Environment changes that let the tool find the type support library as
/// a user's shell would: through LD_LIBRARY_PATH.
std::vector<std::string> tool_environment();

/// Starts `typesupport-service ARGS...` with its standard error captured,
/// `extra_environment` applied after tool_environment(), in the root
/// directory: where it is run from must not decide what it finds.
std::unique_ptr<ChildProcess> start_tool(
  const std::vector<std::string> & args,
  const std::vector<std::string> & extra_environment = {});

/// What a finished run of a program printed, and how it ended.
struct Finished
{
  int status = -1;  ///< exit status, 128 + signal, or -1 if it did not end in time
  std::string out;
  std::string err;
};

/// Waits up to `patience` for `child` to end, and collects what it printed.
/// A child still running then is killed (status -1).
Finished finish(ChildProcess & child, std::chrono::milliseconds patience);

/// Runs `typesupport-service ARGS...` to its end (see start_tool()).
Finished run_tool(
  const std::vector<std::string> & args,
  const std::vector<std::string> & extra_environment = {});

/// `text` as a YAML double-quoted scalar that reads back as exactly its
/// bytes (any but NUL).
std::string yaml_quoted(const std::string & text);

/// "{<field>: <text as a double-quoted scalar>}", the VALUES that set one
/// string field.
std::string values_setting(const std::string & field, const std::string & text);

/// `text` as the native peers print it: control characters, DEL and
/// backslashes as \xNN.
std::string native_escaped(const std::string & text);

/// The single string field `field` of one message the tool printed, checked
/// to be the only field and a string (not YAML's null, a number or a bool).
/// Records a test failure and returns "" when it is not.
std::string string_field(const test_support::YamlValue & document, const std::string & field);

/// The string field `field` of every document in `text` (the documents
/// `serve` prints), checked as string_field() does. Records a test failure
/// when the text is not valid YAML.
std::vector<std::string> string_fields(const std::string & text, const std::string & field);

/// Splits `text` into lines (without their newlines; a last line without
/// one counts too).
std::vector<std::string> lines_of(const std::string & text);

}  // namespace service_test

#endif  // TEST__SERVICE__SUPPORT__SERVICE_TOOL_HPP_
