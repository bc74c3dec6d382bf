// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A service call on loopback, client and server in this process on
// participants of their own, as typesupport-service makes it (the DDS
// binding with the record-driven codec) and as a native Cyclone DDS client
// and server of the IDL twin make it; side by side in one run
// (bench/report.py pairs them up). Also counts the heap allocations per call
// of the client's thread, the server's thread and Cyclone's own threads.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "dds/dds.h"
#include "dds/ddsrt/log.h"
#include "ros_peer.h"
#include "service/dds/client.hpp"
#include "service/dds/participant.hpp"
#include "service/dds/ros_environment.hpp"
#include "service/dds/ros_names.hpp"
#include "service/dds/server.hpp"
#include "service/src/record_sample_codec.hpp"
#include "string_command.h"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/message_yaml.hpp"
#include "typesupport_core/type_support_library.hpp"

// Every allocation of the process is counted, by the thread that makes it.
extern "C" {
void * __libc_malloc(std::size_t size);
void * __libc_calloc(std::size_t count, std::size_t size);
void * __libc_realloc(void * pointer, std::size_t size);
}

namespace
{

thread_local long t_allocations = 0;
std::atomic<long> g_allocations{0};

void count_allocation()
{
  ++t_allocations;
  g_allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" {
__attribute__((visibility("default"))) void * malloc(std::size_t size)
{
  count_allocation();
  return __libc_malloc(size);
}

__attribute__((visibility("default"))) void * calloc(std::size_t count, std::size_t size)
{
  count_allocation();
  return __libc_calloc(count, size);
}

__attribute__((visibility("default"))) void * realloc(void * pointer, std::size_t size)
{
  count_allocation();
  return __libc_realloc(pointer, size);
}
}  // extern "C"

namespace
{

using namespace typesupport_core;

constexpr char kCommand[] = "go to dock 7";
constexpr char kAnswer[] = "docking";
constexpr auto kTimeout = std::chrono::seconds(5);

// Each pair serves its own service on loopback, in a domain of its own (a
// process configures a domain once).
void set_environment(const char * domain)
{
  setenv("ROS_DOMAIN_ID", domain, 1);
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  dds_set_log_mask(DDS_LC_FATAL | DDS_LC_ERROR);
}

// What the server thread has allocated so far, published after each reply.
struct ServerCount
{
  std::atomic<long> allocations{0};
};

// typesupport-service's way: the binding with the record-driven codec.
class RecordsPair
{
public:
  RecordsPair()
  : library_(ZORV_TYPESUPPORT_LIBRARY_PATH),
    interface_(library_.describe(parse_interface_name("zorv_interfaces/srv/StringCommand"),
      std::nullopt)),
    request_codec_(*interface_.service->request),
    response_codec_(*interface_.service->response),
    server_participant_(settings()),
    client_participant_(settings()),
    server_(server_participant_, names(), request_codec_, response_codec_),
    client_(client_participant_, names(), request_codec_, response_codec_),
    request_(*interface_.service->request),
    response_(*interface_.service->response)
  {
    assign_path(*interface_.service->request, request_.data(), "command", kCommand);
    serving_ = std::thread([this] {serve();});
    if (client_.wait_for_service(kTimeout).outcome != typesupport_dds::CallOutcome::kOk) {
      throw std::runtime_error("the records server was not found");
    }
  }

  ~RecordsPair()
  {
    server_participant_.interrupt();
    serving_.join();
  }

  bool call()
  {
    return client_.call(request_.data(), response_.data(), kTimeout).outcome ==
           typesupport_dds::CallOutcome::kOk;
  }

  long server_allocations() const {return count_.allocations.load();}

private:
  static typesupport_dds::DomainSettings settings()
  {
    typesupport_dds::DomainSettings settings;
    if (!typesupport_dds::read_ros_environment(settings).empty()) {
      throw std::runtime_error("bad ROS environment");
    }
    return settings;
  }

  const typesupport_dds::ServiceTopicNames & names()
  {
    if (names_.request_topic.empty()) {
      typesupport_dds::service_topic_names("/bench_records", interface_.service->record_namespace,
        interface_.service->name, names_);
    }
    return names_;
  }

  void serve()
  {
    Message request(*interface_.service->request);
    Message response(*interface_.service->response);
    assign_path(*interface_.service->response, response.data(), "answer", kAnswer);
    while (true) {
      const auto taken = server_.take_request(request.data());
      if (taken.outcome != typesupport_dds::TakeOutcome::kRequest) {
        return;
      }
      server_.send_reply(taken.id, response.data());
      count_.allocations.store(t_allocations);
    }
  }

  TypeSupportLibrary library_;
  Interface interface_;
  typesupport_service::RecordSampleCodec request_codec_;
  typesupport_service::RecordSampleCodec response_codec_;
  typesupport_dds::ServiceTopicNames names_;
  typesupport_dds::Participant server_participant_;
  typesupport_dds::Participant client_participant_;
  typesupport_dds::Server server_;
  typesupport_dds::Client client_;
  Message request_;
  Message response_;
  ServerCount count_;
  std::thread serving_;
};

// A native Cyclone DDS client and server of the IDL twin, on the wire as a
// Foxy node is (the QoS, user data and reply matching of the tests' peers).
class NativePair
{
public:
  NativePair()
  {
    char request_topic[256];
    char reply_topic[256];
    ros_peer_service_topics("/bench_native", request_topic, reply_topic, sizeof(request_topic));
    server_participant_ = ros_peer_create_participant();
    // The first participant configured the domain for loopback; the peers'
    // helper would configure it again, which Cyclone refuses.
    unsetenv("ROS_LOCALHOST_ONLY");
    client_participant_ = ros_peer_create_participant();
    setenv("ROS_LOCALHOST_ONLY", "1", 1);
    if (server_participant_ < 0 || client_participant_ < 0) {
      throw std::runtime_error("cannot create the native participants");
    }
    char service_id[128];
    char client_id[128];
    ros_peer_endpoint_user_data(server_participant_, "serviceid", service_id, sizeof(service_id));
    ros_peer_endpoint_user_data(client_participant_, "clientid", client_id, sizeof(client_id));
    client_id_ = std::string(client_id).substr(std::strlen("clientid="));
    client_id_.pop_back();  // the ';'

    dds_qos_t * server_qos = ros_peer_service_qos(service_id);
    server_reader_ = dds_create_reader(server_participant_, topic(server_participant_, true,
        request_topic), server_qos, nullptr);
    server_writer_ = dds_create_writer(server_participant_, topic(server_participant_, false,
        reply_topic), server_qos, nullptr);
    dds_delete_qos(server_qos);
    dds_qos_t * client_qos = ros_peer_service_qos(client_id);
    client_writer_ = dds_create_writer(client_participant_, topic(client_participant_, true,
        request_topic), client_qos, nullptr);
    client_reader_ = dds_create_reader(client_participant_, topic(client_participant_, false,
        reply_topic), client_qos, nullptr);
    dds_delete_qos(client_qos);
    dds_get_instance_handle(client_writer_, &guid_);
    client_waitset_ = dds_create_waitset(client_participant_);
    dds_waitset_attach(client_waitset_, dds_create_readcondition(client_reader_, DDS_ANY_STATE), 0);
    server_waitset_ = dds_create_waitset(server_participant_);
    dds_waitset_attach(server_waitset_, dds_create_readcondition(server_reader_, DDS_ANY_STATE), 0);
    stop_ = dds_create_guardcondition(server_participant_);
    dds_waitset_attach(server_waitset_, stop_, 1);
    serving_ = std::thread([this] {serve();});
    for (int i = 0; i < 500 && !matched(); ++i) {
      dds_sleepfor(DDS_MSECS(10));
    }
    if (!matched()) {
      throw std::runtime_error("the native server was not found");
    }
  }

  ~NativePair()
  {
    dds_set_guardcondition(stop_, true);
    serving_.join();
    dds_delete(client_participant_);
    dds_delete(server_participant_);
  }

  bool call()
  {
    zorv_interfaces_srv_dds__StringCommand_Request_ request{
      guid_, ++seq_, const_cast<char *>(kCommand)};
    if (dds_write(client_writer_, &request) != DDS_RETCODE_OK) {
      return false;
    }
    zorv_interfaces_srv_dds__StringCommand_Response_ response{};
    void * samples[1] = {&response};
    dds_sample_info_t info;
    const dds_time_t deadline = dds_time() + DDS_SECS(5);
    bool answered = false;
    while (!answered && dds_time() < deadline) {
      if (dds_take(client_reader_, samples, &info, 1, 1) == 1) {
        answered = info.valid_data && response.guid == guid_ && response.seq == seq_;
        continue;
      }
      dds_waitset_wait_until(client_waitset_, nullptr, 0, deadline);
    }
    dds_sample_free(&response, &zorv_interfaces_srv_dds__StringCommand_Response__desc,
      DDS_FREE_CONTENTS);
    return answered;
  }

  long server_allocations() const {return count_.allocations.load();}

private:
  static dds_entity_t topic(dds_entity_t participant, bool request, const char * name)
  {
    return dds_create_topic(participant, request ?
             &zorv_interfaces_srv_dds__StringCommand_Request__desc :
             &zorv_interfaces_srv_dds__StringCommand_Response__desc, name, nullptr, nullptr);
  }

  bool matched() const
  {
    dds_publication_matched_status_t publication;
    dds_subscription_matched_status_t subscription;
    return dds_get_publication_matched_status(client_writer_, &publication) == DDS_RETCODE_OK &&
           dds_get_subscription_matched_status(client_reader_, &subscription) == DDS_RETCODE_OK &&
           publication.current_count > 0 && subscription.current_count > 0;
  }

  // As a Foxy server: answer each request once the client's reply reader
  // (found by the request writer's "clientid") has matched.
  void serve()
  {
    zorv_interfaces_srv_dds__StringCommand_Request_ request{};
    void * samples[1] = {&request};
    dds_sample_info_t info;
    while (true) {
      if (dds_take(server_reader_, samples, &info, 1, 1) != 1) {
        bool stop = false;
        dds_waitset_wait(server_waitset_, nullptr, 0, DDS_SECS(1));
        dds_read_guardcondition(stop_, &stop);
        if (stop) {
          break;
        }
        continue;
      }
      if (!info.valid_data) {
        continue;
      }
      char client_id[128] = "";
      dds_builtintopic_endpoint_t * publication =
        dds_get_matched_publication_data(server_reader_, info.publication_handle);
      const bool has_client_id = publication != nullptr &&
        ros_peer_user_data_value(publication->qos, "clientid", client_id, sizeof(client_id));
      if (publication != nullptr) {
        dds_builtintopic_free_endpoint(publication);
      }
      if (has_client_id) {
        ros_peer_wait_for_reply_reader(server_writer_, client_id, DDS_MSECS(100));
      }
      zorv_interfaces_srv_dds__StringCommand_Response_ response{
        request.guid, request.seq, const_cast<char *>(kAnswer)};
      dds_write(server_writer_, &response);
      count_.allocations.store(t_allocations);
    }
    dds_sample_free(&request, &zorv_interfaces_srv_dds__StringCommand_Request__desc,
      DDS_FREE_CONTENTS);
  }

  dds_entity_t server_participant_ = 0;
  dds_entity_t client_participant_ = 0;
  dds_entity_t server_reader_ = 0;
  dds_entity_t server_writer_ = 0;
  dds_entity_t client_writer_ = 0;
  dds_entity_t client_reader_ = 0;
  dds_entity_t client_waitset_ = 0;
  dds_entity_t server_waitset_ = 0;
  dds_entity_t stop_ = 0;
  dds_instance_handle_t guid_ = 0;
  std::int64_t seq_ = 0;
  std::string client_id_;
  ServerCount count_;
  std::thread serving_;
};

// Google Benchmark runs a benchmark several times; a pair is made once, as
// a domain is configured once per process.
template<typename Pair>
Pair & the_pair(const char * domain)
{
  static Pair * pair = [domain] {
      set_environment(domain);
      auto * made = new Pair;
      // A few calls first: the first after matching may wait for a heartbeat.
      for (int i = 0; i < 20; ++i) {
        made->call();
      }
      return made;
    }();
  return *pair;
}

template<typename Pair>
void round_trips(benchmark::State & state, const char * domain)
{
  Pair & pair = the_pair<Pair>(domain);
  const long client_before = t_allocations;
  const long server_before = pair.server_allocations();
  const long all_before = g_allocations.load();
  for (auto _ : state) {
    if (!pair.call()) {
      state.SkipWithError("a call failed");
      break;
    }
  }
  const auto calls = static_cast<double>(state.iterations());
  const double client = static_cast<double>(t_allocations - client_before) / calls;
  const double server = static_cast<double>(pair.server_allocations() - server_before) / calls;
  const double all = static_cast<double>(g_allocations.load() - all_before) / calls;
  state.counters["calls_per_second"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
  state.counters["client_allocations_per_call"] = client;
  state.counters["server_allocations_per_call"] = server;
  state.counters["dds_thread_allocations_per_call"] = all - client - server;
}

void BM_Records_RoundTrip(benchmark::State & state)
{
  round_trips<RecordsPair>(state, "211");
}

void BM_Native_RoundTrip(benchmark::State & state)
{
  round_trips<NativePair>(state, "212");
}

BENCHMARK(BM_Records_RoundTrip)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Native_RoundTrip)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
