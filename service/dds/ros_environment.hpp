// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__ROS_ENVIRONMENT_HPP_
#define SERVICE__DDS__ROS_ENVIRONMENT_HPP_

#include <cstdint>
#include <string>

namespace typesupport_dds
{

/// Where a participant goes: the DDS domain and how Cyclone is configured.
struct DomainSettings
{
  std::uint32_t domain_id = 0;  ///< the DDS domain (ROS_DOMAIN_ID)
  bool localhost_only = false;  ///< keep traffic on loopback (ROS_LOCALHOST_ONLY=1)
  std::string user_config;  ///< the user's CYCLONEDDS_URI, possibly empty
};

/// Reads a ROS_DOMAIN_ID value: unset (nullptr) or empty is domain 0,
/// otherwise a decimal integer from 0 to 232. Returns an empty string or a
/// one-line reason.
std::string parse_domain_id(const char * value, std::uint32_t & domain_id);

/// Reads a ROS_LOCALHOST_ONLY value: "1" is on; unset, empty or "0" is off.
/// Returns an empty string or a one-line reason for anything else.
std::string parse_localhost_only(const char * value, bool & localhost_only);

/// Reads ROS_DOMAIN_ID, ROS_LOCALHOST_ONLY and CYCLONEDDS_URI from the
/// process environment. Returns an empty string or a one-line reason.
std::string read_ros_environment(DomainSettings & settings);

/// The Cyclone configuration string (a list of files and XML fragments) of
/// the domain `settings` describe: the user's configuration, then, for
/// loopback-only traffic, the loopback interface. Cyclone merges the two, so
/// the user's other settings hold; interfaces the user names as well are
/// used besides loopback (one that does not exist fails the participant).
std::string domain_config(const DomainSettings & settings);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__ROS_ENVIRONMENT_HPP_
