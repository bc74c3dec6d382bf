// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__COMMAND_LINE_HPP_
#define TYPESUPPORT_CORE__COMMAND_LINE_HPP_

#include <string>

namespace typesupport_core
{

/// Walks a command line as the tools take it: options anywhere among the
/// operands, a value as `--name VALUE` or `--name=VALUE`, and `--` ending the
/// options ("-" and "" are operands).
class CommandLine
{
public:
  CommandLine(int argc, char ** argv);

  /// Moves to the next argument (past a `--`); false when there is none.
  bool next();
  /// The current argument.
  const std::string & argument() const {return argument_;}
  /// True when the current argument is an operand.
  bool is_operand() const;
  /// True when the current argument is `option`, or `option=VALUE`.
  bool is(const std::string & option) const;
  /// The value of the current option `option`: what follows its '=', or the
  /// next argument. Throws InputError when it has none.
  std::string value(const std::string & option);

private:
  int argc_;
  char ** argv_;
  int index_ = 0;
  bool operands_only_ = false;
  std::string argument_;
};

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__COMMAND_LINE_HPP_
