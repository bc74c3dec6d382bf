// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-inspect on records it must not trust (hostile_type_support):
// every fault ends the run quickly with exit status 1, one line on stderr and
// nothing on stdout, never a crash or a hang. Records that are valid but
// awkward, and records in ROS 2 Foxy's member layout (foxy_fixture_type_support),
// print exactly, as parsers read them back.
//
// Each run is killed when it outlasts its limit, so that a hang fails its test
// instead of blocking ctest. ZORV_INSPECTOR_UNDER_TEST names another inspector
// binary to run instead, to see what an older one does with the same libraries.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "rosidl_typesupport_introspection_c/message_introspection.h"
#include "support/loaded_library.hpp"
#include "support/yaml_document.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/type_support_library.hpp"
#include "typesupport_core/yaml_reader.hpp"

extern char ** environ;

namespace
{

using test_support::YamlValue;
using Seconds = std::chrono::duration<double>;

const std::string kHostile = HOSTILE_LIBRARY_PATH;
const std::string kFoxy = FOXY_FIXTURE_LIBRARY_PATH;
const std::string kFixture = INSPECTOR_FIXTURE_LIBRARY_PATH;
const std::string kValgrind = HOSTILE_VALGRIND_PATH;

std::string inspector_path()
{
  const char * other = std::getenv("ZORV_INSPECTOR_UNDER_TEST");
  return other != nullptr && other[0] != '\0' ? other : INSPECTOR_PATH;
}

// A run past this is killed: a hang, not a slow run. Sanitizers make start-up
// and every allocation several times slower.
const Seconds kKillAfter{ZORV_SANITIZED ? 30.0 : 5.0};
// What a refusal or a small valid interface may take: a run reads each record
// once, so it ends in milliseconds; the bound leaves room for a loaded machine.
const Seconds kQuick{ZORV_SANITIZED ? 5.0 : 1.0};

struct Outcome
{
  int exit_code = -1;  // -1 when the process did not exit by itself
  int signal = 0;  // the signal that ended it, if one did
  bool killed = false;  // killed here for outlasting its limit
  Seconds elapsed{0};
  std::string out;
  std::string err;
};

std::string describe(const Outcome & run)
{
  std::string text = "exit " + std::to_string(run.exit_code);
  if (run.signal != 0) {
    text += ", signal " + std::to_string(run.signal) + " (" + strsignal(run.signal) + ")";
  }
  if (run.killed) {
    text += ", killed after " + std::to_string(run.elapsed.count()) + " s";
  }
  return text + "; stderr: " + run.err + (run.out.size() > 400 ? "" : "; stdout: " + run.out);
}

// Runs `command` (an absolute path first), collecting both outputs; kills it
// once it has run for `limit`.
Outcome run_command(const std::vector<std::string> & command, Seconds limit)
{
  Outcome run;
  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe2: " << std::strerror(errno);
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // dup2 leaves the new descriptors open across exec; the pipes' own close.
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
  std::vector<char *> argv;
  for (const std::string & argument : command) {
    argv.push_back(const_cast<char *>(argument.c_str()));
  }
  argv.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (spawned != 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    ADD_FAILURE() << "cannot run " << command[0] << ": " << std::strerror(spawned);
    return run;
  }

  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string * texts[2] = {&run.out, &run.err};
  int open = 2;
  while (open > 0) {
    int timeout_ms = -1;
    if (!run.killed) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        limit - (std::chrono::steady_clock::now() - start));
      if (left.count() <= 0) {
        kill(pid, SIGKILL);
        run.killed = true;
      } else {
        timeout_ms = static_cast<int>(left.count());
      }
    }
    const int ready = poll(fds, 2, timeout_ms);
    if (ready < 0 && errno != EINTR) {
      ADD_FAILURE() << "poll: " << std::strerror(errno);
      kill(pid, SIGKILL);
      run.killed = true;
      break;
    }
    for (int i = 0; ready > 0 && i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      char buffer[65536];
      const ssize_t count = read(fds[i].fd, buffer, sizeof(buffer));
      if (count > 0) {
        texts[i]->append(buffer, static_cast<std::size_t>(count));
      } else if (count == 0 || errno != EINTR) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd & fd : fds) {
    if (fd.fd >= 0) {
      close(fd.fd);
    }
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.elapsed = std::chrono::steady_clock::now() - start;
  if (WIFEXITED(status)) {
    run.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  }
  return run;
}

Outcome inspect(const std::vector<std::string> & arguments, Seconds limit = kKillAfter)
{
  std::vector<std::string> command{inspector_path()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return run_command(command, limit);
}

// Exactly one line, ending in a newline, starting as every message of the tool does.
bool is_one_line(const std::string & err)
{
  return err.rfind("typesupport-inspect: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

// A refusal: exit 1, nothing on stdout, one line on stderr holding every one
// of `parts`, and quickly.
void expect_refused(const Outcome & run, const std::vector<std::string> & parts)
{
  EXPECT_EQ(run.exit_code, 1) << describe(run);
  EXPECT_FALSE(run.killed) << describe(run);
  EXPECT_LT(run.elapsed.count(), kQuick.count()) << describe(run);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(is_one_line(run.err)) << describe(run);
  for (const std::string & part : parts) {
    EXPECT_NE(run.err.find(part), std::string::npos) << "'" << part << "' not in: " << run.err;
  }
}

// A success: exit 0, output, nothing on stderr, and quickly.
void expect_printed(const Outcome & run)
{
  EXPECT_EQ(run.exit_code, 0) << describe(run);
  EXPECT_FALSE(run.killed) << describe(run);
  EXPECT_LT(run.elapsed.count(), kQuick.count()) << describe(run);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out, "");
}

// --- Faults: one row per hostile interface ----------------------------------

struct Fault
{
  const char * interface;
  std::vector<std::string> parts;  ///< distinctive parts of the error line
};

void PrintTo(const Fault & fault, std::ostream * out)
{
  *out << fault.interface;
}

const Fault kFaults[] = {
  // Memory: sizes and offsets.
  {"hostile_pkg/msg/HugeSize", {"HugeSize: size_of_ 18446744073709551608 is more than 67108864"}},
  {"hostile_pkg/msg/TebibyteSize", {"TebibyteSize: size_of_ 1099511627776 is more than 67108864"}},
  {"hostile_pkg/msg/FieldPastEnd",
    {"field 'x': 4 bytes at offset 12 reach past the message's size_of_ 8"}},
  {"hostile_pkg/msg/FieldCrossesEnd",
    {"field 's': 24 bytes at offset 8 reach past the message's size_of_ 16"}},
  {"hostile_pkg/msg/HugeFixedArray",
    {"field 'x': 1099511627776 elements of 4 bytes are more than 67108864 bytes"}},
  {"hostile_pkg/msg/ZeroSize", {"ZeroSize: size_of_ is 0 but the message has fields"}},
  {"hostile_pkg/msg/MisalignedString", {"field 's': offset 4 is not aligned to 8"}},
  // Memory: pointers.
  {"hostile_pkg/msg/WildMemberArray", {"member array at 0x10 (1 field) is not readable"}},
  {"hostile_pkg/msg/MemberArrayCrossesGuard",
    {"member array at 0x", "(2 fields) is not readable"}},
  {"hostile_pkg/msg/HugeMemberCount", {"HugeMemberCount: 4294967295 fields, more than 65535"}},
  {"hostile_pkg/msg/WildFieldName",
    {"field 0 name at 0x10 is not a readable text of at most 255 bytes"}},
  {"hostile_pkg/msg/LongFieldName",
    {"field 0 name at 0x", "is not a readable text of at most 255 bytes"}},
  {"hostile_pkg/msg/UnterminatedFieldName",
    {"field 0 name at 0x", "is not a readable text of at most 255 bytes"}},
  {"hostile_pkg/msg/InitIntoData", {"InitIntoData: init_function at 0x", "is not code"}},
  {"hostile_pkg/msg/SizeFunctionIntoData", {"field 'x': size_function at 0x", "is not code"}},
  // Names and codes.
  {"hostile_pkg/msg/InvalidUtf8FieldName",
    {"field 0 name is not valid UTF-8 (byte 0xff at offset 3)"}},
  {"hostile_pkg/msg/InvalidUtf8MessageName",
    {"message name is not valid UTF-8 (byte 0xc3 at offset 22)"}},
  {"hostile_pkg/msg/DuplicateName", {"two fields are named 'x'"}},
  {"hostile_pkg/msg/TypeCodeZero", {"field 'x': unknown type code 0"}},
  {"hostile_pkg/msg/TypeCode99", {"field 'x': unknown type code 99"}},
  {"hostile_pkg/msg/IsArrayTwo",
    {"field 'x': is_array_ or is_upper_bound_ is neither true nor false"}},
  {"hostile_pkg/msg/BoundedSequenceBoundZero", {"field 'x': a bounded sequence with bound 0"}},
  {"hostile_pkg/msg/SizeOnSingleValue",
    {"field 'x': not an array, but has an array size or bound"}},
  {"hostile_pkg/msg/StringBoundOnInt",
    {"field 'x': a string bound on a field that is not a string"}},
  {"hostile_pkg/msg/HandleOnInt", {"field 'x': a nested handle on a field that is not a message"}},
  // Time: nesting that cannot fit, or never ends.
  {"hostile_pkg/msg/ValueChain", {"ValueChain: size_of_ 7412080755407368 is more than 67108864"}},
  {"hostile_pkg/msg/UndersizedValueChain",
    {"UndersizedValueChain30 field 'b': 48 bytes at offset 16 reach past the message's "
      "size_of_ 48"}},
  {"hostile_pkg/msg/SelfCycle", {"SelfCycle field 'a': messages nest in a cycle"}},
  {"hostile_pkg/msg/PairCycle", {"PairCycleOther field 'a': messages nest in a cycle"}},
  // Handles and records of the wrong kind.
  {"hostile_pkg/msg/WildHandle", {"WildHandle: handle at 0x10 is not readable"}},
  {"hostile_pkg/msg/ForeignNested",
    {"field 'inner': handle identifier is 'rosidl_typesupport_cpp', not "
      "'rosidl_typesupport_introspection_c'"}},
  {"hostile_pkg/msg/NestedNullData", {"field 'inner': handle has no data"}},
  {"hostile_pkg/msg/NestedWildHandle", {"field 'inner': handle at 0x10 is not readable"}},
  {"hostile_pkg/msg/WildIdentifier", {"WildIdentifier: handle identifier is not a readable text"}},
  {"hostile_pkg/msg/Impostor", {"Impostor: the records are those of hostile_pkg/msg/Original"}},
  {"hostile_pkg/msg/ServiceAsMessage",
    {"ServiceAsMessage: the records are those of hostile_pkg/srv/ServiceAsMessage"}},
  {"hostile_pkg/srv/MessageAsService",
    {"the service record's request members record at 0x", "is not readable",
      "(is the handle a message's?)"}},
  {"hostile_pkg/srv/MisnamedRequest",
    {"MisnamedRequest request: the records are those of hostile_pkg/srv/Other_Request"}},
};

// Faults found in a first version of the checks, each refused since.
const Fault kLaterFaults[] = {
  // Two fields in the same bytes: --set n=4096 made the string's data
  // pointer 4096, and printing it crashed.
  {"hostile_pkg/msg/OverlappingFields", {"OverlappingFields: two fields share the bytes at offset 0"}},
  // 2^40 elements of a message of size_of_ 0 took no bytes; printing them
  // never ended. A C structure takes at least one byte.
  {"hostile_pkg/msg/ZeroSizeElements", {"hostile_pkg/msg/EmptyZero: size_of_ is 0"}},
  // A name holding a newline made the error two lines.
  {"hostile_pkg/msg/NewlineInFaultyField", {"field 'first\\nsecond': unknown type code 99"}},
  {"hostile_pkg/msg/NewlineInMessageName", {"the records are those of hostile_pkg/msg/Newline\\nName"}},
  // The response's record is the request's, read already: its name is
  // checked all the same.
  {"hostile_pkg/srv/ResponseIsRequest",
    {"response: the records are those of hostile_pkg/srv/ResponseIsRequest_Request"}},
  // Two records that both claim to be hostile_pkg/msg/Twin, with different fields.
  {"hostile_pkg/msg/TwinHolder", {"two different records describe hostile_pkg/msg/Twin"}},
  // A string at offset 0 of a nested message placed at offset 4.
  {"hostile_pkg/msg/MisalignedNestedString", {"field 'inner': offset 4 is not aligned to 8"}},
};

class HostileRecords : public ::testing::TestWithParam<Fault> {};

TEST_P(HostileRecords, AreRefusedQuicklyWithOneLine)
{
  const Fault & fault = GetParam();
  // Every output: the records are read and checked before anything is
  // printed or created. The open faults have a field n.
  const std::vector<std::vector<std::string>> outputs = {
    {}, {"--records"}, {"--json"}, {"--set", "x=1"}, {"--set", "n=4096"}};
  for (const auto & output : outputs) {
    std::vector<std::string> arguments = output;
    arguments.push_back(kHostile);
    arguments.push_back(fault.interface);
    std::string shown = "definition";
    if (!output.empty()) {
      shown = output.front() + (output.size() > 1 ? " " + output.back() : "");
    }
    SCOPED_TRACE(shown);
    expect_refused(inspect(arguments), fault.parts);
  }
}

std::string row_name(const ::testing::TestParamInfo<Fault> & info)
{
  const std::string interface = info.param.interface;
  return interface.substr(interface.rfind('/') + 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileRecords, ::testing::ValuesIn(kFaults), row_name);
INSTANTIATE_TEST_SUITE_P(LaterFaults, HostileRecords, ::testing::ValuesIn(kLaterFaults), row_name);

// A string that init leaves zeroed ({NULL, 0, 0}, as after fini) prints as
// empty (it once aborted inside libyaml).
TEST(HostileRecords, ZeroedStringPrintsAsEmpty)
{
  const Outcome run = inspect({"--set", "n=1", kHostile, "hostile_pkg/msg/ZeroedString"});
  EXPECT_EQ(run.signal, 0) << describe(run);
  ASSERT_EQ(run.exit_code, 0) << describe(run);
  const YamlValue message = test_support::load_one_yaml(run.out);
  EXPECT_EQ(message["s"].text, "");
  EXPECT_EQ(message["s"].resolved, "str");
}

// --- Nesting that is valid: 33 types by 3^32 paths ---------------------------

std::vector<std::string> chain_type_names()
{
  std::vector<std::string> names{"hostile_pkg/msg/SequenceChain"};
  for (int level = 1; level < 32; ++level) {
    names.push_back("hostile_pkg/msg/SequenceChain" + std::string(level < 10 ? "0" : "") +
      std::to_string(level));
  }
  names.push_back("hostile_pkg/msg/SequenceChainLeaf");
  return names;
}

// Every type once, each field of a level naming the next type.
void expect_chain_types(const std::vector<std::string> & types,
  const std::vector<std::vector<std::string>> & nested)
{
  const std::vector<std::string> expected = chain_type_names();
  ASSERT_EQ(types.size(), expected.size());
  EXPECT_EQ(std::set<std::string>(types.begin(), types.end()),
    std::set<std::string>(expected.begin(), expected.end()));
  for (std::size_t i = 0; i < types.size(); ++i) {
    std::size_t level = 0;
    while (level < expected.size() && expected[level] != types[i]) {
      ++level;
    }
    ASSERT_LT(level, expected.size());
    const std::vector<std::string> next = level + 1 < expected.size() ?
      std::vector<std::string>(3, expected[level + 1]) : std::vector<std::string>{};
    EXPECT_EQ(nested[i], next) << types[i];
  }
}

TEST(HostileNesting, AChainOf33TypesReachedBy3To32PathsPrintsQuickly)
{
  const std::string chain = "hostile_pkg/msg/SequenceChain";

  const Outcome definition = inspect({kHostile, chain});
  expect_printed(definition);
  EXPECT_EQ(definition.out,
    "int32 value\n"
    "hostile_pkg/SequenceChain01[] a\n"
    "hostile_pkg/SequenceChain01[] b\n"
    "hostile_pkg/SequenceChain01[] c\n");

  const Outcome records = inspect({"--records", kHostile, chain});
  expect_printed(records);
  {
    const YamlValue report = test_support::load_one_yaml(records.out);
    EXPECT_EQ(report["message"].text, chain);
    std::vector<std::string> types;
    std::vector<std::vector<std::string>> nested;
    for (const YamlValue & type : report["types"].items) {
      types.push_back(type["type"].text);
      nested.emplace_back();
      for (const YamlValue & field : type["fields"].items) {
        for (const auto & entry : field.entries) {
          if (entry.first == "message") {
            nested.back().push_back(entry.second.text);
          }
        }
      }
    }
    expect_chain_types(types, nested);
  }

  const Outcome json = inspect({"--json", kHostile, chain});
  expect_printed(json);
  {
    const nlohmann::json report = nlohmann::json::parse(json.out);
    std::vector<std::string> types;
    std::vector<std::vector<std::string>> nested;
    for (const nlohmann::json & type : report.at("types")) {
      types.push_back(type.at("type").get<std::string>());
      nested.emplace_back();
      for (const nlohmann::json & field : type.at("fields")) {
        if (field.contains("message")) {
          nested.back().push_back(field.at("message").get<std::string>());
        }
      }
    }
    expect_chain_types(types, nested);
  }

  const Outcome set = inspect({"--set", "value=-5", kHostile, chain});
  expect_printed(set);
  const YamlValue message = test_support::load_one_yaml(set.out);
  ASSERT_EQ(message.entries.size(), 4u) << set.out;
  EXPECT_EQ(message["value"].text, "-5");
  EXPECT_EQ(message["value"].resolved, "int");
  for (const char * name : {"a", "b", "c"}) {
    EXPECT_EQ(message[name].kind, YamlValue::Kind::sequence) << name;
    EXPECT_TRUE(message[name].items.empty()) << name;
  }
}

// --- Valid records that are awkward to print -------------------------------

// The field names of hostile_pkg/msg/TrickyNames, in order; the fourth is a
// string, the others int32.
const std::vector<std::string> kTrickyNames = {
  "a: b # c", "- x", "'q'", "\"dq\"", "back\\slash", "*alias", "&anchor", "!tag", "? key",
  "[1, 2]", "{k: v}", "%percent", "@at", "#hash", " lead", "trail ", "true", "null", "~",
  "123", "1e3", "tab\there", "gr\u00f6\u00dfe",
};
constexpr std::size_t kTrickyString = 3;
const std::string kTricky = "hostile_pkg/msg/TrickyNames";

TEST(HostileValidNames, DefinitionRecordsAndJsonCarryTheExactNames)
{
  const Outcome definition = inspect({kHostile, kTricky});
  expect_printed(definition);
  std::string expected;
  for (std::size_t i = 0; i < kTrickyNames.size(); ++i) {
    expected += (i == kTrickyString ? "string " : "int32 ") + kTrickyNames[i] + "\n";
  }
  EXPECT_EQ(definition.out, expected);

  const Outcome records = inspect({"--records", kHostile, kTricky});
  expect_printed(records);
  const YamlValue report = test_support::load_one_yaml(records.out);
  ASSERT_EQ(report["types"].items.size(), 1u);
  const std::vector<YamlValue> & fields = report["types"].items[0]["fields"].items;
  ASSERT_EQ(fields.size(), kTrickyNames.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    // A name that reads back as a boolean, null or number is no name.
    EXPECT_EQ(fields[i]["name"].text, kTrickyNames[i]);
    EXPECT_EQ(fields[i]["name"].resolved, "str") << kTrickyNames[i];
  }

  const Outcome json = inspect({"--json", kHostile, kTricky});
  expect_printed(json);
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  const nlohmann::json & json_fields = parsed.at("types").at(0).at("fields");
  ASSERT_EQ(json_fields.size(), kTrickyNames.size());
  for (std::size_t i = 0; i < json_fields.size(); ++i) {
    EXPECT_EQ(json_fields.at(i).at("name").get<std::string>(), kTrickyNames[i]);
  }
}

TEST(HostileValidNames, SetNamesEachFieldByItsExactName)
{
  for (std::size_t set = 0; set < kTrickyNames.size(); ++set) {
    const std::string value = set == kTrickyString ? "x: y # z" : "5";
    const Outcome run = inspect({"--set", kTrickyNames[set] + "=" + value, kHostile, kTricky});
    SCOPED_TRACE(kTrickyNames[set]);
    expect_printed(run);
    const YamlValue message = test_support::load_one_yaml(run.out);
    ASSERT_EQ(message.kind, YamlValue::Kind::mapping) << run.out;
    ASSERT_EQ(message.entries.size(), kTrickyNames.size()) << run.out;
    for (std::size_t i = 0; i < kTrickyNames.size(); ++i) {
      EXPECT_EQ(message.entries[i].first, kTrickyNames[i]);
      const YamlValue & field = message.entries[i].second;
      if (i == kTrickyString) {
        EXPECT_EQ(field.text, i == set ? value : "");
        EXPECT_EQ(field.resolved, "str");
      } else {
        EXPECT_EQ(field.text, i == set ? value : "0");
        EXPECT_EQ(field.resolved, "int");
      }
    }
  }
}

TEST(HostileValidNames, NestedMessagesWithoutFieldsPrintAsEmptyMappings)
{
  const std::string holder = "hostile_pkg/msg/Holder";
  const Outcome definition = inspect({kHostile, holder});
  expect_printed(definition);
  EXPECT_EQ(definition.out,
    "int32 n\nhostile_pkg/Empty e\nhostile_pkg/Empty[2] arr\nhostile_pkg/Empty[] seq\n");

  const Outcome records = inspect({"--records", kHostile, holder});
  expect_printed(records);
  const YamlValue report = test_support::load_one_yaml(records.out);
  std::vector<std::string> types;
  for (const YamlValue & type : report["types"].items) {
    types.push_back(type["type"].text);
  }
  EXPECT_EQ(types, (std::vector<std::string>{holder, "hostile_pkg/msg/Empty"}));
  EXPECT_EQ(report["types"].items.at(1)["fields"].kind, YamlValue::Kind::sequence);
  EXPECT_TRUE(report["types"].items.at(1)["fields"].items.empty());

  const Outcome set = inspect({"--set", "n=3", kHostile, holder});
  expect_printed(set);
  const YamlValue message = test_support::load_one_yaml(set.out);
  EXPECT_EQ(message["n"].text, "3");
  EXPECT_EQ(message["e"].kind, YamlValue::Kind::mapping) << set.out;
  EXPECT_TRUE(message["e"].entries.empty()) << set.out;
  ASSERT_EQ(message["arr"].kind, YamlValue::Kind::sequence) << set.out;
  ASSERT_EQ(message["arr"].items.size(), 2u) << set.out;
  for (const YamlValue & element : message["arr"].items) {
    EXPECT_EQ(element.kind, YamlValue::Kind::mapping) << set.out;
    EXPECT_TRUE(element.entries.empty()) << set.out;
  }
  EXPECT_EQ(message["seq"].kind, YamlValue::Kind::sequence) << set.out;
  EXPECT_TRUE(message["seq"].items.empty()) << set.out;
}

// --- ROS 2 Foxy's member layout ---------------------------------------------

const std::string kSample = "foxy_pkg/msg/Sample";
const std::string kSampleDefinition =
  "bool flag\n"
  "int32 count\n"
  "float64 ratio\n"
  "string name\n"
  "string<=16 code\n"
  "foxy_pkg/Label label\n"
  "int16[3] triple\n"
  "int32[] values\n"
  "foxy_pkg/Label[<=4] labels\n";

// The layout the headers of this build give, which inspector_fixture has.
const char * const kBuiltLayout =
  sizeof(rosidl_typesupport_introspection_c__MessageMember) == 96 ? "foxy" : "humble";
const char * const kOtherLayout =
  sizeof(rosidl_typesupport_introspection_c__MessageMember) == 96 ? "humble" : "foxy";

TEST(HostileFoxyLayout, DefinitionsReadAsTheInterfaceFilesWould)
{
  for (const char * layout : {"", "foxy"}) {
    std::vector<std::string> arguments;
    if (layout[0] != '\0') {
      arguments = {"--layout", layout};
    }
    arguments.push_back(kFoxy);
    SCOPED_TRACE(layout);
    std::vector<std::string> sample = arguments;
    sample.push_back(kSample);
    const Outcome message = inspect(sample);
    expect_printed(message);
    EXPECT_EQ(message.out, kSampleDefinition);

    arguments.push_back("foxy_pkg/srv/Lookup");
    const Outcome service = inspect(arguments);
    expect_printed(service);
    EXPECT_EQ(service.out, "string key\nuint32 limit\n---\nbool found\nfloat64[] scores\n");
  }
}

TEST(HostileFoxyLayout, RecordsNameTheLayoutAndEveryField)
{
  const Outcome records = inspect({"--records", kFoxy, kSample});
  expect_printed(records);
  const YamlValue report = test_support::load_one_yaml(records.out);
  EXPECT_EQ(report["member_layout"].text, "foxy");
  EXPECT_EQ(report["typesupport_identifier"].text, "rosidl_typesupport_introspection_c");
  ASSERT_EQ(report["types"].items.size(), 2u);
  const YamlValue & sample = report["types"].items[0];
  EXPECT_EQ(sample["type"].text, kSample);
  EXPECT_EQ(sample["member_count"].text, "9");
  const YamlValue & labels = sample["fields"].items.at(8);
  EXPECT_EQ(labels["name"].text, "labels");
  EXPECT_EQ(labels["array"].text, "bounded sequence");
  EXPECT_EQ(labels["array_size"].text, "4");
  EXPECT_EQ(labels["message"].text, "foxy_pkg/msg/Label");
  EXPECT_EQ(sample["fields"].items.at(4)["string_upper_bound"].text, "16");
  EXPECT_EQ(report["types"].items[1]["type"].text, "foxy_pkg/msg/Label");

  const Outcome json = inspect({"--json", kFoxy, "foxy_pkg/srv/Lookup"});
  expect_printed(json);
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed.at("member_layout"), "foxy");
  EXPECT_EQ(parsed.at("service").at("request"), "foxy_pkg/srv/Lookup_Request");
  EXPECT_EQ(parsed.at("service").at("response"), "foxy_pkg/srv/Lookup_Response");
  ASSERT_EQ(parsed.at("types").size(), 2u);
  EXPECT_EQ(parsed.at("types").at(1).at("fields").at(1).at("name"), "scores");
  EXPECT_EQ(parsed.at("types").at(1).at("fields").at(1).at("array"), "sequence");
}

TEST(HostileFoxyLayout, SetValuesReadBackEqual)
{
  const Outcome run = inspect({"--set", "flag=true", "--set", "count=-42", "--set", "ratio=0.25",
      "--set", "name=it's: here", "--set", "code=sixteen-bytes-ok", "--set", "label.text=hi",
      "--set", "label.level=200", kFoxy, kSample});
  expect_printed(run);
  const YamlValue message = test_support::load_one_yaml(run.out);
  EXPECT_EQ(message["flag"].text, "true");
  EXPECT_EQ(message["flag"].resolved, "bool");
  EXPECT_EQ(message["count"].text, "-42");
  EXPECT_EQ(message["ratio"].text, "0.25");
  EXPECT_EQ(message["ratio"].resolved, "float");
  EXPECT_EQ(message["name"].text, "it's: here");
  EXPECT_EQ(message["code"].text, "sixteen-bytes-ok");
  EXPECT_EQ(message["label"]["text"].text, "hi");
  EXPECT_EQ(message["label"]["level"].text, "200");
  std::vector<std::string> triple;
  for (const YamlValue & item : message["triple"].items) {
    triple.push_back(item.text);
  }
  EXPECT_EQ(triple, (std::vector<std::string>{"0", "0", "0"}));
  std::vector<std::string> values;
  for (const YamlValue & item : message["values"].items) {
    values.push_back(item.text);
  }
  EXPECT_EQ(values, (std::vector<std::string>{"7", "-7"}));
  ASSERT_EQ(message["labels"].items.size(), 1u) << run.out;
  EXPECT_EQ(message["labels"].items[0]["text"].text, "first");
  EXPECT_EQ(message["labels"].items[0]["level"].text, "1");

  const Outcome service =
    inspect({"--set", "key=k", "--set", "found=true", kFoxy, "foxy_pkg/srv/Lookup"});
  expect_printed(service);
  const std::vector<YamlValue> documents = test_support::load_yaml(service.out);
  ASSERT_EQ(documents.size(), 2u) << service.out;
  EXPECT_EQ(documents[0]["key"].text, "k");
  EXPECT_EQ(documents[0]["limit"].text, "0");
  EXPECT_EQ(documents[1]["found"].text, "true");
  EXPECT_EQ(documents[1]["scores"].kind, YamlValue::Kind::sequence);

  expect_refused(inspect({"--set", "code=seventeen-bytes!!", kFoxy, kSample}),
    {"field 'code': 17 bytes exceed the bound of 16"});
}

TEST(HostileFoxyLayout, TheOtherLayoutForcedIsRefused)
{
  expect_refused(inspect({"--layout", "humble", kFoxy, kSample}),
    {"foxy_pkg/msg/Sample", "(reading the humble layout)"});
  expect_refused(inspect({"--layout", "humble", "--json", kFoxy, "foxy_pkg/srv/Lookup"}),
    {"foxy_pkg/srv/Lookup", "(reading the humble layout)"});

  const std::string everything = "fixture_pkg/msg/Everything";
  const Outcome records = inspect({"--records", kFixture, everything});
  expect_printed(records);
  EXPECT_EQ(test_support::load_one_yaml(records.out)["member_layout"].text, kBuiltLayout);
  expect_refused(inspect({"--layout", kOtherLayout, kFixture, everything}),
    {"fixture_pkg/msg/Everything", std::string("(reading the ") + kOtherLayout + " layout)"});

  const Outcome usage = inspect({"--layout", "galactic", kFoxy, kSample});
  EXPECT_EQ(usage.exit_code, 2) << describe(usage);
  EXPECT_TRUE(is_one_line(usage.err)) << describe(usage);
  EXPECT_NE(usage.err.find("--layout must be 'foxy' or 'humble'"), std::string::npos) << usage.err;
}

// The core resizes Foxy sequences through the record's own resize function,
// which lies where Foxy puts it, right after get_function.
TEST(HostileFoxyLayout, SequencesResizeThroughTheRecordsFunction)
{
  namespace core = typesupport_core;
  const test_support::LoadedLibrary counter(kFoxy);
  const auto resize_calls = counter.function<unsigned (*)()>("foxy_fixture_resize_calls");
  const core::TypeSupportLibrary library(kFoxy);
  const core::Interface interface =
    library.describe(core::parse_interface_name(kSample), std::nullopt);
  ASSERT_TRUE(interface.layout_settled);
  ASSERT_EQ(interface.layout, core::MemberLayout::foxy);
  const core::MessageType & sample = *interface.message;
  for (const core::Field & field : sample.fields) {
    EXPECT_EQ(field.resize_function != nullptr, field.is_sequence()) << field.name;
  }

  core::Message message(sample);
  const unsigned before = resize_calls();
  core::assign_yaml(sample, message.data(), core::parse_yaml(
      "values: [1, 2, 3]\nlabels: [{text: a, level: 2}, {text: b}]\n", "the test's values"));
  EXPECT_EQ(resize_calls() - before, 2u);
  EXPECT_THROW(core::assign_yaml(sample, message.data(),
    core::parse_yaml("labels: [{}, {}, {}, {}, {}]", "the test's values")), core::Error);

  const YamlValue printed = test_support::load_one_yaml(core::message_yaml(sample, message.data()));
  std::vector<std::string> values;
  for (const YamlValue & item : printed["values"].items) {
    values.push_back(item.text);
  }
  EXPECT_EQ(values, (std::vector<std::string>{"1", "2", "3"}));
  ASSERT_EQ(printed["labels"].items.size(), 2u);
  EXPECT_EQ(printed["labels"].items[0]["text"].text, "a");
  EXPECT_EQ(printed["labels"].items[0]["level"].text, "2");
  EXPECT_EQ(printed["labels"].items[1]["text"].text, "b");
  EXPECT_EQ(printed["labels"].items[1]["level"].text, "0");
}

// --- Memcheck over a few runs ---------------------------------------------------

TEST(HostileUnderValgrind, RefusalsAndValidRunsAreClean)
{
  if (kValgrind.empty()) {
    GTEST_SKIP() << "valgrind is not installed, or this is a sanitizer build";
  }
  const std::vector<std::string> memcheck = {kValgrind, "--tool=memcheck", "-q",
    "--error-exitcode=99", "--leak-check=full",
    "--errors-for-leak-kinds=definite,indirect,possible",
    std::string("--suppressions=") + VALGRIND_SUPPRESSIONS, inspector_path()};
  struct Case
  {
    std::vector<std::string> arguments;
    int exit_code;
  };
  const Case cases[] = {
    {{kHostile, "hostile_pkg/msg/WildMemberArray"}, 1},
    {{"--set", "x=1", kHostile, "hostile_pkg/msg/UnterminatedFieldName"}, 1},
    {{"--records", kHostile, "hostile_pkg/msg/ServiceAsMessage"}, 1},
    {{kHostile, "hostile_pkg/srv/MessageAsService"}, 1},
    {{"--set", "x=1", kHostile, "hostile_pkg/msg/TebibyteSize"}, 1},
    {{"--records", kHostile, "hostile_pkg/msg/SequenceChain"}, 0},
    {{"--set", "value=1", kHostile, "hostile_pkg/msg/SequenceChain"}, 0},
    {{"--set", "n=1", kHostile, "hostile_pkg/msg/Holder"}, 0},
    {{"--set", "count=1", kFoxy, kSample}, 0},
  };
  for (const Case & each : cases) {
    std::vector<std::string> command = memcheck;
    command.insert(command.end(), each.arguments.begin(), each.arguments.end());
    const Outcome run = run_command(command, Seconds{120});
    SCOPED_TRACE(each.arguments.at(each.arguments.size() - 1));
    EXPECT_EQ(run.exit_code, each.exit_code) << describe(run);
    if (each.exit_code == 0) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_TRUE(is_one_line(run.err)) << describe(run);
    }
  }
}

}  // namespace
