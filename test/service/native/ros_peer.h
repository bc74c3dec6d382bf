// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// What a native Cyclone DDS program needs to look like a ROS 2 Foxy node on
// the wire: the participant, the names, the QoS and the user data of a
// service's endpoints.

#ifndef TEST__SERVICE__NATIVE__ROS_PEER_H_
#define TEST__SERVICE__NATIVE__ROS_PEER_H_

#include <stdbool.h>
#include <stddef.h>
#include <stdio.h>

#include "dds/dds.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Creates a participant in the domain of ROS_DOMAIN_ID (default 0), with
/// user data "enclave=/;", on loopback only when ROS_LOCALHOST_ONLY=1.
/// Prints a one-line reason to stderr and returns a negative value on error.
dds_entity_t ros_peer_create_participant(void);

/// Writes the request and reply topic names of ROS service `service`
/// ("/name" or "name") into `request` and `reply`, each `size` bytes.
/// Returns false if they do not fit.
bool ros_peer_service_topics(const char * service, char * request, char * reply, size_t size);

/// Writes "<key>=<id>;" into `out` (`size` bytes): a new id of a client or
/// server of `participant`, as a ROS node formats it. Returns false on error.
bool ros_peer_endpoint_user_data(
  dds_entity_t participant, const char * key, char * out, size_t size);

/// A new QoS for a service endpoint: reliable (1 s), keep all, volatile,
/// with `user_data` as user data. Free it with dds_delete_qos.
dds_qos_t * ros_peer_service_qos(const char * user_data);

/// Copies the value of `key` in the "key=value;" user data of `qos` into
/// `out` (`size` bytes, always terminated). Returns whether `key` is there.
bool ros_peer_user_data_value(const dds_qos_t * qos, const char * key, char * out, size_t size);

/// Waits up to `timeout` until `writer` has matched a reader whose "clientid"
/// equals `client_id`. Returns whether it did.
bool ros_peer_wait_for_reply_reader(dds_entity_t writer, const char * client_id, dds_duration_t timeout);

/// Prints `text` to `out` on one line, control characters and backslashes
/// escaped as \xNN.
void ros_peer_print_escaped(FILE * out, const char * text);

#ifdef __cplusplus
}
#endif

#endif  // TEST__SERVICE__NATIVE__ROS_PEER_H_
