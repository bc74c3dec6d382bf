// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-service as a user runs it: each test starts the tool and its
// peer as processes of their own, reads back the YAML the tool prints with
// libyaml, and checks the exit status and the one-line errors a script
// relies on.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/isolated_network.hpp"
#include "support/service_fixture.hpp"
#include "support/service_tool.hpp"
#include "test/support/yaml_document.hpp"

namespace
{

using service_test::ChildProcess;
using service_test::Finished;
using service_test::kPatience;
using service_test::kStringCommand;
using service_test::lines_of;
using service_test::native_escaped;
using service_test::run_tool;
using service_test::start_tool;
using service_test::string_field;
using service_test::string_fields;
using service_test::values_setting;

// 64 KiB of text, several datagrams' worth, every unit holding two- and
// four-byte UTF-8 characters.
std::string long_text()
{
  const std::string unit = "dock 7, \xc3\xbc \xf0\x9f\x98\x80!";  // 16 bytes
  std::string text;
  while (text.size() < 65536) {
    text += unit;
  }
  return text;
}

// Commands whose bytes a careless quoting, escaping or encoding would change.
std::vector<std::string> awkward_commands()
{
  return {
    "go to dock 7",
    "it's \"quoted\" and 'single' # not a comment: {not: a mapping}",
    "Gr\xc3\xbc\xc3\x9f" "e aus Z\xc3\xbcrich, \xe6\x9d\xb1\xe4\xba\xac \xf0\x9f\x98\x80",
    "tab\there, new\nline, back\\slash, bell\a",
    // What YAML takes for line breaks and byte order marks, inside the text.
    "next\xc2\x85line, line\xe2\x80\xa8separator, \xef\xbb\xbf" "bom",
    "",
    "  leading and trailing spaces  ",
    "null",
    long_text(),
  };
}

// The command a native server's request line carries (as printed, escaped).
std::string served_command(const std::string & line)
{
  const std::string::size_type at = line.find(" command=");
  EXPECT_NE(std::string::npos, at) << line.substr(0, 200);
  return at == std::string::npos ? "" : line.substr(at + 9);
}

void expect_ready(ChildProcess & peer)
{
  std::string line;
  ASSERT_TRUE(peer.read_line(line, kPatience));
  ASSERT_EQ("ready", line);
}

// The answer of a successful `call`, read back from its YAML.
std::string answer_of(const Finished & call)
{
  EXPECT_EQ(0, call.status) << call.err;
  EXPECT_EQ("", call.err);
  try {
    return string_field(test_support::load_one_yaml(call.out), "answer");
  } catch (const std::exception & error) {
    ADD_FAILURE() << "not one YAML document: " << error.what() << "\n" << call.out.substr(0, 200);
    return "";
  }
}

TEST(CallAgainstNativeServer, EveryCommandComesBackEchoedByteForByte)
{
  service_test::use_domain(85);
  const std::vector<std::string> commands = awkward_commands();
  ChildProcess server({NATIVE_SERVER_PATH, "/dock_command", "--count",
      std::to_string(commands.size())});
  expect_ready(server);

  for (const std::string & command : commands) {
    SCOPED_TRACE(command.substr(0, 40));
    const Finished call = run_tool({"call", "--timeout", "20", "/dock_command", kStringCommand,
        values_setting("command", command)});
    EXPECT_TRUE(answer_of(call) == "echo: " + command);
    std::string line;
    ASSERT_TRUE(server.read_line(line, kPatience));
    EXPECT_TRUE(served_command(line) == native_escaped(command)) << line.substr(0, 200);
  }
  EXPECT_EQ(0, server.wait(kPatience));
}

TEST(NativeClientAgainstServe, ClientsGetTheValuesAnswerAndServePrintsEachCommandInOrder)
{
  service_test::use_domain(86);
  const std::vector<std::string> commands = awkward_commands();
  const std::string answer = "docked at \"7\" \xe2\x80\x94 'ok' \xf0\x9f\x98\x80\ttab";
  const auto serve = start_tool({"serve", "--count", std::to_string(commands.size()),
      "/robot1/dock", kStringCommand, values_setting("answer", answer)});

  // One client process after the other: each is a new client, whose first
  // call has seq 1, told apart by its guid alone.
  for (const std::string & command : commands) {
    SCOPED_TRACE(command.substr(0, 40));
    ChildProcess client({NATIVE_CLIENT_PATH, "/robot1/dock", command, "--timeout", "20"});
    std::string line;
    ASSERT_TRUE(client.read_line(line, kPatience));
    EXPECT_EQ(native_escaped(answer), line);
    EXPECT_EQ(0, client.wait(kPatience));
  }
  const Finished served = service_test::finish(*serve, kPatience);
  EXPECT_EQ(0, served.status) << served.err;
  EXPECT_EQ("", served.err);
  EXPECT_TRUE(string_fields(served.out, "command") == commands) << served.out.substr(0, 400);
}

TEST(CallAgainstServe, ValuesGoBothWaysAndFieldsNotGivenStayEmpty)
{
  service_test::use_domain(87);
  const std::string command = "undock \xf0\x9f\x9a\x80 \"now\"";
  const std::string answer = "undocked: 'done' \xc3\xa9";
  const auto answering = start_tool({"serve", "--count", "2", "/dock_command", kStringCommand,
      values_setting("answer", answer)});
  const auto silent = start_tool({"serve", "--count", "1", "/silent", kStringCommand});

  EXPECT_EQ(answer, answer_of(run_tool({"call", "--timeout", "20", "/dock_command", kStringCommand,
      values_setting("command", command)})));
  // Without VALUES the request goes out with the initial, empty command.
  EXPECT_EQ(answer, answer_of(run_tool({"call", "--timeout", "20", "/dock_command",
      kStringCommand})));
  // A serve without VALUES answers with the initial, empty answer: an empty
  // string, which YAML must not read as null.
  EXPECT_EQ("", answer_of(run_tool({"call", "--timeout", "20", "/silent", kStringCommand,
      "{command: anyone}"})));

  const Finished served = service_test::finish(*answering, kPatience);
  EXPECT_EQ(0, served.status) << served.err;
  EXPECT_EQ("", served.err);
  EXPECT_EQ((std::vector<std::string>{command, ""}), string_fields(served.out, "command"));
  const Finished silently = service_test::finish(*silent, kPatience);
  EXPECT_EQ(0, silently.status) << silently.err;
  EXPECT_EQ(std::vector<std::string>{"anyone"}, string_fields(silently.out, "command"));
}

TEST(CallAgainstServe, ALibraryGivenByPathAndARelativeNameWorkWithoutASearchPath)
{
  service_test::use_domain(88);
  // No LD_LIBRARY_PATH: --library alone says where the records are.
  const std::vector<std::string> no_search_path = {"LD_LIBRARY_PATH"};
  const std::string library = service_test::type_support_library_path();
  const auto serve = start_tool({"serve", "--library", library, "--count", "1", "robot2/dock",
      kStringCommand, "{answer: here}"}, no_search_path);
  EXPECT_EQ("here", answer_of(run_tool({"call", "--library=" + library, "--timeout", "20",
      "/robot2/dock", kStringCommand, "{command: there}"}, no_search_path)));
  const Finished served = service_test::finish(*serve, kPatience);
  EXPECT_EQ(0, served.status) << served.err;
  EXPECT_EQ(std::vector<std::string>{"there"}, string_fields(served.out, "command"));
}

TEST(CallWithoutServer, ReportsTheMissingServiceAfterItsTimeoutInOneLine)
{
  service_test::use_domain(89);
  const auto started = std::chrono::steady_clock::now();
  const Finished call = run_tool({"call", "--timeout", "1", "/dock_command", kStringCommand,
      "{command: hello?}"});
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(1, call.status);
  EXPECT_EQ("typesupport-service: service /dock_command not available after 1 s\n", call.err);
  EXPECT_EQ("", call.out);
  // It waited for the service as long as it was told to.
  EXPECT_GE(waited, std::chrono::seconds(1));

  const Finished fraction = run_tool({"call", "--timeout", "0.5", "dock_command", kStringCommand});
  EXPECT_EQ(1, fraction.status);
  EXPECT_EQ("typesupport-service: service /dock_command not available after 0.5 s\n",
    fraction.err);
}

// A failure the tool reports: its exit status, and a word the one line names.
struct Failure
{
  std::vector<std::string> args;
  int status;
  std::string names;
};

// Runs every case and checks the status, and that standard error holds
// exactly one line, the tool's own, naming the fault; nothing on standard
// output.
void expect_failures(
  const std::vector<Failure> & failures, const std::vector<std::string> & environment = {})
{
  for (const Failure & failure : failures) {
    std::string shown;
    for (const std::string & arg : failure.args) {
      shown += " '" + arg + "'";
    }
    SCOPED_TRACE("typesupport-service" + shown);
    const Finished run = run_tool(failure.args, environment);
    EXPECT_EQ(failure.status, run.status);
    EXPECT_EQ("", run.out);
    const std::vector<std::string> lines = lines_of(run.err);
    if (lines.size() != 1 || run.err.back() != '\n') {
      ADD_FAILURE() << "not one line: " << run.err;
      continue;
    }
    EXPECT_EQ(0u, lines[0].find("typesupport-service: ")) << lines[0];
    EXPECT_NE(std::string::npos, lines[0].find(failure.names)) << lines[0];
  }
}

TEST(CommandLineErrors, BadNamesTypesValuesAndOptionsExitTwoInOneLine)
{
  service_test::use_domain(90);
  const std::string type = kStringCommand;
  // A call that got past its arguments would wait for the service: one
  // second, then exit 1.
  const std::vector<Failure> failures = {
    {{"call", "--timeout", "1", "/a//b", type}, 2, "'/a//b'"},
    {{"call", "--timeout", "1", "1abc", type}, 2, "'1abc'"},
    {{"call", "--timeout", "1", "/a/", type}, 2, "'/a/'"},
    {{"call", "--timeout", "1", "/dock-command", type}, 2, "'/dock-command'"},
    {{"call", "--timeout", "1", "~/dock", type}, 2, "'~/dock'"},
    {{"serve", "/a//b", type}, 2, "'/a//b'"},
    {{"serve", "/a/", type}, 2, "'/a/'"},
    {{"call", "--timeout", "1", "/a", "pkg/msg/X"}, 2, "pkg/msg/X"},
    {{"call", "--timeout", "1", "/a", "nonsense"}, 2, "nonsense"},
    {{"serve", "/a", "zorv_interfaces/msg/StringCommand"}, 2, "not a service type"},
    {{"call", "--timeout", "1", "/a", type, "{bogus: 1}"}, 2, "'bogus'"},
    {{"call", "--timeout", "1", "/a", type, "{command: [1]}"}, 2, "'command'"},
    {{"call", "--timeout", "1", "/a", type, "{command: {x: 1}}"}, 2, "'command'"},
    {{"call", "--timeout", "1", "/a", type, "{command: 'unclosed}"}, 2, "not valid YAML"},
    {{"call", "--timeout", "1", "/a", type, "{command: go"}, 2, "not valid YAML"},
    {{"call", "--timeout", "1", "/a", type, "\"\xff\xfe\""}, 2, "not valid YAML"},
    {{"call", "--timeout", "1", "/a", type, "[command, go]"}, 2, "mapping"},
    {{"call", "--timeout", "1", "/a", type, "{command: a, command: b}"}, 2, "twice"},
    {{"call", "--timeout", "1", "/a", type, "{command: \"a\\0b\"}"}, 2, "NUL"},
    {{"call", "--timeout", "1", "/a", type, "{answer: wrong message}"}, 2, "'answer'"},
    {{"serve", "/a", type, "{command: wrong message}"}, 2, "'command'"},
    {{"serve", "/a", type, "{answer: [1, 2]}"}, 2, "'answer'"},
    {{"call", "--timeout", "0", "/a", type}, 2, "--timeout"},
    {{"call", "--timeout", "-1", "/a", type}, 2, "--timeout"},
    {{"call", "--timeout", "soon", "/a", type}, 2, "--timeout"},
    {{"call", "--timeout", "1", "/a", type, "{}", "extra"}, 2, "SERVICE_NAME"},
    {{"call", "--timeout", "1", "--count", "1", "/a", type}, 2, "--count"},
    {{"call", "--timeout"}, 2, "--timeout"},
    {{"serve", "--count", "0", "/a", type}, 2, "--count"},
    {{"serve", "--count", "-3", "/a", type}, 2, "--count"},
    {{"serve", "--timeout", "1", "/a", type}, 2, "--timeout"},
    {{"serve", "--layout", "iron", "/a", type}, 2, "--layout"},
    {{"serve", "--library", "", "/a", type}, 2, "--library"},
    {{"call", "/a"}, 2, "SERVICE_NAME"},
    {{"frob", "/a", type}, 2, "'call' or 'serve'"},
    {{}, 2, "'call' or 'serve'"},
    {{"call", "--bogus", "/a", type}, 2, "--bogus"},
  };
  expect_failures(failures);
}

TEST(CommandLineErrors, MissingRecordsAndABadEnvironmentExitOneInOneLine)
{
  service_test::use_domain(91);
  const std::string type = kStringCommand;
  expect_failures({
    {{"call", "--library", "/nonexistent.so", "/a", type}, 1, "/nonexistent.so"},
    {{"serve", "--library", "/nonexistent.so", "/a", type}, 1, "/nonexistent.so"},
    // A library the loader finds, without the records.
    {{"call", "--library", "libm.so.6", "/a", type}, 1, "zorv_interfaces/srv/StringCommand"},
    {{"call", "/a", "zorv_interfaces/srv/NoSuchService"}, 1, "NoSuchService"},
  });
  // The library is looked for where the loader looks, and named when missing.
  expect_failures({
    {{"call", "/a", type}, 1, "libzorv_interfaces__rosidl_typesupport_introspection_c.so"},
    {{"serve", "/a", type}, 1, "libzorv_interfaces__rosidl_typesupport_introspection_c.so"},
  }, {"LD_LIBRARY_PATH"});
  expect_failures({{{"call", "/a", type}, 1, "ROS_DOMAIN_ID"}}, {"ROS_DOMAIN_ID=233"});
  expect_failures({{{"serve", "/a", type}, 1, "ROS_DOMAIN_ID"}}, {"ROS_DOMAIN_ID=seven"});
  expect_failures({{{"call", "/a", type}, 1, "ROS_LOCALHOST_ONLY"}}, {"ROS_LOCALHOST_ONLY=yes"});
}

}  // namespace
