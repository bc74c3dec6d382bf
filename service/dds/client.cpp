// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/client.hpp"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "service/dds/dds_error.hpp"
#include "service/dds/entity_setup.hpp"
#include "service/dds/matched_endpoints.hpp"
#include "service/dds/raw_sample.hpp"
#include "service/dds/service_header.hpp"
#include "service/dds/waiting.hpp"

namespace typesupport_dds
{
namespace
{

// As in Foxy, one sequence for every client of the process, from 1: only
// the guid tells apart the calls of separate processes.
std::atomic<std::int64_t> next_sequence_number{1};

constexpr std::size_t kRepliesPerTake = 16;

}  // namespace

const char * to_string(CallOutcome outcome)
{
  switch (outcome) {
    case CallOutcome::kOk:
      return "ok";
    case CallOutcome::kServiceUnavailable:
      return "service not available";
    case CallOutcome::kTimeout:
      return "no reply in time";
    case CallOutcome::kInterrupted:
      return "interrupted";
    case CallOutcome::kError:
      break;
  }
  return "error";
}

Client::Client(
  Participant & participant, const ServiceTopicNames & names,
  const SampleCodec & request_codec, const SampleCodec & response_codec)
: participant_(participant),
  request_codec_(request_codec),
  response_codec_(response_codec),
  client_id_(format_endpoint_id(next_endpoint_id(participant.guid_prefix()))),
  request_topic_(participant.entity(), names.request_topic, names.request_type, request_codec),
  reply_topic_(participant.entity(), names.reply_topic, names.response_type, response_codec),
  writer_("request writer on " + names.request_topic,
    make_service_writer(participant, request_topic_, "clientid=" + client_id_ + ";")),
  reader_("reply reader on " + names.reply_topic,
    make_service_reader(participant, reply_topic_, "clientid=" + client_id_ + ";")),
  replies_("read condition",
    dds_create_readcondition(reader_.get(), DDS_ANY_STATE)),
  match_waitset_("waitset",
    make_waitset(participant, {writer_.get(), reader_.get(), participant.interrupt_condition()})),
  reply_waitset_("waitset",
    make_waitset(participant, {replies_.get(), participant.interrupt_condition()})),
  guid_(instance_handle(writer_.get()))
{
  // The endpoints' status conditions wake the match waitset on matches only.
  set_status_mask(writer_.get(), DDS_PUBLICATION_MATCHED_STATUS);
  set_status_mask(reader_.get(), DDS_SUBSCRIPTION_MATCHED_STATUS);
}

Client::~Client() = default;

void Client::set_bad_reply_handler(BadReplyHandler handler)
{
  std::lock_guard<std::mutex> lock(handler_mutex_);
  bad_reply_handler_ = std::move(handler);
}

void Client::report(const std::string & line)
{
  std::lock_guard<std::mutex> lock(handler_mutex_);
  if (bad_reply_handler_) {
    bad_reply_handler_(one_line(line));
  }
}

// One server must have matched both endpoints: a request reader alone (a
// server half discovered) would take the request, but its reply could be
// lost.
bool Client::service_matched(std::string & error) const
{
  std::vector<MatchedEndpoint> readers;
  std::vector<MatchedEndpoint> writers;
  error = matched_subscriptions(writer_.get(), readers);
  if (error.empty()) {
    error = matched_publications(reader_.get(), writers);
  }
  if (!error.empty()) {
    return false;
  }
  for (const MatchedEndpoint & reader : readers) {
    for (const MatchedEndpoint & writer : writers) {
      if (reader.participant_guid == writer.participant_guid) {
        return true;
      }
    }
  }
  return false;
}

CallOutcome Client::wait_for_match(dds_time_t deadline, std::string & error)
{
  while (true) {
    // Clearing the statuses before looking means a match made after the
    // look still wakes the wait.
    uint32_t status = 0;
    dds_take_status(writer_.get(), &status, DDS_PUBLICATION_MATCHED_STATUS);
    dds_take_status(reader_.get(), &status, DDS_SUBSCRIPTION_MATCHED_STATUS);
    if (service_matched(error)) {
      return CallOutcome::kOk;
    }
    if (!error.empty()) {
      return CallOutcome::kError;
    }
    switch (wait_until(match_waitset_.get(), participant_, deadline)) {
      case WaitResult::kTriggered:
        break;
      case WaitResult::kTimedOut:
        if (dds_time() >= deadline) {
          return CallOutcome::kServiceUnavailable;
        }
        break;
      case WaitResult::kInterrupted:
        return CallOutcome::kInterrupted;
      case WaitResult::kError:
        error = "cannot wait for the service";
        return CallOutcome::kError;
    }
  }
}

CallResult Client::wait_for_service(std::chrono::nanoseconds timeout)
{
  CallResult result;
  result.outcome = wait_for_match(deadline_after(timeout), result.error);
  return result;
}

// Takes a batch of what the reader holds, and reads the reply to `seq` if
// it is there; the rest of the batch is dropped.
Client::Taken Client::take_reply(std::int64_t seq, void * response, std::string & error)
{
  std::vector<TakenSample> taken;
  const dds_return_t n = take_samples(replies_.get(), kRepliesPerTake, taken);
  if (n < 0) {
    error = retcode_message("cannot take replies", n);
    return Taken::kError;
  }
  for (const TakenSample & sample : taken) {
    const ByteView bytes = sample.bytes();
    if (!sample.info().valid_data || bytes.data == nullptr) {
      continue;
    }
    ServiceHeader header;
    const std::string fault = read_service_header(bytes.data, bytes.size, header);
    if (!fault.empty()) {
      report("reply dropped: " + fault);
      continue;
    }
    if (header.guid != guid_ || header.seq != seq) {
      continue;  // another client's, or a late one to an earlier call
    }
    ServiceSample reply;
    reply.message = response;
    const std::string reason = response_codec_.deserialize(bytes.data, bytes.size, &reply);
    if (!reason.empty()) {
      report("reply to call " + std::to_string(seq) + " dropped: " + reason);
      continue;
    }
    return Taken::kReply;
  }
  return n > 0 ? Taken::kOthers : Taken::kNothing;
}

CallResult Client::call(const void * request, void * response, std::chrono::nanoseconds timeout)
{
  std::lock_guard<std::mutex> lock(call_mutex_);
  const dds_time_t deadline = deadline_after(timeout);
  CallResult result;
  result.outcome = wait_for_match(deadline, result.error);
  if (result.outcome != CallOutcome::kOk) {
    return result;
  }
  const std::int64_t seq = next_sequence_number.fetch_add(1);
  ServiceSample sample;
  sample.guid = guid_;
  sample.seq = seq;
  sample.message = const_cast<void *>(request);
  result.error = write_sample(request_topic_, request_codec_, writer_.get(), &sample);
  if (!result.error.empty()) {
    result.error = "cannot send the request: " + result.error;
    result.outcome = CallOutcome::kError;
    return result;
  }
  while (true) {
    switch (take_reply(seq, response, result.error)) {
      case Taken::kReply:
        result.outcome = CallOutcome::kOk;
        return result;
      case Taken::kError:
        result.outcome = CallOutcome::kError;
        return result;
      case Taken::kOthers:
        continue;  // the reader may hold more than one take's worth
      case Taken::kNothing:
        break;
    }
    switch (wait_until(reply_waitset_.get(), participant_, deadline)) {
      case WaitResult::kTriggered:
        break;
      case WaitResult::kTimedOut:
        if (dds_time() >= deadline) {
          result.outcome = CallOutcome::kTimeout;
          return result;
        }
        break;
      case WaitResult::kInterrupted:
        result.outcome = CallOutcome::kInterrupted;
        return result;
      case WaitResult::kError:
        result.outcome = CallOutcome::kError;
        result.error = "cannot wait for the reply";
        return result;
    }
  }
}

}  // namespace typesupport_dds
