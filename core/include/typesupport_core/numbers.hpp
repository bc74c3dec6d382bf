// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__NUMBERS_HPP_
#define TYPESUPPORT_CORE__NUMBERS_HPP_

#include <string>
#include <string_view>

namespace typesupport_core
{

/// The shortest decimal text that reads back as the same value and that a
/// YAML 1.1 reader takes for a float: "0.5", "100000.0", "1.0e+20", ".inf",
/// "-.inf", ".nan".
std::string float_text(double value);
/// The same for a float32 value: the shortest text that reads back as that float.
std::string float_text(float value);
/// The same for a long double value.
std::string float_text(long double value);

/// Parses a float64 as std::from_chars does (no leading space or '+', no hex
/// form; "inf", "infinity" and "nan" in any case) and also YAML's ".inf",
/// "-.inf" and ".nan". A finite text whose value overflows, or that is not
/// zero but rounds to zero, is out of range. Throws InputError with the reason.
double parse_float64(std::string_view text);
/// The same for float32: out of range when the value does not fit a float.
float parse_float32(std::string_view text);
/// The same for long double.
long double parse_long_double(std::string_view text);

/// Parses a decimal integer as std::from_chars does; throws InputError when the
/// text is not an integer or is out of range for `type_name`.
template<typename Integer>
Integer parse_integer(std::string_view text, const char * type_name);

/// Parses a boolean as YAML 1.1 writes one (true/false, yes/no, on/off in
/// their three spellings) or 1/0; throws InputError otherwise.
bool parse_bool(std::string_view text);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__NUMBERS_HPP_
