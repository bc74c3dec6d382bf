// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-inspect: shows what an introspection C type support library
// describes, using nothing but its records, as a middleware would.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "describe.hpp"
#include "inspect_error.hpp"
#include "interface_name.hpp"
#include "message_yaml.hpp"
#include "type_support_library.hpp"

namespace
{

constexpr char kUsage[] =
  "usage: typesupport-inspect [--records | --json] [--set FIELD=VALUE]... LIBRARY INTERFACE\n"
  "\n"
  "  LIBRARY    an introspection C type support library: a path, or a file name\n"
  "             the dynamic loader finds\n"
  "  INTERFACE  package/srv/Name, package/srv/Name_Request, package/srv/Name_Response\n"
  "             or package/msg/Name\n"
  "\n"
  "With no option, prints the interface as its definition file reads.\n"
  "  --records          every record in detail\n"
  "  --json             the same as JSON\n"
  "  --set FIELD=VALUE  create a message through the records, set FIELD (repeatable;\n"
  "                     nested fields as outer.inner), print it as YAML, destroy it\n";

enum class Output { definition, records, json, round_trip };

int usage_error(const std::string & problem)
{
  std::fprintf(stderr, "typesupport-inspect: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char ** argv)
{
  using namespace typesupport_inspect;
  Output output = Output::definition;
  std::vector<std::string> operands;
  std::vector<Assignment> assignments;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string argument = argv[i];
      if (argument == "-h" || argument == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
      } else if (argument == "--records" || argument == "--json") {
        if (output != Output::definition) {
          return usage_error("--records, --json and --set exclude each other");
        }
        output = argument == "--records" ? Output::records : Output::json;
      } else if (argument == "--set" || argument.rfind("--set=", 0) == 0) {
        if (output != Output::definition && output != Output::round_trip) {
          return usage_error("--records, --json and --set exclude each other");
        }
        if (argument == "--set" && i + 1 == argc) {
          return usage_error("--set needs FIELD=VALUE");
        }
        const std::string assignment = argument == "--set" ? argv[++i] : argument.substr(6);
        assignments.push_back(parse_assignment(assignment));
        output = Output::round_trip;
      } else if (argument.size() > 1 && argument[0] == '-') {
        return usage_error("unknown option " + argument);
      } else {
        operands.push_back(argument);
      }
    }
    if (operands.size() != 2) {
      return usage_error("expected LIBRARY and INTERFACE");
    }

    const InterfaceName name = parse_interface_name(operands[1]);
    const TypeSupportLibrary library(operands[0]);
    const Interface interface = library.describe(name);
    switch (output) {
      case Output::definition: std::fputs(definition_text(interface).c_str(), stdout); break;
      case Output::records: std::fputs(to_text(records_report(interface)).c_str(), stdout); break;
      case Output::json: std::fputs(to_json(records_report(interface)).c_str(), stdout); break;
      case Output::round_trip:
        std::fputs(round_trip(interface, assignments).c_str(), stdout);
        break;
    }
  } catch (const InspectError & error) {
    std::fprintf(stderr, "typesupport-inspect: %s\n", error.what());
    return 1;
  } catch (const std::exception & error) {
    std::fprintf(stderr, "typesupport-inspect: unexpected error: %s\n", error.what());
    return 1;
  }
  return 0;
}
