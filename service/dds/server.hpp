// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__SERVER_HPP_
#define SERVICE__DDS__SERVER_HPP_

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "dds/dds.h"

#include "service/dds/codec_topic.hpp"
#include "service/dds/owned_entity.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/ros_names.hpp"
#include "service/dds/sample_codec.hpp"

namespace typesupport_dds
{

/// Who sent a request and which call it is: what the reply needs.
struct RequestId
{
  std::uint64_t guid = 0;  ///< the client's guid (its request writer's instance handle)
  std::int64_t seq = 0;  ///< the client's sequence number of the call
  dds_instance_handle_t publication_handle = 0;  ///< the request writer, as seen here
  bool has_client_id = false;  ///< whether the request writer has "clientid=" user data
  std::string client_id;  ///< its value, when it has one
};

/// How take_request ended.
enum class TakeOutcome
{
  kRequest,  ///< a request was read
  kTimeout,  ///< none came in time
  kInterrupted,  ///< the participant was interrupted
  kError,  ///< Cyclone failed
};

/// The outcome of take_request, with a one-line reason for kError.
struct TakeResult
{
  TakeOutcome outcome = TakeOutcome::kError;  ///< how it ended
  RequestId id;  ///< for kRequest
  std::string error;  ///< why, for kError
};

/// How send_reply ended.
enum class ReplyOutcome
{
  kSent,  ///< written once the client's reply reader had matched
  kSentUnmatched,  ///< written, but the client's reply reader never matched in time
  kError,  ///< not written
};

/// The outcome of send_reply, with a one-line reason for kError.
struct ReplyResult
{
  ReplyOutcome outcome = ReplyOutcome::kError;  ///< how it ended
  std::string error;  ///< why, for kError
};

/// The server side of a ROS 2 service, as a Foxy node puts it on DDS: a
/// request reader and a reply writer with "serviceid=<id>;" user data.
class Server
{
public:
  /// Reports, in one line, a request sample that could not be read; the
  /// server goes on with the next one.
  using BadRequestHandler = std::function<void (const std::string & line)>;

  /// Creates the endpoints on `participant` for the service named by
  /// `names`. `request_codec` reads ServiceSamples of the request type,
  /// `response_codec` serializes those of the response type; all three must
  /// outlive the server. Throws DdsError.
  Server(
    Participant & participant, const ServiceTopicNames & names,
    const SampleCodec & request_codec, const SampleCodec & response_codec);

  /// Deletes the endpoints.
  ~Server();

  /// Not copyable: it owns DDS entities.
  Server(const Server &) = delete;
  /// Not copyable: it owns DDS entities.
  Server & operator=(const Server &) = delete;

  /// Waits up to `timeout` for the next request that can be read, reads it
  /// into `request` (initialised message memory of the request type) and
  /// says who sent it. Every unreadable request on the way is reported to
  /// the handler and skipped. One thread at a time.
  TakeResult take_request(
    void * request, std::chrono::nanoseconds timeout = std::chrono::nanoseconds::max());

  /// Sends `response` (message memory of the response type) as the reply to
  /// the request `id`. When the request writer has a client id, first waits
  /// (up to the reply match timeout) until a reply reader with the same
  /// client id has matched, so that the reply is not lost; a request without
  /// one is answered at once.
  ReplyResult send_reply(const RequestId & id, const void * response);

  /// How long send_reply waits for the client's reply reader (1 s unless set).
  void set_reply_match_timeout(std::chrono::nanoseconds timeout);

  /// Sets where unreadable requests are reported (by default nowhere).
  void set_bad_request_handler(BadRequestHandler handler);

  /// The formatted id of the "serviceid=" user data.
  const std::string & service_id() const {return service_id_;}

  /// The request reader (on names.request_topic).
  dds_entity_t request_reader() const {return reader_.get();}

  /// The reply writer (on names.reply_topic).
  dds_entity_t reply_writer() const {return writer_.get();}

private:
  /// What a request writer's user data says.
  struct WriterInfo
  {
    bool has_client_id;  ///< whether it has "clientid="
    std::string client_id;  ///< its value
  };

  /// The user data of request writer `publication`, looked up once.
  const WriterInfo & request_writer(dds_instance_handle_t publication);
  /// Names request writer `publication` for a report.
  std::string describe_writer(dds_instance_handle_t publication) const;
  /// Whether the reply writer matched a reader with client id `client_id`.
  bool reply_reader_matched(const std::string & client_id);
  /// Waits up to the reply match timeout for reply_reader_matched().
  bool wait_for_reply_reader(const std::string & client_id);
  /// Hands a line to the bad request handler, if any.
  void report(const std::string & line);

  Participant & participant_;
  const SampleCodec & request_codec_;
  const SampleCodec & response_codec_;
  std::string service_id_;
  // Declared in creation order: deleted in reverse, endpoints before topics.
  CodecTopic request_topic_;
  CodecTopic reply_topic_;
  OwnedEntity reader_;
  OwnedEntity writer_;
  OwnedEntity requests_;  // read condition: any sample in the reader
  OwnedEntity request_waitset_;
  OwnedEntity match_waitset_;
  std::mutex take_mutex_;
  std::mutex reply_mutex_;
  std::mutex handler_mutex_;
  std::chrono::nanoseconds reply_match_timeout_;
  // The request writers seen so far, so that each one's user data is
  // looked up once.
  std::map<dds_instance_handle_t, WriterInfo> writers_;
  BadRequestHandler bad_request_handler_;
};

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__SERVER_HPP_
