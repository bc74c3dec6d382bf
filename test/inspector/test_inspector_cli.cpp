// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-inspect as users run it: exact output for the StringCommand
// service, and one line on stderr with a non-zero exit for every error.

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

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

TEST(InspectorCli, RoundTripsRequestsAndResponsesAsYaml)
{
  const std::string service = "zorv_interfaces/srv/StringCommand";
  EXPECT_EQ(inspect({"--set", "command=hello", kLibrary, service}).out, "command: hello\n");
  EXPECT_EQ(inspect({"--set=answer=done", kLibrary, service}).out, "answer: done\n");
  EXPECT_EQ(inspect({"--set", "command=go", "--set", "answer=ok", kLibrary, service}).out,
    "command: go\n---\nanswer: ok\n");
  EXPECT_EQ(inspect({"--set", "command=", kLibrary, service}).out, "command: ''\n");
  EXPECT_EQ(inspect({"--set", "command=it's 42", kLibrary, service}).out, "command: it's 42\n");
  EXPECT_EQ(inspect({"--set", "command=true", kLibrary, service}).out, "command: 'true'\n");
}

TEST(InspectorCli, RecordsAndJsonDescribeEveryRecord)
{
  const Result records = inspect({"--records", kLibrary, "zorv_interfaces/srv/StringCommand"});
  EXPECT_EQ(records.exit_code, 0);
  EXPECT_EQ(records.out,
    "interface: zorv_interfaces/srv/StringCommand\n"
    "typesupport_identifier: rosidl_typesupport_introspection_c\n"
    "service:\n"
    "  namespace: zorv_interfaces__srv\n"
    "  name: StringCommand\n"
    "  request:\n"
    "    namespace: zorv_interfaces__srv\n"
    "    name: StringCommand_Request\n"
    "    size_of: 24\n"
    "    member_count: 1\n"
    "    has_init_function: true\n"
    "    has_fini_function: true\n"
    "    fields:\n"
    "      - name: command\n"
    "        type: string\n"
    "        type_id: 16\n"
    "        string_upper_bound: 0\n"
    "        array: none\n"
    "        array_size: 0\n"
    "        offset: 0\n"
    "        has_default_value: false\n"
    "  response:\n"
    "    namespace: zorv_interfaces__srv\n"
    "    name: StringCommand_Response\n"
    "    size_of: 24\n"
    "    member_count: 1\n"
    "    has_init_function: true\n"
    "    has_fini_function: true\n"
    "    fields:\n"
    "      - name: answer\n"
    "        type: string\n"
    "        type_id: 16\n"
    "        string_upper_bound: 0\n"
    "        array: none\n"
    "        array_size: 0\n"
    "        offset: 0\n"
    "        has_default_value: false\n");

  EXPECT_EQ(inspect({"--json", kLibrary, "zorv_interfaces/srv/StringCommand_Request"}).out,
    "{\n"
    "  \"interface\": \"zorv_interfaces/srv/StringCommand_Request\",\n"
    "  \"typesupport_identifier\": \"rosidl_typesupport_introspection_c\",\n"
    "  \"message\": {\n"
    "    \"namespace\": \"zorv_interfaces__srv\",\n"
    "    \"name\": \"StringCommand_Request\",\n"
    "    \"size_of\": 24,\n"
    "    \"member_count\": 1,\n"
    "    \"has_init_function\": true,\n"
    "    \"has_fini_function\": true,\n"
    "    \"fields\": [\n"
    "      {\n"
    "        \"name\": \"command\",\n"
    "        \"type\": \"string\",\n"
    "        \"type_id\": 16,\n"
    "        \"string_upper_bound\": 0,\n"
    "        \"array\": \"none\",\n"
    "        \"array_size\": 0,\n"
    "        \"offset\": 0,\n"
    "        \"has_default_value\": false\n"
    "      }\n"
    "    ]\n"
    "  }\n"
    "}\n");
}

TEST(InspectorCli, EveryErrorIsOneLineAndANonZeroExit)
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
    1, "has no field 'command'");
  expect_error(inspect({kFixture, "fixture_pkg/msg/Broken"}), 1, "no member array");
  expect_error(inspect({kFixture, "fixture_pkg/msg/Null"}), 1, "returned no handle");
  expect_error(inspect({kLibrary, "zorv_interfaces/StringCommand"}), 1, "is not of the form");

  for (const Result & usage : {inspect({}), inspect({kLibrary}), inspect({"--bogus", kLibrary, service}),
      inspect({"--records", "--json", kLibrary, service}), inspect({"--records", "--set", "a=b",
        kLibrary, service}), inspect({kLibrary, service, "--set"})})
  {
    EXPECT_EQ(usage.exit_code, 2) << usage.err;
    EXPECT_EQ(usage.err.rfind("typesupport-inspect: ", 0), 0u) << usage.err;
    EXPECT_NE(usage.err.find("usage: typesupport-inspect"), std::string::npos);
  }
}

}  // namespace
