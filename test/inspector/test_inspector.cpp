// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The core the tools share, on fixture records that cover what the
// StringCommand service does not: every primitive type, bounded strings,
// arrays, sequences and nested messages. What it writes is read back by
// libyaml's loader and compared value by value with what was set.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "rosidl_runtime_c/string_functions.h"

#include "support/described_interface.hpp"
#include "support/yaml_document.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/numbers.hpp"
#include "typesupport_core/report.hpp"
#include "typesupport_core/type_support_library.hpp"
#include "typesupport_core/yaml_reader.hpp"

namespace
{

using namespace typesupport_core;
using test_support::YamlValue;
using test_support::load_one_yaml;

const std::string kFixture = INSPECTOR_FIXTURE_LIBRARY_PATH;

const Interface & fixture(const std::string & name)
{
  return test_support::described(kFixture, name);
}

const MessageType & everything() {return *fixture("fixture_pkg/msg/Everything").message;}

// Expects `call` to throw an exception of type E whose message contains `part`.
template<typename E = Error, typename Call>
void expect_error(Call call, const std::string & part)
{
  try {
    call();
    ADD_FAILURE() << "no error; expected one mentioning '" << part << "'";
  } catch (const E & error) {
    EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
  }
}

TEST(InterfaceNames, FormsGetterSymbolsAndLibraryFiles)
{
  const InterfaceName service = parse_interface_name("zorv_interfaces/srv/StringCommand");
  EXPECT_TRUE(service.is_service());
  EXPECT_EQ(service.getter_symbol(),
    "rosidl_typesupport_introspection_c__get_service_type_support_handle__"
    "zorv_interfaces__srv__StringCommand");
  EXPECT_EQ(service.library_file(), "libzorv_interfaces__rosidl_typesupport_introspection_c.so");
  EXPECT_EQ(service.record_namespace(), "zorv_interfaces__srv");

  const InterfaceName request = parse_interface_name("zorv_interfaces/srv/StringCommand_Request");
  EXPECT_FALSE(request.is_service());
  EXPECT_EQ(request.getter_symbol(),
    "rosidl_typesupport_introspection_c__get_message_type_support_handle__"
    "zorv_interfaces__srv__StringCommand_Request");
  EXPECT_FALSE(parse_interface_name("pkg/srv/Name_Response").is_service());
  EXPECT_EQ(parse_interface_name("fixture_pkg/msg/Inner").text(), "fixture_pkg/msg/Inner");
  EXPECT_EQ(interface_text("fixture_pkg__msg", "Inner"), "fixture_pkg/msg/Inner");

  for (const char * bad : {"", "pkg", "pkg/Name", "pkg/action/Name", "pkg/msg/", "/msg/Name",
      "pkg/msg/Na-me", "pkg/msg/Name/extra", "1pkg/msg/Name", "pkg/msg/N\xc3\xa4me"})
  {
    EXPECT_THROW(parse_interface_name(bad), InputError) << "'" << bad << "'";
  }
}

TEST(Definition, EveryKindOfFieldIsNamedAsItsDefinitionFileWouldBe)
{
  EXPECT_EQ(definition_text(fixture("fixture_pkg/msg/Everything")),
    "bool flag\nbyte byte_value\nchar char_value\nfloat32 ratio\nfloat64 precise\nint8 small\n"
    "uint8 small_unsigned\nint16 medium\nuint16 medium_unsigned\nint32 large\n"
    "uint32 large_unsigned\nint64 huge\nuint64 huge_unsigned\nstring name\nstring<=8 code\n"
    "wstring wide\nlong double extended\nint16[3] triple\nfloat64[<=4] readings\nint32[] counts\n"
    "string[2] tags\nfixture_pkg/Inner inner\nfixture_pkg/Inner[] inners\n");
  EXPECT_EQ(definition_text(fixture("fixture_pkg/srv/Pair")), "fixture_pkg/Inner item\n---\nbool ok\n");
}

TEST(Records, ReportListsEachTypeOnceWithEveryRecordField)
{
  const YamlValue report = load_one_yaml(to_yaml(records_report(fixture("fixture_pkg/msg/Everything"))));
  EXPECT_EQ(report["interface"].text, "fixture_pkg/msg/Everything");
  EXPECT_EQ(report["typesupport_identifier"].text, "rosidl_typesupport_introspection_c");
  EXPECT_EQ(report["member_layout"].text, "humble");
  EXPECT_EQ(report["message"].text, "fixture_pkg/msg/Everything");
  // Inner is nested twice but listed once.
  const YamlValue & types = report["types"];
  ASSERT_EQ(types.items.size(), 2u);
  EXPECT_EQ(types.items[0]["type"].text, "fixture_pkg/msg/Everything");
  const YamlValue & inner = types.items[1];
  EXPECT_EQ(inner["type"].text, "fixture_pkg/msg/Inner");
  EXPECT_EQ(inner["size_of"].text, "40");
  EXPECT_EQ(inner["size_of"].resolved, "int");
  EXPECT_EQ(inner["has_init_function"].resolved, "bool");

  const YamlValue & fields = types.items[0]["fields"];
  ASSERT_EQ(fields.items.size(), 23u);
  struct Expected
  {
    std::size_t index;
    const char * name;
    const char * type;
    const char * array;
    const char * array_size;
    const char * string_upper_bound;
  };
  for (const Expected & expected : {Expected{14, "code", "string<=8", "none", "0", "8"},
      Expected{17, "triple", "int16[3]", "fixed", "3", "0"},
      Expected{18, "readings", "float64[<=4]", "bounded sequence", "4", "0"},
      Expected{19, "counts", "int32[]", "sequence", "0", "0"},
      Expected{22, "inners", "fixture_pkg/Inner[]", "sequence", "0", "0"}})
  {
    const YamlValue & field = fields.items[expected.index];
    EXPECT_EQ(field["name"].text, expected.name);
    EXPECT_EQ(field["type"].text, expected.type);
    EXPECT_EQ(field["array"].text, expected.array);
    EXPECT_EQ(field["array_size"].text, expected.array_size);
    EXPECT_EQ(field["string_upper_bound"].text, expected.string_upper_bound);
  }
  EXPECT_EQ(fields.items[21]["message"].text, "fixture_pkg/msg/Inner");
  EXPECT_EQ(fields.items[1]["offset"].text, "1");
}

// A message set through assign_yaml, written by write_message and read back
// by libyaml: every value as it was set, numbers of the types YAML 1.1 gives them.
TEST(MessageYaml, EveryKindOfValueRoundTripsThroughLibyaml)
{
  Message message(everything());
  assign_yaml(everything(), message.data(), parse_yaml(
      "{flag: true, byte_value: 255, char_value: -5, ratio: 0.1, precise: -2.5e-3, small: -128,"
      " small_unsigned: 200, medium: -32768, medium_unsigned: 65535, large: -7,"
      " large_unsigned: 4294967295, huge: -9223372036854775808,"
      " huge_unsigned: 18446744073709551615, name: 'hello: world', code: '12345678',"
      " wide: \"w\\u00efde \\U0001F600\", extended: 1.5, triple: [4, 5, 6], readings: [1e20, .inf],"
      " counts: [1, 2, 3], tags: [x, 'y z'], inner: {x: 7, label: deep},"
      " inners: [{x: 1}, {label: two}, {}]}", "VALUES"));

  const YamlValue out = load_one_yaml(message_yaml(everything(), message.data()));
  const std::vector<std::pair<const char *, const char *>> scalars = {
    {"flag", "true"}, {"byte_value", "255"}, {"char_value", "-5"}, {"ratio", "0.1"},
    {"precise", "-0.0025"}, {"small", "-128"}, {"small_unsigned", "200"}, {"medium", "-32768"},
    {"medium_unsigned", "65535"}, {"large", "-7"}, {"large_unsigned", "4294967295"},
    {"huge", "-9223372036854775808"}, {"huge_unsigned", "18446744073709551615"},
    {"name", "hello: world"}, {"code", "12345678"}, {"wide", "w\xc3\xaf" "de \xf0\x9f\x98\x80"},
    {"extended", "1.5"}};
  for (const auto & expected : scalars) {
    EXPECT_EQ(out[expected.first].text, expected.second) << expected.first;
  }
  EXPECT_EQ(out["flag"].resolved, "bool");
  EXPECT_EQ(out["ratio"].resolved, "float");
  EXPECT_EQ(out["huge"].resolved, "int");
  EXPECT_EQ(out["code"].resolved, "str");  // digits only, yet a string
  EXPECT_EQ(out["name"].resolved, "str");
  ASSERT_EQ(out["triple"].items.size(), 3u);
  EXPECT_EQ(out["triple"].items[2].text, "6");
  ASSERT_EQ(out["readings"].items.size(), 2u);
  EXPECT_EQ(out["readings"].items[0].text, "1.0e+20");
  EXPECT_EQ(out["readings"].items[0].resolved, "float");
  EXPECT_EQ(out["readings"].items[1].text, ".inf");
  EXPECT_EQ(out["readings"].items[1].resolved, "float");
  ASSERT_EQ(out["counts"].items.size(), 3u);
  EXPECT_EQ(out["tags"].items[1].text, "y z");
  EXPECT_EQ(out["inner"]["x"].text, "7");
  EXPECT_EQ(out["inner"]["label"].text, "deep");
  ASSERT_EQ(out["inners"].items.size(), 3u);
  EXPECT_EQ(out["inners"].items[0]["x"].text, "1");
  EXPECT_EQ(out["inners"].items[1]["label"].text, "two");
  EXPECT_EQ(out["inners"].items[2]["x"].text, "0");
}

// Strings that YAML readers would take for another type, or could not read
// at all, if written plain or unescaped: each must read back as that string.
TEST(MessageYaml, HostileStringsReadBackAsTheSameString)
{
  const std::vector<std::string> hostile = {
    "", " ", "  lead", "trail ", "\t", ".inf", "-.inf", ".Inf", ".nan", ".NaN", "inf", "nan",
    "2001-12-14", "2001-12-14t21:59:43.10-05:00", "2001-12-14 21:59:43.10 -5", "0b101", "0x1F",
    "0o17", "017", "1_000", "0_7", "190:20:30", "1.0_0", "1e3", "1E3", "1.5e+3", "-0", "+1", ".5",
    "5.", "=", "<<", "~", "null", "Null", "NULL", "true", "True", "TRUE", "false", "yes", "No",
    "ON", "off", "y", "Y", "n", "N", "a: b", "a #b", "#c", "a:", "- x", "-", "? x", "?", "[a]",
    "{a}", "*a", "&a", "!a", "!!str", "%a", "@a", "`a", "'a", "\"a", "|", ">", "'", "''", "a'b",
    "it's 'hi'", "\"", "\\", "a\\nb", "---", "...", "--- a", "a\nb", "a\r\nb", "\n", "trail\n",
    "\x01", "\x1b[0m", "\x7f", "a\tb",
    "\xc2\x85",  // U+0085 NEXT LINE
    "a\xe2\x80\xa8" "b", "\xe2\x80\xa9",  // U+2028, U+2029
    "\xc2\x80", "\xc2\x9f", "\xc2\xa0", "\xef\xbb\xbf" "bom", "\xef\xbf\xbe", "\xef\xbf\xbf",
    "\xc3\xa9t\xc3\xa9", "\xe6\x97\xa5\xe6\x9c\xac", "\xf0\x9f\x98\x80", "plain_text",
    "go to dock 7", std::string(5000, 'x'), std::string("a\0b", 3).substr(0, 1)};

  Message message(everything());
  const Field * name_field = nullptr;
  for (const Field & field : everything().fields) {
    name_field = field.name == "name" ? &field : name_field;
  }
  ASSERT_NE(name_field, nullptr);
  for (const std::string & text : hostile) {
    SCOPED_TRACE(::testing::PrintToString(text));
    auto * string = static_cast<rosidl_runtime_c__String *>(field_memory(message.data(), *name_field));
    ASSERT_TRUE(rosidl_runtime_c__String__assignn(string, text.data(), text.size()));
    const YamlValue out = load_one_yaml(message_yaml(everything(), message.data()));
    EXPECT_EQ(out["name"].text, text);
    EXPECT_EQ(out["name"].resolved, "str");

    // And as keys and values of a report.
    ReportNode node = ReportNode::object();
    node.add(text, ReportNode::of_text(text));
    const YamlValue report = load_one_yaml(to_yaml(node));
    ASSERT_EQ(report.entries.size(), 1u);
    EXPECT_EQ(report.entries[0].first, text);
    EXPECT_EQ(report.entries[0].second.text, text);
    EXPECT_EQ(report.entries[0].second.resolved, "str");
  }
}

TEST(MessageYaml, StringsThatAreNotUtf8AreRefusedNamingTheField)
{
  Message message(everything());
  for (const char * invalid : {"\xff", "a\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"}) {
    SCOPED_TRACE(invalid);
    expect_error<InputError>([&] {assign_path(everything(), message.data(), "inner.label", invalid);},
      "field 'inner.label': not valid UTF-8");
    const Field & tags = everything().fields[20];
    auto * second = static_cast<rosidl_runtime_c__String *>(
      element_memory(tags, field_memory(message.data(), tags), 1));
    ASSERT_TRUE(rosidl_runtime_c__String__assign(second, invalid));
    expect_error([&] {message_yaml(everything(), message.data());}, "field 'tags[1]' is not valid UTF-8");
    ASSERT_TRUE(rosidl_runtime_c__String__assign(second, "ok"));
  }
}

TEST(Numbers, FloatsPrintShortestAsYamlFloatsAndReadBackExactly)
{
  const double doubles[] = {0.0, -0.0, 1.0, 0.1, -2.5e-3, 1.0 / 3, 1e5, 1e15, 1e16, 1e20, 1e-4,
    1e-5, 123456.789, 5e-324, 2.2250738585072014e-308, std::numeric_limits<double>::max(),
    std::numeric_limits<double>::lowest(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity()};
  for (const double value : doubles) {
    const std::string text = float_text(value);
    SCOPED_TRACE(text);
    EXPECT_TRUE(test_support::yaml11_reads_float(text));
    const double back = parse_float64(text);
    EXPECT_EQ(std::memcmp(&back, &value, sizeof(value)), 0);
  }
  EXPECT_EQ(float_text(1e5), "100000.0");
  EXPECT_EQ(float_text(1e20), "1.0e+20");
  EXPECT_EQ(float_text(0.1), "0.1");
  EXPECT_EQ(float_text(std::nan("")), ".nan");
  EXPECT_TRUE(std::isnan(parse_float64(".nan")));

  const float floats[] = {0.1f, 1e20f, 3.4028235e38f, 1e-45f, 16777217.0f, -1.5f};
  for (const float value : floats) {
    const std::string text = float_text(value);
    SCOPED_TRACE(text);
    EXPECT_TRUE(test_support::yaml11_reads_float(text));
    EXPECT_EQ(parse_float32(text), value);
  }
  EXPECT_EQ(float_text(0.1f), "0.1");
  const long double extended = 1.0L / 3;
  EXPECT_EQ(parse_long_double(float_text(extended)), extended);
}

TEST(Numbers, ParsingFollowsFromCharsRulesAndRefusesWhatDoesNotFit)
{
  for (const char * good : {"1", "-1", "1.", ".5", "1e5", "1E-5", "1e+5", "inf", "-Infinity", "NaN",
      ".inf", "-.inf", ".nan", "4.9e-324"})
  {
    EXPECT_NO_THROW(parse_float64(good)) << good;
  }
  for (const char * bad : {"", " 1", "1 ", "+1", "0x1p3", "1e", "e5", ".", "-", "1.2.3", "1,5",
      "--1", ".infinity"})
  {
    expect_error<InputError>([&] {parse_float64(bad);}, "is not a number");
  }
  for (const char * too_big : {"1e999", "-1e400", "1e-400"}) {
    expect_error<InputError>([&] {parse_float64(too_big);}, "out of range for float64");
  }
  for (const char * too_big : {"1e300", "3.5e38", "1e-50"}) {
    expect_error<InputError>([&] {parse_float32(too_big);}, "out of range for float32");
  }
  EXPECT_EQ(parse_integer<std::int8_t>("-128", "int8"), -128);
  expect_error<InputError>([] {parse_integer<std::int8_t>("128", "int8");}, "out of range for int8");
  expect_error<InputError>([] {parse_integer<std::uint32_t>("-1", "uint32");}, "is not an integer");
  expect_error<InputError>([] {parse_integer<std::int32_t>(" 1", "int32");}, "is not an integer");
  expect_error<InputError>([] {parse_integer<std::int32_t>("1.0", "int32");}, "is not an integer");
  EXPECT_TRUE(parse_bool("yes"));
  EXPECT_FALSE(parse_bool("0"));
  expect_error<InputError>([] {parse_bool("maybe");}, "not true or false");
}

TEST(AssignYaml, ValuesThatDoNotFitAreNamedAndLeaveAMessageFiniAccepts)
{
  Message message(everything());
  const auto assign = [&](const char * values) {
      assign_yaml(everything(), message.data(), parse_yaml(values, "VALUES"));
    };
  expect_error<InputError>([&] {assign("{nope: 1}");}, "fixture_pkg/msg/Everything has no field 'nope'");
  expect_error<InputError>([&] {assign("{inner: {nope: 1}}");}, "has no field 'nope' (at 'inner.nope')");
  expect_error<InputError>([&] {assign("{code: '123456789'}");}, "9 bytes exceed the bound of 8");
  expect_error<InputError>([&] {assign("{small: 200}");}, "field 'small': '200' is out of range for int8");
  expect_error<InputError>([&] {assign("{ratio: 1e300}");}, "out of range for float32");
  expect_error<InputError>([&] {assign("{flag: maybe}");}, "not true or false");
  expect_error<InputError>([&] {assign("{triple: [1, 2]}");}, "needs 3 elements, not 2");
  expect_error<InputError>([&] {assign("{readings: [1, 2, 3, 4, 5]}");}, "5 elements exceed the bound of 4");
  expect_error<InputError>([&] {assign("{triple: 1}");}, "needs a list");
  expect_error<InputError>([&] {assign("{large: [1]}");}, "needs a single value, not a list");
  expect_error<InputError>([&] {assign("{inner: 5}");}, "needs a mapping");
  expect_error<InputError>([&] {assign("{inners: [{x: 1}, {x: nine}]}");}, "field 'inners[1].x'");
  expect_error<InputError>([&] {assign("[1, 2]");}, "needs a mapping of field names to values");
  expect_error<InputError>([&] {assign("{name: \"a\\0b\"}");}, "cannot hold a NUL");
  // Nothing above leaked or corrupted: the Message's fini runs at scope end
  // (memcheck and AddressSanitizer check it), and valid values still go in.
  assign("{inners: [{x: 3}], counts: [], name: ok}");
  EXPECT_EQ(load_one_yaml(message_yaml(everything(), message.data()))["inners"].items.size(), 1u);
}

TEST(YamlReader, RefusesWhatWouldMakeValuesAmbiguousOrExpensive)
{
  expect_error<InputError>([] {parse_yaml("{a: &x 1, b: *x}", "VALUES");}, "uses an alias");
  expect_error<InputError>([] {parse_yaml("{a: 1, a: 2}", "VALUES");}, "gives 'a' twice");
  expect_error<InputError>([] {parse_yaml("a: 1\n---\nb: 2\n", "VALUES");}, "more than one document");
  expect_error<InputError>([] {parse_yaml("{a: [1, 2}", "VALUES");}, "VALUES is not valid YAML");
  expect_error<InputError>([] {parse_yaml("{[a]: 1}", "VALUES");}, "key that is not a plain name");
  std::string deep;
  for (std::size_t i = 0; i < kMaxYamlDepth + 1; ++i) {
    deep += "[";
  }
  expect_error<InputError>([&] {parse_yaml(deep, "VALUES");}, "nests deeper than");
  EXPECT_TRUE(parse_yaml("", "VALUES").is_null());
  EXPECT_EQ(parse_yaml("{command: 'go'}", "VALUES").entries.at(0).second.text, "go");
}

TEST(Loading, WrongLibrariesGettersAndHandlesAreNamed)
{
  expect_error([] {TypeSupportLibrary("/nonexistent/libnothing.so");}, "cannot load /nonexistent");
  expect_error<InputError>([] {TypeSupportLibrary("");}, "the library path is empty");
  expect_error([] {fixture("fixture_pkg/msg/Missing");},
    "has no getter rosidl_typesupport_introspection_c__get_message_type_support_handle__"
    "fixture_pkg__msg__Missing");
  expect_error([] {fixture("fixture_pkg/msg/Foreign");}, "'rosidl_typesupport_cpp', not");
  expect_error([] {fixture("fixture_pkg/msg/Broken");}, "2 fields but no member array");
  expect_error([] {fixture("fixture_pkg/msg/Null");}, "returned no handle");
}

}  // namespace
