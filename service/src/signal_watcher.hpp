// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__SRC__SIGNAL_WATCHER_HPP_
#define SERVICE__SRC__SIGNAL_WATCHER_HPP_

#include <functional>
#include <mutex>
#include <thread>

namespace typesupport_service
{

/// Turns SIGINT and SIGTERM into an action run on a thread of its own, where
/// anything may be done (a signal handler may do almost nothing). Create it
/// before any other thread, which then inherits the blocked signals.
class SignalWatcher
{
public:
  /// Blocks the signals in this thread and starts watching for them.
  SignalWatcher();
  SignalWatcher(const SignalWatcher &) = delete;
  SignalWatcher & operator=(const SignalWatcher &) = delete;
  /// Stops watching and joins the thread.
  ~SignalWatcher();

  /// Runs `action` at the first signal; at once (on this thread) when one
  /// has already come. An empty action does nothing.
  void set_action(std::function<void()> action);

private:
  std::mutex mutex_;
  std::function<void()> action_;
  bool signalled_ = false;
  std::thread thread_;
};

}  // namespace typesupport_service

#endif  // SERVICE__SRC__SIGNAL_WATCHER_HPP_
