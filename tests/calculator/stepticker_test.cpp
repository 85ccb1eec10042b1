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

// Steps until one is due; how many it took, or -1 when none was within the
// time given.
int StepsUntilDue(StepTicker& ticker, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  for (int steps = 1; std::chrono::steady_clock::now() < deadline; ++steps) {
    if (ticker.Due()) return steps;
    std::this_thread::sleep_for(100us);
  }
  return -1;
}

TEST(StepTicker, APassIsDueOncePerPeriod) {
  StepTicker ticker(50ms);
  EXPECT_FALSE(ticker.Due());  // the first step only starts the clock
  const auto start = std::chrono::steady_clock::now();
  EXPECT_GT(StepsUntilDue(ticker, 5s), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 40ms);
  // Taken: the next step is not due again.
  EXPECT_FALSE(ticker.Due());
  EXPECT_GT(StepsUntilDue(ticker, 5s), 1);
}

// A statement that ran longer than a period (a WAIT, a dialog): the very
// next step pumps, once.
TEST(StepTicker, TheStepAfterALongStatementIsDue) {
  StepTicker ticker(2ms);
  ticker.Due();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(ticker.Due());
    EXPECT_FALSE(ticker.Due());
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
  ASSERT_GT(StepsUntilDue(ticker, 5s), 0);
  std::this_thread::sleep_for(200ms);
  const long asleep = SwitchesOf("steps");
  ASSERT_GE(asleep, 0);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(SwitchesOf("steps"), asleep);
  EXPECT_TRUE(ticker.Due());  // the period went by meanwhile
  EXPECT_GT(StepsUntilDue(ticker, 5s), 1);
  EXPECT_GT(SwitchesOf("steps"), asleep);
}

}  // namespace
