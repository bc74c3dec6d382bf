// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/waiting.hpp"

#include <chrono>

namespace typesupport_dds
{

dds_time_t deadline_after(std::chrono::nanoseconds timeout)
{
  const dds_time_t now = dds_time();
  if (timeout.count() <= 0) {
    return now;
  }
  if (timeout.count() >= DDS_NEVER - now) {
    return DDS_NEVER;
  }
  return now + timeout.count();
}

WaitResult wait_until(dds_entity_t waitset, const Participant & participant, dds_time_t deadline)
{
  if (participant.interrupted()) {
    return WaitResult::kInterrupted;
  }
  const dds_return_t n = dds_waitset_wait_until(waitset, nullptr, 0, deadline);
  if (participant.interrupted()) {
    return WaitResult::kInterrupted;
  }
  if (n < 0) {
    return WaitResult::kError;
  }
  return n == 0 ? WaitResult::kTimedOut : WaitResult::kTriggered;
}

}  // namespace typesupport_dds
