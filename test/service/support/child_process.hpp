// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TEST__SERVICE__SUPPORT__CHILD_PROCESS_HPP_
#define TEST__SERVICE__SUPPORT__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace service_test
{

/// How a child is started, beyond its arguments.
struct ChildOptions
{
  /// Reads standard error through a pipe of its own (error_output()), where
  /// a test checks what a program reports; otherwise it goes to the test's.
  bool capture_error = false;
  /// Changes to the test's environment for this child alone: "NAME=VALUE"
  /// sets, a bare "NAME" removes. Set here rather than with setenv(), which
  /// is not safe while other threads of the test may read the environment.
  std::vector<std::string> environment;
  /// The child's working directory; the test's when empty.
  std::string working_directory;
};

/// A peer program run by a test, its standard output read line by line.
/// A thread drains the output as it comes, so that a peer never blocks on a
/// full pipe, unless the test holds the output to make it block. Killed if
/// still running when the object goes.
class ChildProcess
{
public:
  /// Starts `argv[0]` with `argv`, in the test's environment. Throws
  /// std::runtime_error if it cannot.
  explicit ChildProcess(const std::vector<std::string> & argv);

  /// Starts `argv[0]` with `argv` as `options` say. Throws
  /// std::runtime_error if it cannot.
  ChildProcess(const std::vector<std::string> & argv, const ChildOptions & options);

  /// Kills the child if it still runs, and reaps it.
  ~ChildProcess();

  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  /// Reads the next line of output (without its newline) within `timeout`.
  /// Returns false at a timeout or at the end of the output.
  bool read_line(std::string & line, std::chrono::milliseconds timeout);

  /// Waits up to `timeout` for the end of the standard output (the child
  /// has exited, or closed it) and returns all of it not read so far.
  /// Returns what there is at a timeout.
  std::string output(std::chrono::milliseconds timeout);

  /// Waits up to `timeout` for the end of the standard error and returns all
  /// of it. Only with ChildOptions::capture_error.
  std::string error_output(std::chrono::milliseconds timeout);

  /// Stops reading the standard output: once the pipe is full, the child
  /// blocks in its next write, wherever it is. Nothing is read after this
  /// returns until release_output().
  void hold_output();

  /// Reads the standard output again.
  void release_output();

  /// Bytes written to the standard output pipe and not read yet.
  std::size_t unread_output_bytes() const;

  /// The pipe's capacity: with the output held, a child whose unread bytes
  /// reach it is blocked writing.
  std::size_t output_capacity() const;

  /// Waits up to `timeout` for the child to exit. Returns its exit status,
  /// 128 + the signal if a signal ended it, or -1 at a timeout.
  int wait(std::chrono::milliseconds timeout);

  /// Sends `signal` to the child.
  void signal(int signal);

  /// The child's process id.
  pid_t pid() const {return pid_;}

private:
  void drain();
  void wake_drainer();

  pid_t pid_;
  int output_;
  int error_;  // -1 unless captured
  int wake_[2];  // tells the drainer that holding changed
  bool reaped_;
  int status_;
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::string buffer_;
  std::string error_buffer_;
  bool output_ended_;
  bool error_ended_;
  bool holding_;
  std::thread drainer_;
};

}  // namespace service_test

#endif  // TEST__SERVICE__SUPPORT__CHILD_PROCESS_HPP_
