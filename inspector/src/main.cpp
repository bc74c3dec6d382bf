// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-inspect: shows what an introspection C type support library
// describes, using nothing but its records, as a middleware would.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "typesupport_core/command_line.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/report.hpp"
#include "typesupport_core/type_support_library.hpp"

namespace
{

using namespace typesupport_core;

constexpr char kUsage[] =
  "usage: typesupport-inspect [--records | --json | --set FIELD=VALUE...] [--layout LAYOUT]\n"
  "                           [--] LIBRARY INTERFACE\n"
  "\n"
  "  LIBRARY    an introspection C type support library: a path, or a file name\n"
  "             the dynamic loader finds\n"
  "  INTERFACE  package/srv/Name, package/srv/Name_Request, package/srv/Name_Response\n"
  "             or package/msg/Name\n"
  "\n"
  "With no option, prints the interface as its definition file reads.\n"
  "  --records          every record in detail, as YAML\n"
  "  --json             the same as JSON\n"
  "  --set FIELD=VALUE  create a message through the records, set FIELD (repeatable;\n"
  "                     nested fields as outer.inner), print it as YAML, destroy it\n"
  "  --layout LAYOUT    read member records as 'foxy' (13 fields) or 'humble' (15);\n"
  "                     by default the layout under which the records are valid\n"
  "  --version          print the version\n"
  "  -h, --help         print this help\n";

enum class Output { definition, records, json, round_trip };

// A problem with the command line itself: exit status 2.
struct UsageError
{
  std::string problem;
};

struct Options
{
  Output output = Output::definition;
  std::vector<std::pair<std::string, std::string>> assignments;
  std::optional<MemberLayout> layout;
  std::vector<std::string> operands;
  bool help = false;
  bool version = false;
};

void choose_output(Options & options, Output output)
{
  if (options.output != Output::definition && options.output != output) {
    throw UsageError{"--records, --json and --set exclude each other"};
  }
  options.output = output;
}

Options parse_options(int argc, char ** argv)
{
  Options options;
  CommandLine line(argc, argv);
  try {
    while (line.next()) {
      if (line.is_operand()) {
        options.operands.push_back(line.argument());
      } else if (line.is("-h") || line.is("--help")) {
        options.help = true;
      } else if (line.is("--version")) {
        options.version = true;
      } else if (line.is("--records")) {
        choose_output(options, Output::records);
      } else if (line.is("--json")) {
        choose_output(options, Output::json);
      } else if (line.is("--set")) {
        choose_output(options, Output::round_trip);
        const std::string assignment = line.value("--set");
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos || equals == 0) {
          throw UsageError{"--set '" + assignment + "' is not of the form FIELD=VALUE"};
        }
        options.assignments.emplace_back(assignment.substr(0, equals), assignment.substr(equals + 1));
      } else if (line.is("--layout")) {
        options.layout = parse_layout(line.value("--layout"));
      } else {
        throw UsageError{"unknown option " + line.argument()};
      }
    }
    if (options.help || options.version) {
      return options;
    }
    if (options.operands.size() != 2) {
      throw UsageError{"expected LIBRARY and INTERFACE"};
    }
    if (options.operands[0].empty()) {
      throw UsageError{"LIBRARY is empty"};
    }
    parse_interface_name(options.operands[1]);
  } catch (const InputError & error) {
    throw UsageError{error.what()};
  }
  return options;
}

bool has_field(const MessageType & type, const std::string & path)
{
  const std::string first = path.substr(0, path.find('.'));
  for (const Field & field : type.fields) {
    if (field.name == first) {
      return true;
    }
  }
  return false;
}

// A message created through its records, set and printed, then destroyed.
std::string round_trip(
  const MessageType & type, const std::vector<std::pair<std::string, std::string>> & assignments)
{
  Message message(type);
  for (const auto & assignment : assignments) {
    assign_path(type, message.data(), assignment.first, assignment.second);
  }
  return message_yaml(type, message.data());
}

// For a service, each field goes to the request or the response that has it;
// each message printed is its own document, headed by a comment naming it.
std::string round_trip(
  const Interface & interface, const std::vector<std::pair<std::string, std::string>> & assignments)
{
  if (interface.message != nullptr) {
    return round_trip(*interface.message, assignments);
  }
  const MessageType & request = *interface.service->request;
  const MessageType & response = *interface.service->response;
  std::vector<std::pair<std::string, std::string>> to_request;
  std::vector<std::pair<std::string, std::string>> to_response;
  for (const auto & assignment : assignments) {
    if (has_field(request, assignment.first)) {
      to_request.push_back(assignment);
    } else if (has_field(response, assignment.first)) {
      to_response.push_back(assignment);
    } else {
      throw InputError(interface.name.text() + " has no field '" + assignment.first +
        "' in its request or response");
    }
  }
  std::string out;
  if (!to_request.empty()) {
    out += "# " + request.text() + "\n" + round_trip(request, to_request);
  }
  if (!to_response.empty()) {
    out += (out.empty() ? "" : "---\n") + ("# " + response.text() + "\n") +
      round_trip(response, to_response);
  }
  return out;
}

std::string render(const Options & options)
{
  const InterfaceName name = parse_interface_name(options.operands[1]);
  const TypeSupportLibrary library(options.operands[0]);
  const Interface interface = library.describe(name, options.layout);
  switch (options.output) {
    case Output::definition: return definition_text(interface);
    case Output::records: return to_yaml(records_report(interface));
    case Output::json: return to_json(records_report(interface));
    case Output::round_trip: return round_trip(interface, options.assignments);
  }
  return "";
}

// Writes `text` to standard output; a write that fails (a full disk, a closed
// pipe) is an error, not a silent loss.
int write_out(const std::string & text)
{
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "typesupport-inspect: cannot write standard output: %s\n",
      std::strerror(errno));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  try {
    const Options options = parse_options(argc, argv);
    if (options.help) {
      return write_out(kUsage);
    }
    if (options.version) {
      return write_out(std::string("typesupport-inspect ") + ZORV_VERSION + "\n");
    }
    return write_out(render(options));
  } catch (const UsageError & error) {
    std::fprintf(stderr, "typesupport-inspect: %s (see typesupport-inspect --help)\n",
      one_line(error.problem).c_str());
    return 2;
  } catch (const std::exception & error) {
    std::fprintf(stderr, "typesupport-inspect: %s\n", one_line(error.what()).c_str());
    return 1;
  }
}
