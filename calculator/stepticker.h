// stepticker: tells the per-statement request when the window is due a pass
// of its pending events.
//
// A pass costs about as much as a statement, so a step pumps only when a
// period has gone by; but a step must never miss a stop that arrived while
// the statement before it ran, however long that took. A thread of its own
// marks a pass due once a period, and the step reads that mark: one relaxed
// load, no clock. The thread goes to sleep once a whole period has passed
// without a step (no run is stepping, or a statement runs long) and leaves
// the mark set, so the next step pumps and wakes it: an idle calculator
// wakes nobody.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class StepTicker {
 public:
  explicit StepTicker(std::chrono::nanoseconds period);
  ~StepTicker();
  StepTicker(const StepTicker&) = delete;
  StepTicker& operator=(const StepTicker&) = delete;

  // Every step: whether to pump now. Taking a due pass clears the mark.
  bool Due() { return mark_.load(std::memory_order_relaxed) != kQuiet && Take(); }

  // Marks a pass due at once, whatever the period: for the handler of a
  // signal (lock-free, async-signal-safe), so that the very next step sees
  // what it noted.
  void Nudge();

 private:
  // The mark. Asleep: the thread waits for a step to wake it.
  enum : int { kQuiet = 0, kDue = 1, kDueAsleep = 2, kQuietAsleep = 3 };

  bool Take();
  void Tick();

  const std::chrono::nanoseconds period_;
  std::atomic<int> mark_{kQuietAsleep};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool awake_ = false;    // under mutex_
  bool stopping_ = false;  // under mutex_
  std::thread thread_;     // made by the first step
};
