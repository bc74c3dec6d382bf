// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__CLIENT_HPP_
#define SERVICE__DDS__CLIENT_HPP_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "dds/dds.h"

#include "service/dds/codec_topic.hpp"
#include "service/dds/endpoint_id.hpp"
#include "service/dds/owned_entity.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/ros_names.hpp"
#include "service/dds/sample_codec.hpp"

namespace typesupport_dds
{

/// How a call or a wait for the service ended.
enum class CallOutcome
{
  kOk,  ///< answered (or, for a wait, the service is there)
  kServiceUnavailable,  ///< no server matched in time
  kTimeout,  ///< the request went out, no reply came in time
  kInterrupted,  ///< the participant was interrupted
  kError,  ///< the request could not be serialized or written
};

/// A name for an outcome, for messages ("ok", "service not available", ...).
const char * to_string(CallOutcome outcome);

/// The outcome of a call, with a one-line reason for kError.
struct CallResult
{
  CallOutcome outcome = CallOutcome::kError;  ///< how it ended
  std::string error;  ///< why, for kError
};

/// The client side of a ROS 2 service, as a Foxy node puts it on DDS: a
/// request writer and a reply reader with "clientid=<id>;" user data.
class Client
{
public:
  /// Reports, in one line, a reply meant for this client that could not be
  /// read; the call goes on waiting.
  using BadReplyHandler = std::function<void (const std::string & line)>;

  /// Creates the endpoints on `participant` for the service named by
  /// `names`. `request_codec` serializes ServiceSamples of the request type,
  /// `response_codec` reads those of the response type; all three must
  /// outlive the client. Throws DdsError.
  Client(
    Participant & participant, const ServiceTopicNames & names,
    const SampleCodec & request_codec, const SampleCodec & response_codec);

  /// Deletes the endpoints.
  ~Client();

  /// Not copyable: it owns DDS entities.
  Client(const Client &) = delete;
  /// Not copyable: it owns DDS entities.
  Client & operator=(const Client &) = delete;

  /// Waits until a server's request reader and reply writer (both of one
  /// participant) have matched this client's writer and reader. Returns
  /// kOk, kServiceUnavailable, kInterrupted or kError.
  CallResult wait_for_service(std::chrono::nanoseconds timeout);

  /// Sends `request` (message memory of the request type) once the service
  /// is there, and reads the reply to it into `response` (initialised message
  /// memory of the response type). Replies to other clients or to earlier
  /// calls are taken and dropped; a reply that cannot be read is reported to
  /// the handler and skipped. Everything happens within `timeout`. Calls are
  /// serialized, one at a time per client.
  CallResult call(const void * request, void * response, std::chrono::nanoseconds timeout);

  /// Sets where unreadable replies are reported (by default nowhere).
  void set_bad_reply_handler(BadReplyHandler handler);

  /// The guid every request carries: the request writer's instance handle.
  std::uint64_t guid() const {return guid_;}

  /// The formatted id of the "clientid=" user data.
  const std::string & client_id() const {return client_id_;}

  /// The request writer (on names.request_topic).
  dds_entity_t request_writer() const {return writer_.get();}

  /// The reply reader (on names.reply_topic).
  dds_entity_t reply_reader() const {return reader_.get();}

private:
  /// What one take from the reply reader brought.
  enum class Taken {kReply, kOthers, kNothing, kError};

  /// Waits until service_matched() or the deadline.
  CallOutcome wait_for_match(dds_time_t deadline, std::string & error);
  /// Whether one server's reader and writer both matched this client's.
  bool service_matched(std::string & error) const;
  /// Takes a batch of replies, reading the one to call `seq` if there.
  Taken take_reply(std::int64_t seq, void * response, std::string & error);
  /// Hands a line to the bad reply handler, if any.
  void report(const std::string & line);

  Participant & participant_;
  const SampleCodec & request_codec_;
  const SampleCodec & response_codec_;
  std::string client_id_;
  // Declared in creation order: deleted in reverse, endpoints before topics.
  CodecTopic request_topic_;
  CodecTopic reply_topic_;
  OwnedEntity writer_;
  OwnedEntity reader_;
  OwnedEntity replies_;  // read condition: any sample in the reader
  OwnedEntity match_waitset_;
  OwnedEntity reply_waitset_;
  std::uint64_t guid_;
  std::mutex call_mutex_;
  std::mutex handler_mutex_;
  BadReplyHandler bad_reply_handler_;
};

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__CLIENT_HPP_
