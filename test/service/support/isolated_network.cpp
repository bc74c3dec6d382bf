// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "support/isolated_network.hpp"

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace service_test
{
namespace
{

bool isolated = false;

}  // namespace

bool isolate_network()
{
  if (unshare(CLONE_NEWNET) != 0) {
    return false;
  }
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return false;
  }
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
  if (up) {
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP | IFF_RUNNING);
    up = ioctl(fd, SIOCSIFFLAGS, &request) == 0;
  }
  close(fd);
  isolated = up;
  return up;
}

void use_domain(unsigned domain_id)
{
  // A second run of the same tests beside the first (under memcheck, say)
  // moves to domains of its own.
  const char * offset = std::getenv("ZORV_SERVICE_TEST_DOMAIN_OFFSET");
  if (offset != nullptr) {
    domain_id += static_cast<unsigned>(std::strtoul(offset, nullptr, 10));
  }
  setenv("ROS_DOMAIN_ID", std::to_string(domain_id).c_str(), 1);
  if (isolated) {
    unsetenv("ROS_LOCALHOST_ONLY");
  } else {
    setenv("ROS_LOCALHOST_ONLY", "1", 1);
  }
}

}  // namespace service_test
