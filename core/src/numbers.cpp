// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/numbers.hpp"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

namespace
{

// Numbers are read and written the same whatever locale the process runs in.
locale_t c_locale()
{
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

template<typename Float>
Float read_decimal(const char * text);

template<>
double read_decimal<double>(const char * text) {return strtod_l(text, nullptr, c_locale());}

template<>
float read_decimal<float>(const char * text) {return strtof_l(text, nullptr, c_locale());}

template<>
long double read_decimal<long double>(const char * text)
{
  return strtold_l(text, nullptr, c_locale());
}

// `value` with `digits` significant digits: "-d.ddde+XX".
void scientific_text(double value, int digits, char * out, std::size_t size)
{
  std::snprintf(out, size, "%.*e", digits - 1, value);
}

void scientific_text(long double value, int digits, char * out, std::size_t size)
{
  std::snprintf(out, size, "%.*Le", digits - 1, value);
}

template<typename Float>
std::string shortest_text(Float value)
{
  if (std::isnan(value)) {
    return ".nan";
  }
  if (std::isinf(value)) {
    return value > 0 ? ".inf" : "-.inf";
  }
  if (value == 0) {
    return std::signbit(value) ? "-0.0" : "0.0";
  }
  // The fewest significant digits that read back as `value`, in the form
  // "-d.ddde+XX".
  constexpr int max_digits = std::numeric_limits<Float>::max_digits10;
  char scientific[64];
  for (int digits = 1; digits <= max_digits; ++digits) {
    // A float is exact as a double, and printf takes no float.
    using Printed = std::conditional_t<std::is_same<Float, long double>::value, long double, double>;
    scientific_text(static_cast<Printed>(value), digits, scientific, sizeof(scientific));
    if (read_decimal<Float>(scientific) == value) {
      break;
    }
  }
  const std::string text = scientific;
  const bool negative = text[0] == '-';
  const std::size_t e = text.find('e');
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
    if (text[i] != '.') {
      digits += text[i];
    }
  }
  const int exponent = std::atoi(text.c_str() + e + 1);

  std::string out = negative ? "-" : "";
  if (exponent >= -4 && exponent < 16) {
    if (exponent >= 0) {
      const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        out += digits + std::string(whole - digits.size(), '0') + ".0";
      } else {
        out += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    } else {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return out;
  }
  // A YAML 1.1 float needs the '.' and a signed exponent.
  char exponent_text[16];
  std::snprintf(exponent_text, sizeof(exponent_text), "e%c%02d", exponent < 0 ? '-' : '+',
    std::abs(exponent));
  out += digits.substr(0, 1) + "." + (digits.size() > 1 ? digits.substr(1) : "0") + exponent_text;
  return out;
}

bool equals_ignoring_case(std::string_view text, std::string_view lower)
{
  if (text.size() != lower.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != lower[i]) {
      return false;
    }
  }
  return true;
}

// Infinities and NaN in from_chars' spelling and in YAML's; +1/-1 for an
// infinity, 0 for NaN, or 2 when `text` is neither.
int special_float(std::string_view text)
{
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view rest = negative ? text.substr(1) : text;
  for (const std::string_view yaml_infinity : {".inf", ".Inf", ".INF"}) {
    if (rest == yaml_infinity) {
      return negative ? -1 : 1;
    }
  }
  if (equals_ignoring_case(rest, "inf") || equals_ignoring_case(rest, "infinity")) {
    return negative ? -1 : 1;
  }
  for (const std::string_view yaml_nan : {".nan", ".NaN", ".NAN"}) {
    if (text == yaml_nan) {
      return 0;
    }
  }
  if (equals_ignoring_case(rest, "nan")) {
    return 0;
  }
  return 2;
}

// True when `text` is a decimal float as from_chars reads one:
// [-]digits[.digits][(e|E)[+|-]digits], the whole part or the fraction may be
// empty but not both. Sets `nonzero` when a digit of the significand is not 0.
bool is_decimal_float(std::string_view text, bool & nonzero)
{
  std::size_t at = text.size() > 0 && text[0] == '-' ? 1 : 0;
  std::size_t significand_digits = 0;
  nonzero = false;
  const auto digits = [&]() {
      std::size_t count = 0;
      while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        nonzero |= text[at] != '0';
        ++at;
        ++count;
      }
      return count;
    };
  significand_digits += digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    significand_digits += digits();
  }
  if (significand_digits == 0) {
    return false;
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
      ++at;
    }
    const bool significand_nonzero = nonzero;
    const std::size_t exponent_digits = digits();
    nonzero = significand_nonzero;
    if (exponent_digits == 0) {
      return false;
    }
  }
  return at == text.size();
}

template<typename Float>
Float parse_float(std::string_view text, const char * type_name)
{
  const std::string shown(text);
  switch (special_float(text)) {
    case 1: return std::numeric_limits<Float>::infinity();
    case -1: return -std::numeric_limits<Float>::infinity();
    case 0: return std::numeric_limits<Float>::quiet_NaN();
    default: break;
  }
  bool nonzero = false;
  if (!is_decimal_float(text, nonzero)) {
    throw InputError("'" + shown + "' is not a number");
  }
  const Float value = read_decimal<Float>(shown.c_str());
  if (std::isinf(value) || (value == 0 && nonzero)) {
    throw InputError("'" + shown + "' is out of range for " + type_name);
  }
  return value;
}

}  // namespace

std::string float_text(double value)
{
  return shortest_text(value);
}

std::string float_text(float value)
{
  return shortest_text(value);
}

std::string float_text(long double value)
{
  return shortest_text(value);
}

long double parse_long_double(std::string_view text)
{
  return parse_float<long double>(text, "long double");
}

double parse_float64(std::string_view text)
{
  return parse_float<double>(text, "float64");
}

float parse_float32(std::string_view text)
{
  return parse_float<float>(text, "float32");
}

template<typename Integer>
Integer parse_integer(std::string_view text, const char * type_name)
{
  Integer value{};
  const char * end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec == std::errc::result_out_of_range) {
    throw InputError("'" + std::string(text) + "' is out of range for " + type_name);
  }
  if (result.ec != std::errc() || result.ptr != end) {
    throw InputError("'" + std::string(text) + "' is not an integer");
  }
  return value;
}

template std::int8_t parse_integer<std::int8_t>(std::string_view, const char *);
template std::uint8_t parse_integer<std::uint8_t>(std::string_view, const char *);
template std::int16_t parse_integer<std::int16_t>(std::string_view, const char *);
template std::uint16_t parse_integer<std::uint16_t>(std::string_view, const char *);
template std::int32_t parse_integer<std::int32_t>(std::string_view, const char *);
template std::uint32_t parse_integer<std::uint32_t>(std::string_view, const char *);
template std::int64_t parse_integer<std::int64_t>(std::string_view, const char *);
template std::uint64_t parse_integer<std::uint64_t>(std::string_view, const char *);

bool parse_bool(std::string_view text)
{
  for (const std::string_view yes : {"true", "True", "TRUE", "yes", "Yes", "YES", "on", "On", "ON",
      "1"})
  {
    if (text == yes) {
      return true;
    }
  }
  for (const std::string_view no : {"false", "False", "FALSE", "no", "No", "NO", "off", "Off",
      "OFF", "0"})
  {
    if (text == no) {
      return false;
    }
  }
  throw InputError("'" + std::string(text) + "' is not true or false");
}

}  // namespace typesupport_core
