// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "signal_watcher.hpp"

#include <pthread.h>

#include <csignal>

namespace typesupport_service
{

namespace
{

// SIGUSR1 only ends the watching thread; it is blocked everywhere else too.
sigset_t watched_signals()
{
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);
  return signals;
}

}  // namespace

SignalWatcher::SignalWatcher()
{
  const sigset_t signals = watched_signals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  thread_ = std::thread([this, signals] {
        int signal = 0;
        while (sigwait(&signals, &signal) == 0 && signal != SIGUSR1) {
          std::function<void()> action;
          {
            std::lock_guard<std::mutex> lock(mutex_);
            if (signalled_) {
              continue;
            }
            signalled_ = true;
            action = action_;
          }
          if (action) {
            action();
          }
        }
      });
}

SignalWatcher::~SignalWatcher()
{
  pthread_kill(thread_.native_handle(), SIGUSR1);
  thread_.join();
}

void SignalWatcher::set_action(std::function<void()> action)
{
  bool signalled = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    action_ = action;
    signalled = signalled_;
  }
  if (signalled && action) {
    action();
  }
}

}  // namespace typesupport_service
