// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "service/dds/matched_endpoints.hpp"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "service/dds/dds_error.hpp"

namespace typesupport_dds
{
namespace
{

using ListFunction = dds_return_t (*)(dds_entity_t, dds_instance_handle_t *, size_t);
using DataFunction = dds_builtintopic_endpoint_t * (*)(dds_entity_t, dds_instance_handle_t);

bool describe(
  DataFunction data_of, dds_entity_t entity, dds_instance_handle_t handle, MatchedEndpoint & out)
{
  dds_builtintopic_endpoint_t * data = data_of(entity, handle);
  if (data == nullptr) {
    return false;
  }
  out.handle = handle;
  std::memcpy(out.guid.data(), data->key.v, out.guid.size());
  std::memcpy(out.participant_guid.data(), data->participant_key.v, out.participant_guid.size());
  out.user_data.clear();
  void * user_data = nullptr;
  size_t size = 0;
  if (data->qos != nullptr && dds_qget_userdata(data->qos, &user_data, &size) &&
    user_data != nullptr)
  {
    out.user_data.assign(static_cast<const char *>(user_data), size);
    dds_free(user_data);
  }
  dds_builtintopic_free_endpoint(data);
  return true;
}

// The matched set may grow between asking for its size and listing it, so
// list until the buffer was large enough.
std::string list(
  ListFunction list_of, DataFunction data_of, dds_entity_t entity,
  std::vector<MatchedEndpoint> & out)
{
  std::vector<dds_instance_handle_t> handles(8);
  dds_return_t n;
  while ((n = list_of(entity, handles.data(), handles.size())) > 0 &&
    static_cast<size_t>(n) > handles.size())
  {
    handles.resize(static_cast<size_t>(n) * 2);
  }
  if (n < 0) {
    return retcode_message("cannot list matched endpoints", n);
  }
  out.clear();
  for (dds_return_t i = 0; i < n; ++i) {
    MatchedEndpoint endpoint;
    if (describe(data_of, entity, handles[static_cast<size_t>(i)], endpoint)) {
      out.push_back(std::move(endpoint));
    }
  }
  return {};
}

}  // namespace

std::string matched_subscriptions(dds_entity_t writer, std::vector<MatchedEndpoint> & out)
{
  return list(
    dds_get_matched_subscriptions, dds_get_matched_subscription_data, writer, out);
}

std::string matched_publications(dds_entity_t reader, std::vector<MatchedEndpoint> & out)
{
  return list(
    dds_get_matched_publications, dds_get_matched_publication_data, reader, out);
}

bool matched_publication(dds_entity_t reader, dds_instance_handle_t handle, MatchedEndpoint & out)
{
  return describe(dds_get_matched_publication_data, reader, handle, out);
}

bool matched_subscription(dds_entity_t writer, dds_instance_handle_t handle, MatchedEndpoint & out)
{
  return describe(dds_get_matched_subscription_data, writer, handle, out);
}

}  // namespace typesupport_dds
