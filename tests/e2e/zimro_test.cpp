// The real zimro on its own X server, with and without a window manager:
// started in a copy of its folder with its own calculator file, driven by
// real clicks and keys; what its scripts wrote and the file it saved on exit
// are checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "zimrofolder.h"

namespace {

using namespace e2e;

// Three long buttons below a display 100 pixels high: rows of 24 pixels at
// y 126, 151 and 176 (font size 11), whatever the font's width.
const char* const kCalcFile =
    "B0=\\4DIM a = WRITEB(\"auto.txt\", \"ran\")\r\n"
    "B1=\\1seven\\47\r\n"
    "B2=\\1save\\4DIM r = WRITEB(\"ans.txt\", Ans)\r\n"
    "B3=\\1loop\\4DIM w = WRITEB(\"looping.txt\", \"yes\")\\y\\nWHILE 1 { w = w + 1 }\r\n"
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=3\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\n";

int ButtonY(int n) { return 126 + 12 + 25 * (n - 1); }

class Zimro : public ZimroFolder {
 protected:
  void SetUp() override { Prepare(kCalcFile); }

  // Return, then button 2 writes Ans: true once it is `ans`. A Return that
  // reaches the window while a button's run is still in progress is left to
  // that run, which takes no Enter (as a press during a run only beeps): it
  // is pressed again. A Return on the empty line after the result does
  // nothing.
  bool EnterGivesAns(XSession& x, const std::string& window, const std::string& ans) {
    return WaitUntil([&] {
      x.Key("Return");
      std::filesystem::remove(dir / "ans.txt");
      return PressWhenIdle(x, window, 20, ButtonY(2), "ans.txt") &&
             ReadFile(dir / "ans.txt") == ans;
    });
  }
};

TEST_P(Zimro, ButtonsEnterPauseAndTheFileSavedOnExit) {
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();

  // The automatic program runs at the first activation, which comes from the
  // window manager or, without one, from the program itself.
  ASSERT_TRUE(Written("auto.txt", "ran"));
  const Geometry g = x.WindowGeometry(window);
  EXPECT_EQ(g.x, 60);
  EXPECT_EQ(g.y, 40);

  // A button that types 7, then Enter: Ans is 7.
  x.Click(window, 20, ButtonY(1));
  ASSERT_TRUE(EnterGivesAns(x, window, "7")) << ReadFile(dir / "ans.txt") << Output();

  // A typed expression and Enter: its printed result becomes Ans.
  x.Type("2+3");
  ASSERT_TRUE(EnterGivesAns(x, window, "5")) << ReadFile(dir / "ans.txt") << Output();

  // Pause ends an endless loop; the buttons answer again afterwards.
  x.Click(window, 20, ButtonY(3));
  ASSERT_TRUE(Written("looping.txt", "yes"));
  std::filesystem::remove(dir / "ans.txt");
  x.Key("Pause");
  ASSERT_TRUE(PressWhenIdle(x, window, 20, ButtonY(2), "ans.txt")) << Output();
  ASSERT_TRUE(Written("ans.txt", "5"));
  ASSERT_TRUE(x.Screenshot(dir / "screen.png"));

  // The close button at the window's top-right corner; the file is saved.
  ClickCloseButton(x, window);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  const std::string saved = ReadFile(dir / "zimro.ini");
  ASSERT_EQ(saved.substr(0, 2), "\xFF\xFE");
  const std::string text = AsciiOf(saved);
  EXPECT_EQ(text.substr(0, 12), "Zimro=1.30\r\n");
  EXPECT_NE(text.find("\r\nB1=\\1seven\\47\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nTop=40\r\nLeft=60\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nButtonDispLine1=3\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nDispHeight=100\r\n"), std::string::npos) << text;
}

TEST_P(Zimro, ShiftHeldAtStartSkipsTheAutomaticProgram) {
  XSession x(Options());
  x.KeyDown("shift");
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  // Shift stays down until the window has been activated (the automatic
  // program's moment) and has answered a button after it.
  x.Focus(window);
  ASSERT_TRUE(PressWhenIdle(x, window, 20, ButtonY(2), "ans.txt")) << Output();
  x.KeyUp("shift");
  ASSERT_TRUE(Written("ans.txt", "0"));
  EXPECT_FALSE(std::filesystem::exists(dir / "auto.txt"));
  x.Kill(zimro);
}

TEST_P(Zimro, DraggingByTheFaceMovesTheWindowButNeverAboveTheScreen) {
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  ASSERT_TRUE(Written("auto.txt", "ran"));
  // Press on the title strip (the window's face), move in four steps,
  // release. Each step waits until the window has followed it, or for a
  // second where it cannot (the top stays on the screen).
  auto drag = [&](int dx, int dy) {
    x.MoveTo(window, 100, 12);
    x.Run({"xdotool", "mousedown", "1"});
    for (int step = 1; step <= 4; ++step) {
      const Geometry before = x.WindowGeometry(window);
      x.Run({"xdotool", "mousemove_relative", "--",
             std::to_string(dx * step / 4 - dx * (step - 1) / 4),
             std::to_string(dy * step / 4 - dy * (step - 1) / 4)});
      WaitUntil(
          [&] {
            const Geometry now = x.WindowGeometry(window);
            return now.x != before.x || now.y != before.y;
          },
          1s);
    }
    x.Run({"xdotool", "mouseup", "1"});
  };
  // Drags until the window stands at (wantX, wantY), each drag as `next`
  // says from where it stands. The window's own drag gets there at once; a
  // window manager takes the move over only some time after the press and,
  // on a busy machine, may miss moves before it.
  auto dragTo = [&](int wantX, int wantY, const std::function<std::pair<int, int>(Geometry)>& next) {
    int drags = 0;
    const bool there = WaitUntil(
        [&] {
          const Geometry g = x.WindowGeometry(window);
          if (g.x == wantX && g.y == wantY) return true;
          const auto [dx, dy] = next(g);
          drag(dx, dy);
          ++drags;
          return false;
        },
        60s);
    EXPECT_TRUE(there) << x.WindowGeometry(window).x << "," << x.WindowGeometry(window).y;
    if (!x.HasWindowManager()) {
      EXPECT_EQ(drags, 1);
    }
  };
  // By (200, 100), again by what is left.
  dragTo(260, 140, [](Geometry g) { return std::pair{260 - g.x, 140 - g.y}; });
  // Ever upwards, far past the screen's top: only a window stopped at the
  // top stands at 0.
  dragTo(260, 0, [](Geometry) { return std::pair{0, -400}; });
  x.Kill(zimro);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Zimro, ::testing::Values(false, true), SessionName);

}  // namespace
