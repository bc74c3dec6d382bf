// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__PARTICIPANT_HPP_
#define SERVICE__DDS__PARTICIPANT_HPP_

#include <array>
#include <cstdint>

#include "dds/dds.h"

#include "service/dds/ros_environment.hpp"

namespace typesupport_dds
{

/// A DDS domain participant as a ROS 2 node has one: in the domain and with
/// the configuration `settings` give, with user data "enclave=/;". It also
/// holds the interrupt that wakes the waits of its clients and servers.
class Participant
{
public:
  /// Creates the participant. Throws DdsError. The first participant of a
  /// process in a domain fixes that domain's configuration; the domain is
  /// deleted with the last such participant.
  explicit Participant(const DomainSettings & settings);

  /// Deletes the participant and everything made on it.
  ~Participant();

  /// Not copyable: it owns the participant.
  Participant(const Participant &) = delete;
  /// Not copyable: it owns the participant.
  Participant & operator=(const Participant &) = delete;

  /// The participant entity.
  dds_entity_t entity() const {return entity_;}

  /// The domain it is in.
  std::uint32_t domain_id() const {return domain_id_;}

  /// The first 12 bytes of its GUID, shared by all its endpoints.
  const std::array<unsigned char, 12> & guid_prefix() const {return guid_prefix_;}

  /// Wakes every blocked wait of the clients and servers on this participant
  /// and makes all later ones return at once, as interrupted. Thread-safe,
  /// but not async-signal-safe: call it from a thread (one that sigwait()s,
  /// say), not from a signal handler.
  void interrupt();

  /// Whether interrupt() was called.
  bool interrupted() const;

  /// The guard condition interrupt() triggers, to attach to a waitset.
  dds_entity_t interrupt_condition() const {return interrupt_;}

private:
  std::uint32_t domain_id_;
  bool registered_domain_;  // shares a domain this binding created
  dds_entity_t entity_;
  dds_entity_t interrupt_;
  std::array<unsigned char, 12> guid_prefix_;
};

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__PARTICIPANT_HPP_
