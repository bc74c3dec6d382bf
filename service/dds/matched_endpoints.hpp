// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__MATCHED_ENDPOINTS_HPP_
#define SERVICE__DDS__MATCHED_ENDPOINTS_HPP_

#include <array>
#include <string>
#include <vector>

#include "dds/dds.h"

namespace typesupport_dds
{

/// A remote (or local) endpoint that one of ours has matched.
struct MatchedEndpoint
{
  dds_instance_handle_t handle = 0;  ///< its instance handle, as sample infos name it
  std::array<unsigned char, 16> guid{};  ///< its GUID
  std::array<unsigned char, 16> participant_guid{};  ///< its participant's GUID
  std::string user_data;  ///< its user data bytes, possibly empty
};

/// The readers `writer` has matched, as far as Cyclone still knows them.
/// Returns an empty string or a one-line reason.
std::string matched_subscriptions(dds_entity_t writer, std::vector<MatchedEndpoint> & out);

/// The writers `reader` has matched. Returns an empty string or a reason.
std::string matched_publications(dds_entity_t reader, std::vector<MatchedEndpoint> & out);

/// The writer `handle` that `reader` has matched; false once it is gone.
bool matched_publication(dds_entity_t reader, dds_instance_handle_t handle, MatchedEndpoint & out);

/// The reader `handle` that `writer` has matched; false once it is gone.
bool matched_subscription(dds_entity_t writer, dds_instance_handle_t handle, MatchedEndpoint & out);

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__MATCHED_ENDPOINTS_HPP_
