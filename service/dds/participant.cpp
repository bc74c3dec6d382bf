// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/participant.hpp"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "service/dds/dds_error.hpp"
#include "service/dds/service_qos.hpp"

namespace typesupport_dds
{
namespace
{

// Cyclone creates a domain implicitly, with CYCLONEDDS_URI, for the first
// participant in it; the ROS settings need an explicit one, which lives as
// long as the process's participants in it do.
struct DomainUse
{
  dds_entity_t entity;
  int participants;
};

std::mutex domains_mutex;
std::map<std::uint32_t, DomainUse> domains;

// Returns whether the process's participants share a domain made here; false
// when one already existed that this code did not make (it is used as is).
bool acquire_domain(const DomainSettings & settings)
{
  std::lock_guard<std::mutex> lock(domains_mutex);
  auto found = domains.find(settings.domain_id);
  if (found != domains.end()) {
    ++found->second.participants;
    return true;
  }
  const std::string config = domain_config(settings);
  const dds_entity_t domain = dds_create_domain(settings.domain_id, config.c_str());
  if (domain == DDS_RETCODE_PRECONDITION_NOT_MET) {
    return false;
  }
  checked_entity("domain " + std::to_string(settings.domain_id), domain);
  domains.emplace(settings.domain_id, DomainUse{domain, 1});
  return true;
}

void release_domain(std::uint32_t domain_id)
{
  std::lock_guard<std::mutex> lock(domains_mutex);
  auto found = domains.find(domain_id);
  if (found != domains.end() && --found->second.participants == 0) {
    dds_delete(found->second.entity);
    domains.erase(found);
  }
}

}  // namespace

Participant::Participant(const DomainSettings & settings)
: domain_id_(settings.domain_id), registered_domain_(acquire_domain(settings)), entity_(0),
  interrupt_(0), guid_prefix_{}
{
  try {
    QosPointer qos = participant_qos();
    entity_ = checked_entity(
      "participant in domain " + std::to_string(domain_id_),
      dds_create_participant(domain_id_, qos.get(), nullptr));
    dds_guid_t guid;
    const dds_return_t rc = dds_get_guid(entity_, &guid);
    if (rc != DDS_RETCODE_OK) {
      throw_retcode("cannot read the participant's GUID", rc);
    }
    std::memcpy(guid_prefix_.data(), guid.v, guid_prefix_.size());
    interrupt_ = checked_entity("guard condition", dds_create_guardcondition(entity_));
  } catch (...) {
    if (entity_ > 0) {
      dds_delete(entity_);
    }
    if (registered_domain_) {
      release_domain(domain_id_);
    }
    throw;
  }
}

Participant::~Participant()
{
  dds_delete(entity_);
  if (registered_domain_) {
    release_domain(domain_id_);
  }
}

void Participant::interrupt()
{
  dds_set_guardcondition(interrupt_, true);
}

bool Participant::interrupted() const
{
  bool triggered = false;
  return dds_read_guardcondition(interrupt_, &triggered) == DDS_RETCODE_OK && triggered;
}

}  // namespace typesupport_dds
