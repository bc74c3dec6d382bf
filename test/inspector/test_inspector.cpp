// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The inspector's parts on fixture records that cover what the StringCommand
// service does not: every primitive type, bounded strings, arrays, sequences
// and nested messages, and handles that are wrong on purpose.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "describe.hpp"
#include "inspect_error.hpp"
#include "interface_name.hpp"
#include "message_yaml.hpp"
#include "type_support_library.hpp"

namespace
{

using namespace typesupport_inspect;

const std::string kFixture = INSPECTOR_FIXTURE_LIBRARY_PATH;

Interface fixture(const char * name)
{
  static const TypeSupportLibrary library(kFixture);
  return library.describe(parse_interface_name(name));
}

// Expects `call` to throw InspectError whose message contains `part`.
template<typename Call>
void expect_error(Call call, const std::string & part)
{
  try {
    call();
    ADD_FAILURE() << "no error; expected one mentioning '" << part << "'";
  } catch (const InspectError & error) {
    EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
  }
}

TEST(InterfaceNames, FormsAndGetterSymbols)
{
  const InterfaceName service = parse_interface_name("zorv_interfaces/srv/StringCommand");
  EXPECT_TRUE(service.is_service());
  EXPECT_EQ(service.getter_symbol(),
    "rosidl_typesupport_introspection_c__get_service_type_support_handle__"
    "zorv_interfaces__srv__StringCommand");

  const InterfaceName request = parse_interface_name("zorv_interfaces/srv/StringCommand_Request");
  EXPECT_FALSE(request.is_service());
  EXPECT_EQ(request.getter_symbol(),
    "rosidl_typesupport_introspection_c__get_message_type_support_handle__"
    "zorv_interfaces__srv__StringCommand_Request");
  EXPECT_FALSE(parse_interface_name("pkg/srv/Name_Response").is_service());

  const InterfaceName message = parse_interface_name("fixture_pkg/msg/Inner");
  EXPECT_FALSE(message.is_service());
  EXPECT_EQ(message.text(), "fixture_pkg/msg/Inner");

  for (const char * bad : {"", "pkg", "pkg/Name", "pkg/action/Name", "pkg/msg/", "/msg/Name",
      "pkg/msg/Na-me", "pkg/msg/Name/extra", "1pkg/msg/Name"})
  {
    EXPECT_THROW(parse_interface_name(bad), InspectError) << "'" << bad << "'";
  }
}

TEST(Definition, EveryKindOfFieldIsNamedAsItsDefinitionFileWouldBe)
{
  EXPECT_EQ(definition_text(fixture("fixture_pkg/msg/Everything")),
    "bool flag\n"
    "byte byte_value\n"
    "char char_value\n"
    "float32 ratio\n"
    "float64 precise\n"
    "int8 small\n"
    "uint8 small_unsigned\n"
    "int16 medium\n"
    "uint16 medium_unsigned\n"
    "int32 large\n"
    "uint32 large_unsigned\n"
    "int64 huge\n"
    "uint64 huge_unsigned\n"
    "string name\n"
    "string<=8 code\n"
    "wstring wide\n"
    "long double extended\n"
    "int16[3] triple\n"
    "float64[<=4] readings\n"
    "int32[] counts\n"
    "string[2] tags\n"
    "fixture_pkg/Inner inner\n"
    "fixture_pkg/Inner[] inners\n");
  EXPECT_EQ(definition_text(fixture("fixture_pkg/srv/Pair")), "fixture_pkg/Inner item\n---\nbool ok\n");
}

TEST(Records, TextAndJsonCarryEveryRecordFieldAndFollowNestedMessages)
{
  const ReportNode inner = records_report(fixture("fixture_pkg/msg/Inner"));
  EXPECT_EQ(to_text(inner),
    "interface: fixture_pkg/msg/Inner\n"
    "typesupport_identifier: rosidl_typesupport_introspection_c\n"
    "message:\n"
    "  namespace: fixture_pkg__msg\n"
    "  name: Inner\n"
    "  size_of: 32\n"
    "  member_count: 2\n"
    "  has_init_function: true\n"
    "  has_fini_function: true\n"
    "  fields:\n"
    "    - name: x\n"
    "      type: int32\n"
    "      type_id: 13\n"
    "      string_upper_bound: 0\n"
    "      array: none\n"
    "      array_size: 0\n"
    "      offset: 0\n"
    "      has_default_value: false\n"
    "    - name: label\n"
    "      type: string\n"
    "      type_id: 16\n"
    "      string_upper_bound: 0\n"
    "      array: none\n"
    "      array_size: 0\n"
    "      offset: 8\n"
    "      has_default_value: false\n");
  EXPECT_EQ(to_json(inner),
    "{\n"
    "  \"interface\": \"fixture_pkg/msg/Inner\",\n"
    "  \"typesupport_identifier\": \"rosidl_typesupport_introspection_c\",\n"
    "  \"message\": {\n"
    "    \"namespace\": \"fixture_pkg__msg\",\n"
    "    \"name\": \"Inner\",\n"
    "    \"size_of\": 32,\n"
    "    \"member_count\": 2,\n"
    "    \"has_init_function\": true,\n"
    "    \"has_fini_function\": true,\n"
    "    \"fields\": [\n"
    "      {\n"
    "        \"name\": \"x\",\n"
    "        \"type\": \"int32\",\n"
    "        \"type_id\": 13,\n"
    "        \"string_upper_bound\": 0,\n"
    "        \"array\": \"none\",\n"
    "        \"array_size\": 0,\n"
    "        \"offset\": 0,\n"
    "        \"has_default_value\": false\n"
    "      },\n"
    "      {\n"
    "        \"name\": \"label\",\n"
    "        \"type\": \"string\",\n"
    "        \"type_id\": 16,\n"
    "        \"string_upper_bound\": 0,\n"
    "        \"array\": \"none\",\n"
    "        \"array_size\": 0,\n"
    "        \"offset\": 8,\n"
    "        \"has_default_value\": false\n"
    "      }\n"
    "    ]\n"
    "  }\n"
    "}\n");

  const std::string everything = to_json(records_report(fixture("fixture_pkg/msg/Everything")));
  for (const char * part : {"\"type\": \"string<=8\"", "\"string_upper_bound\": 8",
      "\"type\": \"float64[<=4]\"", "\"array\": \"bounded sequence\"", "\"array\": \"fixed\"",
      "\"array_size\": 3", "\"array\": \"sequence\"", "\"type\": \"fixture_pkg/Inner[]\""})
  {
    EXPECT_NE(everything.find(part), std::string::npos) << part;
  }
  // The nested record appears under both fields that use it.
  std::size_t nested = 0;
  for (std::size_t at = everything.find("\"name\": \"Inner\""); at != std::string::npos;
    at = everything.find("\"name\": \"Inner\"", at + 1))
  {
    ++nested;
  }
  EXPECT_EQ(nested, 2u);
}

TEST(RoundTrip, EveryKindOfValueIsPrintedByWalkingTheRecords)
{
  EXPECT_EQ(round_trip(fixture("fixture_pkg/msg/Everything"), {}),
    "flag: false\n"
    "byte_value: 0\n"
    "char_value: 0\n"
    "ratio: 0.0\n"
    "precise: 0.0\n"
    "small: 0\n"
    "small_unsigned: 0\n"
    "medium: 0\n"
    "medium_unsigned: 0\n"
    "large: 0\n"
    "large_unsigned: 0\n"
    "huge: 0\n"
    "huge_unsigned: 0\n"
    "name: ''\n"
    "code: ''\n"
    "wide: <wstring>\n"
    "extended: <long double>\n"
    "triple:\n"
    "- 1\n"
    "- -2\n"
    "- 3\n"
    "readings:\n"
    "- 0.5\n"
    "- -1.25\n"
    "counts: []\n"
    "tags:\n"
    "- a\n"
    "- b c\n"
    "inner:\n"
    "  x: 0\n"
    "  label: ''\n"
    "inners:\n"
    "- x: 10\n"
    "  label: ''\n"
    "- x: 20\n"
    "  label: second\n");
}

TEST(RoundTrip, AssignsStringsPrimitivesAndNestedFields)
{
  const std::string yaml = round_trip(fixture("fixture_pkg/msg/Everything"), {
      {"flag", "true"}, {"ratio", "0.1"}, {"precise", "-2.5e-3"}, {"small", "-128"},
      {"huge", "-9223372036854775808"}, {"huge_unsigned", "18446744073709551615"},
      {"medium_unsigned", "65535"}, {"name", "hello: world"}, {"code", "12345678"},
      {"inner.x", "7"}, {"inner.label", "deep"}, {"char_value", "-5"}});
  for (const char * line : {"flag: true\n", "ratio: 0.1\n", "precise: -0.0025\n", "small: -128\n",
      "huge: -9223372036854775808\n", "huge_unsigned: 18446744073709551615\n",
      "medium_unsigned: 65535\n", "name: 'hello: world'\n", "code: '12345678'\n",
      "inner:\n  x: 7\n  label: deep\n", "char_value: -5\n"})
  {
    EXPECT_NE(yaml.find(line), std::string::npos) << line << "in\n" << yaml;
  }
}

TEST(RoundTrip, ServiceFieldsGoToTheMessageThatHasThem)
{
  const Interface pair = fixture("fixture_pkg/srv/Pair");
  EXPECT_EQ(round_trip(pair, {{"item.x", "3"}}), "item:\n  x: 3\n  label: ''\n");
  EXPECT_EQ(round_trip(pair, {{"ok", "1"}}), "ok: true\n");
  EXPECT_EQ(round_trip(pair, {{"ok", "true"}, {"item.label", "it"}}),
    "item:\n  x: 0\n  label: it\n---\nok: true\n");
}

TEST(RoundTrip, BadAssignmentsAreNamedAndLeaveNothingBehind)
{
  const Interface everything = fixture("fixture_pkg/msg/Everything");
  expect_error([&] {round_trip(everything, {{"nope", "1"}});}, "has no field 'nope'");
  expect_error([&] {round_trip(everything, {{"inner.nope", "1"}});}, "has no field 'inner.nope'");
  expect_error([&] {round_trip(everything, {{"code", "123456789"}});}, "exceed the bound of 8");
  expect_error([&] {round_trip(everything, {{"small", "200"}});}, "'200' does not fit int8");
  expect_error([&] {round_trip(everything, {{"large_unsigned", "-1"}});}, "'-1' does not fit uint32");
  expect_error([&] {round_trip(everything, {{"precise", "fast"}});}, "is not a number");
  expect_error([&] {round_trip(everything, {{"flag", "maybe"}});}, "not true or false");
  expect_error([&] {round_trip(everything, {{"triple", "1"}});}, "only single values");
  expect_error([&] {round_trip(everything, {{"wide", "w"}});}, "cannot be set");
  expect_error([&] {round_trip(everything, {{"inner", "x"}});}, "cannot be set");
  expect_error([&] {round_trip(fixture("fixture_pkg/srv/Pair"), {{"nope", "1"}});},
    "in its request or response");
  expect_error([] {parse_assignment("novalue");}, "FIELD=VALUE");
  expect_error([] {parse_assignment("=value");}, "FIELD=VALUE");
  EXPECT_EQ(parse_assignment("a.b=x=y").value, "x=y");
}

TEST(Loading, WrongLibrariesGettersAndHandlesAreNamed)
{
  expect_error([] {TypeSupportLibrary("/nonexistent/libnothing.so");}, "cannot load /nonexistent");
  expect_error([] {fixture("fixture_pkg/msg/Missing");},
    "has no getter rosidl_typesupport_introspection_c__get_message_type_support_handle__"
    "fixture_pkg__msg__Missing");
  expect_error([] {fixture("fixture_pkg/msg/Foreign");}, "'rosidl_typesupport_cpp', not");
  expect_error([] {fixture("fixture_pkg/msg/Broken");}, "2 fields but no member array");
  expect_error([] {fixture("fixture_pkg/msg/Null");}, "returned no handle");
}

}  // namespace
