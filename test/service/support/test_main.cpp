// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The service tests' main: each test process gets a network of its own when
// it may, before any thread exists (a namespace is per thread).
// ZORV_SERVICE_TESTS_SHARE_NETWORK=1 keeps the host's network, to watch the
// traffic or to run as a user; the domain ids still keep tests apart.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/isolated_network.hpp"

int main(int argc, char ** argv)
{
  const char * share = std::getenv("ZORV_SERVICE_TESTS_SHARE_NETWORK");
  if (share == nullptr || std::strcmp(share, "1") != 0) {
    service_test::isolate_network();
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
