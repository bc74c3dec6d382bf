// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/ros_names.hpp"

#include <string>

namespace typesupport_dds
{
namespace
{

bool is_letter(char c)
{
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool is_digit(char c)
{
  return c >= '0' && c <= '9';
}

// Checks a name that starts with "/"; the reason names the first fault,
// counting characters from `first`, the name's first as the user wrote it.
std::string check_fully_qualified(const std::string & name, std::string::size_type first)
{
  if (name.size() == 1) {
    return "'/' is a namespace, not a service name";
  }
  if (name.back() == '/') {
    return "must not end with '/'";
  }
  for (std::string::size_type i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '/') {
      if (i > 0 && name[i - 1] == '/') {
        return "must not contain '//'";
      }
    } else if (c == '~' || c == '{' || c == '}') {
      return "substitutions ('~', '{...}') are not supported";
    } else if (is_digit(c)) {
      if (name[i - 1] == '/') {
        return "a token must not start with a digit (at character " +
               std::to_string(i + 1 - first) + ")";
      }
    } else if (!is_letter(c) && c != '_') {
      return "character " + std::to_string(i + 1 - first) +
             " is not a letter, digit, '_' or '/'";
    }
  }
  return {};
}

// "zorv_interfaces__srv" -> "zorv_interfaces::srv"
std::string scoped(const std::string & service_namespace)
{
  std::string out;
  for (std::string::size_type i = 0; i < service_namespace.size(); ++i) {
    if (service_namespace.compare(i, 2, "__") == 0) {
      out += "::";
      ++i;
    } else {
      out += service_namespace[i];
    }
  }
  return out;
}

}  // namespace

std::string expand_service_name(const std::string & name, std::string & fully_qualified)
{
  if (name.empty()) {
    return "invalid service name '': must not be empty";
  }
  const std::string expanded = name.front() == '/' ? name : "/" + name;
  const std::string fault = check_fully_qualified(expanded, name.front() == '/' ? 0 : 1);
  if (!fault.empty()) {
    return "invalid service name '" + name + "': " + fault;
  }
  fully_qualified = expanded;
  return {};
}

std::string service_topic_names(
  const std::string & name, const std::string & service_namespace,
  const std::string & service_name, ServiceTopicNames & names)
{
  std::string fully_qualified;
  std::string error = expand_service_name(name, fully_qualified);
  if (!error.empty()) {
    return error;
  }
  if (service_namespace.empty() || service_name.empty()) {
    return "the service record has no namespace or no name";
  }
  // The topic names drop the leading "/" of the ROS name.
  const std::string base = fully_qualified.substr(1);
  const std::string type_prefix = scoped(service_namespace) + "::dds_::" + service_name;
  names.request_topic = "rq/" + base + "Request";
  names.reply_topic = "rr/" + base + "Reply";
  names.request_type = type_prefix + "_Request_";
  names.response_type = type_prefix + "_Response_";
  return {};
}

}  // namespace typesupport_dds
