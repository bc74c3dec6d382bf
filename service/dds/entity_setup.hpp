// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__ENTITY_SETUP_HPP_
#define SERVICE__DDS__ENTITY_SETUP_HPP_

#include <cstdint>
#include <initializer_list>
#include <string>

#include "dds/dds.h"

#include "service/dds/codec_topic.hpp"
#include "service/dds/participant.hpp"

namespace typesupport_dds
{

/// A writer on `topic` with the QoS of a service endpoint and `user_data`;
/// a Cyclone error code if it cannot be made.
dds_entity_t make_service_writer(
  const Participant & participant, const CodecTopic & topic, const std::string & user_data);

/// A reader on `topic`, as make_service_writer.
dds_entity_t make_service_reader(
  const Participant & participant, const CodecTopic & topic, const std::string & user_data);

/// A waitset on `participant` with `conditions` attached. Throws DdsError.
dds_entity_t make_waitset(
  const Participant & participant, std::initializer_list<dds_entity_t> conditions);

/// Sets which statuses trigger `entity`'s status condition. Throws DdsError.
void set_status_mask(dds_entity_t entity, std::uint32_t mask);

/// The instance handle of `entity`. Throws DdsError.
std::uint64_t instance_handle(dds_entity_t entity);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__ENTITY_SETUP_HPP_
