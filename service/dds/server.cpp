// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/server.hpp"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "service/dds/dds_error.hpp"
#include "service/dds/endpoint_id.hpp"
#include "service/dds/entity_setup.hpp"
#include "service/dds/matched_endpoints.hpp"
#include "service/dds/raw_sample.hpp"
#include "service/dds/waiting.hpp"

namespace typesupport_dds
{
namespace
{

// Writers come and go with clients; past this many, forget them all rather
// than grow without end (a forgotten one is looked up again).
constexpr std::size_t kMaxRememberedWriters = 4096;

std::string format_guid(const std::array<unsigned char, 16> & guid)
{
  std::string text;
  char byte[3];
  for (std::size_t i = 0; i < guid.size(); ++i) {
    if (i > 0 && i % 4 == 0) {
      text += ':';
    }
    std::snprintf(byte, sizeof(byte), "%02x", static_cast<unsigned>(guid[i]));
    text += byte;
  }
  return text;
}

}  // namespace

Server::Server(
  Participant & participant, const ServiceTopicNames & names,
  const SampleCodec & request_codec, const SampleCodec & response_codec)
: participant_(participant),
  request_codec_(request_codec),
  response_codec_(response_codec),
  service_id_(format_endpoint_id(next_endpoint_id(participant.guid_prefix()))),
  request_topic_(participant.entity(), names.request_topic, names.request_type, request_codec),
  reply_topic_(participant.entity(), names.reply_topic, names.response_type, response_codec),
  reader_("request reader on " + names.request_topic,
    make_service_reader(participant, request_topic_, "serviceid=" + service_id_ + ";")),
  writer_("reply writer on " + names.reply_topic,
    make_service_writer(participant, reply_topic_, "serviceid=" + service_id_ + ";")),
  requests_("read condition", dds_create_readcondition(reader_.get(), DDS_ANY_STATE)),
  request_waitset_("waitset",
    make_waitset(participant, {requests_.get(), participant.interrupt_condition()})),
  match_waitset_("waitset",
    make_waitset(participant, {writer_.get(), participant.interrupt_condition()})),
  reply_match_timeout_(std::chrono::seconds(1))
{
  set_status_mask(writer_.get(), DDS_PUBLICATION_MATCHED_STATUS);
}

Server::~Server() = default;

void Server::set_bad_request_handler(BadRequestHandler handler)
{
  std::lock_guard<std::mutex> lock(handler_mutex_);
  bad_request_handler_ = std::move(handler);
}

void Server::set_reply_match_timeout(std::chrono::nanoseconds timeout)
{
  std::lock_guard<std::mutex> lock(reply_mutex_);
  reply_match_timeout_ = timeout;
}

void Server::report(const std::string & line)
{
  std::lock_guard<std::mutex> lock(handler_mutex_);
  if (bad_request_handler_) {
    bad_request_handler_(one_line(line));
  }
}

const Server::WriterInfo & Server::request_writer(dds_instance_handle_t publication)
{
  auto found = writers_.find(publication);
  if (found != writers_.end()) {
    return found->second;
  }
  if (writers_.size() >= kMaxRememberedWriters) {
    writers_.clear();
  }
  WriterInfo info{false, {}};
  MatchedEndpoint writer;
  if (matched_publication(reader_.get(), publication, writer)) {
    info.has_client_id = user_data_value(
      writer.user_data.data(), writer.user_data.size(), "clientid", info.client_id);
  }
  return writers_.emplace(publication, std::move(info)).first->second;
}

std::string Server::describe_writer(dds_instance_handle_t publication) const
{
  MatchedEndpoint writer;
  if (matched_publication(reader_.get(), publication, writer)) {
    return "writer " + format_guid(writer.guid);
  }
  // Gone already: its handle still tells its samples apart.
  char handle[32];
  std::snprintf(handle, sizeof(handle), "%" PRIx64, static_cast<std::uint64_t>(publication));
  return std::string("departed writer #") + handle;
}

TakeResult Server::take_request(void * request, std::chrono::nanoseconds timeout)
{
  std::lock_guard<std::mutex> lock(take_mutex_);
  const dds_time_t deadline = deadline_after(timeout);
  TakeResult result;
  while (true) {
    // One at a time: a request left in the reader is not lost by returning.
    std::vector<TakenSample> taken;
    const dds_return_t n = take_samples(requests_.get(), 1, taken);
    if (n < 0) {
      result.error = retcode_message("cannot take requests", n);
      result.outcome = TakeOutcome::kError;
      return result;
    }
    if (n == 1) {
      const TakenSample & sample = taken.front();
      const ByteView bytes = sample.bytes();
      if (!sample.info().valid_data || bytes.data == nullptr) {
        continue;  // a writer went away: no request
      }
      ServiceSample read;
      read.message = request;
      const std::string reason = request_codec_.deserialize(bytes.data, bytes.size, &read);
      const dds_instance_handle_t publication = sample.info().publication_handle;
      if (!reason.empty()) {
        report("request from " + describe_writer(publication) + " dropped (" +
          std::to_string(bytes.size) + " bytes): " + reason);
        continue;
      }
      const WriterInfo & writer = request_writer(publication);
      result.id.guid = read.guid;
      result.id.seq = read.seq;
      result.id.publication_handle = publication;
      result.id.has_client_id = writer.has_client_id;
      result.id.client_id = writer.client_id;
      result.outcome = TakeOutcome::kRequest;
      return result;
    }
    switch (wait_until(request_waitset_.get(), participant_, deadline)) {
      case WaitResult::kTriggered:
        break;
      case WaitResult::kTimedOut:
        if (dds_time() >= deadline) {
          result.outcome = TakeOutcome::kTimeout;
          return result;
        }
        break;
      case WaitResult::kInterrupted:
        result.outcome = TakeOutcome::kInterrupted;
        return result;
      case WaitResult::kError:
        result.error = "cannot wait for requests";
        result.outcome = TakeOutcome::kError;
        return result;
    }
  }
}

bool Server::reply_reader_matched(const std::string & client_id)
{
  std::vector<MatchedEndpoint> readers;
  if (!matched_subscriptions(writer_.get(), readers).empty()) {
    return false;
  }
  for (const MatchedEndpoint & reader : readers) {
    std::string id;
    if (user_data_value(reader.user_data.data(), reader.user_data.size(), "clientid", id) &&
      id == client_id)
    {
      return true;
    }
  }
  return false;
}

bool Server::wait_for_reply_reader(const std::string & client_id)
{
  const dds_time_t deadline = deadline_after(reply_match_timeout_);
  while (true) {
    // Clearing the status before looking means a match made after the look
    // still wakes the wait.
    uint32_t status = 0;
    dds_take_status(writer_.get(), &status, DDS_PUBLICATION_MATCHED_STATUS);
    if (reply_reader_matched(client_id)) {
      return true;
    }
    const WaitResult waited = wait_until(match_waitset_.get(), participant_, deadline);
    if (waited == WaitResult::kInterrupted || waited == WaitResult::kError ||
      (waited == WaitResult::kTimedOut && dds_time() >= deadline))
    {
      return false;
    }
  }
}

ReplyResult Server::send_reply(const RequestId & id, const void * response)
{
  std::lock_guard<std::mutex> lock(reply_mutex_);
  ReplyResult result;
  ServiceSample sample;
  sample.guid = id.guid;
  sample.seq = id.seq;
  sample.message = const_cast<void *>(response);
  std::vector<unsigned char> bytes;
  std::string error = response_codec_.serialize(&sample, bytes);
  if (!error.empty()) {
    result.error = "cannot serialize the reply: " + one_line(std::move(error));
    return result;
  }
  const bool matched = !id.has_client_id || wait_for_reply_reader(id.client_id);
  // Written even when the reader did not show up in time: a reader without
  // the client id may still be the caller's, and an unread reply costs
  // nothing.
  result.error = write_raw(reply_topic_, writer_.get(), bytes);
  if (!result.error.empty()) {
    result.error = "cannot send the reply: " + result.error;
    return result;
  }
  result.outcome = matched ? ReplyOutcome::kSent : ReplyOutcome::kSentUnmatched;
  return result;
}

}  // namespace typesupport_dds
