// stepticker: when the per-statement request pumps the window's events.
#include "calculator/stepticker.h"

#include <pthread.h>

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler writes the mark");

StepTicker::StepTicker(std::chrono::nanoseconds period) : period_(period) {}

StepTicker::~StepTicker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void StepTicker::Nudge() {
  int mark = mark_.load(std::memory_order_relaxed);
  for (;;) {
    const int due = mark == kQuiet ? kDue : mark == kQuietAsleep ? kDueAsleep : mark;
    if (due == mark || mark_.compare_exchange_weak(mark, due, std::memory_order_relaxed)) return;
  }
}

bool StepTicker::Take() {
  const int mark = mark_.exchange(kQuiet, std::memory_order_relaxed);
  if (mark == kDueAsleep || mark == kQuietAsleep) {
    std::lock_guard<std::mutex> lock(mutex_);
    awake_ = true;
    if (thread_.joinable()) {
      wake_.notify_one();
    } else if (!stopping_) {
      thread_ = std::thread([this] { Tick(); });
    }
  }
  return mark == kDue || mark == kDueAsleep;
}

void StepTicker::Tick() {
  pthread_setname_np(pthread_self(), "steps");
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return awake_ || stopping_; });
    if (wake_.wait_for(lock, period_, [this] { return stopping_; })) return;
    int mark = kQuiet;
    if (mark_.compare_exchange_strong(mark, kDue, std::memory_order_relaxed)) continue;
    // Nobody took the pass of the last period: no run is stepping, or its
    // statement runs long. Sleep, and leave the pass due for the next step.
    if (mark == kDue &&
        mark_.compare_exchange_strong(mark, kDueAsleep, std::memory_order_relaxed)) {
      awake_ = false;
    }
  }
}
