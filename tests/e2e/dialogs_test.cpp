// The three dialogs in the real zimro on its own X server, with and without
// a window manager: the button editor from the button menu, the option
// dialog from the window's menu and the palette from its colour swatch,
// each driven by real clicks and keys; what the edited button writes and the
// file saved on exit are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "zimrofolder.h"

namespace {

using namespace e2e;

// Three long buttons below a display 100 pixels high (font size 11).
const char* const kCalcFile =
    "B1=\\1one\\4DIM r = WRITEB(\"one.txt\", \"old\")\r\n"
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=3\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\nStayOnTop=0\r\nFormColor=10000000\r\n";

int ButtonY(int n) { return 126 + 12 + 25 * (n - 1); }

// Whether the window titled `title` has gone.
bool Gone(XSession& x, pid_t pid, const std::string& title) {
  return WaitUntil([&] { return WindowTitled(x, pid, title, 500ms).empty(); }, 10s);
}

// Escape on the dialog `window`, again until it has gone: a dialog that has
// just been mapped may not hold the keyboard focus yet, slow builds above all.
bool Dismissed(XSession& x, pid_t pid, const std::string& window, const std::string& title) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    x.Focus(window);
    x.Key("Escape");
    if (WaitUntil([&] { return WindowTitled(x, pid, title, 500ms).empty(); }, 3s)) return true;
  }
  return false;
}

class Dialogs : public ZimroFolder {
 protected:
  void SetUp() override { Prepare(kCalcFile); }
};

TEST_P(Dialogs, EditorOptionsAndPaletteFromTheMenus) {
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();

  // The button menu of button 1, its first item: the editor, with the
  // program field focused.
  ASSERT_TRUE(OpenMenu(x, zimro, window, 20, ButtonY(1))) << Output();
  x.Key("Down Return");
  const std::string editor = WindowTitled(x, zimro, "ボタンデータの編集");
  ASSERT_FALSE(editor.empty()) << Output();
  // A dialog just mapped may not hold the keyboard yet.
  x.Focus(editor);
  x.Key("ctrl+a");
  x.Type("DIM r = WRITEB(\"one.txt\", \"new\")");
  // The label field, then OK.
  x.Click(editor, 100, 31);
  x.Key("ctrl+a");
  x.Type("uno");
  x.Click(editor, 176 + 37, 153 - 30 + 6 + 10);
  ASSERT_TRUE(Gone(x, zimro, "ボタンデータの編集"));
  x.Click(window, 20, ButtonY(1));
  ASSERT_TRUE(Written("one.txt", "new"));

  // The window's menu: open, save as, (separator), options.
  ASSERT_TRUE(OpenMenu(x, zimro, window, 100, 12)) << Output();
  x.Key("Down Down Down Return");
  const std::string option = WindowTitled(x, zimro, "オプション");
  ASSERT_FALSE(option.empty()) << Output();
  x.Click(option, 20, 119 + 8);  // stay on top
  // The colour swatch opens the palette; green (column 8 of the first row),
  // then the palette's OK (its user row hidden).
  x.Click(option, 8 + 12 + 65, 375 + 20 + 11);
  const std::string palette = WindowTitled(x, zimro, "Palette");
  ASSERT_FALSE(palette.empty()) << Output();
  x.Click(palette, 1 + 21 * 8 + 10, 1 + 10);
  x.Click(palette, 317 + 37, 204 + 12);
  ASSERT_TRUE(Gone(x, zimro, "Palette"));
  ASSERT_TRUE(x.Screenshot(dir / "option.png"));
  x.Click(option, 36 + 37, 440 + 10);  // OK
  ASSERT_TRUE(Gone(x, zimro, "オプション"));

  // Staying on top gave the main window a new native window.
  const std::string topmost = WindowTitled(x, zimro, "Zimro");
  ASSERT_FALSE(topmost.empty());
  ClickCloseButton(x, topmost);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  const std::string text = AsciiOf(ReadFile(dir / "zimro.ini"));
  EXPECT_NE(text.find("\r\nB1=\\1uno\\5"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nStayOnTop=1\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nFormColor=65280\r\n"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Dialogs, ::testing::Values(false, true), SessionName);

// Four long buttons: a question, an input, a pause, and one that saves Ans.
const char* const kTitlesFile =
    "B1=\\1ask\\4DIM a = MSG(\"q\")\r\n"
    "B2=\\1input\\4DIM a\\y\\nINPUT a\r\n"
    "B3=\\1stop\\4STOP\r\n"
    "B4=\\1save\\4DIM r = WRITEB(\"ans.txt\", Ans)\r\n"
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=4\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\n";

class Titles : public ZimroFolder {
 protected:
  void SetUp() override { Prepare(kTitlesFile); }
};

// Every window's title is its caption alone, nothing added; and Tab in the
// display types nothing.
TEST_P(Titles, EveryWindowIsTitledWithItsOwnCaption) {
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  EXPECT_EQ(x.WindowName(window), "Zimro");

  // MSG's dialog is titled "Zimro" like the main window; its abort choice
  // asks the question titled "WB".
  x.Click(window, 20, ButtonY(1));
  std::string message;
  ASSERT_TRUE(WaitUntil([&] {
    const ToolResult r = x.Run({"xdotool", "search", "--onlyvisible", "--pid",
                                std::to_string(zimro), "--name", "^Zimro$"});
    for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
      if (r.out.substr(start, end - start) != window) message = r.out.substr(start, end - start);
    }
    return !message.empty();
  })) << Output();
  // Each dialog gets the keyboard before its keys: one just mapped may not
  // hold it yet.
  x.Focus(message);
  x.Key("alt+a");
  const std::string wb = WindowTitled(x, zimro, "WB");
  ASSERT_FALSE(wb.empty()) << Output();
  EXPECT_EQ(x.WindowName(wb), "WB");
  x.Focus(wb);
  x.Key("Return");
  ASSERT_TRUE(Gone(x, zimro, "WB"));

  // INPUT's dialog.
  x.Click(window, 20, ButtonY(2));
  const std::string input = WindowTitled(x, zimro, "INPUT");
  ASSERT_FALSE(input.empty()) << Output();
  EXPECT_EQ(x.WindowName(input), "INPUT");
  x.Focus(input);
  x.Type("5");
  x.Key("Return");
  ASSERT_TRUE(Gone(x, zimro, "INPUT"));

  // A STOP pause marks the main window's title; Pause ends it.
  x.Click(window, 20, ButtonY(3));
  EXPECT_TRUE(WaitUntil([&] { return x.WindowName(window) == "Zimro - STOP"; }))
      << x.WindowName(window);
  x.Focus(window);
  x.Key("Pause");
  EXPECT_TRUE(WaitUntil([&] { return x.WindowName(window) == "Zimro"; }))
      << x.WindowName(window);

  // The option dialog from the window's menu.
  x.Focus(window);
  ASSERT_TRUE(OpenMenu(x, zimro, window, 100, 12)) << Output();
  x.Key("Down Down Down Return");
  const std::string option = WindowTitled(x, zimro, "オプション");
  ASSERT_FALSE(option.empty()) << Output();
  EXPECT_EQ(x.WindowName(option), "オプション");
  ASSERT_TRUE(Dismissed(x, zimro, option, "オプション"));

  // The file dialogs, in Qt's Japanese.
  for (const auto& [keys, title] : {std::pair{"Down Return", "開く"},
                                    std::pair{"Down Down Return", "名前を付けて保存"}}) {
    x.Focus(window);
    ASSERT_TRUE(OpenMenu(x, zimro, window, 100, 12)) << Output();
    x.Key(keys);
    const std::string dialog = WindowTitled(x, zimro, title);
    ASSERT_FALSE(dialog.empty()) << title << Output();
    EXPECT_EQ(x.WindowName(dialog), title);
    ASSERT_TRUE(Dismissed(x, zimro, dialog, title));
  }

  // Tab between two digits: the display holds 12, and Enter makes it Ans.
  x.Focus(window);
  x.Key("Insert");
  x.Type("1");
  x.Key("Tab");
  x.Type("2");
  x.Key("Return");
  x.Click(window, 20, ButtonY(4));
  EXPECT_TRUE(Written("ans.txt", "12"));
  x.Kill(zimro);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Titles, ::testing::Values(false, true), SessionName);

}  // namespace
