// A long line pasted into the display of the real zimro on its own X
// server, with and without a window manager: a line of 400,000 and one of
// 1,000,000 units without a break, offered on the X clipboard and pasted
// with Ctrl+V. The window answers at once: a button runs, Pause stops a run,
// and the close button closes the window, which saves its file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "zimrofolder.h"

namespace {

using namespace e2e;
using SystemClock = std::chrono::system_clock;

// The sanitizer build runs slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSlowdown = 2;
#else
constexpr int kSlowdown = 1;
#endif

// Bounds that tell a window that answers from one frozen by the line: a
// paste of such a line used to freeze it for 22 s and more, and a stop or a
// close waited as long. Now each takes a second or two at most on a loaded
// machine; how long exactly, make bench measures (displaybench).
const Millis kPasteAnswered{15000 * kSlowdown};
const Millis kActs{5000 * kSlowdown};

// Four long buttons below a display 100 pixels high (font size 11): 1
// writes the length of the display's current line, 2 runs until stopped,
// writing the time as it goes.
const char* const kCalcFile =
    "B1=\\1answer\\4DIM r = WRITEB(\"answer.txt\", \"\" + LEN(GetCurrentLine()))\r\n"
    "B2=\\1run\\4DIM n = 0, w\\y\\nWHILE 1 { n = n + 1\\y\\nw = WRITEB(\"tick.txt\", \"\" + n) }\r\n"
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=4\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\nStayOnTop=0\r\n";

int ButtonY(int n) { return 126 + 12 + 25 * (n - 1); }

std::string Digits(size_t units) {
  std::string line(units, '0');
  for (size_t k = 0; k < units; ++k) line[k] = static_cast<char>('0' + k % 10);
  return line;
}

// When a file was last written, on the clock of SystemClock.
std::optional<SystemClock::time_point> WrittenAt(const std::filesystem::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return std::nullopt;
  const auto since = std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec);
  return SystemClock::time_point(std::chrono::duration_cast<SystemClock::duration>(since));
}

Millis Since(SystemClock::time_point start) {
  return std::chrono::duration_cast<Millis>(SystemClock::now() - start);
}

class DisplayE2E : public ZimroFolder {
 protected:
  // The title strip's close button, from the window's right edge.
  int CloseButtonX(XSession& x, const std::string& window) {
    return x.WindowGeometry(window).width - 19 + 7;
  }

  // Whether the process still shows a window.
  bool Shown(XSession& x, pid_t pid) {
    return !x.Run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)}).out.empty();
  }

  std::string SavedText() { return AsciiOf(ReadFile(dir / "zimro.ini")); }
};

TEST_P(DisplayE2E, APastedLongLineLeavesTheWindowAnswering) {
  Prepare(kCalcFile);
  XSession x(Options());
  for (const size_t units : {size_t{400'000}, size_t{1'000'000}}) {
    SCOPED_TRACE(std::to_string(units) + " units");
    WriteFile(dir / "zimro.ini", Utf16File(kCalcFile));
    std::filesystem::remove(dir / "answer.txt");
    std::filesystem::remove(dir / "tick.txt");
    std::string window;
    const pid_t zimro = Start(x, window);
    ASSERT_FALSE(window.empty()) << Output();
    const std::string line = Digits(units);
    x.SetClipboard(line);
    ASSERT_EQ(x.Clipboard().size(), units);

    // Into the display, then at once a button press: it runs as soon as
    // the window has taken the paste in, and finds the whole line there.
    x.Click(window, 40, 60);
    auto start = SystemClock::now();
    x.Key("ctrl+v");
    x.Click(window, 20, ButtonY(1));
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(dir / "answer.txt").empty(); }, 60s))
        << Output();
    const Millis answered = Since(start);
    EXPECT_EQ(ReadFile(dir / "answer.txt"), std::to_string(units));
    EXPECT_LT(answered, kPasteAnswered);

    // A run that goes on until stopped: Pause ends it. Its last tick is
    // when it stopped.
    x.Click(window, 20, ButtonY(2));
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(dir / "tick.txt"); })) << Output();
    start = SystemClock::now();
    x.Key("Pause");
    // Once the run has ended, a button runs again.
    std::filesystem::remove(dir / "answer.txt");
    ASSERT_TRUE(WaitUntil(
        [&] {
          x.Click(window, 20, ButtonY(1));
          return WaitUntil([&] { return std::filesystem::exists(dir / "answer.txt"); }, 200ms);
        },
        30s))
        << Output();
    const std::optional<SystemClock::time_point> lastTick = WrittenAt(dir / "tick.txt");
    ASSERT_TRUE(lastTick.has_value());
    const Millis stopped = std::chrono::duration_cast<Millis>(*lastTick - start);
    EXPECT_LT(stopped, kActs);

    // The close button during a run closes the window, which saves.
    std::filesystem::remove(dir / "tick.txt");
    x.Click(window, 20, ButtonY(2));
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(dir / "tick.txt"); })) << Output();
    const int closeX = CloseButtonX(x, window);
    start = SystemClock::now();
    x.Click(window, closeX, 4 + 7);
    ASSERT_TRUE(WaitUntil([&] { return !Shown(x, zimro); })) << Output();
    const Millis closed = Since(start);
    EXPECT_LT(closed, kActs);
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
    EXPECT_EQ(SavedText().substr(0, 12), "Zimro=1.30\r\n") << SavedText();
    EXPECT_NE(SavedText().find("\r\nB2=\\1run\\"), std::string::npos) << SavedText();
  }
}

INSTANTIATE_TEST_SUITE_P(WindowManager, DisplayE2E, ::testing::Values(false, true), SessionName);

}  // namespace
