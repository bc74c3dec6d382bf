// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "support/service_fixture.hpp"

#include <stdexcept>
#include <string>

#include "support/isolated_network.hpp"

namespace service_test
{

typesupport_dds::DomainSettings settings_for_domain(unsigned domain_id)
{
  use_domain(domain_id);
  typesupport_dds::DomainSettings settings;
  const std::string error = typesupport_dds::read_ros_environment(settings);
  if (!error.empty()) {
    throw std::runtime_error(error);
  }
  return settings;
}

typesupport_dds::ServiceTopicNames string_command_names(const std::string & service)
{
  typesupport_dds::ServiceTopicNames names;
  const std::string error =
    typesupport_dds::service_topic_names(service, "zorv_interfaces__srv", "StringCommand", names);
  if (!error.empty()) {
    throw std::runtime_error(error);
  }
  return names;
}

}  // namespace service_test
