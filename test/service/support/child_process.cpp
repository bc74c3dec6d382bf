// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "support/child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
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
namespace
{

// The test's environment with `changes` applied ("NAME=VALUE" sets, "NAME"
// removes).
std::vector<std::string> child_environment(const std::vector<std::string> & changes)
{
  std::vector<std::string> variables;
  for (char ** variable = environ; *variable != nullptr; ++variable) {
    variables.emplace_back(*variable);
  }
  for (const std::string & change : changes) {
    const std::string name = change.substr(0, change.find('='));
    for (auto it = variables.begin(); it != variables.end(); ) {
      it = it->compare(0, name.size() + 1, name + "=") == 0 ? variables.erase(it) : it + 1;
    }
    if (change.find('=') != std::string::npos) {
      variables.push_back(change);
    }
  }
  return variables;
}

std::vector<char *> pointers(const std::vector<std::string> & texts)
{
  std::vector<char *> result;
  for (const std::string & text : texts) {
    result.push_back(const_cast<char *>(text.c_str()));
  }
  result.push_back(nullptr);
  return result;
}

// Reads what `fd` has into `into`; returns false at its end.
bool read_some(int fd, std::string & into)
{
  char chunk[65536];
  while (true) {
    const ssize_t n = read(fd, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    into.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string> & argv)
: ChildProcess(argv, ChildOptions{})
{
}

ChildProcess::ChildProcess(const std::vector<std::string> & argv, const ChildOptions & options)
: pid_(-1), output_(-1), error_(-1), wake_{-1, -1}, reaped_(false), status_(-1),
  output_ended_(false), error_ended_(!options.capture_error), holding_(false)
{
  int output_fds[2];
  int error_fds[2] = {-1, -1};
  if (pipe2(output_fds, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  if ((options.capture_error && pipe2(error_fds, O_CLOEXEC) != 0) ||
    pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
  {
    const int problem = errno;
    for (int fd : {output_fds[0], output_fds[1], error_fds[0], error_fds[1], wake_[0], wake_[1]}) {
      if (fd >= 0) {
        close(fd);
      }
    }
    throw std::runtime_error(std::string("pipe: ") + std::strerror(problem));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output_fds[1], STDOUT_FILENO);
  if (options.capture_error) {
    posix_spawn_file_actions_adddup2(&actions, error_fds[1], STDERR_FILENO);
  }
  if (!options.working_directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
  }
  const std::vector<std::string> environment = child_environment(options.environment);
  std::vector<char *> args = pointers(argv);
  std::vector<char *> variables = pointers(environment);
  const int rc = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), variables.data());
  posix_spawn_file_actions_destroy(&actions);
  close(output_fds[1]);
  if (error_fds[1] >= 0) {
    close(error_fds[1]);
  }
  output_ = output_fds[0];
  error_ = error_fds[0];
  if (rc != 0) {
    close(output_);
    if (error_ >= 0) {
      close(error_);
    }
    close(wake_[0]);
    close(wake_[1]);
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
  }
  drainer_ = std::thread([this] {drain();});
}

ChildProcess::~ChildProcess()
{
  if (!reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
  }
  release_output();  // so that the drainer reads on to the end
  drainer_.join();  // the output ends with the child
  close(output_);
  if (error_ >= 0) {
    close(error_);
  }
  close(wake_[0]);
  close(wake_[1]);
}

// Reads both pipes as they fill, leaving the standard output alone while it
// is held; reads happen under the mutex, so that hold_output() takes effect
// before the next byte is read.
void ChildProcess::drain()
{
  while (true) {
    pollfd fds[3];
    nfds_t count = 0;
    int output_slot = -1;
    int error_slot = -1;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (output_ended_ && error_ended_) {
        return;
      }
      if (!output_ended_ && !holding_) {
        output_slot = static_cast<int>(count);
        fds[count++] = pollfd{output_, POLLIN, 0};
      }
      if (!error_ended_) {
        error_slot = static_cast<int>(count);
        fds[count++] = pollfd{error_, POLLIN, 0};
      }
    }
    fds[count++] = pollfd{wake_[0], POLLIN, 0};
    if (poll(fds, count, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      output_ended_ = error_ended_ = true;
      arrived_.notify_all();
      return;
    }
    char discard[64];
    while (read(wake_[0], discard, sizeof(discard)) > 0) {
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (output_slot >= 0 && fds[output_slot].revents != 0 && !holding_) {
      output_ended_ = !read_some(output_, buffer_);
    }
    if (error_slot >= 0 && fds[error_slot].revents != 0) {
      error_ended_ = !read_some(error_, error_buffer_);
    }
    arrived_.notify_all();
  }
}

void ChildProcess::wake_drainer()
{
  const char byte = 1;
  if (write(wake_[1], &byte, 1) != 1) {
    // The pipe is full of wake-ups already: the drainer will look.
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

std::string ChildProcess::output(std::chrono::milliseconds timeout)
{
  std::unique_lock<std::mutex> lock(mutex_);
  arrived_.wait_for(lock, timeout, [&] {return output_ended_;});
  std::string all;
  all.swap(buffer_);
  return all;
}

std::string ChildProcess::error_output(std::chrono::milliseconds timeout)
{
  std::unique_lock<std::mutex> lock(mutex_);
  arrived_.wait_for(lock, timeout, [&] {return error_ended_;});
  return error_buffer_;
}

void ChildProcess::hold_output()
{
  std::lock_guard<std::mutex> lock(mutex_);
  holding_ = true;
  wake_drainer();
}

void ChildProcess::release_output()
{
  std::lock_guard<std::mutex> lock(mutex_);
  holding_ = false;
  wake_drainer();
}

std::size_t ChildProcess::unread_output_bytes() const
{
  int bytes = 0;
  if (ioctl(output_, FIONREAD, &bytes) != 0 || bytes < 0) {
    return 0;
  }
  return static_cast<std::size_t>(bytes);
}

std::size_t ChildProcess::output_capacity() const
{
  const int capacity = fcntl(output_, F_GETPIPE_SZ);
  return capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
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
