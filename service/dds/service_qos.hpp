// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__SERVICE_QOS_HPP_
#define SERVICE__DDS__SERVICE_QOS_HPP_

#include <memory>
#include <string>

#include "dds/dds.h"

namespace typesupport_dds
{

/// Deletes a dds_qos_t.
struct QosDeleter
{
  /// Deletes `qos`.
  void operator()(dds_qos_t * qos) const {dds_delete_qos(qos);}
};

/// An owned dds_qos_t.
using QosPointer = std::unique_ptr<dds_qos_t, QosDeleter>;

/// A ROS 2 participant's QoS: user data "enclave=/;".
QosPointer participant_qos();

/// The QoS of every endpoint of a ROS 2 client or server: reliable (blocking
/// up to 1 s), keep all, volatile, and `user_data` ("clientid=...;" or
/// "serviceid=...;") as user data.
QosPointer service_endpoint_qos(const std::string & user_data);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__SERVICE_QOS_HPP_
