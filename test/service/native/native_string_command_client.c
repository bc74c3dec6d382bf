// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A StringCommand client as a ROS 2 Foxy node is one on the wire, built on
// Cyclone's own serializer: waits for the service, calls it COUNT times
// with COMMAND and prints each answer on a line of its own.
//
// native_string_command_client SERVICE COMMAND [--count N] [--timeout SECONDS]
//                              [--numbered] [--servers N] [--stay]
//
// --numbered makes the command of call n "COMMAND-n", so that every request
// of many clients is told apart. --servers N waits until N servers have
// matched before the first call (a Foxy client waits for one), so that each
// of them gets every request. --stay keeps the client (its reply reader
// among others) until SIGINT or SIGTERM after its calls, as a node that goes
// on running does: a server that lags behind another still finds it.
//
// Exit status: 0 answered, 1 no service within the timeout, 2 no reply
// within the timeout, 3 anything else.

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
  fprintf(stderr, "usage: native_string_command_client SERVICE COMMAND [--count N]"
    " [--timeout SECONDS] [--numbered] [--servers N] [--stay]\n");
  return 3;
}

static bool matched(dds_entity_t writer, dds_entity_t reader, uint32_t servers)
{
  dds_publication_matched_status_t publication;
  dds_subscription_matched_status_t subscription;
  return dds_get_publication_matched_status(writer, &publication) == DDS_RETCODE_OK &&
         dds_get_subscription_matched_status(reader, &subscription) == DDS_RETCODE_OK &&
         publication.current_count >= servers && subscription.current_count >= servers;
}

// Takes replies until the one to (guid, seq) or the deadline; prints it.
static bool await_reply(
  dds_entity_t reader, dds_entity_t waitset, uint64_t guid, int64_t seq, dds_time_t deadline)
{
  Response response;
  memset(&response, 0, sizeof(response));
  void * samples[1] = {&response};
  dds_sample_info_t info;
  bool answered = false;
  while (!answered) {
    const dds_return_t n = dds_take(reader, samples, &info, 1, 1);
    if (n < 0) {
      fprintf(stderr, "cannot take a reply: %s\n", dds_strretcode(n));
      break;
    }
    if (n == 1) {
      if (info.valid_data && response.guid == guid && response.seq == seq) {
        ros_peer_print_escaped(stdout, response.answer);
        printf("\n");
        fflush(stdout);
        answered = true;
      }
      continue;
    }
    if (dds_time() >= deadline) {
      break;
    }
    dds_waitset_wait_until(waitset, NULL, 0, deadline);
  }
  dds_sample_free(&response, &zorv_interfaces_srv_dds__StringCommand_Response__desc,
    DDS_FREE_CONTENTS);
  return answered;
}

int main(int argc, char ** argv)
{
  if (argc < 3) {
    return usage();
  }
  const char * service = argv[1];
  const char * command = argv[2];
  long count = 1;
  long timeout_s = 10;
  bool numbered = false;
  bool stay = false;
  long servers = 1;
  for (int i = 3; i < argc; i += 2) {
    // Flags take no value.
    if (strcmp(argv[i], "--numbered") == 0) {
      numbered = true;
      --i;
      continue;
    }
    if (strcmp(argv[i], "--stay") == 0) {
      stay = true;
      --i;
      continue;
    }
    if (i + 1 >= argc) {
      return usage();
    }
    if (strcmp(argv[i], "--count") == 0) {
      count = strtol(argv[i + 1], NULL, 10);
    } else if (strcmp(argv[i], "--timeout") == 0) {
      timeout_s = strtol(argv[i + 1], NULL, 10);
    } else if (strcmp(argv[i], "--servers") == 0) {
      servers = strtol(argv[i + 1], NULL, 10);
    } else {
      return usage();
    }
  }
  if (servers < 1) {
    return usage();
  }
  // Before the first answer is printed: a test signals once it has them all.
  if (stay) {
    signal(SIGTERM, on_signal);
    signal(SIGINT, on_signal);
  }
  // Room for "COMMAND-n".
  char * numbered_command = malloc(strlen(command) + 24);
  if (numbered_command == NULL) {
    fprintf(stderr, "out of memory\n");
    return 3;
  }

  char request_topic[256];
  char reply_topic[256];
  if (!ros_peer_service_topics(service, request_topic, reply_topic, sizeof(request_topic))) {
    fprintf(stderr, "service name too long\n");
    free(numbered_command);
    return 3;
  }
  const dds_entity_t participant = ros_peer_create_participant();
  if (participant < 0) {
    free(numbered_command);
    return 3;
  }
  // The same client id on both endpoints: the server compares them.
  char user_data[128];
  if (!ros_peer_endpoint_user_data(participant, "clientid", user_data, sizeof(user_data))) {
    fprintf(stderr, "cannot make the client id\n");
    dds_delete(participant);
    free(numbered_command);
    return 3;
  }
  dds_qos_t * qos = ros_peer_service_qos(user_data);
  const dds_entity_t request_type = dds_create_topic(participant,
      &zorv_interfaces_srv_dds__StringCommand_Request__desc, request_topic, NULL, NULL);
  const dds_entity_t reply_type = dds_create_topic(participant,
      &zorv_interfaces_srv_dds__StringCommand_Response__desc, reply_topic, NULL, NULL);
  const dds_entity_t writer = dds_create_writer(participant, request_type, qos, NULL);
  const dds_entity_t reader = dds_create_reader(participant, reply_type, qos, NULL);
  dds_delete_qos(qos);
  dds_instance_handle_t guid = 0;
  if (request_type < 0 || reply_type < 0 || reader < 0 || writer < 0 ||
    dds_get_instance_handle(writer, &guid) != DDS_RETCODE_OK)
  {
    fprintf(stderr, "cannot create the client's endpoints\n");
    dds_delete(participant);
    free(numbered_command);
    return 3;
  }
  const dds_entity_t waitset = dds_create_waitset(participant);
  const dds_entity_t readable = dds_create_readcondition(reader, DDS_ANY_STATE);
  dds_waitset_attach(waitset, readable, 0);

  // A volatile reply written before the reader matched would be lost.
  const dds_time_t match_deadline = dds_time() + DDS_SECS(timeout_s);
  while (!matched(writer, reader, (uint32_t) servers) && dds_time() < match_deadline) {
    dds_sleepfor(DDS_MSECS(10));
  }
  if (!matched(writer, reader, (uint32_t) servers)) {
    fprintf(stderr, "no service %s within %ld s\n", service, timeout_s);
    dds_delete(participant);
    free(numbered_command);
    return 1;
  }
  int status = 0;
  for (long call = 1; call <= count && status == 0; ++call) {
    Request request;
    request.guid = guid;
    request.seq = call;
    if (numbered) {
      snprintf(numbered_command, strlen(command) + 24, "%s-%ld", command, call);
      request.command = numbered_command;
    } else {
      request.command = (char *) command;
    }
    const dds_return_t rc = dds_write(writer, &request);
    if (rc != DDS_RETCODE_OK) {
      fprintf(stderr, "cannot write the request: %s\n", dds_strretcode(rc));
      status = 3;
    } else if (!await_reply(reader, waitset, guid, call, dds_time() + DDS_SECS(timeout_s))) {
      fprintf(stderr, "no reply to call %ld within %ld s\n", call, timeout_s);
      status = 2;
    }
  }
  // A signal only sets the flag: look at it every 10 ms.
  while (stay && !stop_requested) {
    dds_sleepfor(DDS_MSECS(10));
  }
  dds_delete(participant);
  free(numbered_command);
  return status;
}
