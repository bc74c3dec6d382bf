// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/ros_environment.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace typesupport_dds
{
namespace
{

// With the default port mapping, a domain id past 232 gives ports past 65535.
constexpr std::uint32_t kMaxDomainId = 232;

constexpr char kLoopbackConfig[] =
  "<CycloneDDS><Domain><General><Interfaces>"
  "<NetworkInterface name=\"lo\"/>"
  "</Interfaces></General></Domain></CycloneDDS>";

}  // namespace

std::string parse_domain_id(const char * value, std::uint32_t & domain_id)
{
  if (value == nullptr || *value == '\0') {
    domain_id = 0;
    return {};
  }
  std::uint32_t id = 0;
  for (const char * c = value; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || id > kMaxDomainId) {
      return "ROS_DOMAIN_ID must be an integer from 0 to " + std::to_string(kMaxDomainId) +
             ", not '" + value + "'";
    }
    id = id * 10 + static_cast<std::uint32_t>(*c - '0');
  }
  if (id > kMaxDomainId) {
    return "ROS_DOMAIN_ID must be an integer from 0 to " + std::to_string(kMaxDomainId) +
           ", not '" + value + "'";
  }
  domain_id = id;
  return {};
}

std::string parse_localhost_only(const char * value, bool & localhost_only)
{
  const std::string text = value == nullptr ? "" : value;
  if (text.empty() || text == "0") {
    localhost_only = false;
    return {};
  }
  if (text == "1") {
    localhost_only = true;
    return {};
  }
  return "ROS_LOCALHOST_ONLY must be 1 or 0, not '" + text + "'";
}

std::string read_ros_environment(DomainSettings & settings)
{
  DomainSettings read;
  std::string error = parse_domain_id(std::getenv("ROS_DOMAIN_ID"), read.domain_id);
  if (error.empty()) {
    error = parse_localhost_only(std::getenv("ROS_LOCALHOST_ONLY"), read.localhost_only);
  }
  if (!error.empty()) {
    return error;
  }
  const char * uri = std::getenv("CYCLONEDDS_URI");
  read.user_config = uri == nullptr ? "" : uri;
  settings = read;
  return {};
}

std::string domain_config(const DomainSettings & settings)
{
  if (!settings.localhost_only) {
    return settings.user_config;
  }
  if (settings.user_config.empty()) {
    return kLoopbackConfig;
  }
  return settings.user_config + "," + kLoopbackConfig;
}

}  // namespace typesupport_dds
