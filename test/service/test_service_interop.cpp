// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The binding's client and server against native peers in processes of
// their own, whose bytes come from Cyclone's own serializer for the idlc
// twin types and who behave on the wire as a ROS 2 Foxy node does.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "dds/dds.h"

#include "service/dds/client.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/server.hpp"
#include "support/child_process.hpp"
#include "support/isolated_network.hpp"
#include "support/service_fixture.hpp"
#include "support/string_codec.hpp"

namespace
{

using service_test::ChildProcess;
using service_test::get_in_time;
using service_test::kPatience;
using service_test::settings_for_domain;
using service_test::string_command_names;
using typesupport_dds::CallOutcome;
using typesupport_dds::Client;
using typesupport_dds::Participant;
using typesupport_dds::ReplyOutcome;
using typesupport_dds::Server;
using typesupport_dds::TakeOutcome;

// A native server's line for one request, taken apart.
struct ServedRequest
{
  std::uint64_t guid = 0;
  long long seq = 0;
  std::string client_id;
  std::string command;
};

ServedRequest parse_served(const std::string & line)
{
  ServedRequest served;
  const std::string::size_type seq_at = line.find(" seq=");
  const std::string::size_type id_at = line.find(" clientid=");
  const std::string::size_type command_at = line.find(" command=");
  EXPECT_EQ(0u, line.find("request guid=")) << line;
  if (seq_at == std::string::npos || id_at == std::string::npos ||
    command_at == std::string::npos)
  {
    ADD_FAILURE() << "not a request line: " << line;
    return served;
  }
  served.guid = std::strtoull(line.c_str() + 13, nullptr, 16);
  served.seq = std::strtoll(line.c_str() + seq_at + 5, nullptr, 10);
  served.client_id = line.substr(id_at + 10, command_at - id_at - 10);
  served.command = line.substr(command_at + 9);
  return served;
}

void expect_ready(ChildProcess & peer)
{
  std::string line;
  ASSERT_TRUE(peer.read_line(line, kPatience));
  ASSERT_EQ("ready", line);
}

TEST(ClientAgainstNativeServer, CallsAreAnsweredAndCarryTheClientsIdentity)
{
  const auto settings = settings_for_domain(60);
  ChildProcess server({NATIVE_SERVER_PATH, "/dock_command", "--count", "3"});
  expect_ready(server);

  service_test::StringCodec codec;
  Participant participant(settings);
  Client client(participant, string_command_names("dock_command"), codec, codec);
  std::vector<std::string> bad_replies;
  client.set_bad_reply_handler([&](const std::string & line) {bad_replies.push_back(line);});

  // Short, escaped and fragmented (far past one datagram) both ways.
  const std::vector<std::string> commands = {
    "go to dock 7", "undock\tnow", std::string(200000, 'w')};
  long long first_seq = 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::string request = commands[i];
    std::string response = "stale";
    const auto result = client.call(&request, &response, kPatience);
    ASSERT_EQ(CallOutcome::kOk, result.outcome)
      << "call " << i << ": " << to_string(result.outcome) << result.error;
    EXPECT_TRUE(response == "echo: " + commands[i]) << response.substr(0, 80);

    std::string line;
    ASSERT_TRUE(server.read_line(line, kPatience));
    const ServedRequest served = parse_served(line);
    EXPECT_EQ(client.guid(), served.guid);
    EXPECT_EQ(client.client_id(), served.client_id);
    EXPECT_EQ(15, std::count(served.client_id.begin(), served.client_id.end(), '.'));
    if (i == 0) {
      first_seq = served.seq;
      EXPECT_GE(first_seq, 1);
    } else {
      EXPECT_EQ(first_seq + static_cast<long long>(i), served.seq);
    }
    if (i == 1) {
      EXPECT_EQ("undock\\x09now", served.command);
    } else {
      EXPECT_TRUE(served.command == commands[i]) << served.command.substr(0, 80);
    }
  }
  EXPECT_EQ(0, server.wait(kPatience));
  EXPECT_TRUE(bad_replies.empty()) << bad_replies.front();
}

TEST(ServerAgainstNativeClient, RequestsAreReadAndAnsweredToTheirClient)
{
  const auto settings = settings_for_domain(61);
  service_test::StringCodec codec;
  Participant participant(settings);
  Server server(participant, string_command_names("/robot1/dock"), codec, codec);
  std::vector<std::string> bad_requests;
  server.set_bad_request_handler([&](const std::string & line) {bad_requests.push_back(line);});

  ChildProcess client({NATIVE_CLIENT_PATH, "robot1/dock", "undock", "--count", "2",
      "--timeout", "20"});
  std::vector<typesupport_dds::RequestId> ids;
  for (int call = 1; call <= 2; ++call) {
    std::string request;
    const auto taken = server.take_request(&request, kPatience);
    ASSERT_EQ(TakeOutcome::kRequest, taken.outcome) << taken.error;
    EXPECT_EQ("undock", request);
    EXPECT_EQ(call, taken.id.seq);  // a Foxy client counts from 1, per process
    ids.push_back(taken.id);
    std::string answer = "answer " + std::to_string(taken.id.seq) + " to " + request;
    const auto sent = server.send_reply(taken.id, &answer);
    EXPECT_EQ(ReplyOutcome::kSent, sent.outcome) << sent.error;
  }
  EXPECT_EQ(ids[0].guid, ids[1].guid);
  EXPECT_NE(0u, ids[0].guid);
  ASSERT_TRUE(ids[0].has_client_id);
  EXPECT_EQ(15, std::count(ids[0].client_id.begin(), ids[0].client_id.end(), '.'));
  EXPECT_EQ(ids[0].client_id, ids[1].client_id);

  std::string line;
  ASSERT_TRUE(client.read_line(line, kPatience));
  EXPECT_EQ("answer 1 to undock", line);
  ASSERT_TRUE(client.read_line(line, kPatience));
  EXPECT_EQ("answer 2 to undock", line);
  EXPECT_EQ(0, client.wait(kPatience));
  EXPECT_TRUE(bad_requests.empty());
}

TEST(ClientAgainstTwoServers, EachCallTakesExactlyItsOwnReply)
{
  const auto settings = settings_for_domain(62);
  ChildProcess first({NATIVE_SERVER_PATH, "/dock_command", "--count", "3"});
  ChildProcess second({NATIVE_SERVER_PATH, "/dock_command", "--count", "3"});
  expect_ready(first);
  expect_ready(second);

  service_test::StringCodec codec;
  Participant participant(settings);
  Client client(participant, string_command_names("/dock_command"), codec, codec);
  // Both servers must take every request, so that every call gets two replies.
  const dds_time_t deadline = dds_time() + DDS_SECS(kPatience.count());
  dds_publication_matched_status_t readers{};
  dds_subscription_matched_status_t writers{};
  while ((readers.current_count < 2 || writers.current_count < 2) && dds_time() < deadline) {
    dds_sleepfor(DDS_MSECS(10));
    dds_get_publication_matched_status(client.request_writer(), &readers);
    dds_get_subscription_matched_status(client.reply_reader(), &writers);
  }
  ASSERT_EQ(2u, readers.current_count);
  ASSERT_EQ(2u, writers.current_count);

  for (const char * command : {"first", "second", "third"}) {
    std::string request = command;
    std::string response;
    const auto result = client.call(&request, &response, kPatience);
    ASSERT_EQ(CallOutcome::kOk, result.outcome) << to_string(result.outcome) << result.error;
    EXPECT_EQ(std::string("echo: ") + command, response);
  }
  for (ChildProcess * server : {&first, &second}) {
    for (const char * command : {"first", "second", "third"}) {
      std::string line;
      ASSERT_TRUE(server->read_line(line, kPatience));
      EXPECT_EQ(command, parse_served(line).command);
    }
    EXPECT_EQ(0, server->wait(kPatience));
  }
}

TEST(Waiting, NoServiceEndsTheCallAndAnInterruptWakesEveryWait)
{
  const auto settings = settings_for_domain(63);
  service_test::StringCodec codec;
  Participant participant(settings);
  Client client(participant, string_command_names("/nobody_serves_this"), codec, codec);
  Server server(participant, string_command_names("/nobody_calls_this"), codec, codec);

  std::string request = "anyone?";
  std::string response;
  EXPECT_EQ(
    CallOutcome::kServiceUnavailable,
    client.call(&request, &response, std::chrono::seconds(1)).outcome);
  EXPECT_EQ(
    CallOutcome::kServiceUnavailable,
    client.wait_for_service(std::chrono::milliseconds(200)).outcome);

  // Waits without end, as a front end's are until SIGINT or SIGTERM.
  auto taking = std::async(std::launch::async, [&] {
        std::string taken;
        return server.take_request(&taken).outcome;
      });
  auto waiting = std::async(std::launch::async, [&] {
        return client.wait_for_service(std::chrono::hours(1)).outcome;
      });
  participant.interrupt();
  EXPECT_EQ(TakeOutcome::kInterrupted, get_in_time(taking, "take_request"));
  EXPECT_EQ(CallOutcome::kInterrupted, get_in_time(waiting, "wait_for_service"));
  EXPECT_TRUE(participant.interrupted());
  EXPECT_EQ(
    CallOutcome::kInterrupted,
    client.call(&request, &response, std::chrono::hours(1)).outcome);
}

TEST(RosEnvironment, LocalhostOnlyKeepsTheUsersConfiguration)
{
  // A discovery tag of the user's configuration must still part the peers
  // when loopback-only traffic is asked for as well.
  const std::string tagged =
    "<CycloneDDS><Domain><Discovery><Tag>%s</Tag></Discovery></Domain></CycloneDDS>";
  char same_tag[128];
  char other_tag[128];
  std::snprintf(same_tag, sizeof(same_tag), tagged.c_str(), "zorv_a");
  std::snprintf(other_tag, sizeof(other_tag), tagged.c_str(), "zorv_b");
  service_test::use_domain(64);
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  setenv("CYCLONEDDS_URI", other_tag, 1);
  ChildProcess apart({NATIVE_SERVER_PATH, "/apart"});
  expect_ready(apart);
  setenv("CYCLONEDDS_URI", same_tag, 1);
  ChildProcess together({NATIVE_SERVER_PATH, "/together", "--count", "1"});
  expect_ready(together);
  typesupport_dds::DomainSettings settings;
  ASSERT_EQ("", typesupport_dds::read_ros_environment(settings));
  ASSERT_TRUE(settings.localhost_only);

  service_test::StringCodec codec;
  Participant participant(settings);
  Client near(participant, string_command_names("/together"), codec, codec);
  Client far(participant, string_command_names("/apart"), codec, codec);
  std::string request = "hello";
  std::string response;
  const auto result = near.call(&request, &response, kPatience);
  EXPECT_EQ(CallOutcome::kOk, result.outcome) << to_string(result.outcome) << result.error;
  EXPECT_EQ("echo: hello", response);
  EXPECT_EQ(
    CallOutcome::kServiceUnavailable,
    far.wait_for_service(std::chrono::seconds(2)).outcome);

  apart.signal(SIGTERM);
  EXPECT_EQ(0, apart.wait(kPatience));
  EXPECT_EQ(0, together.wait(kPatience));
  unsetenv("ROS_LOCALHOST_ONLY");
  unsetenv("CYCLONEDDS_URI");
}

}  // namespace
