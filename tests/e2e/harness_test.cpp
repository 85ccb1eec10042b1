// The harness itself, driving a tiny Qt program on its own X server, with
// and without a window manager.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "xsession.h"

namespace {

using namespace e2e;

class Harness : public ::testing::TestWithParam<bool> {
protected:
  SessionOptions Options() const {
    SessionOptions options;
    options.windowManager = GetParam();
    return options;
  }
};

std::string LogOf(const TempDir& dir) { return ReadFile(dir / "log.txt"); }

ProgramOptions WithArgs(std::vector<std::string> args) {
  ProgramOptions options;
  options.args = std::move(args);
  return options;
}

// Waits until the probe's log ends with `tail`.
::testing::AssertionResult LogEndsWith(const TempDir& dir, const std::string& tail) {
  if (WaitUntil(
          [&] {
            const std::string log = LogOf(dir);
            return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(),
                                                            tail) == 0;
          },
          10s))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "log is \"" << LogOf(dir) << "\"";
}

TEST_P(Harness, ClicksTypesPressesKeysAndUsesTheClipboard) {
  TempDir dir;
  XSession x(Options());
  ProgramOptions options = WithArgs({(dir / "log.txt").string()});
  options.output = dir / "out.txt";
  const pid_t probe = x.Start(HARNESSPROBE_PATH, options);
  const std::string window = x.WaitForWindow(probe);
  ASSERT_FALSE(window.empty()) << ReadFile(dir / "out.txt");
  EXPECT_EQ(x.WindowName(window), "probe");
  const Geometry g = x.WindowGeometry(window);
  EXPECT_EQ(g.width, 240);
  EXPECT_EQ(g.height, 100);

  x.Click(window, 50, 25);
  ASSERT_TRUE(LogEndsWith(dir, "clicked 1\n"));
  EXPECT_EQ(x.Clipboard(), "クリック 1");

  x.Focus(window);
  x.Click(window, 100, 70);
  x.Type("1+2*3");
  x.Key("Return");
  ASSERT_TRUE(LogEndsWith(dir, "entered 1+2*3\n"));
  // Characters that the keyboard map lacks, each more than once.
  x.Type("合計 ÷ 合計表示");
  x.Key("Return");
  ASSERT_TRUE(LogEndsWith(dir, "entered 合計 ÷ 合計表示\n"));

  x.Key("Pause Insert F1");
  ASSERT_TRUE(LogEndsWith(dir, "key Pause\nkey Insert\nkey F1\n"));

  x.SetClipboard("貼り付け x");
  x.Click(window, 100, 70);
  x.Key("ctrl+v Return");
  ASSERT_TRUE(LogEndsWith(dir, "entered 貼り付け x\n"));

  ASSERT_TRUE(x.Screenshot(dir / "screen.png"));
  ASSERT_TRUE(x.Screenshot(dir / "window.png", window));
  for (const char* name : {"screen.png", "window.png"}) {
    const std::string png = ReadFile(dir / name);
    EXPECT_GT(png.size(), 100u) << name;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
  }

  EXPECT_EQ(x.WaitForExit(probe, 100ms), std::nullopt);
  x.Key("Escape");
  EXPECT_EQ(x.WaitForExit(probe, 30s), 3);
  EXPECT_FALSE(x.IsRunning(probe));
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Harness, ::testing::Values(false, true),
                         [](const auto& c) { return c.param ? "Openbox" : "Bare"; });

bool Gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

TEST(HarnessSession, LeavesNothingRunning) {
  TempDir dir;
  pid_t probe = 0;
  pid_t server = 0;
  pid_t windowManager = 0;
  {
    SessionOptions withOpenbox;
    withOpenbox.windowManager = true;
    XSession x(withOpenbox);
    server = x.ServerPid();
    windowManager = x.WindowManagerPid();
    probe = x.Start(HARNESSPROBE_PATH, WithArgs({(dir / "log.txt").string()}));
    ASSERT_FALSE(x.WaitForWindow(probe).empty());
    x.SetClipboard("x");
    EXPECT_GT(server, 0);
    EXPECT_GT(windowManager, 0);
  }
  EXPECT_TRUE(Gone(probe));
  EXPECT_TRUE(Gone(server));
  EXPECT_TRUE(Gone(windowManager));
}

TEST(HarnessSession, SessionsHaveDisplaysOfTheirOwn) {
  XSession a;
  XSession b;
  EXPECT_NE(a.Display(), b.Display());
  EXPECT_EQ(a.Run({"xdpyinfo", "-display", a.Display()}, 5s).status, 0);
  EXPECT_NE(a.Run({"xdpyinfo", "-display", a.Display()}, 5s).out.find("1280x1024"),
            std::string::npos);
}

// A program started as nobody is nobody and reaches the display.
TEST(HarnessSession, AProgramStartedAsNobodyIsNobodyAndShowsItsWindow) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can start a program as nobody";
  TempDir dir;
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
  XSession x;
  ProgramOptions options = WithArgs({"-c", "id -u > uid.txt"});
  options.workingDirectory = dir.Path();
  options.asNobody = true;
  const pid_t id = x.Start("/bin/sh", options);
  EXPECT_EQ(x.WaitForExit(id, 30s), 0);
  EXPECT_EQ(ReadFile(dir / "uid.txt"), "65534\n");
  options.args = {(dir / "log.txt").string()};
  const pid_t probe = x.Start(HARNESSPROBE_PATH, options);
  EXPECT_FALSE(x.WaitForWindow(probe).empty()) << LogOf(dir);
}

TEST(HarnessSession, AProgramThatNeverShowsAWindowIsReportedNotAwaited) {
  XSession x;
  const pid_t quick = x.Start("/bin/sh", WithArgs({"-c", "exit 4"}));
  EXPECT_EQ(x.WaitForWindow(quick, 5s), "");
  EXPECT_EQ(x.WaitForExit(quick, 30s), 4);
  const pid_t slow = x.Start("/bin/sleep", WithArgs({"30"}));
  EXPECT_EQ(x.WaitForExit(slow, 50ms), std::nullopt);
  x.Kill(slow);
  EXPECT_FALSE(x.IsRunning(slow));
}

}  // namespace
