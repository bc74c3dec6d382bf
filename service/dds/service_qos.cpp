// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/service_qos.hpp"

#include <new>
#include <string>

namespace typesupport_dds
{
namespace
{

QosPointer new_qos()
{
  QosPointer qos(dds_create_qos());
  if (!qos) {
    throw std::bad_alloc();
  }
  return qos;
}

// The user data is text without its terminating NUL, as a ROS node puts it.
void set_user_data(dds_qos_t * qos, const std::string & text)
{
  dds_qset_userdata(qos, text.data(), text.size());
}

}  // namespace

QosPointer participant_qos()
{
  QosPointer qos = new_qos();
  set_user_data(qos.get(), "enclave=/;");
  return qos;
}

QosPointer service_endpoint_qos(const std::string & user_data)
{
  QosPointer qos = new_qos();
  dds_qset_reliability(qos.get(), DDS_RELIABILITY_RELIABLE, DDS_SECS(1));
  dds_qset_history(qos.get(), DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED);
  dds_qset_durability(qos.get(), DDS_DURABILITY_VOLATILE);
  set_user_data(qos.get(), user_data);
  return qos;
}

}  // namespace typesupport_dds
