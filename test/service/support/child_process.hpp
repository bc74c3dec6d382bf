// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TEST__SERVICE__SUPPORT__CHILD_PROCESS_HPP_
#define TEST__SERVICE__SUPPORT__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace service_test
{

/// A peer program run by a test, its standard output read line by line
/// (standard error goes to the test's). A thread drains the output as it
/// comes, so that a peer never blocks on a full pipe. Killed if still
/// running when the object goes.
class ChildProcess
{
public:
  /// Starts `argv[0]` with `argv`, in the test's environment. Throws
  /// std::runtime_error if it cannot.
  explicit ChildProcess(const std::vector<std::string> & argv);

  /// Kills the child if it still runs, and reaps it.
  ~ChildProcess();

  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  /// Reads the next line of output (without its newline) within `timeout`.
  /// Returns false at a timeout or at the end of the output.
  bool read_line(std::string & line, std::chrono::milliseconds timeout);

  /// Waits up to `timeout` for the child to exit. Returns its exit status,
  /// 128 + the signal if a signal ended it, or -1 at a timeout.
  int wait(std::chrono::milliseconds timeout);

  /// Sends `signal` to the child.
  void signal(int signal);

private:
  void drain();

  pid_t pid_;
  int output_;
  bool reaped_;
  int status_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string buffer_;
  bool output_ended_;
  std::thread drainer_;
};

}  // namespace service_test

#endif  // TEST__SERVICE__SUPPORT__CHILD_PROCESS_HPP_
