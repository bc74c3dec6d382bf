// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "support/child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char ** environ;

namespace service_test
{

ChildProcess::ChildProcess(const std::vector<std::string> & argv)
: pid_(-1), output_(-1), reaped_(false), status_(-1), output_ended_(false)
{
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  std::vector<char *> args;
  for (const std::string & arg : argv) {
    args.push_back(const_cast<char *>(arg.c_str()));
  }
  args.push_back(nullptr);
  const int rc = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (rc != 0) {
    close(pipe_fds[0]);
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
  }
  output_ = pipe_fds[0];
  drainer_ = std::thread([this] {drain();});
}

ChildProcess::~ChildProcess()
{
  if (!reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
  }
  drainer_.join();  // the output ends with the child
  close(output_);
}

void ChildProcess::drain()
{
  char chunk[65536];
  while (true) {
    const ssize_t n = read(output_, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (n <= 0) {
      output_ended_ = true;
      arrived_.notify_all();
      return;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    arrived_.notify_all();
  }
}

bool ChildProcess::read_line(std::string & line, std::chrono::milliseconds timeout)
{
  std::unique_lock<std::mutex> lock(mutex_);
  std::string::size_type newline = std::string::npos;
  arrived_.wait_for(lock, timeout, [&] {
      newline = buffer_.find('\n');
      return newline != std::string::npos || output_ended_;
    });
  if (newline == std::string::npos) {
    return false;
  }
  line = buffer_.substr(0, newline);
  buffer_.erase(0, newline + 1);
  return true;
}

int ChildProcess::wait(std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!reaped_) {
    const pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
    } else if (std::chrono::steady_clock::now() >= deadline) {
      return -1;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (WIFEXITED(status_)) {
    return WEXITSTATUS(status_);
  }
  return WIFSIGNALED(status_) ? 128 + WTERMSIG(status_) : -1;
}

void ChildProcess::signal(int signal)
{
  if (!reaped_) {
    kill(pid_, signal);
  }
}

}  // namespace service_test
