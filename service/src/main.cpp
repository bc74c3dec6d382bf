// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-service: calls or serves a ROS 2 service over DDS as a Foxy
// node with the Cyclone DDS middleware does, driven by nothing but the
// service's introspection records.

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dds/ddsrt/log.h"

#include "record_sample_codec.hpp"
#include "service/dds/client.hpp"
#include "service/dds/dds_error.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/ros_environment.hpp"
#include "service/dds/ros_names.hpp"
#include "service/dds/server.hpp"
#include "signal_watcher.hpp"
#include "typesupport_core/command_line.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/numbers.hpp"
#include "typesupport_core/type_support_library.hpp"
#include "typesupport_core/yaml_reader.hpp"

namespace
{

using namespace typesupport_core;
using typesupport_service::RecordSampleCodec;
using typesupport_service::SignalWatcher;

constexpr char kUsage[] =
  "usage: typesupport-service call [--timeout SECONDS] [OPTIONS] SERVICE_NAME SERVICE_TYPE [VALUES]\n"
  "       typesupport-service serve [--count N] [OPTIONS] SERVICE_NAME SERVICE_TYPE [VALUES]\n"
  "\n"
  "  call   sends one request made from VALUES and prints the response as YAML;\n"
  "         waits up to --timeout seconds (default 10) for the service, and as\n"
  "         long again for the reply\n"
  "  serve  answers every request with a response made from VALUES, printing\n"
  "         each request as a YAML document; stops after --count requests, or\n"
  "         on SIGINT or SIGTERM\n"
  "\n"
  "  SERVICE_NAME  a ROS service name: /dock_command, /robot1/dock\n"
  "  SERVICE_TYPE  package/srv/Name\n"
  "  VALUES        a YAML mapping of field values: \"{command: 'go to dock 7'}\";\n"
  "                fields not given keep their initial values\n"
  "\n"
  "OPTIONS\n"
  "  --library PATH    the type support library; by default\n"
  "                    libPACKAGE__rosidl_typesupport_introspection_c.so, found as\n"
  "                    the dynamic loader finds libraries (LD_LIBRARY_PATH, ...)\n"
  "  --layout LAYOUT   read member records as 'foxy' or 'humble' (default: detected)\n"
  "  --version, -h, --help\n"
  "\n"
  "ROS_DOMAIN_ID selects the DDS domain; ROS_LOCALHOST_ONLY=1 keeps traffic on\n"
  "the loopback interface.\n";

// A problem with the command line or the values given: exit status 2.
struct UsageError
{
  std::string problem;
};

// A problem at run time: exit status 1.
struct RuntimeError
{
  std::string problem;
};

enum class Mode { call, serve };

struct Options
{
  Mode mode = Mode::call;
  double timeout_seconds = 10;
  bool timeout_given = false;
  std::uint64_t count = 0;  // 0: serve until stopped
  std::string library;
  std::optional<MemberLayout> layout;
  std::string service_name;  // fully qualified
  InterfaceName service_type;
  YamlNode values;
  bool help = false;
  bool version = false;
};

// "10 s", "0.5 s".
std::string seconds_text(double seconds)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%g s", seconds);
  return text;
}

Options parse_options(int argc, char ** argv)
{
  Options options;
  std::vector<std::string> operands;
  CommandLine line(argc, argv);
  try {
    while (line.next()) {
      if (line.is_operand()) {
        operands.push_back(line.argument());
      } else if (line.is("-h") || line.is("--help")) {
        options.help = true;
      } else if (line.is("--version")) {
        options.version = true;
      } else if (line.is("--timeout")) {
        const std::string text = line.value("--timeout");
        options.timeout_given = true;
        options.timeout_seconds = -1;
        try {
          options.timeout_seconds = parse_float64(text);
        } catch (const InputError &) {
        }
        if (!(options.timeout_seconds > 0) || !(options.timeout_seconds <= 1e9)) {
          throw UsageError{"--timeout '" + text + "' is not a number of seconds above 0"};
        }
      } else if (line.is("--count")) {
        const std::string text = line.value("--count");
        try {
          options.count = parse_integer<std::uint64_t>(text, "a count");
        } catch (const InputError &) {
        }
        if (options.count == 0) {
          throw UsageError{"--count '" + text + "' is not a whole number above 0"};
        }
      } else if (line.is("--library")) {
        options.library = line.value("--library");
        if (options.library.empty()) {
          throw UsageError{"--library is empty"};
        }
      } else if (line.is("--layout")) {
        options.layout = parse_layout(line.value("--layout"));
      } else {
        throw UsageError{"unknown option " + line.argument()};
      }
    }
    if (options.help || options.version) {
      return options;
    }
    if (operands.empty() || (operands[0] != "call" && operands[0] != "serve")) {
      throw UsageError{"expected 'call' or 'serve'"};
    }
    options.mode = operands[0] == "call" ? Mode::call : Mode::serve;
    if (options.mode == Mode::serve && options.timeout_given) {
      throw UsageError{"--timeout is for call"};
    }
    if (options.mode == Mode::call && options.count > 0) {
      throw UsageError{"--count is for serve"};
    }
    if (operands.size() < 3 || operands.size() > 4) {
      throw UsageError{"expected SERVICE_NAME SERVICE_TYPE [VALUES]"};
    }
    const std::string reason =
      typesupport_dds::expand_service_name(operands[1], options.service_name);
    if (!reason.empty()) {
      throw UsageError{reason};
    }
    options.service_type = parse_interface_name(operands[2]);
    if (!options.service_type.is_service()) {
      throw UsageError{"'" + operands[2] + "' is not a service type (package/srv/Name)"};
    }
    if (operands.size() == 4) {
      options.values = parse_yaml(operands[3], "VALUES");
    }
  } catch (const InputError & error) {
    throw UsageError{error.what()};
  }
  return options;
}

// Writes `text` to standard output at once; a failed write is an error.
void write_out(const std::string & text)
{
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    throw RuntimeError{std::string("cannot write standard output: ") + std::strerror(errno)};
  }
}

void report(const std::string & line)
{
  std::fprintf(stderr, "typesupport-service: %s\n", one_line(line).c_str());
}

// What both modes need: the service's types, a message made from VALUES, the
// codecs and the DDS names.
struct Service
{
  std::unique_ptr<TypeSupportLibrary> library;
  Interface interface;
  std::unique_ptr<RecordSampleCodec> request_codec;
  std::unique_ptr<RecordSampleCodec> response_codec;
  typesupport_dds::ServiceTopicNames names;
};

Service load_service(const Options & options)
{
  Service service;
  const std::string library =
    options.library.empty() ? options.service_type.library_file() : options.library;
  try {
    service.library = std::make_unique<TypeSupportLibrary>(library);
    service.interface = service.library->describe(options.service_type, options.layout);
  } catch (const Error & error) {
    throw RuntimeError{error.what()};
  }
  const ServiceType & type = *service.interface.service;
  service.request_codec = std::make_unique<RecordSampleCodec>(*type.request);
  service.response_codec = std::make_unique<RecordSampleCodec>(*type.response);
  const std::string reason = typesupport_dds::service_topic_names(
    options.service_name, type.record_namespace, type.name, service.names);
  if (!reason.empty()) {
    throw UsageError{reason};
  }
  return service;
}

// The message of `type` with the fields VALUES gives.
std::unique_ptr<Message> message_from_values(const MessageType & type, const YamlNode & values)
{
  auto message = std::make_unique<Message>(type);
  try {
    assign_yaml(type, message->data(), values);
  } catch (const InputError & error) {
    throw UsageError{error.what()};
  }
  return message;
}

typesupport_dds::DomainSettings domain_settings()
{
  typesupport_dds::DomainSettings settings;
  const std::string reason = typesupport_dds::read_ros_environment(settings);
  if (!reason.empty()) {
    throw RuntimeError{reason};
  }
  return settings;
}

int call(const Options & options)
{
  Service service = load_service(options);
  const ServiceType & type = *service.interface.service;
  const auto request = message_from_values(*type.request, options.values);
  Message response(*type.response);

  typesupport_dds::Participant participant(domain_settings());
  typesupport_dds::Client client(
    participant, service.names, *service.request_codec, *service.response_codec);
  client.set_bad_reply_handler(report);
  const auto timeout = std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::duration<double>(options.timeout_seconds));
  const std::string waited = seconds_text(options.timeout_seconds);

  typesupport_dds::CallResult result = client.wait_for_service(timeout);
  if (result.outcome == typesupport_dds::CallOutcome::kOk) {
    result = client.call(request->data(), response.data(), timeout);
  }
  switch (result.outcome) {
    case typesupport_dds::CallOutcome::kOk:
      break;
    case typesupport_dds::CallOutcome::kServiceUnavailable:
      throw RuntimeError{"service " + options.service_name + " not available after " + waited};
    case typesupport_dds::CallOutcome::kTimeout:
      throw RuntimeError{"no reply from service " + options.service_name + " within " + waited};
    case typesupport_dds::CallOutcome::kInterrupted:
      throw RuntimeError{"interrupted"};
    case typesupport_dds::CallOutcome::kError:
      throw RuntimeError{result.error};
  }
  std::string yaml;
  try {
    yaml = message_yaml(*type.response, response.data());
  } catch (const Error & error) {
    throw RuntimeError{"the response cannot be printed: " + std::string(error.what())};
  }
  write_out(yaml);
  return 0;
}

int serve(const Options & options, SignalWatcher & watcher)
{
  Service service = load_service(options);
  const ServiceType & type = *service.interface.service;
  const auto response = message_from_values(*type.response, options.values);
  Message request(*type.request);

  typesupport_dds::Participant participant(domain_settings());
  // A signal wakes every wait; the loop ends and everything is released on
  // the way out. The action goes before the participant does.
  struct Interrupting
  {
    SignalWatcher & watcher;
    ~Interrupting() {watcher.set_action(nullptr);}
  } interrupting{watcher};
  watcher.set_action([&participant] {participant.interrupt();});
  typesupport_dds::Server server(
    participant, service.names, *service.request_codec, *service.response_codec);
  server.set_bad_request_handler(report);

  for (std::uint64_t served = 0; options.count == 0 || served < options.count; ) {
    const typesupport_dds::TakeResult taken = server.take_request(request.data());
    if (taken.outcome == typesupport_dds::TakeOutcome::kInterrupted) {
      break;
    }
    if (taken.outcome == typesupport_dds::TakeOutcome::kError) {
      throw RuntimeError{taken.error};
    }
    if (taken.outcome != typesupport_dds::TakeOutcome::kRequest) {
      continue;
    }
    try {
      write_out((served > 0 ? "---\n" : "") + message_yaml(*type.request, request.data()));
    } catch (const Error & error) {
      report("a request cannot be printed: " + std::string(error.what()));
    }
    const typesupport_dds::ReplyResult replied = server.send_reply(taken.id, response->data());
    if (replied.outcome == typesupport_dds::ReplyOutcome::kError) {
      report(replied.error);
    } else if (replied.outcome == typesupport_dds::ReplyOutcome::kSentUnmatched) {
      report("the reply to request " + std::to_string(taken.id.seq) +
        " was written before its client's reply reader matched; it may be lost");
    }
    ++served;
  }
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  // Cyclone's warnings (such as multicast being off on loopback) would mix
  // with this tool's one-line errors; its errors still show.
  dds_set_log_mask(DDS_LC_FATAL | DDS_LC_ERROR);
  try {
    const Options options = parse_options(argc, argv);
    if (options.help) {
      write_out(kUsage);
      return 0;
    }
    if (options.version) {
      write_out(std::string("typesupport-service ") + ZORV_VERSION + "\n");
      return 0;
    }
    if (options.mode == Mode::call) {
      return call(options);
    }
    // Before any DDS thread starts, so that they all leave the signals to it.
    SignalWatcher watcher;
    return serve(options, watcher);
  } catch (const UsageError & error) {
    std::fprintf(stderr, "typesupport-service: %s (see typesupport-service --help)\n",
      one_line(error.problem).c_str());
    return 2;
  } catch (const RuntimeError & error) {
    report(error.problem);
    return 1;
  } catch (const std::exception & error) {
    report(error.what());
    return 1;
  }
}
