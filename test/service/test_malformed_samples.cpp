// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Untrusted bytes on the service's topics: malformed requests from another
// process, and replies that are not the awaited one. Each is reported or
// dropped, and the client or server goes on.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "dds/dds.h"

#include "service/dds/client.hpp"
#include "service/dds/codec_topic.hpp"
#include "service/dds/entity_setup.hpp"
#include "service/dds/owned_entity.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/raw_sample.hpp"
#include "service/dds/server.hpp"
#include "service/dds/service_header.hpp"
#include "support/child_process.hpp"
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
using typesupport_dds::CodecTopic;
using typesupport_dds::OwnedEntity;
using typesupport_dds::Participant;
using typesupport_dds::ReplyOutcome;
using typesupport_dds::Server;
using typesupport_dds::ServiceSample;
using typesupport_dds::TakeOutcome;

// Collects the one-line reports of a client or server, from any thread.
class Reports
{
public:
  void add(const std::string & line)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
  }

  std::vector<std::string> lines()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

TEST(ServerAgainstMalformedRequests, EachIsReportedInOneLineAndServingGoesOn)
{
  const auto settings = settings_for_domain(70);
  service_test::StringCodec codec;
  Participant participant(settings);
  const auto names = string_command_names("/dock_command");
  Server server(participant, names, codec, codec);
  Reports reports;
  server.set_bad_request_handler([&](const std::string & line) {reports.add(line);});

  // After the encapsulation: guid 1, seq 1.
  const std::string header = "0100000000000000 0100000000000000";
  struct Malformed
  {
    std::string hex;
    std::string reason;
  };
  const std::vector<Malformed> malformed = {
    {"00010000 " + header, "truncated"},
    {"00010000 " + header + " 64000000 41424344 45464700", "past the end"},
    {"00070000 " + header + " 02000000 41000000", "unsupported encapsulation"},
    {"00010000 " + header + " 04000000 41424344", "without its NUL"},
    {"00010000 " + header + " ffffffff 41424344", "past the end"},
  };
  std::vector<std::string> writer_args = {
    RAW_SAMPLE_WRITER_PATH, names.request_topic, names.request_type};
  for (const Malformed & m : malformed) {
    writer_args.push_back(m.hex);
  }
  // Then a good one, from a writer without a client id ("ok").
  writer_args.push_back("00010000 " + header + " 03000000 6f6b0000");
  // The writer waits for the server's acknowledgements: every sample of it is
  // in the reader before the native client sends its request.
  ChildProcess raw_writer(writer_args);
  ASSERT_EQ(0, raw_writer.wait(kPatience));
  ChildProcess client({NATIVE_CLIENT_PATH, "/dock_command", "dock now", "--timeout", "20"});

  std::string request;
  const auto anonymous = server.take_request(&request, kPatience);
  ASSERT_EQ(TakeOutcome::kRequest, anonymous.outcome) << anonymous.error;
  EXPECT_EQ("ok", request);
  EXPECT_EQ(1u, anonymous.id.guid);
  EXPECT_EQ(1, anonymous.id.seq);
  EXPECT_FALSE(anonymous.id.has_client_id);
  // Nobody reads the reply, but without a client id there is nothing to
  // wait for: it counts as sent to its reader.
  std::string unread = "unread";
  EXPECT_EQ(ReplyOutcome::kSent, server.send_reply(anonymous.id, &unread).outcome);

  const auto taken = server.take_request(&request, kPatience);
  ASSERT_EQ(TakeOutcome::kRequest, taken.outcome) << taken.error;
  EXPECT_EQ("dock now", request);
  EXPECT_TRUE(taken.id.has_client_id);
  std::string answer = "docked";
  EXPECT_EQ(ReplyOutcome::kSent, server.send_reply(taken.id, &answer).outcome);
  std::string line;
  ASSERT_TRUE(client.read_line(line, kPatience));
  EXPECT_EQ("docked", line);
  EXPECT_EQ(0, client.wait(kPatience));

  const std::vector<std::string> lines = reports.lines();
  ASSERT_EQ(malformed.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_NE(std::string::npos, lines[i].find(malformed[i].reason)) << lines[i];
    EXPECT_NE(std::string::npos, lines[i].find("dropped")) << lines[i];
    EXPECT_EQ(std::string::npos, lines[i].find('\n')) << lines[i];
  }
}

// A server made of the binding's parts, to answer in ways a real one would
// not: it runs in this process on a participant of its own.
class ScriptedServer
{
public:
  ScriptedServer(
    const typesupport_dds::DomainSettings & settings, const std::string & service,
    const service_test::StringCodec & codec)
  : names_(string_command_names(service)),
    participant_(settings),
    request_topic_(participant_.entity(), names_.request_topic, names_.request_type, codec),
    reply_topic_(participant_.entity(), names_.reply_topic, names_.response_type, codec),
    reader_("scripted reader",
      typesupport_dds::make_service_reader(participant_, request_topic_, "serviceid=x;")),
    writer_("scripted writer",
      typesupport_dds::make_service_writer(participant_, reply_topic_, "serviceid=x;")),
    codec_(codec)
  {
  }

  // The header of the next request.
  typesupport_dds::ServiceHeader take_request()
  {
    const dds_time_t deadline = dds_time() + DDS_SECS(kPatience.count());
    std::vector<typesupport_dds::TakenSample> taken;
    while (taken.empty() && dds_time() < deadline) {
      typesupport_dds::take_samples(reader_.get(), 1, taken);
      dds_sleepfor(DDS_MSECS(5));
    }
    typesupport_dds::ServiceHeader header;
    if (!taken.empty()) {
      const auto bytes = taken.front().bytes();
      EXPECT_EQ("", typesupport_dds::read_service_header(bytes.data, bytes.size, header));
    }
    return header;
  }

  void reply(std::uint64_t guid, std::int64_t seq, std::string answer)
  {
    ServiceSample sample;
    sample.guid = guid;
    sample.seq = seq;
    sample.message = &answer;
    EXPECT_EQ("", typesupport_dds::write_sample(reply_topic_, codec_, writer_.get(), &sample));
  }

  void reply_raw(const std::vector<unsigned char> & bytes)
  {
    EXPECT_EQ("", typesupport_dds::write_raw(reply_topic_, writer_.get(), bytes));
  }

private:
  typesupport_dds::ServiceTopicNames names_;
  Participant participant_;
  CodecTopic request_topic_;
  CodecTopic reply_topic_;
  OwnedEntity reader_;
  OwnedEntity writer_;
  const service_test::StringCodec & codec_;
};

TEST(ClientAgainstStrayReplies, OnlyItsOwnReplyIsTakenAndABadOneIsReported)
{
  const auto settings = settings_for_domain(71);
  service_test::StringCodec codec;
  ScriptedServer server(settings, "/dock_command", codec);
  Participant participant(settings);
  Client client(participant, string_command_names("/dock_command"), codec, codec);
  Reports reports;
  client.set_bad_reply_handler([&](const std::string & line) {reports.add(line);});

  auto answering = std::async(std::launch::async, [&] {
        const typesupport_dds::ServiceHeader call = server.take_request();
        server.reply(call.guid + 1, call.seq, "for another client");
        server.reply(call.guid, call.seq - 1, "for an earlier call");
        // The right guid and seq, but a string without its NUL.
        std::vector<unsigned char> bad = {0x00, 0x01, 0x00, 0x00};
        for (int i = 0; i < 8; ++i) {
          bad.push_back(static_cast<unsigned char>(call.guid >> (8 * i)));
        }
        for (int i = 0; i < 8; ++i) {
          bad.push_back(static_cast<unsigned char>(static_cast<std::uint64_t>(call.seq) >> (8 * i)));
        }
        bad.insert(bad.end(), {0x04, 0x00, 0x00, 0x00, 'b', 'a', 'd', '!'});
        server.reply_raw(bad);
        server.reply(call.guid, call.seq, "yours");
        return call;
      });
  std::string request = "dock";
  std::string response;
  const auto result = client.call(&request, &response, kPatience);
  const typesupport_dds::ServiceHeader call = get_in_time(answering, "scripted server");
  ASSERT_EQ(CallOutcome::kOk, result.outcome) << to_string(result.outcome) << result.error;
  EXPECT_EQ("yours", response);
  EXPECT_EQ(client.guid(), call.guid);

  const std::vector<std::string> lines = reports.lines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_NE(std::string::npos, lines[0].find("without its NUL")) << lines[0];
  EXPECT_NE(std::string::npos, lines[0].find(std::to_string(call.seq))) << lines[0];
}

}  // namespace
