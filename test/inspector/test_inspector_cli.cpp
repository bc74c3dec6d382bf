// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-inspect as users run it: its output read back by libyaml and a
// JSON parser, one line on stderr and the documented exit status for every
// error, and failed writes reported.

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/yaml_document.hpp"

namespace
{

using test_support::load_one_yaml;
using test_support::load_yaml;

const std::string kInspector = INSPECTOR_PATH;
const std::string kLibrary = ZORV_TYPESUPPORT_LIBRARY_PATH;
const std::string kFixture = INSPECTOR_FIXTURE_LIBRARY_PATH;

struct Result
{
  int exit_code = -1;  // -1 when the process did not exit normally (a crash)
  std::string out;
  std::string err;
};

std::string quoted(const std::string & argument)
{
  std::string text = "'";
  for (const char c : argument) {
    if (c == '\'') {
      text.append("'\\''");
    } else {
      text.push_back(c);
    }
  }
  text.push_back('\'');
  return text;
}

// Runs the inspector with `arguments`, after `environment` (shell assignments).
Result inspect(const std::vector<std::string> & arguments, const std::string & environment = "")
{
  char err_path[] = "/tmp/zorv-inspect-err-XXXXXX";
  close(mkstemp(err_path));
  std::string command = environment;
  command.append(" ").append(quoted(kInspector));
  for (const std::string & argument : arguments) {
    command.append(" ").append(quoted(argument));
  }
  command.append(" 2>").append(err_path);

  Result result;
  FILE * pipe = popen(command.c_str(), "r");
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
    result.out.append(buffer, read);
  }
  const int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(err_path);
  std::stringstream text;
  text << err.rdbuf();
  result.err = text.str();
  std::remove(err_path);
  return result;
}

void expect_error(const Result & result, int exit_code, const std::string & part)
{
  EXPECT_EQ(result.exit_code, exit_code) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("typesupport-inspect: ", 0), 0u) << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "not one line: " << result.err;
  EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
}

TEST(InspectorCli, PrintsTheServiceAsItsDefinitionFileReads)
{
  const Result service = inspect({kLibrary, "zorv_interfaces/srv/StringCommand"});
  EXPECT_EQ(service.exit_code, 0) << service.err;
  EXPECT_EQ(service.out, "string command\n---\nstring answer\n");
  EXPECT_EQ(service.err, "");

  EXPECT_EQ(inspect({kLibrary, "zorv_interfaces/srv/StringCommand_Request"}).out, "string command\n");
  EXPECT_EQ(inspect({kLibrary, "zorv_interfaces/srv/StringCommand_Response"}).out, "string answer\n");
}

TEST(InspectorCli, FindsABareLibraryNameOnTheLoaderPath)
{
  const std::string directory = kLibrary.substr(0, kLibrary.rfind('/'));
  const Result result = inspect(
    {"libzorv_interfaces__rosidl_typesupport_introspection_c.so", "zorv_interfaces/srv/StringCommand"},
    std::string("LD_LIBRARY_PATH=").append(quoted(directory)));
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "string command\n---\nstring answer\n");
}

TEST(InspectorCli, SetCreatesFillsAndPrintsEachMessageAsAYamlDocumentNamedInAComment)
{
  const std::string service = "zorv_interfaces/srv/StringCommand";
  const Result both = inspect({"--set", "command=it's 'hi'", "--set=answer=.inf", kLibrary, service});
  ASSERT_EQ(both.exit_code, 0) << both.err;
  const auto documents = load_yaml(both.out);
  ASSERT_EQ(documents.size(), 2u) << both.out;
  EXPECT_EQ(documents[0]["command"].text, "it's 'hi'");
  EXPECT_EQ(documents[1]["answer"].text, ".inf");
  EXPECT_EQ(documents[1]["answer"].resolved, "str");
  // Comments are not data: they name each document for the reader.
  EXPECT_EQ(both.out.rfind("# zorv_interfaces/srv/StringCommand_Request\n", 0), 0u) << both.out;
  EXPECT_NE(both.out.find("---\n# zorv_interfaces/srv/StringCommand_Response\n"), std::string::npos);

  const Result message =
    inspect({"--set", "command=", kLibrary, "zorv_interfaces/srv/StringCommand_Request"});
  ASSERT_EQ(message.exit_code, 0) << message.err;
  EXPECT_EQ(load_one_yaml(message.out)["command"].text, "");
  EXPECT_EQ(load_one_yaml(message.out)["command"].resolved, "str");

  const Result nested = inspect({"--set", "inner.label=true", "--set", "ratio=1e20", kFixture,
      "fixture_pkg/msg/Everything"});
  ASSERT_EQ(nested.exit_code, 0) << nested.err;
  const auto values = load_one_yaml(nested.out);
  EXPECT_EQ(values["inner"]["label"].text, "true");
  EXPECT_EQ(values["inner"]["label"].resolved, "str");
  EXPECT_EQ(values["ratio"].text, "1.0e+20");
  EXPECT_EQ(values["ratio"].resolved, "float");
}

TEST(InspectorCli, RecordsAndJsonDescribeEveryRecordAndParseBack)
{
  const Result records = inspect({"--records", "--records", kLibrary, "zorv_interfaces/srv/StringCommand"});
  ASSERT_EQ(records.exit_code, 0) << records.err;
  const auto yaml = load_one_yaml(records.out);
  EXPECT_EQ(yaml["interface"].text, "zorv_interfaces/srv/StringCommand");
  EXPECT_EQ(yaml["typesupport_identifier"].text, "rosidl_typesupport_introspection_c");
  EXPECT_EQ(yaml["service"]["request"].text, "zorv_interfaces/srv/StringCommand_Request");
  EXPECT_EQ(yaml["service"]["response"].text, "zorv_interfaces/srv/StringCommand_Response");
  ASSERT_EQ(yaml["types"].items.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const auto & type = yaml["types"].items[i];
    EXPECT_EQ(type["namespace"].text, "zorv_interfaces__srv");
    EXPECT_EQ(type["name"].text, i == 0 ? "StringCommand_Request" : "StringCommand_Response");
    EXPECT_EQ(type["size_of"].text, "24");
    ASSERT_EQ(type["fields"].items.size(), 1u);
    const auto & field = type["fields"].items[0];
    EXPECT_EQ(field["name"].text, i == 0 ? "command" : "answer");
    EXPECT_EQ(field["type_id"].text, "16");
    EXPECT_EQ(field["offset"].text, "0");
    EXPECT_EQ(field["has_default_value"].text, "false");
    EXPECT_EQ(field["has_default_value"].resolved, "bool");
  }

  const Result json = inspect({"--json", kFixture, "fixture_pkg/msg/Everything"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed["interface"], "fixture_pkg/msg/Everything");
  EXPECT_EQ(parsed["types"].size(), 2u);
  EXPECT_EQ(parsed["types"][0]["fields"].size(), 23u);
  EXPECT_EQ(parsed["types"][0]["fields"][14]["string_upper_bound"], 8);
  EXPECT_EQ(parsed["types"][0]["fields"][21]["message"], "fixture_pkg/msg/Inner");
  EXPECT_EQ(parsed["types"][1]["size_of"], 40);
  EXPECT_EQ(parsed["types"][1]["has_init_function"], true);
}

TEST(InspectorCli, EveryErrorIsOneLineWithItsExitStatus)
{
  const std::string service = "zorv_interfaces/srv/StringCommand";
  expect_error(inspect({"/nonexistent/lib.so", service}), 1, "cannot load /nonexistent/lib.so");
  expect_error(inspect({kLibrary, "zorv_interfaces/srv/Other"}), 1,
    "has no getter rosidl_typesupport_introspection_c__get_service_type_support_handle__"
    "zorv_interfaces__srv__Other");
  expect_error(inspect({kFixture, "fixture_pkg/msg/Foreign"}), 1, "'rosidl_typesupport_cpp'");
  expect_error(inspect({"--set", "bogus=1", kLibrary, service}), 1,
    "has no field 'bogus' in its request or response");
  expect_error(inspect({"--set", "command=x", kLibrary, "zorv_interfaces/srv/StringCommand_Response"}),
    1, "zorv_interfaces/srv/StringCommand_Response has no field 'command'");
  expect_error(inspect({"--set", "small=1e3", kFixture, "fixture_pkg/msg/Everything"}), 1,
    "field 'small': '1e3' is not an integer");
  expect_error(inspect({"--set", "name=\xff", kFixture, "fixture_pkg/msg/Everything"}), 1,
    "field 'name': not valid UTF-8");
  expect_error(inspect({kFixture, "fixture_pkg/msg/Broken"}), 1, "no member array");
  expect_error(inspect({kFixture, "fixture_pkg/msg/Null"}), 1, "returned no handle");

  struct Usage
  {
    std::vector<std::string> arguments;
    const char * part;
  };
  for (const Usage & usage : {Usage{{}, "expected LIBRARY and INTERFACE"},
      Usage{{kLibrary}, "expected LIBRARY and INTERFACE"},
      Usage{{"--bogus", kLibrary, service}, "unknown option --bogus"},
      Usage{{"--records", "--json", kLibrary, service}, "exclude each other"},
      Usage{{"--records", "--set", "a=b", kLibrary, service}, "exclude each other"},
      Usage{{kLibrary, service, "--set"}, "--set needs a value"},
      Usage{{"--set", "command", kLibrary, service}, "is not of the form FIELD=VALUE"},
      Usage{{"--set", "=x", kLibrary, service}, "is not of the form FIELD=VALUE"},
      Usage{{"--layout", "galactic", kLibrary, service}, "--layout must be"},
      Usage{{"", service}, "LIBRARY is empty"},
      Usage{{kLibrary, "zorv_interfaces/StringCommand"}, "is not of the form"}})
  {
    expect_error(inspect(usage.arguments), 2, usage.part);
  }
}

TEST(InspectorCli, OptionsEndAtDoubleDashAndVersionAndHelpAnswer)
{
  const Result version = inspect({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.rfind("typesupport-inspect ", 0), 0u);
  const Result help = inspect({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("usage: typesupport-inspect"), std::string::npos);

  // After "--", an operand that looks like an option is an operand.
  expect_error(inspect({"--", "--records", "zorv_interfaces/srv/StringCommand"}), 1,
    "cannot load --records");
  const Result after = inspect({"--json", "--", kLibrary, "zorv_interfaces/srv/StringCommand"});
  EXPECT_EQ(after.exit_code, 0) << after.err;
  EXPECT_TRUE(nlohmann::json::parse(after.out).is_object());
}

// A full disk, a closed pipe: output that was not written is an error.
TEST(InspectorCli, AFailedWriteOfStandardOutputIsAnError)
{
  for (const std::vector<std::string> & arguments : std::vector<std::vector<std::string>>{
      {kLibrary, "zorv_interfaces/srv/StringCommand"},
      {"--json", kLibrary, "zorv_interfaces/srv/StringCommand"},
      {"--records", kLibrary, "zorv_interfaces/srv/StringCommand"},
      {"--set", "command=x", kLibrary, "zorv_interfaces/srv/StringCommand"},
      {"--help"}, {"--version"}})
  {
    std::string command = quoted(kInspector);
    for (const std::string & argument : arguments) {
      command += " " + quoted(argument);
    }
    command += " > /dev/full 2> /dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command;
  }
}

}  // namespace
