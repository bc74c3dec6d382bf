// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__ERROR_HPP_
#define TYPESUPPORT_CORE__ERROR_HPP_

#include <stdexcept>
#include <string>
#include <string_view>

namespace typesupport_core
{

/// A problem the tools report on one line and then stop: a library that
/// cannot be loaded, records that are not what they claim, bytes that are not
/// a valid sample.
class Error : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// A value the user gave that does not fit the message: an unknown field, a
/// value of the wrong type or out of range, malformed YAML.
class InputError : public Error
{
public:
  using Error::Error;
};

/// `text` on one line, for an error message: line breaks, tabs and other
/// control characters (which names and values may hold) written as \n, \t,
/// \xNN, and backslashes doubled.
std::string one_line(std::string_view text);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__ERROR_HPP_
