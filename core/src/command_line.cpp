// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "typesupport_core/command_line.hpp"

#include "typesupport_core/error.hpp"

namespace typesupport_core
{

CommandLine::CommandLine(int argc, char ** argv)
: argc_(argc), argv_(argv)
{
}

bool CommandLine::next()
{
  while (++index_ < argc_) {
    argument_ = argv_[index_];
    if (!operands_only_ && argument_ == "--") {
      operands_only_ = true;
      continue;
    }
    return true;
  }
  return false;
}

bool CommandLine::is_operand() const
{
  return operands_only_ || argument_.size() < 2 || argument_[0] != '-';
}

bool CommandLine::is(const std::string & option) const
{
  return !is_operand() &&
         (argument_ == option || argument_.compare(0, option.size() + 1, option + "=") == 0);
}

std::string CommandLine::value(const std::string & option)
{
  if (argument_.size() > option.size() && argument_[option.size()] == '=') {
    return argument_.substr(option.size() + 1);
  }
  if (index_ + 1 >= argc_) {
    throw InputError(option + " needs a value");
  }
  return argv_[++index_];
}

}  // namespace typesupport_core
