// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__START_LINE_HPP_
#define SUPPORT__START_LINE_HPP_

#include <atomic>
#include <thread>

namespace test_support
{

/// Holds threads until all of them have arrived, then releases them together,
/// as close to the same instant as the scheduler allows (for races on first
/// calls). Waiters spin with yields rather than sleep, so that none is late.
class StartLine
{
public:
  explicit StartLine(int threads)
  : waiting_(threads) {}

  StartLine(const StartLine &) = delete;
  StartLine & operator=(const StartLine &) = delete;

  /// Counts this thread in and waits until every thread has.
  void arrive_and_wait()
  {
    waiting_.fetch_sub(1, std::memory_order_acq_rel);
    while (waiting_.load(std::memory_order_acquire) > 0) {
      std::this_thread::yield();
    }
  }

private:
  std::atomic<int> waiting_;
};

}  // namespace test_support

#endif  // SUPPORT__START_LINE_HPP_
