// Settings from a calculator file, whatever they hold, give the real zimro a
// window that shows on the screen, answers and closes from its close button;
// the file keeps the sizes it had, whatever this screen could show. With and
// without a window manager, on a screen of 1280 by 1024.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <optional>
#include <ostream>
#include <tuple>

#include "zimrofolder.h"

namespace {

using namespace e2e;

struct SettingsCase {
  const char* name;
  const char* settings;  // the calculator file's settings lines
  // What the saved file holds for each key, "" for none: the values the file
  // had, but a size below what the font needs raised to it (checked only to
  // be raised) and the place where the window stands.
  const char* width;
  const char* height;
  const char* fontSize;
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

const SettingsCase kCases[] = {
    {"NegativeSizes", "DispWidth=-500\r\nDispHeight=-500\r\nDispFontSize=-5\r\n", "", "",
     "-5"},
    {"LargestFontSize", "DispFontSize=2147483647\r\n", "", "", "2147483647"},
    {"FontSize40", "DispFontSize=40\r\n", "", "", "40"},
    {"LargerThanTheScreen", "DispWidth=1500\r\nDispHeight=1200\r\n", "1500", "1200", "11"},
    {"HugeDisplay", "DispWidth=100000\r\nDispHeight=100000\r\n", "100000", "100000", "11"},
    {"ExtremePlace", "Top=2147483647\r\nLeft=-2147483648\r\n", "", "", "11"},
    {"FarRight", "Left=99999999\r\n", "", "", "11"},
    {"WithinRanges",
     "Top=500\r\nLeft=600\r\nDispWidth=300\r\nDispHeight=200\r\nDispFontSize=13\r\n", "300",
     "200", "13"},
};

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// The value of `key` in the saved file's text ("" when it has none).
std::string Value(const std::string& text, const std::string& key) {
  const size_t at = text.find("\r\n" + key + "=");
  if (at == std::string::npos) return "";
  const size_t from = at + key.size() + 3;
  return text.substr(from, text.find("\r\n", from) - from);
}

class Settings : public ::testing::TestWithParam<std::tuple<SettingsCase, bool>> {
 protected:
  void SetUp() override {
    const std::filesystem::path bin = std::filesystem::path(ZIMRO_PATH).parent_path();
    for (const char* f : {"zimro", "libvek.so", "libplatform.so"}) {
      std::filesystem::copy_file(bin / f, dir / f);
    }
    // The automatic program shows that the window was activated and runs.
    WriteFile(dir / "zimro.ini",
              Utf16File(std::string("B0=\\4DIM a = WRITEB(\"auto.txt\", \"ran\")\r\n") +
                        Case().settings));
  }
  const SettingsCase& Case() const { return std::get<0>(GetParam()); }
  std::string Output() { return ReadFile(dir / "out.txt"); }

  TempDir dir;
};

TEST_P(Settings, TheWindowShowsOnTheScreenAndClosesAtOnce) {
  SessionOptions session;
  session.windowManager = std::get<1>(GetParam());
  session.width = kScreenWidth;
  session.height = kScreenHeight;
  XSession x(session);
  ProgramOptions options;
  options.workingDirectory = dir.Path();
  options.output = dir / "out.txt";
  const pid_t zimro = x.Start(dir / "zimro", options);
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(dir / "auto.txt") == "ran"; })) << Output();

  // Big enough to see, small enough for the screen, and the title strip
  // with its close button wholly on it.
  const Geometry g = x.WindowGeometry(window);
  EXPECT_GE(g.width, 100);
  EXPECT_GE(g.height, 60);
  EXPECT_LE(g.width, kScreenWidth);
  EXPECT_LE(g.height, kScreenHeight);
  EXPECT_GE(g.x, 0);
  EXPECT_GE(g.y, 0);
  EXPECT_LE(g.x + g.width, kScreenWidth);
  EXPECT_LE(g.y + 22, kScreenHeight);
  ASSERT_TRUE(x.Screenshot(dir / "screen.png"));

  // It answers: a line typed into the display runs on Enter.
  x.Click(window, 20, 30);
  x.Type("WRITEB(\"typed.txt\", \"yes\")");
  x.Key("Return");
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(dir / "typed.txt") == "yes"; })) << Output();

  // The close button at the top-right corner ends the program (a window
  // too large to draw took minutes).
  ClickCloseButton(x, window);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();

  // The file keeps where the window stood and the sizes it had: what was
  // fitted to this screen is not written back.
  const std::string saved = AsciiOf(ReadFile(dir / "zimro.ini"));
  EXPECT_EQ(Value(saved, "Top"), std::to_string(g.y)) << saved;
  EXPECT_EQ(Value(saved, "Left"), std::to_string(g.x)) << saved;
  EXPECT_EQ(Value(saved, "DispFontSize"), Case().fontSize) << saved;
  for (const auto& [key, want] : {std::pair{"DispWidth", Case().width},
                                  std::pair{"DispHeight", Case().height}}) {
    if (*want != 0) {
      EXPECT_EQ(Value(saved, key), want) << saved;
    } else {
      // Raised to what the font needs.
      EXPECT_GE(std::stoi(Value(saved, key)), 30) << saved;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Settings, ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<SettingsCase, bool>>& c) {
      return std::string(std::get<0>(c.param).name) +
             (std::get<1>(c.param) ? "Openbox" : "Bare");
    });

// One start on a screen too small for the layout rewrites nothing: back on
// a large screen the window is as large as before.
class SmallScreen : public ZimroFolder {};

TEST_P(SmallScreen, AStartOnItKeepsTheSizesForALargerOne) {
  // Two rows of buttons, which fit that screen with a smaller display.
  Prepare("B0=\\4DIM a = WRITEB(\"auto.txt\", \"ran\")\r\n"
          "ButtonDispLine2=1\r\nButtonDispLine4=1\r\n"
          "DispWidth=300\r\nDispHeight=200\r\nDispFontSize=13\r\n");
  SessionOptions session = Options();
  session.width = 320;
  session.height = 240;
  XSession x(session);
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  ASSERT_TRUE(Written("auto.txt", "ran"));
  const Geometry g = x.WindowGeometry(window);
  EXPECT_LE(g.width, 320);
  EXPECT_LE(g.height, 240);
  ASSERT_TRUE(x.Screenshot(dir / "small.png"));
  ClickCloseButton(x, window);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  const std::string saved = AsciiOf(ReadFile(dir / "zimro.ini"));
  EXPECT_EQ(Value(saved, "DispWidth"), "300") << saved;
  EXPECT_EQ(Value(saved, "DispHeight"), "200") << saved;
  EXPECT_EQ(Value(saved, "DispFontSize"), "13") << saved;
}

INSTANTIATE_TEST_SUITE_P(WindowManager, SmallScreen, ::testing::Values(false, true), SessionName);

}  // namespace
