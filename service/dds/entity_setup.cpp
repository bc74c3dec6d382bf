// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/entity_setup.hpp"

#include <cstdint>
#include <initializer_list>
#include <string>

#include "service/dds/dds_error.hpp"
#include "service/dds/service_qos.hpp"

namespace typesupport_dds
{

dds_entity_t make_service_writer(
  const Participant & participant, const CodecTopic & topic, const std::string & user_data)
{
  QosPointer qos = service_endpoint_qos(user_data);
  return dds_create_writer(participant.entity(), topic.entity(), qos.get(), nullptr);
}

dds_entity_t make_service_reader(
  const Participant & participant, const CodecTopic & topic, const std::string & user_data)
{
  QosPointer qos = service_endpoint_qos(user_data);
  return dds_create_reader(participant.entity(), topic.entity(), qos.get(), nullptr);
}

dds_entity_t make_waitset(
  const Participant & participant, std::initializer_list<dds_entity_t> conditions)
{
  const dds_entity_t waitset =
    checked_entity("waitset", dds_create_waitset(participant.entity()));
  for (dds_entity_t condition : conditions) {
    const dds_return_t rc = dds_waitset_attach(waitset, condition, condition);
    if (rc != DDS_RETCODE_OK) {
      dds_delete(waitset);
      throw_retcode("cannot attach a condition to a waitset", rc);
    }
  }
  return waitset;
}

void set_status_mask(dds_entity_t entity, std::uint32_t mask)
{
  const dds_return_t rc = dds_set_status_mask(entity, mask);
  if (rc != DDS_RETCODE_OK) {
    throw_retcode("cannot set a status mask", rc);
  }
}

std::uint64_t instance_handle(dds_entity_t entity)
{
  dds_instance_handle_t handle = 0;
  const dds_return_t rc = dds_get_instance_handle(entity, &handle);
  if (rc != DDS_RETCODE_OK) {
    throw_retcode("cannot read an instance handle", rc);
  }
  return handle;
}

}  // namespace typesupport_dds
