// Every walkthrough of the help, and every line that a page offers to type
// into the display, done in the real zimro as its reader would:
// the calculator starts from the template beside it, the walkthrough's text
// is typed, its keys pressed and its buttons clicked with real X input, and
// after each step the display (copied with Ctrl+A Ctrl+C) must read exactly
// as the help shows it. With and without a window manager.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "calculator/calcfile.h"
#include "calculator/layout.h"
#include "calculator/wini.h"
#include "platform/text.h"
#include "tests/help/helpdoc.h"
#include "zimrofolder.h"

namespace {

using namespace e2e;

class Walkthrough : public ZimroFolder {
 protected:
  // A fresh folder holding the program, its libraries and the template only.
  void PrepareTemplateFolder(TempDir& folder) {
    const std::filesystem::path bin = std::filesystem::path(ZIMRO_PATH).parent_path();
    for (const char* f : {"zimro", "libvek.so", "libplatform.so", "zimro.si"})
      std::filesystem::copy_file(bin / f, folder / f);
  }

  // Where the template puts its buttons in a window this wide. The window's
  // width gives the measured label's width, which sets the button column.
  void ArrangeButtons(const Geometry& window) {
    const std::filesystem::path bin = std::filesystem::path(ZIMRO_PATH).parent_path();
    CalcWindowPos pos;
    ReadCalcFile(platform::FromUtf8((bin / "zimro.si").string()), setting_, table_, pos);
    const int column = (window.width - setting_.dispWidth - 15 - 4) / 5;
    layout_ = ArrangeLayout(setting_, 5 * column - 10, 10);
    ASSERT_TRUE(layout_.buttonsBeside);
    ASSERT_EQ(layout_.clientWidth, window.width);
    ASSERT_EQ(layout_.clientHeight, window.height);
  }

  // The centre of the shown button with this caption.
  bool ButtonCentre(const std::string& caption, int& x, int& y) {
    for (int n = 1; n <= kButtonCount; ++n) {
      const ButtonPlace& place = layout_.buttons[static_cast<size_t>(n - 1)];
      if (!place.visible) continue;
      if (platform::ToUtf8(LookOfButton(table_, n, setting_).caption) != caption) continue;
      x = place.rect.left + place.rect.width / 2;
      y = place.rect.top + place.rect.height / 2;
      return true;
    }
    return false;
  }

  // The display's whole text, as the clipboard gets it; the caret goes back
  // to the end, where every walkthrough leaves it.
  std::string CopyDisplay(XSession& x, const std::string& expected) {
    std::string text;
    WaitUntil(
        [&] {
          x.Key("ctrl+a ctrl+c");
          text = x.Clipboard();
          return text == expected;
        },
        3s);
    x.Key("ctrl+End");
    return text;
  }

  wsetting setting_;
  wini table_;
  CalcLayout layout_;
};

TEST_P(Walkthrough, EveryWalkthroughOfTheHelpShowsWhatItSays) {
  std::vector<HelpWalkthrough> walks = HelpWalkthroughs();
  ASSERT_GE(walks.size(), 3u) << HelpDir();
  // And the lines that the pages offer to type outside their walkthroughs.
  const std::vector<HelpWalkthrough> typed = HelpTypedLines();
  ASSERT_FALSE(typed.empty());
  walks.insert(walks.end(), typed.begin(), typed.end());
  XSession x(Options());
  for (const HelpWalkthrough& walk : walks) {
    SCOPED_TRACE(walk.page + ":" + std::to_string(walk.line));
    TempDir folder;
    PrepareTemplateFolder(folder);
    ProgramOptions options;
    options.workingDirectory = folder.Path();
    options.output = folder / "out.txt";
    const pid_t zimro = x.Start(folder / "zimro", options);
    const std::string window = x.WaitForWindow(zimro);
    ASSERT_FALSE(window.empty()) << ReadFile(folder / "out.txt");
    ArrangeButtons(x.WindowGeometry(window));
    if (HasFatalFailure()) return;
    // The first activation runs the automatic program, which empties the
    // display first: wait until what is typed stays there, then empty it.
    ASSERT_TRUE(WaitUntil(
        [&] {
          x.Focus(window);
          x.Type("0");
          x.Key("ctrl+a ctrl+c");
          const std::string shown = x.Clipboard();
          return !shown.empty() && shown.find_first_not_of('0') == std::string::npos;
        },
        20s));
    x.Key("Insert");

    int checks = 0;
    for (const HelpStep& step : walk.steps) {
      SCOPED_TRACE(step.kind + " " + step.text);
      if (step.kind == "type") {
        x.Type(step.text);
      } else if (step.kind == "key") {
        x.Key(step.text == "Enter" ? "Return" : step.text);
      } else if (step.kind == "button" || step.kind == "rightbutton") {
        int bx = 0, by = 0;
        ASSERT_TRUE(ButtonCentre(step.text, bx, by)) << "no shown button " << step.text;
        x.Click(window, bx, by, step.kind == "button" ? 1 : 3);
      } else if (step.kind == "menu") {
        // The item's accelerator, as "(E)" in its caption.
        const size_t open = step.text.find('(');
        ASSERT_NE(open, std::string::npos);
        std::string letter = step.text.substr(open + 1, 1);
        letter[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(letter[0])));
        x.Key(letter);
      } else if (step.kind == "display") {
        ++checks;
        EXPECT_EQ(CopyDisplay(x, step.text), step.text);
      } else if (step.kind == "window") {
        ++checks;
        EXPECT_TRUE(WaitUntil([&] {
          const ToolResult r = x.Run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                      std::to_string(zimro), "--name", step.text},
                                     5s);
          return r.out.find_first_of("0123456789") != std::string::npos;
        }));
      } else {
        ADD_FAILURE() << "a step of an unknown kind";
      }
    }
    EXPECT_GT(checks, 0) << "a walkthrough that checks nothing";
    // Kept beside the build for a look.
    const std::filesystem::path build = std::filesystem::path(ZIMRO_PATH).parent_path().parent_path();
    x.Screenshot(build / ("walk-" + walk.page + "-" + std::to_string(walk.line) +
                           (GetParam() ? "-openbox" : "") + ".png"));
    x.Kill(zimro);
  }
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Walkthrough, ::testing::Values(false, true), SessionName);

}  // namespace
