// Settings from a calculator file, whatever they hold, give the real zimro a
// window that shows on the screen, answers and closes from its close button;
// settings within their ranges stay and are saved back as they were. With
// and without a window manager, on a screen of 1280 by 1024.
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
  bool kept;             // every value within its range: saved back as it was
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

const SettingsCase kCases[] = {
    {"NegativeSizes", "DispWidth=-500\r\nDispHeight=-500\r\nDispFontSize=-5\r\n", false},
    {"LargestFontSize", "DispFontSize=2147483647\r\n", false},
    {"FontSize10000", "DispFontSize=10000\r\n", false},
    {"HugeDisplay", "DispWidth=100000\r\nDispHeight=100000\r\n", false},
    {"ExtremePlace", "Top=2147483647\r\nLeft=-2147483648\r\n", false},
    {"FarRight", "Left=99999999\r\n", false},
    {"WithinRanges", "Top=500\r\nLeft=600\r\nDispWidth=300\r\nDispHeight=200\r\nDispFontSize=13\r\n",
     true},
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
  x.Click(window, g.width - 19 + 7, 4 + 7);
  ASSERT_EQ(x.WaitForExit(zimro, 20s), std::optional<int>(0)) << Output();

  // The file keeps where the window stood and sizes that show.
  const std::string saved = AsciiOf(ReadFile(dir / "zimro.ini"));
  EXPECT_EQ(Value(saved, "Top"), std::to_string(g.y)) << saved;
  EXPECT_EQ(Value(saved, "Left"), std::to_string(g.x)) << saved;
  const int fontSize = std::stoi(Value(saved, "DispFontSize"));
  EXPECT_GE(fontSize, 8);
  EXPECT_LE(fontSize, 36);
  EXPECT_LE(std::stoi(Value(saved, "DispWidth")), kScreenWidth);
  EXPECT_LE(std::stoi(Value(saved, "DispHeight")), kScreenHeight);
  if (Case().kept) {
    // Everything within its range comes back exactly as the file had it.
    for (const char* key : {"Top", "Left", "DispWidth", "DispHeight", "DispFontSize"}) {
      EXPECT_EQ(Value(saved, key), Value(std::string("\r\n") + Case().settings, key)) << key;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Settings, ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<SettingsCase, bool>>& c) {
      return std::string(std::get<0>(c.param).name) +
             (std::get<1>(c.param) ? "Openbox" : "Bare");
    });

}  // namespace
