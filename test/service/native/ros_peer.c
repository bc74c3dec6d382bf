// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "ros_peer.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char loopback_config[] =
  "<CycloneDDS><Domain><General><Interfaces>"
  "<NetworkInterface name=\"lo\"/>"
  "</Interfaces></General></Domain></CycloneDDS>";

// One counter for every client and server of the process.
static uint32_t endpoint_counter = 0;

static bool read_domain_id(dds_domainid_t * domain_id)
{
  const char * text = getenv("ROS_DOMAIN_ID");
  if (text == NULL || *text == '\0') {
    *domain_id = 0;
    return true;
  }
  char * end = NULL;
  const unsigned long value = strtoul(text, &end, 10);
  if (*end != '\0' || value > 232 || text[0] < '0' || text[0] > '9') {
    fprintf(stderr, "ROS_DOMAIN_ID must be an integer from 0 to 232, not '%s'\n", text);
    return false;
  }
  *domain_id = (dds_domainid_t) value;
  return true;
}

dds_entity_t ros_peer_create_participant(void)
{
  dds_domainid_t domain_id;
  if (!read_domain_id(&domain_id)) {
    return DDS_RETCODE_BAD_PARAMETER;
  }
  const char * localhost_only = getenv("ROS_LOCALHOST_ONLY");
  if (localhost_only != NULL && strcmp(localhost_only, "1") == 0) {
    const char * uri = getenv("CYCLONEDDS_URI");
    const size_t size = (uri != NULL ? strlen(uri) + 1 : 0) + sizeof(loopback_config);
    char * config = malloc(size);
    if (config == NULL) {
      fprintf(stderr, "out of memory\n");
      return DDS_RETCODE_OUT_OF_RESOURCES;
    }
    snprintf(config, size, "%s%s%s", uri != NULL ? uri : "", uri != NULL ? "," : "",
      loopback_config);
    const dds_entity_t domain = dds_create_domain(domain_id, config);
    free(config);
    if (domain < 0) {
      fprintf(stderr, "cannot create domain %u: %s\n", (unsigned) domain_id,
        dds_strretcode(domain));
      return domain;
    }
  }
  dds_qos_t * qos = dds_create_qos();
  static const char enclave[] = "enclave=/;";
  dds_qset_userdata(qos, enclave, sizeof(enclave) - 1);
  const dds_entity_t participant = dds_create_participant(domain_id, qos, NULL);
  dds_delete_qos(qos);
  if (participant < 0) {
    fprintf(stderr, "cannot create a participant in domain %u: %s\n", (unsigned) domain_id,
      dds_strretcode(participant));
  }
  return participant;
}

bool ros_peer_service_topics(const char * service, char * request, char * reply, size_t size)
{
  const char * name = service[0] == '/' ? service + 1 : service;
  const int rq = snprintf(request, size, "rq/%sRequest", name);
  const int rr = snprintf(reply, size, "rr/%sReply", name);
  return rq > 0 && (size_t) rq < size && rr > 0 && (size_t) rr < size;
}

bool ros_peer_endpoint_user_data(
  dds_entity_t participant, const char * key, char * out, size_t size)
{
  dds_guid_t guid;
  if (dds_get_guid(participant, &guid) != DDS_RETCODE_OK) {
    return false;
  }
  unsigned char id[16];
  memcpy(id, guid.v, 12);
  const uint32_t counter = endpoint_counter++;
  id[12] = (unsigned char) (counter >> 24);
  id[13] = (unsigned char) (counter >> 16);
  id[14] = (unsigned char) (counter >> 8);
  id[15] = (unsigned char) counter;
  int used = snprintf(out, size, "%s=", key);
  for (int i = 0; i < 16 && used > 0 && (size_t) used < size; ++i) {
    used += snprintf(out + used, size - (size_t) used, i == 0 ? "%2x" : ".%x", id[i]);
  }
  if (used > 0 && (size_t) used < size) {
    used += snprintf(out + used, size - (size_t) used, ";");
  }
  return used > 0 && (size_t) used < size;
}

dds_qos_t * ros_peer_service_qos(const char * user_data)
{
  dds_qos_t * qos = dds_create_qos();
  dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_SECS(1));
  dds_qset_history(qos, DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED);
  dds_qset_durability(qos, DDS_DURABILITY_VOLATILE);
  dds_qset_userdata(qos, user_data, strlen(user_data));
  return qos;
}

bool ros_peer_user_data_value(const dds_qos_t * qos, const char * key, char * out, size_t size)
{
  void * data = NULL;
  size_t data_size = 0;
  if (qos == NULL || !dds_qget_userdata(qos, &data, &data_size) || data == NULL) {
    return false;
  }
  // Cyclone terminates the copy it hands out, but the peer's bytes may hold
  // a NUL of their own: stop there.
  const char * text = data;
  const size_t key_size = strlen(key);
  bool found = false;
  size_t start = 0;
  const size_t length = strnlen(text, data_size);
  while (start < length && !found) {
    const char * end = memchr(text + start, ';', length - start);
    const size_t stop = end != NULL ? (size_t) (end - text) : length;
    if (stop - start > key_size && memcmp(text + start, key, key_size) == 0 &&
      text[start + key_size] == '=')
    {
      const size_t value_size = stop - start - key_size - 1;
      const size_t copied = value_size < size - 1 ? value_size : size - 1;
      memcpy(out, text + start + key_size + 1, copied);
      out[copied] = '\0';
      found = true;
    }
    start = stop + 1;
  }
  dds_free(data);
  return found;
}

static bool reader_has_client_id(dds_entity_t writer, dds_instance_handle_t handle, const char * id)
{
  dds_builtintopic_endpoint_t * reader = dds_get_matched_subscription_data(writer, handle);
  if (reader == NULL) {
    return false;
  }
  char value[128];
  const bool same = ros_peer_user_data_value(reader->qos, "clientid", value, sizeof(value)) &&
    strcmp(value, id) == 0;
  dds_builtintopic_free_endpoint(reader);
  return same;
}

bool ros_peer_wait_for_reply_reader(dds_entity_t writer, const char * client_id, dds_duration_t timeout)
{
  const dds_time_t deadline = dds_time() + timeout;
  do {
    dds_instance_handle_t handles[64];
    const dds_return_t n = dds_get_matched_subscriptions(writer, handles, 64);
    for (dds_return_t i = 0; i < n && i < 64; ++i) {
      if (reader_has_client_id(writer, handles[i], client_id)) {
        return true;
      }
    }
    dds_sleepfor(DDS_MSECS(5));
  } while (dds_time() < deadline);
  return false;
}

void ros_peer_print_escaped(FILE * out, const char * text)
{
  for (const unsigned char * c = (const unsigned char *) text; *c != '\0'; ++c) {
    if (*c < 0x20 || *c == 0x7f || *c == '\\') {
      fprintf(out, "\\x%02x", *c);
    } else {
      fputc(*c, out);
    }
  }
}
