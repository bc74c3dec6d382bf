// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Many clients at once, each call with content of its own, so that a call
// lost, answered twice or answered with another call's reply shows: against
// typesupport-service serve, against native servers with the tool's own
// client and record codec in this process, and with two servers on one
// service.
//
// ZORV_SERVICE_LOAD_CLIENTS and ZORV_SERVICE_LOAD_CALLS (calls per client)
// scale the load: the sanitizer builds set smaller numbers.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dds/dds.h"
#include "record_sample_codec.hpp"
#include "rosidl_runtime_c/string.h"
#include "service/dds/client.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/ros_names.hpp"
#include "support/child_process.hpp"
#include "support/isolated_network.hpp"
#include "support/service_fixture.hpp"
#include "support/service_tool.hpp"
#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/type_support_library.hpp"

namespace
{

using service_test::ChildOptions;
using service_test::ChildProcess;
using service_test::Finished;
using service_test::kStringCommand;
using service_test::lines_of;
using service_test::start_tool;
using service_test::string_fields;

// Long enough for the whole load on a slow, busy machine; it ends far sooner.
constexpr std::chrono::minutes kLoadPatience{4};

// More processes than Cyclone's default of 9 per domain when it discovers
// by unicast, as it does on loopback.
const char kDiscoveryConfig[] =
  "CYCLONEDDS_URI=<CycloneDDS><Domain><Discovery>"
  "<MaxAutoParticipantIndex>60</MaxAutoParticipantIndex>"
  "</Discovery></Domain></CycloneDDS>";

struct Load
{
  unsigned clients;
  unsigned calls;  // per client
};

unsigned from_environment(const char * name, unsigned fallback)
{
  const char * text = std::getenv(name);
  const unsigned long value = text != nullptr ? std::strtoul(text, nullptr, 10) : 0;
  return value > 0 ? static_cast<unsigned>(value) : fallback;
}

Load full_load()
{
  return {from_environment("ZORV_SERVICE_LOAD_CLIENTS", 16),
    from_environment("ZORV_SERVICE_LOAD_CALLS", 200)};
}

// With two servers every call is answered twice: half the clients and a
// quarter of the calls keep that within the same time.
Load two_server_load()
{
  const Load full = full_load();
  return {std::max(2u, full.clients / 2), std::max(5u, full.calls / 4)};
}

// The command of call `call` of client `client`.
std::string command_of(const std::string & prefix, unsigned client, unsigned call)
{
  return prefix + std::to_string(client) + "-" + std::to_string(call);
}

std::vector<std::string> every_command(const std::string & prefix, const Load & load)
{
  std::vector<std::string> commands;
  for (unsigned client = 0; client < load.clients; ++client) {
    for (unsigned call = 1; call <= load.calls; ++call) {
      commands.push_back(command_of(prefix, client, call));
    }
  }
  std::sort(commands.begin(), commands.end());
  return commands;
}

// Checks that `seen` holds every command of `expected` (sorted) exactly once:
// names the first few lost and duplicated.
void expect_each_once(std::vector<std::string> seen, const std::vector<std::string> & expected)
{
  std::sort(seen.begin(), seen.end());
  if (seen == expected) {
    return;
  }
  std::map<std::string, int> count;
  for (const std::string & command : expected) {
    --count[command];
  }
  for (const std::string & command : seen) {
    ++count[command];
  }
  std::string faults;
  int shown = 0;
  for (const auto & entry : count) {
    if (entry.second != 0 && shown++ < 10) {
      faults += "\n  " + entry.first + (entry.second < 0 ? ": lost" : ": more than once");
    }
  }
  ADD_FAILURE() << seen.size() << " commands seen, " << expected.size() << " sent:" << faults;
}

// The commands a native server printed, one request line each.
std::vector<std::string> native_served(const std::string & output)
{
  std::vector<std::string> commands;
  for (const std::string & line : lines_of(output)) {
    const std::string::size_type at = line.find(" command=");
    if (line != "ready" && at != std::string::npos) {
      commands.push_back(line.substr(at + 9));
    } else if (line != "ready") {
      ADD_FAILURE() << "not a request line: " << line;
    }
  }
  return commands;
}

ChildOptions with_discovery()
{
  ChildOptions options;
  options.environment = {kDiscoveryConfig};
  return options;
}

// A native echo server for `count` requests. Where discovery is slow (under
// a sanitizer, say), a Foxy server's 100 ms wait for a new client's reply
// reader could run out: it waits far longer here.
std::unique_ptr<ChildProcess> start_native_server(const std::string & service, unsigned count)
{
  auto server = std::make_unique<ChildProcess>(std::vector<std::string>{NATIVE_SERVER_PATH,
        service, "--count", std::to_string(count), "--reply-wait-ms", "10000"}, with_discovery());
  std::string line;
  EXPECT_TRUE(server->read_line(line, service_test::kPatience));
  EXPECT_EQ("ready", line);
  return server;
}

// Native clients, each calling `load.calls` times with "<prefix><i>-<n>"
// once `servers` servers have matched. With more than one server they stay
// after their calls, until signalled: a server that lags behind the first
// one to answer still has their reply readers to answer to.
std::vector<std::unique_ptr<ChildProcess>> start_native_clients(
  const std::string & service, const std::string & prefix, const Load & load, unsigned servers)
{
  std::vector<std::unique_ptr<ChildProcess>> clients;
  for (unsigned client = 0; client < load.clients; ++client) {
    std::vector<std::string> argv = {NATIVE_CLIENT_PATH, service,
      prefix + std::to_string(client), "--numbered", "--count", std::to_string(load.calls),
      "--timeout", "60", "--servers", std::to_string(servers)};
    if (servers > 1) {
      argv.push_back("--stay");
    }
    clients.push_back(std::make_unique<ChildProcess>(argv, with_discovery()));
  }
  return clients;
}

// Checks that every native client prints one answer per call, each one of
// `answers`.
void expect_every_call_answered(
  std::vector<std::unique_ptr<ChildProcess>> & clients, const Load & load,
  const std::vector<std::string> & answers)
{
  for (std::size_t client = 0; client < clients.size(); ++client) {
    SCOPED_TRACE("native client " + std::to_string(client));
    for (unsigned call = 1; call <= load.calls; ++call) {
      std::string line;
      if (!clients[client]->read_line(line, kLoadPatience)) {
        ADD_FAILURE() << "no answer to call " << call;
        break;
      }
      if (std::find(answers.begin(), answers.end(), line) == answers.end()) {
        ADD_FAILURE() << "call " << call << " answered: " << line;
      }
    }
  }
}

// Checks that every native client ends with exit 0 and prints nothing more:
// no answer beyond one per call. Clients that stay are told to go.
void expect_clients_end(std::vector<std::unique_ptr<ChildProcess>> & clients, bool staying)
{
  for (std::size_t client = 0; client < clients.size(); ++client) {
    SCOPED_TRACE("native client " + std::to_string(client));
    if (staying) {
      clients[client]->signal(SIGTERM);
    }
    const Finished finished = service_test::finish(*clients[client], kLoadPatience);
    EXPECT_EQ(0, finished.status);
    EXPECT_EQ("", finished.out);
  }
}

// Collects a server that took every request (it then exits by itself at its
// count), or, after a failure, one that never will.
Finished finish_server(ChildProcess & server)
{
  if (::testing::Test::HasFailure()) {
    server.signal(SIGTERM);
  }
  return service_test::finish(server, kLoadPatience);
}

TEST(LoadOnServe, NativeClientsGetEveryAnswerAndServePrintsEachCommandOnce)
{
  service_test::use_domain(100);
  const Load load = full_load();
  const auto serve = start_tool({"serve", "--count", std::to_string(load.clients * load.calls),
      "/load", kStringCommand, "{answer: served}"}, {kDiscoveryConfig});
  auto clients = start_native_clients("/load", "native", load, 1);

  expect_every_call_answered(clients, load, {"served"});
  expect_clients_end(clients, false);
  const Finished served = finish_server(*serve);
  EXPECT_EQ(0, served.status);
  // Not even a reply that might be lost.
  EXPECT_EQ("", served.err);
  expect_each_once(string_fields(served.out, "command"), every_command("native", load));
}

TEST(LoadOnTwoServes, EveryNativeCallTakesExactlyOneOfTheTwoAnswers)
{
  service_test::use_domain(101);
  const Load load = two_server_load();
  const std::string total = std::to_string(load.clients * load.calls);
  const auto first = start_tool({"serve", "--count", total, "/shared", kStringCommand,
      "{answer: from first}"}, {kDiscoveryConfig});
  const auto second = start_tool({"serve", "--count", total, "/shared", kStringCommand,
      "{answer: from second}"}, {kDiscoveryConfig});
  // Each client waits for both servers, so that both take every request and
  // every call is answered twice.
  auto clients = start_native_clients("/shared", "twice", load, 2);

  expect_every_call_answered(clients, load, {"from first", "from second"});
  for (ChildProcess * serve : {first.get(), second.get()}) {
    const Finished served = finish_server(*serve);
    EXPECT_EQ(0, served.status);
    EXPECT_EQ("", served.err);
    expect_each_once(string_fields(served.out, "command"), every_command("twice", load));
  }
  // The second answer to each call was taken and dropped: nothing more.
  expect_clients_end(clients, true);
}

// The service's types as the tool reads them: records, messages and codecs.
class RecordDrivenTypes
{
public:
  RecordDrivenTypes()
  : library_(service_test::type_support_library_path()),
    interface_(library_.describe(typesupport_core::parse_interface_name(kStringCommand),
      std::nullopt)),
    request_codec_(*interface_.service->request),
    response_codec_(*interface_.service->response)
  {
    const std::string error = typesupport_dds::service_topic_names("/record_driven",
        interface_.service->record_namespace, interface_.service->name, names_);
    if (!error.empty()) {
      throw std::runtime_error(error);
    }
  }

  const typesupport_core::MessageType & request() const {return *interface_.service->request;}
  const typesupport_core::MessageType & response() const {return *interface_.service->response;}
  const typesupport_service::RecordSampleCodec & request_codec() const {return request_codec_;}
  const typesupport_service::RecordSampleCodec & response_codec() const {return response_codec_;}
  const typesupport_dds::ServiceTopicNames & names() const {return names_;}

private:
  typesupport_core::TypeSupportLibrary library_;
  typesupport_core::Interface interface_;
  typesupport_service::RecordSampleCodec request_codec_;
  typesupport_service::RecordSampleCodec response_codec_;
  typesupport_dds::ServiceTopicNames names_;
};

// The text of the one string field of `message`, read through its record.
std::string string_value(const typesupport_core::MessageType & type, const void * message)
{
  const auto * text = static_cast<const rosidl_runtime_c__String *>(
    typesupport_core::field_memory(message, type.fields.at(0)));
  return std::string(text->data, text->size);
}

// Holds the clients' participants until the servers are through: a client
// that has its answers still has a reply reader for a server lagging behind,
// as a node that goes on running does.
class Gate
{
public:
  /// A client is done calling.
  void arrive()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++arrived_;
    changed_.notify_all();
  }

  /// Waits until `count` clients have arrived.
  bool wait_for(unsigned count)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kLoadPatience, [&] {return arrived_ >= count;});
  }

  /// Lets every client go.
  void open()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

  /// Waits until open() (or kLoadPatience).
  void wait_open()
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, kLoadPatience, [&] {return open_;});
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  unsigned arrived_ = 0;
  bool open_ = false;
};

// What one client thread saw.
struct ClientRun
{
  unsigned answered = 0;
  std::vector<std::string> wrong;  // "command -> answer"
  std::vector<std::string> reports;  // from the bad reply handler
  std::string failure;  // why it stopped early
};

// Waits until `servers` servers have matched both endpoints of `client`.
bool wait_for_servers(const typesupport_dds::Client & client, unsigned servers)
{
  const auto deadline = std::chrono::steady_clock::now() + service_test::kPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    dds_publication_matched_status_t readers{};
    dds_subscription_matched_status_t writers{};
    dds_get_publication_matched_status(client.request_writer(), &readers);
    dds_get_subscription_matched_status(client.reply_reader(), &writers);
    if (readers.current_count >= servers && writers.current_count >= servers) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// One client of the tool's making, on a participant of its own, calling
// `calls` times with "record<index>-<n>" and checking each echo. It stays
// at the gate, its endpoints still there, until the servers are through.
void run_record_driven_client(
  const RecordDrivenTypes & types, const typesupport_dds::DomainSettings & settings,
  unsigned index, unsigned calls, unsigned servers, Gate & gate, ClientRun & run)
{
  std::unique_ptr<typesupport_dds::Participant> participant;
  std::unique_ptr<typesupport_dds::Client> client;
  try {
    participant = std::make_unique<typesupport_dds::Participant>(settings);
    client = std::make_unique<typesupport_dds::Client>(
      *participant, types.names(), types.request_codec(), types.response_codec());
    // Called within call(), on this thread.
    client->set_bad_reply_handler([&run](const std::string & line) {run.reports.push_back(line);});
    if (servers > 1 && !wait_for_servers(*client, servers)) {
      throw std::runtime_error("the servers did not all match");
    }
    typesupport_core::Message request(types.request());
    typesupport_core::Message response(types.response());
    for (unsigned call = 1; call <= calls; ++call) {
      const std::string command = command_of("record", index, call);
      typesupport_core::assign_path(types.request(), request.data(), "command", command);
      const typesupport_dds::CallResult result =
        client->call(request.data(), response.data(), std::chrono::seconds(60));
      if (result.outcome != typesupport_dds::CallOutcome::kOk) {
        throw std::runtime_error("call " + std::to_string(call) + ": " +
                to_string(result.outcome) + " " + result.error);
      }
      ++run.answered;
      const std::string answer = string_value(types.response(), response.data());
      if (answer != "echo: " + command) {
        run.wrong.push_back(command + " -> " + answer);
      }
    }
  } catch (const std::exception & error) {
    run.failure = error.what();
  }
  gate.arrive();
  gate.wait_open();
}

// Runs `load.clients` record-driven clients at once against the native
// servers there are (`servers`), and checks every call got its own echo.
void expect_record_driven_load(const Load & load, unsigned domain_id, unsigned servers)
{
  typesupport_dds::DomainSettings settings = service_test::settings_for_domain(domain_id);
  settings.user_config = std::string(kDiscoveryConfig).substr(sizeof("CYCLONEDDS_URI=") - 1);
  const RecordDrivenTypes types;
  std::vector<std::unique_ptr<ChildProcess>> native;
  for (unsigned server = 0; server < servers; ++server) {
    native.push_back(start_native_server("/record_driven", load.clients * load.calls));
  }

  std::vector<ClientRun> runs(load.clients);
  Gate gate;
  std::vector<std::thread> threads;
  for (unsigned client = 0; client < load.clients; ++client) {
    threads.emplace_back(run_record_driven_client, std::cref(types), std::cref(settings), client,
      load.calls, servers, std::ref(gate), std::ref(runs[client]));
  }
  EXPECT_TRUE(gate.wait_for(load.clients));
  std::vector<Finished> served;
  for (auto & server : native) {
    if (std::any_of(runs.begin(), runs.end(), [](const ClientRun & run) {
        return !run.failure.empty();
      }))
    {
      server->signal(SIGTERM);
    }
    served.push_back(service_test::finish(*server, kLoadPatience));
  }
  gate.open();
  for (std::thread & thread : threads) {
    thread.join();
  }
  for (unsigned client = 0; client < load.clients; ++client) {
    SCOPED_TRACE("record-driven client " + std::to_string(client));
    const ClientRun & run = runs[client];
    EXPECT_EQ("", run.failure);
    EXPECT_EQ(load.calls, run.answered);
    EXPECT_TRUE(run.wrong.empty()) << run.wrong.size() << " wrong answers, first " <<
      run.wrong.front();
    EXPECT_TRUE(run.reports.empty()) << run.reports.front();
  }
  for (const Finished & server : served) {
    EXPECT_EQ(0, server.status);
    expect_each_once(native_served(server.out), every_command("record", load));
  }
}

TEST(LoadOnNativeServer, RecordDrivenClientsEachGetTheEchoOfTheirOwnCall)
{
  expect_record_driven_load(full_load(), 102, 1);
}

TEST(LoadOnNativeServer, CallProcessesAtOnceEachGetTheEchoOfTheirOwnCall)
{
  // Every `call` process sends seq 1: only the guid keeps their replies
  // apart, which the clients in one process above, sharing one sequence,
  // never need.
  service_test::use_domain(108);
  const unsigned processes = std::max(2u, full_load().clients / 2);
  const unsigned rounds = 3;
  const auto server = start_native_server("/record_driven", processes * rounds);
  std::vector<std::string> expected;
  for (unsigned round = 0; round < rounds; ++round) {
    std::vector<std::unique_ptr<ChildProcess>> calls;
    std::vector<std::string> commands;
    for (unsigned process = 0; process < processes; ++process) {
      commands.push_back(command_of("process", process, round));
      calls.push_back(start_tool({"call", "--timeout", "60", "/record_driven", kStringCommand,
          "{command: " + commands.back() + "}"}, {kDiscoveryConfig}));
    }
    for (unsigned process = 0; process < processes; ++process) {
      SCOPED_TRACE(commands[process]);
      const Finished call = service_test::finish(*calls[process], kLoadPatience);
      EXPECT_EQ(0, call.status) << call.err;
      EXPECT_EQ(std::vector<std::string>{"echo: " + commands[process]},
        string_fields(call.out, "answer"));
    }
    expected.insert(expected.end(), commands.begin(), commands.end());
  }
  std::sort(expected.begin(), expected.end());
  const Finished served = finish_server(*server);
  EXPECT_EQ(0, served.status);
  expect_each_once(native_served(served.out), expected);
}

TEST(LoadOnTwoNativeServers, EveryRecordDrivenCallAcceptsExactlyOneReply)
{
  expect_record_driven_load(two_server_load(), 103, 2);
}

}  // namespace
