// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// typesupport-service between two hosts: two network namespaces of the
// test's own making, joined by a veth pair, each with an address of its own
// and nothing else. Discovery goes as it does between machines, by
// multicast over the link (no ROS_LOCALHOST_ONLY). Needs root.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <sched.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/isolated_network.hpp"
#include "support/service_fixture.hpp"
#include "support/service_tool.hpp"
#include "test/support/yaml_document.hpp"

namespace
{

using service_test::ChildOptions;
using service_test::ChildProcess;
using service_test::Finished;
using service_test::kPatience;
using service_test::kStringCommand;
using service_test::string_field;
using service_test::string_fields;

// The first of `candidates` that can be run, or "".
std::string find_program(const std::vector<std::string> & candidates)
{
  for (const std::string & candidate : candidates) {
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return "";
}

std::string read_file(const std::string & path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A host: a network namespace held by a child of the test that does nothing
// but wait. The namespace, and the links in it, go when that child does:
// when this object goes, and also when the test dies, since the kernel
// kills the child with its parent.
class Host
{
public:
  Host()
  {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe failed");
    }
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      // Only system calls from here: the test may have other threads.
      close(ready[0]);
      if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent ||
        unshare(CLONE_NEWNET) != 0)
      {
        _exit(1);
      }
      const char byte = 1;
      if (write(ready[1], &byte, 1) != 1) {
        _exit(1);
      }
      while (true) {
        pause();
      }
    }
    close(ready[1]);
    bool made = false;
    if (pid_ > 0) {
      pollfd done{ready[0], POLLIN, 0};
      char byte = 0;
      made = poll(&done, 1, static_cast<int>(kPatience.count() * 1000)) == 1 &&
        read(ready[0], &byte, 1) == 1;
    }
    close(ready[0]);
    if (!made) {
      reap();
      throw std::runtime_error("cannot make a network namespace");
    }
  }

  ~Host()
  {
    reap();
  }

  Host(const Host &) = delete;
  Host & operator=(const Host &) = delete;

  pid_t pid() const {return pid_;}

  /// What nsenter needs to run a program here.
  std::string network() const
  {
    return "--net=/proc/" + std::to_string(pid_) + "/ns/net";
  }

  /// A file of this host's /proc/net (the namespace's own view).
  std::string proc_net(const std::string & file) const
  {
    return read_file("/proc/" + std::to_string(pid_) + "/net/" + file);
  }

private:
  void reap()
  {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

  pid_t pid_ = -1;
};

// The interfaces in a /proc/net/dev text.
std::vector<std::string> interfaces(const std::string & net_dev)
{
  std::vector<std::string> names;
  std::istringstream lines(net_dev);
  std::string line;
  while (std::getline(lines, line)) {
    const std::string::size_type colon = line.find(':');
    if (colon == std::string::npos || line.find('|') != std::string::npos) {
      continue;
    }
    std::istringstream name(line.substr(0, colon));
    std::string trimmed;
    name >> trimmed;
    names.push_back(trimmed);
  }
  return names;
}

// A counter of the "IpExt:" lines of a /proc/net/netstat text.
unsigned long long ip_ext_counter(const std::string & netstat, const std::string & counter)
{
  std::istringstream lines(netstat);
  std::string names;
  std::string values;
  while (std::getline(lines, names)) {
    if (names.rfind("IpExt:", 0) == 0 && std::getline(lines, values)) {
      std::istringstream name_words(names);
      std::istringstream value_words(values);
      std::string name;
      std::string value;
      while (name_words >> name && value_words >> value) {
        if (name == counter) {
          return std::stoull(value);
        }
      }
    }
  }
  ADD_FAILURE() << "no IpExt counter " << counter;
  return 0;
}

class AcrossHosts : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (geteuid() != 0) {
      GTEST_SKIP() << "making network namespaces and a veth pair needs root";
    }
    ip_ = find_program({"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"});
    nsenter_ = find_program({"/usr/bin/nsenter", "/bin/nsenter"});
    if (ip_.empty() || nsenter_.empty()) {
      GTEST_SKIP() << "needs ip (iproute2) and nsenter (util-linux)";
    }
    service_test::use_domain(104);
    first_ = std::make_unique<Host>();
    second_ = std::make_unique<Host>();
    // Made in the hosts themselves: the link never shows in the test's own
    // network, let alone the machine's.
    run({ip_, "link", "add", "zorv0", "netns", std::to_string(first_->pid()), "type", "veth",
        "peer", "name", "zorv1", "netns", std::to_string(second_->pid())});
    // Addresses of a /24 of their own for each run, on a link that leads
    // nowhere else.
    const std::string subnet = "10.211." + std::to_string(getpid() % 250 + 1) + ".";
    configure(*first_, "zorv0", subnet + "1/24");
    configure(*second_, "zorv1", subnet + "2/24");
  }

  // Runs a command to its end, which must succeed.
  void run(const std::vector<std::string> & argv)
  {
    ChildOptions options;
    options.capture_error = true;
    ChildProcess command(argv, options);
    const Finished finished = service_test::finish(command, kPatience);
    ASSERT_EQ(0, finished.status) << argv[0] << " " << argv[1] << ": " << finished.err;
  }

  void configure(const Host & host, const std::string & link, const std::string & address)
  {
    const std::vector<std::string> in_host = {nsenter_, host.network(), "--", ip_};
    const std::vector<std::vector<std::string>> commands = {
      {"link", "set", "lo", "up"},
      {"address", "add", address, "dev", link},
      {"link", "set", link, "up"},
      // Multicast goes out over the link, the host's only way out.
      {"route", "add", "224.0.0.0/4", "dev", link},
    };
    for (const auto & command : commands) {
      std::vector<std::string> argv = in_host;
      argv.insert(argv.end(), command.begin(), command.end());
      run(argv);
    }
  }

  // Starts the tool in `host`, with the ROS environment a machine on a
  // network has: a domain id, no loopback-only, no configuration of its own.
  std::unique_ptr<ChildProcess> start_tool_in(
    const Host & host, const std::vector<std::string> & args)
  {
    ChildOptions options;
    options.capture_error = true;
    options.environment = service_test::tool_environment();
    options.environment.push_back("ROS_LOCALHOST_ONLY");
    options.environment.push_back("CYCLONEDDS_URI");
    std::vector<std::string> argv = {nsenter_, host.network(), "--", service_test::tool_path()};
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<ChildProcess>(argv, options);
  }

  std::string ip_;
  std::string nsenter_;
  std::unique_ptr<Host> first_;
  std::unique_ptr<Host> second_;
};

TEST_F(AcrossHosts, CallOnOneHostReachesServeOnTheOtherOverTheLink)
{
  for (const Host * host : {first_.get(), second_.get()}) {
    const std::vector<std::string> names = interfaces(host->proc_net("dev"));
    ASSERT_EQ(2u, names.size()) << host->proc_net("dev");
    EXPECT_EQ("lo", names[0]);
    EXPECT_EQ(host == first_.get() ? "zorv0" : "zorv1", names[1]);
  }
  for (const std::string & name : interfaces(read_file("/proc/self/net/dev"))) {
    EXPECT_EQ(std::string::npos, name.find("zorv")) << "the link is in the test's network";
  }

  const auto serve = start_tool_in(*second_,
      {"serve", "--count", "1", "/dock_command", kStringCommand, "{answer: from the other host}"});
  const auto call = start_tool_in(*first_,
      {"call", "--timeout", "20", "/dock_command", kStringCommand, "{command: over the link}"});
  const Finished called = service_test::finish(*call, kPatience);
  EXPECT_EQ(0, called.status) << called.err;
  EXPECT_EQ("", called.err);
  EXPECT_EQ("from the other host", string_field(test_support::load_one_yaml(called.out), "answer"));
  const Finished served = service_test::finish(*serve, kPatience);
  EXPECT_EQ(0, served.status) << served.err;
  EXPECT_EQ(std::vector<std::string>{"over the link"}, string_fields(served.out, "command"));

  // Each host took in multicast datagrams: the other's discovery.
  for (const Host * host : {first_.get(), second_.get()}) {
    EXPECT_GT(ip_ext_counter(host->proc_net("netstat"), "InMcastPkts"), 0u);
  }
}

}  // namespace
