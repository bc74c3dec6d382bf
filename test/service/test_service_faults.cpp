// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-service when things go wrong around it: a server that dies
// under its clients, malformed samples on its request topic, and the
// signals that stop it.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "dds/dds.h"
#include "service/dds/codec_topic.hpp"
#include "service/dds/entity_setup.hpp"
#include "service/dds/owned_entity.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/raw_sample.hpp"
#include "service/dds/sample_codec.hpp"
#include "support/child_process.hpp"
#include "support/isolated_network.hpp"
#include "support/service_fixture.hpp"
#include "support/service_tool.hpp"
#include "support/string_codec.hpp"
#include "test/support/yaml_document.hpp"

namespace
{

using service_test::ChildProcess;
using service_test::Finished;
using service_test::kPatience;
using service_test::kStringCommand;
using service_test::lines_of;
using service_test::run_tool;
using service_test::start_tool;
using service_test::string_field;
using service_test::string_fields;
using service_test::values_setting;

// The answer of a successful `call`, read back from its YAML.
std::string answer_of(const Finished & call)
{
  EXPECT_EQ(0, call.status) << call.err;
  try {
    return string_field(test_support::load_one_yaml(call.out), "answer");
  } catch (const std::exception & error) {
    ADD_FAILURE() << "not one YAML document: " << error.what() << "\n" << call.out.substr(0, 200);
    return "";
  }
}

// Waits until `condition` holds, looking every 10 ms, for up to kPatience.
template<typename Condition>
bool eventually(Condition condition)
{
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

TEST(ServeKilled, ItsClientsEndWithTheTimeoutErrorAndARestartedServeServesAgain)
{
  service_test::use_domain(92);
  const auto serve = start_tool({"serve", "/dock_command", kStringCommand, "{answer: first}"});
  EXPECT_EQ("first", answer_of(run_tool({"call", "--timeout", "20", "/dock_command",
      kStringCommand, "{command: warm-up}"})));
  std::string line;
  ASSERT_TRUE(serve->read_line(line, kPatience));
  ASSERT_EQ("warm-up", string_field(test_support::load_one_yaml(line), "command"));

  // serve prints a request before it answers: with its output held, a
  // request whose YAML is larger than the pipe stops it after taking the
  // request and before the reply. It has taken it once the pipe is full.
  serve->hold_output();
  const std::string large(100 * 1024, 'k');
  std::vector<std::unique_ptr<ChildProcess>> clients;
  clients.push_back(start_tool({"call", "--timeout", "10", "/dock_command", kStringCommand,
      values_setting("command", large)}));
  ASSERT_TRUE(eventually([&] {return serve->unread_output_bytes() >= serve->output_capacity();}))
    << serve->unread_output_bytes() << " bytes of output";
  // Two more clients meet a server that still matches them but answers
  // nothing.
  for (const char * command : {"{command: second}", "{command: third}"}) {
    clients.push_back(start_tool({"call", "--timeout", "10", "/dock_command", kStringCommand,
        command}));
  }
  serve->signal(SIGKILL);
  EXPECT_EQ(128 + SIGKILL, serve->wait(kPatience));

  // The first client had sent its request: no reply. The others either had
  // sent theirs too or had not yet found the service; either way each ends
  // with its timeout and one line, not a hang.
  const std::string no_reply =
    "typesupport-service: no reply from service /dock_command within 10 s\n";
  const std::string not_available =
    "typesupport-service: service /dock_command not available after 10 s\n";
  for (std::size_t i = 0; i < clients.size(); ++i) {
    SCOPED_TRACE("client " + std::to_string(i + 1));
    const Finished ended = service_test::finish(*clients[i], kPatience);
    EXPECT_EQ(1, ended.status);
    EXPECT_EQ("", ended.out);
    if (i == 0) {
      EXPECT_EQ(no_reply, ended.err);
    } else {
      EXPECT_TRUE(ended.err == no_reply || ended.err == not_available) << ended.err;
    }
  }

  // A new serve on the same service serves, with nothing of the dead one
  // in the way.
  const auto restarted = start_tool({"serve", "--count", "1", "/dock_command", kStringCommand,
      "{answer: second}"});
  EXPECT_EQ("second", answer_of(run_tool({"call", "--timeout", "20", "/dock_command",
      kStringCommand, "{command: again}"})));
  const Finished served = service_test::finish(*restarted, kPatience);
  EXPECT_EQ(0, served.status) << served.err;
  EXPECT_EQ("", served.err);
  EXPECT_EQ(std::vector<std::string>{"again"}, string_fields(served.out, "command"));
}

TEST(ServeWithMalformedRequests, LogsOneLineForEachAndServesTheGoodOnes)
{
  service_test::use_domain(93);
  const auto serve = start_tool({"serve", "--count", "2", "/dock_command", kStringCommand,
      "{answer: served}"});

  // After the encapsulation: guid 1, seq 1 (little-endian).
  const std::string header = "0100000000000000 0100000000000000";
  struct Malformed
  {
    std::string hex;
    std::string reason;
  };
  const std::vector<Malformed> malformed = {
    {"00010000 " + header, "the sample ends"},
    {"00010000 0100000000000000", "the sample ends"},
    {"00010000 " + header + " 64000000 41424344 45464700", "a string of 100 bytes"},
    {"00010000 " + header + " ffffffff 41424344", "a string of 4294967295 bytes"},
    {"00070000 " + header + " 02000000 41000000", "unknown encapsulation 00 07"},
    {"00030000 " + header + " 02000000 41000000", "unknown encapsulation 00 03"},
    {"01010000 " + header + " 02000000 41000000", "unknown encapsulation 01 01"},
    {"00010000 " + header + " 04000000 41424344", "without its NUL"},
    {"00010000 " + header + " 04000000 41004300", "NUL inside it"},
    {"00010000 " + header + " 02000000 41000000 00000000", "bytes after the message"},
  };
  // A good request in the middle, from a writer without a client id: it is
  // answered at once, and only the good requests are printed.
  std::vector<std::string> writer = {RAW_SAMPLE_WRITER_PATH, "rq/dock_commandRequest",
    "zorv_interfaces::srv::dds_::StringCommand_Request_"};
  for (std::size_t i = 0; i < malformed.size(); ++i) {
    writer.push_back(malformed[i].hex);
    if (i == malformed.size() / 2) {
      writer.push_back("00010000 " + header + " 03000000 6f6b0000");  // "ok"
    }
  }
  // The writer returns once serve has acknowledged every sample: all of
  // them are in serve's reader before the call below is made.
  ChildProcess raw_writer(writer);
  ASSERT_EQ(0, raw_writer.wait(kPatience));

  EXPECT_EQ("served", answer_of(run_tool({"call", "--timeout", "20", "/dock_command",
      kStringCommand, "{command: good one}"})));
  const Finished served = service_test::finish(*serve, kPatience);
  EXPECT_EQ(0, served.status);
  EXPECT_EQ((std::vector<std::string>{"ok", "good one"}), string_fields(served.out, "command"));
  const std::vector<std::string> lines = lines_of(served.err);
  ASSERT_EQ(malformed.size(), lines.size()) << served.err;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(0u, lines[i].find("typesupport-service: request from ")) << lines[i];
    EXPECT_NE(std::string::npos, lines[i].find(" dropped ")) << lines[i];
    EXPECT_NE(std::string::npos, lines[i].find(malformed[i].reason)) << lines[i];
  }
}

// A client made of the binding's parts, whose reply reader can come after
// its request: as a Foxy client's may, its endpoints being matched one by
// one.
class LateReaderClient
{
public:
  LateReaderClient(const typesupport_dds::DomainSettings & settings, const std::string & id)
  : names_(service_test::string_command_names("/dock_command")),
    participant_(settings),
    request_topic_(participant_.entity(), names_.request_topic, names_.request_type, codec_),
    reply_topic_(participant_.entity(), names_.reply_topic, names_.response_type, codec_),
    writer_("late writer",
      typesupport_dds::make_service_writer(participant_, request_topic_, "clientid=" + id + ";"))
  {
  }

  // Sends `command` as call (guid, seq) once a server's reader has matched.
  void send(std::uint64_t guid, std::int64_t seq, std::string command)
  {
    ASSERT_TRUE(eventually([&] {
        dds_publication_matched_status_t matched{};
        dds_get_publication_matched_status(writer_.get(), &matched);
        return matched.current_count > 0;
      }));
    typesupport_dds::ServiceSample sample;
    sample.guid = guid;
    sample.seq = seq;
    sample.message = &command;
    ASSERT_EQ("", typesupport_dds::write_sample(request_topic_, codec_, writer_.get(), &sample));
  }

  // Makes the reply reader now, with user data "clientid=<id>;".
  void add_reader(const std::string & id)
  {
    reader_ = std::make_unique<typesupport_dds::OwnedEntity>("late reader",
        typesupport_dds::make_service_reader(participant_, reply_topic_, "clientid=" + id + ";"));
  }

  // The answer of the reply to (guid, seq) that the reader takes in time.
  std::string reply(std::uint64_t guid, std::int64_t seq)
  {
    std::string answer;
    const bool replied = eventually([&] {
        std::vector<typesupport_dds::TakenSample> taken;
        typesupport_dds::take_samples(reader_->get(), 16, taken);
        for (const auto & sample : taken) {
          const typesupport_dds::ByteView bytes = sample.bytes();
          typesupport_dds::ServiceSample read;
          std::string text;
          read.message = &text;
          if (bytes.data != nullptr &&
          codec_.deserialize(bytes.data, bytes.size, &read).empty() &&
          read.guid == guid && read.seq == seq)
          {
            answer = text;
            return true;
          }
        }
        return false;
      });
    EXPECT_TRUE(replied) << "no reply to " << guid << "/" << seq;
    return answer;
  }

private:
  service_test::StringCodec codec_;
  typesupport_dds::ServiceTopicNames names_;
  typesupport_dds::Participant participant_;
  typesupport_dds::CodecTopic request_topic_;
  typesupport_dds::CodecTopic reply_topic_;
  typesupport_dds::OwnedEntity writer_;
  std::unique_ptr<typesupport_dds::OwnedEntity> reader_;
};

TEST(ServeAnsweringALateReader, WaitsForTheReplyReaderWithTheRequestsClientId)
{
  const typesupport_dds::DomainSettings settings = service_test::settings_for_domain(96);
  const auto serve = start_tool({"serve", "--count", "2", "/dock_command", kStringCommand,
      "{answer: waited}"});

  // serve prints a request before it answers it: the reply reader is made
  // only once serve has the request, and serve must wait for it.
  LateReaderClient late(settings, "late.1");
  late.send(0x1122334455667788u, 7, "late reader");
  std::string line;
  ASSERT_TRUE(serve->read_line(line, kPatience));
  ASSERT_EQ("late reader", string_field(test_support::load_one_yaml(line), "command"));
  late.add_reader("late.1");
  EXPECT_EQ("waited", late.reply(0x1122334455667788u, 7));

  // A reader of another client id is not the caller's: serve says the
  // reply may be lost.
  LateReaderClient other(settings, "other.1");
  other.add_reader("other.2");
  other.send(0x99, 1, "wrong reader");
  const Finished served = service_test::finish(*serve, kPatience);
  EXPECT_EQ(0, served.status);
  EXPECT_EQ(std::vector<std::string>{"wrong reader"}, string_fields(served.out, "command"));
  EXPECT_EQ("typesupport-service: the reply to request 1 was written before its client's "
    "reply reader matched; it may be lost\n", served.err);
}

// Whether process `pid` blocks every signal in `signals` (a mask as
// /proc/PID/status shows it): the tool blocks SIGINT and SIGTERM, to take
// them on a thread of its own, before it starts anything else.
bool blocks_signals(pid_t pid, unsigned long long signals)
{
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigBlk:", 0) == 0) {
      std::istringstream mask(line.substr(7));
      unsigned long long blocked = 0;
      mask >> std::hex >> blocked;
      return (blocked & signals) == signals;
    }
  }
  return false;
}

// serve stops with exit 0 on `signal_number`, both waiting for its first
// request and after serving one, printing what it served and nothing else.
void expect_stopped_by(int signal_number, unsigned domain_id)
{
  service_test::use_domain(domain_id);
  const unsigned long long watched = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));

  const auto idle = start_tool({"serve", "/idle", kStringCommand});
  ASSERT_TRUE(eventually([&] {return blocks_signals(idle->pid(), watched);}));
  idle->signal(signal_number);
  const Finished idled = service_test::finish(*idle, kPatience);
  EXPECT_EQ(0, idled.status);
  EXPECT_EQ("", idled.out);
  EXPECT_EQ("", idled.err);

  const auto busy = start_tool({"serve", "/busy", kStringCommand, "{answer: yes}"});
  EXPECT_EQ("yes", answer_of(run_tool({"call", "--timeout", "20", "/busy", kStringCommand,
      "{command: one}"})));
  busy->signal(signal_number);
  const Finished served = service_test::finish(*busy, kPatience);
  EXPECT_EQ(0, served.status);
  EXPECT_EQ(std::vector<std::string>{"one"}, string_fields(served.out, "command"));
  EXPECT_EQ("", served.err);
}

TEST(ServeStops, OnSigintWithExitZero)
{
  expect_stopped_by(SIGINT, 94);
}

TEST(ServeStops, OnSigtermWithExitZero)
{
  expect_stopped_by(SIGTERM, 95);
}

}  // namespace
