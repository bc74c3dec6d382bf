// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef INSPECT_ERROR_HPP_
#define INSPECT_ERROR_HPP_

#include <stdexcept>
#include <string>

namespace typesupport_inspect
{

/// A problem with the caller's input or with what a library describes: the
/// inspector reports it on one line and exits non-zero.
class InspectError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

}  // namespace typesupport_inspect

#endif  // INSPECT_ERROR_HPP_
