// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TEST__SERVICE__SUPPORT__ISOLATED_NETWORK_HPP_
#define TEST__SERVICE__SUPPORT__ISOLATED_NETWORK_HPP_

namespace service_test
{

/// Moves the process (still single-threaded) into a network namespace of
/// its own with only the loopback interface, up; the peers it starts follow.
/// Needs root: returns false, changing nothing, where it is not allowed.
bool isolate_network();

/// Makes `domain_id` the ROS_DOMAIN_ID of this process and of the peers it
/// starts: each test has its own, so tests side by side never meet even
/// without a namespace of their own. Outside a namespace of its own the
/// traffic is kept on loopback (ROS_LOCALHOST_ONLY=1).
/// ZORV_SERVICE_TEST_DOMAIN_OFFSET, if set, is added to the id.
void use_domain(unsigned domain_id);

}  // namespace service_test

#endif  // TEST__SERVICE__SUPPORT__ISOLATED_NETWORK_HPP_
