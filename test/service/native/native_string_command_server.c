// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A StringCommand server as a ROS 2 Foxy node is one on the wire, built on
// Cyclone's own serializer. Prints "ready", then one line per request, and
// answers each with the given text or "echo: <command>".
//
// native_string_command_server SERVICE [--answer TEXT] [--count N]
//                              [--reply-wait-ms MS]

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dds/dds.h"

#include "ros_peer.h"
#include "string_command.h"

typedef zorv_interfaces_srv_dds__StringCommand_Request_ Request;
typedef zorv_interfaces_srv_dds__StringCommand_Response_ Response;

static volatile sig_atomic_t stop_requested = 0;

static void on_signal(int signal_number)
{
  (void) signal_number;
  stop_requested = 1;
}

static int usage(void)
{
  fprintf(stderr, "usage: native_string_command_server SERVICE [--answer TEXT] [--count N]"
    " [--reply-wait-ms MS]\n");
  return 2;
}

// Answers one request; the reply waits (as Foxy's does, 100 ms by default)
// for the client's reply reader.
static void answer(
  dds_entity_t reader, dds_entity_t writer, const Request * request,
  const dds_sample_info_t * info, const char * fixed_answer, long reply_wait_ms)
{
  char client_id[128] = "";
  dds_builtintopic_endpoint_t * publication =
    dds_get_matched_publication_data(reader, info->publication_handle);
  const bool has_client_id = publication != NULL &&
    ros_peer_user_data_value(publication->qos, "clientid", client_id, sizeof(client_id));
  if (publication != NULL) {
    dds_builtintopic_free_endpoint(publication);
  }
  printf("request guid=%016llx seq=%lld clientid=%s command=",
    (unsigned long long) request->guid, (long long) request->seq,
    has_client_id ? client_id : "-");
  ros_peer_print_escaped(stdout, request->command);
  printf("\n");
  fflush(stdout);

  char * echoed = NULL;
  Response response;
  response.guid = request->guid;
  response.seq = request->seq;
  if (fixed_answer != NULL) {
    response.answer = (char *) fixed_answer;
  } else {
    const size_t size = strlen(request->command) + sizeof("echo: ");
    echoed = malloc(size);
    if (echoed == NULL) {
      fprintf(stderr, "out of memory\n");
      return;
    }
    snprintf(echoed, size, "echo: %s", request->command);
    response.answer = echoed;
  }
  if (has_client_id &&
    !ros_peer_wait_for_reply_reader(writer, client_id, DDS_MSECS(reply_wait_ms)))
  {
    fprintf(stderr, "no reply reader with clientid=%s within %ld ms: reply dropped\n",
      client_id, reply_wait_ms);
  } else {
    const dds_return_t rc = dds_write(writer, &response);
    if (rc != DDS_RETCODE_OK) {
      fprintf(stderr, "cannot write the reply: %s\n", dds_strretcode(rc));
    }
  }
  free(echoed);
}

int main(int argc, char ** argv)
{
  if (argc < 2) {
    return usage();
  }
  const char * service = argv[1];
  const char * fixed_answer = NULL;
  long count = 0;
  long reply_wait_ms = 100;
  for (int i = 2; i < argc; i += 2) {
    if (i + 1 >= argc) {
      return usage();
    }
    if (strcmp(argv[i], "--answer") == 0) {
      fixed_answer = argv[i + 1];
    } else if (strcmp(argv[i], "--count") == 0) {
      count = strtol(argv[i + 1], NULL, 10);
    } else if (strcmp(argv[i], "--reply-wait-ms") == 0) {
      reply_wait_ms = strtol(argv[i + 1], NULL, 10);
    } else {
      return usage();
    }
  }
  signal(SIGTERM, on_signal);
  signal(SIGINT, on_signal);

  char request_topic[256];
  char reply_topic[256];
  if (!ros_peer_service_topics(service, request_topic, reply_topic, sizeof(request_topic))) {
    fprintf(stderr, "service name too long\n");
    return 1;
  }
  const dds_entity_t participant = ros_peer_create_participant();
  if (participant < 0) {
    return 1;
  }
  char user_data[128];
  if (!ros_peer_endpoint_user_data(participant, "serviceid", user_data, sizeof(user_data))) {
    fprintf(stderr, "cannot make the service id\n");
    dds_delete(participant);
    return 1;
  }
  dds_qos_t * qos = ros_peer_service_qos(user_data);
  const dds_entity_t request_type = dds_create_topic(participant,
      &zorv_interfaces_srv_dds__StringCommand_Request__desc, request_topic, NULL, NULL);
  const dds_entity_t reply_type = dds_create_topic(participant,
      &zorv_interfaces_srv_dds__StringCommand_Response__desc, reply_topic, NULL, NULL);
  const dds_entity_t reader = dds_create_reader(participant, request_type, qos, NULL);
  const dds_entity_t writer = dds_create_writer(participant, reply_type, qos, NULL);
  dds_delete_qos(qos);
  if (request_type < 0 || reply_type < 0 || reader < 0 || writer < 0) {
    fprintf(stderr, "cannot create the server's endpoints\n");
    dds_delete(participant);
    return 1;
  }
  const dds_entity_t waitset = dds_create_waitset(participant);
  const dds_entity_t readable = dds_create_readcondition(reader, DDS_ANY_STATE);
  dds_waitset_attach(waitset, readable, 0);
  printf("ready\n");
  fflush(stdout);

  Request request;
  memset(&request, 0, sizeof(request));
  void * samples[1] = {&request};
  dds_sample_info_t info;
  long answered = 0;
  int status = 0;
  while (!stop_requested && (count == 0 || answered < count)) {
    const dds_return_t n = dds_take(reader, samples, &info, 1, 1);
    if (n < 0) {
      fprintf(stderr, "cannot take a request: %s\n", dds_strretcode(n));
      status = 1;
      break;
    }
    if (n == 0) {
      // A signal only sets the flag: look at it every 100 ms.
      dds_waitset_wait(waitset, NULL, 0, DDS_MSECS(100));
      continue;
    }
    if (info.valid_data) {
      answer(reader, writer, &request, &info, fixed_answer, reply_wait_ms);
      ++answered;
    }
  }
  dds_sample_free(&request, &zorv_interfaces_srv_dds__StringCommand_Request__desc, DDS_FREE_CONTENTS);
  dds_delete(participant);
  return status;
}
