// Files of other kinds given to the real zimro, on its own X server with and
// without a window manager: a text file named on the command line or chosen
// in the open dialog is named in a warning box and never overwritten; the
// calculator file stays the current one and is saved on exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "zimrofolder.h"

namespace {

using namespace e2e;

const char* const kCalcFile =
    "B1=\\1one\r\n"
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=3\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\n";

const char* const kNotes = "shopping\nmilk=2\neggs=6\n";

class OtherFiles : public ZimroFolder {
 protected:
  void SetUp() override {
    Prepare(kCalcFile);
    WriteFile(dir / "notes.txt", kNotes);
  }

  pid_t StartWith(XSession& x, const std::vector<std::string>& args) {
    ProgramOptions options;
    options.workingDirectory = dir.Path();
    options.output = dir / "out.txt";
    options.args = args;
    return x.Start(dir / "zimro", options);
  }

  // Answers the warning box with its OK and waits until it has gone.
  void AnswerWarning(XSession& x, pid_t zimro, const std::string& shot) {
    const std::string box = x.WaitForWindow(zimro, 10s, "警告");
    ASSERT_FALSE(box.empty()) << Output();
    ASSERT_TRUE(x.Screenshot(dir / shot));
    x.Focus(box);
    x.Key("Return");
    ASSERT_TRUE(WaitUntil([&] {
      return x.Run({"xdotool", "search", "--all", "--onlyvisible", "--pid", std::to_string(zimro),
                    "--name", "警告"},
                   5s)
          .out.empty();
    })) << Output();
  }

  // Closes the main window with its close button and checks that the files
  // are as they should be: the text file untouched, the calculator file saved.
  void CloseAndCheck(XSession& x, pid_t zimro, const std::string& window) {
    const Geometry g = x.WindowGeometry(window);
    x.Click(window, g.width - 19 + 7, 4 + 7);
    ASSERT_EQ(x.WaitForExit(zimro, 10s), std::optional<int>(0)) << Output();
    EXPECT_EQ(ReadFile(dir / "notes.txt"), kNotes);
    const std::string text = AsciiOf(ReadFile(dir / "zimro.ini"));
    EXPECT_EQ(text.substr(0, 12), "Zimro=1.30\r\n") << text;
    EXPECT_NE(text.find("\r\nB1=\\1one\r\n"), std::string::npos) << text;
  }
};

TEST_P(OtherFiles, ATextFileOnTheCommandLineIsNamedAndLeftAsItWas) {
  XSession x(Options());
  const pid_t zimro = StartWith(x, {(dir / "notes.txt").string()});
  AnswerWarning(x, zimro, "warning.png");
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  ASSERT_NE(x.WindowName(window), "警告");
  CloseAndCheck(x, zimro, window);
}

TEST_P(OtherFiles, ATextFileChosenInTheOpenDialogIsNamedAndLeftAsItWas) {
  XSession x(Options());
  const pid_t zimro = StartWith(x, {});
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  // The window's menu, its first item: the open dialog; its name field has
  // the focus and takes a typed path.
  x.Click(window, 100, 12, 3);
  x.Key("Down Return");
  std::string dialog;
  ASSERT_TRUE(WaitUntil([&] {
    const ToolResult r = x.Run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                std::to_string(zimro), "--name", "."},
                               5s);
    for (size_t start = 0; start < r.out.size();) {
      const size_t end = r.out.find('\n', start);
      const std::string id = r.out.substr(start, end - start);
      if (!id.empty() && id != window && x.WindowGeometry(id).width > 300) dialog = id;
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return !dialog.empty();
  })) << Output();
  x.Focus(dialog);
  x.Type((dir / "notes.txt").string());
  x.Key("Return");
  AnswerWarning(x, zimro, "warning-open.png");
  CloseAndCheck(x, zimro, window);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, OtherFiles, ::testing::Values(false, true), SessionName);

}  // namespace
