// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__ROS_NAMES_HPP_
#define SERVICE__DDS__ROS_NAMES_HPP_

#include <string>

namespace typesupport_dds
{

/// The DDS names of one ROS 2 service.
struct ServiceTopicNames
{
  std::string request_topic;  ///< "rq/<name>Request"
  std::string reply_topic;  ///< "rr/<name>Reply"
  std::string request_type;  ///< "<pkg>::srv::dds_::<Service>_Request_"
  std::string response_type;  ///< "<pkg>::srv::dds_::<Service>_Response_"
};

/// Checks a ROS service name and makes it fully qualified: a relative name
/// ("dock_command") gets a leading "/". Tokens of letters, digits and "_",
/// not starting with a digit, joined by single "/"; no trailing "/"; no "~"
/// or "{}" substitutions. Returns an empty string or a one-line reason.
std::string expand_service_name(const std::string & name, std::string & fully_qualified);

/// The topic and type names of service `name` (a ROS service name, checked
/// and expanded as above) whose type the service record names with
/// `service_namespace` ("zorv_interfaces__srv") and `service_name`
/// ("StringCommand"). Returns an empty string or a one-line reason.
std::string service_topic_names(
  const std::string & name, const std::string & service_namespace,
  const std::string & service_name, ServiceTopicNames & names);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__ROS_NAMES_HPP_
