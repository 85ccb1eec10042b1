// The help window of the real zimro, started from the template beside it,
// at scale 1, 1.5 and 2 on a screen of 1280 by 1024, with and without a
// window manager: the calculator and the help it opens with F1 lie wholly on
// the screen (the help's frame too), the help beside the calculator where
// there is room; Esc closes the help and the calculator has the keyboard
// again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "zimrofolder.h"

namespace {

using namespace e2e;

// Whether a window manager runs, and QT_SCALE_FACTOR.
using HelpCase = std::tuple<bool, std::string>;

class HelpWindow : public ::testing::TestWithParam<HelpCase> {
 protected:
  bool WindowManager() const { return std::get<0>(GetParam()); }
  const std::string& Scale() const { return std::get<1>(GetParam()); }

  // The program, its libraries, the template and the help; no zimro.ini.
  void SetUp() override {
    const std::filesystem::path bin = std::filesystem::path(ZIMRO_PATH).parent_path();
    for (const char* f : {"zimro", "libvek.so", "libplatform.so", "zimro.si"})
      std::filesystem::copy_file(bin / f, dir_ / f);
    std::filesystem::copy(bin / "help", dir_ / "help", std::filesystem::copy_options::recursive);
  }

  // The window's frame on the screen: the window where the server has it
  // (xwininfo, not xdotool, which counts a reparenting window manager's
  // offset twice) and what the window manager puts around it
  // (_NET_FRAME_EXTENTS: left, right, top, bottom).
  Geometry Frame(XSession& x, const std::string& window) {
    Geometry g;
    const ToolResult info = x.Run({"xwininfo", "-id", window});
    auto field = [&](const std::string& name) {
      const size_t at = info.out.find(name);
      return at == std::string::npos ? -1 : std::atoi(info.out.c_str() + at + name.size());
    };
    g.x = field("Absolute upper-left X:");
    g.y = field("Absolute upper-left Y:");
    g.width = field("Width:");
    g.height = field("Height:");
    const ToolResult r = x.Run({"xprop", "-id", window, "_NET_FRAME_EXTENTS"});
    int left = 0, right = 0, top = 0, bottom = 0;
    const size_t eq = r.out.find(" = ");
    if (eq != std::string::npos)
      std::sscanf(r.out.c_str() + eq + 3, "%d, %d, %d, %d", &left, &right, &top, &bottom);
    return Geometry{g.x - left, g.y - top, g.width + left + right, g.height + top + bottom};
  }

  static bool OnTheScreen(const Geometry& g) {
    return g.width > 0 && g.height > 0 && g.x >= 0 && g.y >= 0 && g.x + g.width <= 1280 &&
           g.y + g.height <= 1024;
  }
  static bool Overlap(const Geometry& a, const Geometry& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
  }
  static std::string Text(const Geometry& g) {
    return std::to_string(g.x) + "," + std::to_string(g.y) + " " + std::to_string(g.width) +
           "x" + std::to_string(g.height);
  }

  std::string Output() { return ReadFile(dir_ / "out.txt"); }

  TempDir dir_;
};

TEST_P(HelpWindow, OpensOnTheScreenBesideTheCalculatorAndEscapeClosesIt) {
  SessionOptions session;
  session.windowManager = WindowManager();
  XSession x(session);
  ProgramOptions options;
  options.workingDirectory = dir_.Path();
  options.output = dir_ / "out.txt";
  options.env = {"QT_SCALE_FACTOR=" + Scale()};
  const pid_t zimro = x.Start(dir_ / "zimro", options);
  const std::string calc = x.WaitForWindow(zimro);
  ASSERT_FALSE(calc.empty()) << Output();
  const Geometry calcFrame = Frame(x, calc);
  EXPECT_TRUE(OnTheScreen(calcFrame)) << Text(calcFrame);

  // The first activation runs the automatic program, which empties the
  // display: F1 once the display keeps what is typed.
  ASSERT_TRUE(WaitUntil(
      [&] {
        x.Focus(calc);
        x.Type("0");
        x.Key("ctrl+a ctrl+c");
        const std::string shown = x.Clipboard();
        return !shown.empty() && shown.find_first_not_of('0') == std::string::npos;
      },
      20s));
  x.Key("Insert F1");
  const std::string help = x.WaitForWindow(zimro, 30s, "ヘルプ");
  ASSERT_FALSE(help.empty()) << Output();
  // Wholly on the screen once the window manager has framed it.
  Geometry helpFrame;
  EXPECT_TRUE(WaitUntil([&] {
    helpFrame = Frame(x, help);
    return OnTheScreen(helpFrame);
  })) << Text(helpFrame);
  // Beside the calculator where the screen has room for it.
  if (calcFrame.x + calcFrame.width + helpFrame.width <= 1280 ||
      calcFrame.x - helpFrame.width >= 0) {
    EXPECT_FALSE(Overlap(helpFrame, calcFrame)) << Text(helpFrame) << " over " << Text(calcFrame);
  }
  const std::filesystem::path build = std::filesystem::path(ZIMRO_PATH).parent_path().parent_path();
  x.Screenshot(build / ("help-window-" + Scale() + (WindowManager() ? "-openbox" : "") + ".png"));

  // Esc closes it; what is typed then goes to the calculator. A window just
  // mapped may not hold the keyboard yet on a busy machine.
  x.Focus(help);
  x.Key("Escape");
  EXPECT_TRUE(WaitUntil([&] {
    for (const std::string& id : WindowsOf(x, zimro))
      if (id == help) return false;
    return true;
  })) << Output();
  EXPECT_TRUE(WaitUntil(
      [&] {
        x.Key("Insert");
        x.Type("1+2");
        x.Key("Return ctrl+a ctrl+c");
        return x.Clipboard() == "1+2\n3";
      }))
      << x.Clipboard();
  x.Kill(zimro);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, HelpWindow,
    ::testing::Combine(::testing::Bool(), ::testing::Values("1", "1.5", "2")),
    [](const ::testing::TestParamInfo<HelpCase>& c) {
      std::string scale = std::get<1>(c.param);
      for (char& ch : scale)
        if (ch == '.') ch = '_';
      return std::string(std::get<0>(c.param) ? "Openbox" : "Bare") + "AtScale" + scale;
    });

}  // namespace
