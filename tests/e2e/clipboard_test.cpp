// Button copy, paste and delete through the real X clipboard: the real
// zimro under its own X server, buttons pressed with real clicks, the
// clipboard read and offered with xclip, the calculator file read on exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "zimrofolder.h"

namespace {

using namespace e2e;

// Ten long buttons below a display 60 high: button k is 24 pixels high and
// its top is at 86 + 25 * (k - 1).
int ButtonY(int k) { return 86 + 25 * (k - 1) + 12; }

// Each action ends by writing how many actions have run, so that the test
// knows the click has been handled.
std::string Action(const std::string& body) {
  return "DIM n\\y\\nn = n + 1\\y\\n" + body + "\\y\\nWRITEB(\"done.txt\", \"\" + n)";
}

// The line of a key in a saved calculator file (UTF-16LE, ASCII content).
std::string SavedLine(const std::string& file, const std::string& key) {
  std::string text;
  for (size_t i = 2; i + 1 < file.size(); i += 2) text += file[i];
  const std::string head = "\r\n" + key + "=";
  const size_t at = text.find(head);
  if (at == std::string::npos) return "<none>";
  const size_t start = at + head.size();
  return text.substr(start, text.find("\r\n", start) - start);
}

class ClipboardE2E : public ZimroFolder {};

TEST_P(ClipboardE2E, CopyPasteAndEmptyButtons) {
  const std::string paste = Action("SetButton(20 + n)\\y\\nPasteButton()");
  Prepare("B1=\\1Copy\\/" + Action("SetButton(3)\\y\\nCopyButton()") + "\r\n" +
          "B2=\\1Paste\\/" + paste + "\r\n" +
          "B3=\\'Sin\\c0000ff\\/Ans*2\r\n" +
          "B5=\\1CopyData\\/" + Action("SetButton(3)\\y\\nCopyDataButton()") + "\r\n" +
          "B6=\\1Quit\\/DIM q = 0\\y\\nEXIT\r\n" +
          "B8=\\1CopyEmpty\\/" + Action("SetButton(30)\\y\\nCopyButton()") + "\r\n" +
          "B9=\\1CopyNoProgram\\/" + Action("SetButton(29)\\y\\nCopyDataButton()") +
          "\r\n" +
          "B21=\\1Keep\\3ff0000\\53100\r\nB22=\\1Keep\\3ff0000\\53100\r\n"
          "B23=\\1Keep\\3ff0000\\53100\r\nB24=\\1Keep\\3ff0000\\53100\r\n"
          "B29=\\1LabelOnly\r\n"
          "ButtonDispLine1=10\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\n"
          "ButtonDispLine4=0\r\nDispWidth=100\r\nDispHeight=60\r\nDispFontSize=11\r\n");

  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();

  int actions = 0;
  auto press = [&](int k) {
    x.Click(window, 30, ButtonY(k));
    ++actions;
    return WaitUntil([&] { return ReadFile(dir / "done.txt") == std::to_string(actions); });
  };

  // Nothing on the clipboard: the paste empties the program, label and
  // colour stay.
  ASSERT_TRUE(press(2)) << "button 2 was not run";
  // A formula replaces the program only.
  x.SetClipboard("sin(x)*2");
  ASSERT_TRUE(press(2));
  // Blanks, a backslash and a field marker: the whole button.
  x.SetClipboard("  \\1New\\/7");
  ASSERT_TRUE(press(2));
  // 8-bit text only.
  x.Run({"sh", "-c",
         "printf 12+3 | xclip -selection clipboard -t STRING -i >/dev/null 2>&1"});
  ASSERT_TRUE(WaitUntil([&] { return x.Clipboard() == "12+3"; }));
  ASSERT_TRUE(press(2));
  // The whole line verbatim, pasted (action 6, button 26) in canonical form.
  ASSERT_TRUE(press(1));
  EXPECT_EQ(x.Clipboard(), "\\'Sin\\c0000ff\\/Ans*2");
  ASSERT_TRUE(press(2));
  // The program alone.
  ASSERT_TRUE(press(5));
  EXPECT_EQ(x.Clipboard(), "Ans*2");
  // Copies of nothing leave the clipboard as it was.
  x.SetClipboard("before");
  ASSERT_TRUE(press(8));
  ASSERT_TRUE(press(9));
  EXPECT_EQ(x.Clipboard(), "before");

  x.Click(window, 30, ButtonY(6));
  ASSERT_EQ(x.WaitForExit(zimro, 30s), 0) << Output();
  const std::string saved = ReadFile(dir / "zimro.ini");
  EXPECT_EQ(SavedLine(saved, "B21"), "\\1Keep\\3ff0000");
  EXPECT_EQ(SavedLine(saved, "B22"), "\\1Keep\\3ff0000\\5730069006e002800780029002a003200");
  EXPECT_EQ(SavedLine(saved, "B23"), "\\1New\\53700");
  EXPECT_EQ(SavedLine(saved, "B24"), "\\1Keep\\3ff0000\\5310032002b003300");
  EXPECT_EQ(SavedLine(saved, "B26"), "\\1Sin\\20000ff\\541006e0073002a003200");
  EXPECT_EQ(SavedLine(saved, "B3"), "\\'Sin\\c0000ff\\/Ans*2");
}

INSTANTIATE_TEST_SUITE_P(WindowManager, ClipboardE2E, ::testing::Values(false, true), SessionName);

}  // namespace
