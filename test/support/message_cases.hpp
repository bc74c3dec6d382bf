// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__MESSAGE_CASES_HPP_
#define SUPPORT__MESSAGE_CASES_HPP_

#include <ostream>
#include <string>

#include "string_command_library.hpp"

namespace test_support
{

/// Everything that names one of the two messages, for tests that run once per
/// message.
struct MessageCase
{
  const char * role;  ///< "request" or "response"
  const char * message_name;
  const char * field_name;
  const char * getter;
  const char * other_getter;
  const char * init;
  const char * fini;
  const char * sibling_init;
  const char * sibling_fini;
  MessageGetter StringCommandLibrary::* getter_of;
  InitFunction StringCommandLibrary::* init_of;
  FiniFunction StringCommandLibrary::* fini_of;
};

inline const MessageCase kRequestCase{
  "request", "StringCommand_Request", "command", kRequestGetter, kResponseGetter, kRequestInit,
  kRequestFini, "zorv_interfaces__srv__StringCommand_Request__init",
  "zorv_interfaces__srv__StringCommand_Request__fini", &StringCommandLibrary::request_getter,
  &StringCommandLibrary::request_init, &StringCommandLibrary::request_fini};

inline const MessageCase kResponseCase{
  "response", "StringCommand_Response", "answer", kResponseGetter, kRequestGetter, kResponseInit,
  kResponseFini, "zorv_interfaces__srv__StringCommand_Response__init",
  "zorv_interfaces__srv__StringCommand_Response__fini", &StringCommandLibrary::response_getter,
  &StringCommandLibrary::response_init, &StringCommandLibrary::response_fini};

/// The case of the other message of the service.
inline const MessageCase & other_case(const MessageCase & c)
{
  return std::string(c.role) == kRequestCase.role ? kResponseCase : kRequestCase;
}

/// Names the case in test output.
inline void PrintTo(const MessageCase & c, std::ostream * out) {*out << c.role;}

/// Names parameterised tests after the case.
struct MessageCaseName
{
  template<typename ParamInfo>
  std::string operator()(const ParamInfo & info) const {return info.param.role;}
};

}  // namespace test_support

#endif  // SUPPORT__MESSAGE_CASES_HPP_
