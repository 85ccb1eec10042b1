// The pace of the per-statement pump: a pass is due once a period has gone
// by, at once after a step that took longer or after a nudge, and an idle
// ticker sleeps.
#include "calculator/stepticker.h"

#include <dirent.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Steps every 100 µs until one is due. A loaded machine may hold a thread
// up for long, so each assertion on what is not yet due is made only where
// the clock shows that it must hold.
struct Stepped {
  int steps = -1;           // how many it took; -1: none was due in time
  Clock::time_point quiet;  // the last step that was not due
  Clock::time_point due;    // the step that was
};

Stepped StepsUntilDue(StepTicker& ticker, std::chrono::milliseconds within) {
  Stepped r;
  r.quiet = Clock::now();
  const auto deadline = r.quiet + within;
  for (int steps = 1; Clock::now() < deadline; ++steps) {
    const auto at = Clock::now();
    if (ticker.Due()) {
      r.steps = steps;
      r.due = at;
      return r;
    }
    r.quiet = at;
    std::this_thread::sleep_for(100us);
  }
  return r;
}

TEST(StepTicker, APassIsDueOncePerPeriod) {
  constexpr auto kPeriod = 100ms;
  StepTicker ticker(kPeriod);
  const auto start = Clock::now();
  EXPECT_FALSE(ticker.Due());  // the first step only starts the clock
  Stepped first = StepsUntilDue(ticker, 5s);
  ASSERT_GT(first.steps, 0);
  EXPECT_GE(first.due - start, kPeriod);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    // Taken: the pass was marked after the last quiet step, and the next
    // comes a period after that.
    const bool again = ticker.Due();
    if (Clock::now() < first.quiet + kPeriod) {
      EXPECT_FALSE(again);
    }
    const Stepped next = StepsUntilDue(ticker, 5s);
    ASSERT_GT(next.steps, 0);
    EXPECT_GE(next.due - first.quiet, kPeriod);
    first = next;
  }
}

// A statement that ran longer than a period (a WAIT, a dialog): the very
// next step pumps, once.
TEST(StepTicker, TheStepAfterALongStatementIsDue) {
  constexpr auto kPeriod = 100ms;
  StepTicker ticker(kPeriod);
  ticker.Due();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    std::this_thread::sleep_for(3 * kPeriod);
    const auto taken = Clock::now();
    EXPECT_TRUE(ticker.Due());
    // The thread slept; the step woke it, and its next pass is a period on.
    const bool again = ticker.Due();
    if (Clock::now() < taken + kPeriod) {
      EXPECT_FALSE(again);
    }
  }
}

// What a signal handler notes: the next step is due, whatever the period.
TEST(StepTicker, ANudgeMakesTheNextStepDue) {
  StepTicker ticker(1h);
  ticker.Nudge();  // before the first step too
  EXPECT_TRUE(ticker.Due());
  EXPECT_FALSE(ticker.Due());
  ticker.Nudge();
  ticker.Nudge();
  EXPECT_TRUE(ticker.Due());
  EXPECT_FALSE(ticker.Due());
}

// The voluntary context switches of this process's thread of that name;
// -1 when there is none.
long SwitchesOf(const std::string& name) {
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return -1;
  long switches = -1;
  while (dirent* e = readdir(tasks)) {
    const std::string task = std::string("/proc/self/task/") + e->d_name;
    std::string comm;
    std::getline(std::ifstream(task + "/comm"), comm);
    if (comm != name) continue;
    std::ifstream status(task + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) switches = std::stol(line.substr(24));
    }
  }
  closedir(tasks);
  return switches;
}

// An idle calculator wakes nobody: once no step comes, the thread sleeps
// until one does, and then ticks again.
TEST(StepTicker, SleepsWhileNoStepComesAndWakesWithTheNext) {
  StepTicker ticker(1ms);
  ticker.Due();
  ASSERT_GT(StepsUntilDue(ticker, 5s).steps, 0);
  // Asleep: its switches stay as they are for a while (once the thread has
  // had its turns on a busy machine).
  long asleep = -1;
  for (const auto deadline = Clock::now() + 30s; asleep < 0 && Clock::now() < deadline;) {
    const long before = SwitchesOf("steps");
    ASSERT_GE(before, 0);
    std::this_thread::sleep_for(300ms);
    if (SwitchesOf("steps") == before) asleep = before;
  }
  ASSERT_GE(asleep, 0) << "the thread never went to sleep";
  EXPECT_TRUE(ticker.Due());  // the period went by meanwhile
  EXPECT_GT(StepsUntilDue(ticker, 5s).steps, 0);
  EXPECT_GT(SwitchesOf("steps"), asleep);
}

}  // namespace
