// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__WAITING_HPP_
#define SERVICE__DDS__WAITING_HPP_

#include <chrono>

#include "dds/dds.h"

#include "service/dds/participant.hpp"

namespace typesupport_dds
{

/// How a wait on a waitset ended.
enum class WaitResult
{
  kTriggered,  ///< a condition other than the interrupt triggered
  kTimedOut,  ///< the deadline passed
  kInterrupted,  ///< the participant was interrupted
  kError,  ///< Cyclone refused the wait
};

/// The DDS time `timeout` from now; DDS_NEVER for a timeout too long to add.
dds_time_t deadline_after(std::chrono::nanoseconds timeout);

/// Waits on `waitset` (to which the participant's interrupt condition is
/// attached) until a condition triggers, `participant` is interrupted or
/// `deadline` passes. An interrupt wins over everything else.
WaitResult wait_until(dds_entity_t waitset, const Participant & participant, dds_time_t deadline);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__WAITING_HPP_
