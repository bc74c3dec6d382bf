// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A whole call and serve session with both processes of typesupport-service
// under valgrind's memcheck: no invalid access, no uninitialised value used,
// and not a byte definitely, indirectly or possibly lost, whether serve
// stops at its count or on SIGTERM, and on the ways out with an error:
// malformed requests, no service, bad values.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
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

using service_test::ChildOptions;
using service_test::ChildProcess;
using service_test::Finished;
using service_test::kStringCommand;
using service_test::string_field;
using service_test::string_fields;

// Valgrind slows everything some twentyfold, discovery included.
constexpr std::chrono::minutes kMemcheckPatience{3};

// Memcheck's exit status for a run with errors, leaks of the kinds above
// counting as errors.
constexpr int kMemcheckFound = 99;

std::unique_ptr<ChildProcess> start_memchecked_tool(const std::vector<std::string> & args)
{
  ChildOptions options;
  options.capture_error = true;
  options.environment = service_test::tool_environment();
  std::vector<std::string> argv = {VALGRIND_PATH, "--tool=memcheck",
    "--error-exitcode=" + std::to_string(kMemcheckFound), "--leak-check=full",
    "--errors-for-leak-kinds=definite,indirect,possible",
    "--show-leak-kinds=definite,indirect,possible",
    std::string("--suppressions=") + VALGRIND_SUPPRESSIONS, service_test::tool_path()};
  argv.insert(argv.end(), args.begin(), args.end());
  return std::make_unique<ChildProcess>(argv, options);
}

// Checks that memcheck found nothing in the run, which ended with `status`,
// and shows its report if it did.
void expect_clean(const Finished & run, int status = 0)
{
  EXPECT_EQ(status, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.err.find("ERROR SUMMARY: 0 errors from 0 contexts")) << run.err;
}

// A call under memcheck that must be answered with `answer`.
void expect_call_answered(const std::string & service, const std::string & answer)
{
  const auto call = start_memchecked_tool({"call", "--timeout", "120", service, kStringCommand,
      "{command: checked}"});
  const Finished called = service_test::finish(*call, kMemcheckPatience);
  expect_clean(called);
  try {
    EXPECT_EQ(answer, string_field(test_support::load_one_yaml(called.out), "answer"));
  } catch (const std::exception & error) {
    ADD_FAILURE() << error.what() << "\n" << called.out;
  }
}

TEST(ServiceMemcheck, CallAndServeStoppedByItsCountLoseNothing)
{
  service_test::use_domain(105);
  const auto serve = start_memchecked_tool({"serve", "--count", "1", "/dock_command",
      kStringCommand, "{answer: clean}"});
  expect_call_answered("/dock_command", "clean");
  const Finished served = service_test::finish(*serve, kMemcheckPatience);
  expect_clean(served);
  EXPECT_EQ(std::vector<std::string>{"checked"}, string_fields(served.out, "command"));
}

TEST(ServiceMemcheck, ServeStoppedBySigtermLosesNothing)
{
  service_test::use_domain(106);
  const auto serve = start_memchecked_tool({"serve", "/dock_command", kStringCommand,
      "{answer: clean}"});
  // Requests it cannot read (a string without its NUL, one past the end),
  // reported and dropped on the way.
  const std::string header = "00010000 0100000000000000 0100000000000000";
  ChildProcess raw_writer({RAW_SAMPLE_WRITER_PATH, "rq/dock_commandRequest",
      "zorv_interfaces::srv::dds_::StringCommand_Request_", header + " 04000000 41424344",
      header + " 64000000 41424344"});
  EXPECT_EQ(0, raw_writer.wait(kMemcheckPatience));
  // Once it has answered, serve is in its loop, with every thread running.
  expect_call_answered("/dock_command", "clean");
  serve->signal(SIGTERM);
  const Finished served = service_test::finish(*serve, kMemcheckPatience);
  expect_clean(served);
  EXPECT_EQ(std::vector<std::string>{"checked"}, string_fields(served.out, "command"));
  // Beside memcheck's report, serve's own line for each.
  const std::vector<std::string> lines = service_test::lines_of(served.err);
  EXPECT_EQ(2, std::count_if(lines.begin(), lines.end(), [](const std::string & line) {
      return line.rfind("typesupport-service: request from ", 0) == 0;
    })) << served.err;
}

TEST(ServiceMemcheck, CallsThatFailLoseNothing)
{
  service_test::use_domain(107);
  const auto unavailable = start_memchecked_tool({"call", "--timeout", "1", "/nobody",
      kStringCommand, "{command: anyone}"});
  expect_clean(service_test::finish(*unavailable, kMemcheckPatience), 1);
  const auto bad_values = start_memchecked_tool({"call", "/nobody", kStringCommand,
      "{command: [not, a, string]}"});
  expect_clean(service_test::finish(*bad_values, kMemcheckPatience), 2);
}

}  // namespace
