// Host commands run by scripts in the real window: what each answers and
// what it changes in the buttons, the settings, the display and the files.
#include <QTest>
#include <QTimer>

#include "button/wbutton.h"
#include "calculator/calcfile.h"
#include "calculator/forms/wbtn.h"
#include "calculator/stringlist.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "platform/clipboard.h"
#include "support.h"
#include "tests/testscope.h"

namespace {

class HostCommandWindowTest : public CalcWindowTest {
 protected:
  // Runs a script on an empty display and returns what it printed.
  std::string Printed(const std::string& script) {
    SetDisplay("", 0);
    Run(script);
    return Display();
  }
  std::string Line(int n) { return Utf8(ButtonTable->list->Get(n)); }
  std::string Caption(int n) { return ButtonSet->buttons[n - 1]->Caption().toStdString(); }
  void Click(int n) { QTest::mouseClick(ButtonSet->buttons[n - 1], Qt::LeftButton); }
  // Whether a saved calculator file (UTF-16LE) holds this ASCII line.
  bool FileHasLine(const std::string& file, const std::string& line) {
    std::string bytes;
    for (char ch : line + "\r\n") {
      bytes += ch;
      bytes += '\0';
    }
    return ReadFile(file).find(bytes) != std::string::npos;
  }
  std::string Path(const std::string& name) {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
};

struct AnswerCase {
  const char* name;
  std::string script;
  std::string printed;
};

class CommandAnswerTest : public HostCommandWindowTest,
                          public testing::WithParamInterface<AnswerCase> {};

TEST_P(CommandAnswerTest, Printed) { EXPECT_EQ(Printed(GetParam().script), GetParam().printed); }

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandAnswerTest,
    testing::Values(
        AnswerCase{"SetButtonZero", "SetButton(0)\nPRINT GetButton()", "1"},
        AnswerCase{"SetButton99", "SetButton(99)\nPRINT GetButton()", "70"},
        AnswerCase{"ColourBack", "SetButton(4)\nSetButtonColor(255)\nPRINT GetButtonColor()", "255"},
        AnswerCase{"ColourDefault",
                   "SetButton(4)\nSetButtonColor(255)\nSetButtonColor(0)\nPRINT GetButtonColor()",
                   "0"},
        AnswerCase{"BackColourDefault", "PRINT GetButtonBackColor()", "12632256"},
        AnswerCase{"Program", "SetButtonData(\"1+2\")\nPRINT GetButtonData()", "1+2"},
        AnswerCase{"Fcvt", "PRINT fcvt(2, 5), \" \", fcvt(2.5, 5), \" \", fcvt(1/3, 0)",
                   "2 2.5 0.333333333333333"},
        AnswerCase{"Ecvt", "PRINT ecvt(1234.5, 3), \" \", ecvt(0.001, 2), \" \", ecvt(0, 2)",
                   "1.23450000000000e+003 1.00000000000000e-03 0.00000000000000e+00"},
        AnswerCase{"NoSuchCommands", "PRINT #cmd(28, 5), \" \", #cmd(40, 6), \" \", #cmd(0, 7)",
                   "5 6 7"},
        AnswerCase{"GetOption11", "PRINT GetOption(11)", "11"},
        AnswerCase{"Options", "SetOption(3, 11)\nSetOption(9, 8)\nPRINT GetOption(3), GetOption(9)",
                   "08"},
        AnswerCase{"Maths", "PRINT asin(1) * 2, \" \", acos(1), \" \", cosh(0), \" \", tanh(0)",
                   "3.14159265358979 0 1 0"},
        AnswerCase{"PreludeAfterNew", "NEW\nPRINT Ans, GetOption(9)", "011"}),
    [](const testing::TestParamInfo<AnswerCase>& c) { return std::string(c.param.name); });

TEST_F(HostCommandWindowTest, LabelLineEndsAndCaption) {
  Run("SetButton(12)\nSetButtonLabel(\"a\" + chr(10) + \"b\")");
  EXPECT_EQ(Line(12), "\\1a\r\nb");
  EXPECT_EQ(Caption(12), "a");
  Run("SetButtonLabel(\"c\" + chr(13) + chr(10) + \"d\")");
  EXPECT_EQ(Line(12), "\\1c\r\nd");
  Run("SetButtonColor(255)");
  EXPECT_EQ(Line(12), "\\1c\r\nd\\20000ff");
  EXPECT_EQ(ButtonSet->buttons[11]->FontColor(), 255);
  Run("SetButtonColor(0)");
  EXPECT_EQ(Line(12), "\\1c\r\nd");
  EXPECT_EQ(ButtonSet->buttons[11]->FontColor(), Setting->textColor);
}

TEST_F(HostCommandWindowTest, SetOptionShowsOnlyAtTheNextArrange) {
  Run("SetOption(4, 4)\nSetOption(1, 0)");
  EXPECT_EQ(Setting->buttonDispLine2, 4);
  EXPECT_FALSE(ButtonSet->buttons[20]->isVisible());  // button 21 waits for the layout
  EXPECT_FALSE(form_->MenuButtonEdit->isVisible());   // the menu changes at once
  EXPECT_TRUE(form_->MenuButtonCopyData->isVisible());
  Run("SetOption(10, 255)");
  EXPECT_EQ(form_->formColor, 255);
}

TEST_F(HostCommandWindowTest, ExecLineEvaluatesTheDisplayLineAndAnswersNothing) {
  SetDisplay("2+3", 3);
  Run("PRINT \"[\" + ExecLine() + \"]\"");
  EXPECT_EQ(Display(), "2+3\r\n5[]");
  SetDisplay("1\r\nabc\r\nlast", 4);
  Run("DIM s = GetCurrentLine()\nSetNextLine()\nPRINT \"<\" + s + \">\"");
  EXPECT_EQ(Display(), "1\r\nabc\r\n<abc\r\n>");
}

TEST_F(HostCommandWindowTest, SetNextLineMovesToAnEmptyLine) {
  SetDisplay("1\r\nold\r\nrest", 0);
  Run("SetNextLine()\nPRINT \"x\"");
  EXPECT_EQ(Display(), "1\r\nx\r\nrest");
}

TEST_F(HostCommandWindowTest, SaveMakesTheNewFileCurrent) {
  Run("SetButton(3)\nSetButtonLabel(\"three\")\nSave(\"" + Path("other.ini") + "\")");
  EXPECT_EQ(Utf8(Setting->currentPath.AsString()), Path("other.ini"));
  EXPECT_TRUE(FileHasLine("other.ini", "B3=\\1three"));
  EXPECT_EQ(ReadFile("zimro.ini"), "<missing>");
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "other");
}

TEST_F(HostCommandWindowTest, LoadSavesTheCurrentFileFirst) {
  WriteFile("next.ini", "B5=\\1five\r\nDispFontSize=12\r\n");
  Run("SetButton(2)\nSetButtonLabel(\"two\")\nLoad(\"" + Path("next.ini") + "\")");
  EXPECT_TRUE(FileHasLine("zimro.ini", "B2=\\1two"));
  EXPECT_EQ(Utf8(Setting->currentPath.AsString()), Path("next.ini"));
  EXPECT_EQ(Line(2), "");
  EXPECT_EQ(Line(5), "\\1five");
  EXPECT_EQ(Setting->dispFontSize, 12);
}

TEST_F(HostCommandWindowTest, InputButtonEndsWithAButtonClick) {
  WhenReady([] { return Setting->inputWait == 1; }, [this] { Click(13); });
  EXPECT_EQ(Printed("PRINT InputButton()"), "13");
  EXPECT_EQ(Setting->inputWait, 0);
}

TEST_F(HostCommandWindowTest, InputButtonEndsWithPause) {
  WhenReady([] { return Setting->inputWait == 1; },
            [this] { QTest::keyClick(form_->MemoOut, Qt::Key_Pause); });
  EXPECT_EQ(Printed("DIM x = InputButton()\nPRINT \"went on\""), "");
  EXPECT_EQ(Block->errorCode, erStop);
}

TEST_F(HostCommandWindowTest, CopyPasteAndDeleteThroughCommands) {
  ButtonTable->list->Put(3, u"\\'Sin\\c0000ff\\/Ans*2");
  ButtonTable->list->Put(4, u"\\1Keep\\3ff0000\\53100");
  Run("SetButton(3)\nCopyButton()\nSetButton(4)\nPasteButton()");
  EXPECT_EQ(Line(4), "\\1Sin\\20000ff\\541006e0073002a003200");
  EXPECT_EQ(Caption(4), "Sin");
  Run("SetButton(1)\nSetButtonLabel(\"L\")\nSetButtonData(\"sin(\")\nCopyDataButton()");
  Run("SetButton(4)\nPasteButton()");
  EXPECT_EQ(Line(4), "\\1Sin\\20000ff\\5730069006e002800");
  Run("DeleteButton()");
  EXPECT_EQ(Line(4), "");
  EXPECT_EQ(Caption(4), "");
}

// Line 1 made so long that the calculator file has room for `units` more
// units of button lines.
void LeaveRoom(int64_t units) {
  ButtonTable->list->Put(1, u"\\1");
  const int64_t bytes = CalcFileBytes(*ButtonTable);
  ButtonTable->list->Put(
      1, u"\\1" + std::u16string(static_cast<size_t>((kMaxCalcFileBytes - bytes) / 2 - units), u'a'));
}

// A program, a label or a pasted button that would make the calculator file
// too large to open again is refused with a box, and the button is as it
// was; what fits is stored.
TEST_F(HostCommandWindowTest, ButtonsThatTheCalculatorFileCannotHoldAreRefused) {
  ButtonTable->list->Put(2, u"\\1Two");
  LeaveRoom(40);
  const std::string refusal = "電卓ファイルが 64 MiB を超えてしまうため、このボタンには入れられません。";
  // Coded, a program takes four units a character.
  Run("SetButton(2)\nSetButtonData(\"PRINT 1234567890\")\nPRINT \"went on\"");
  EXPECT_EQ(boxes_.dialogs, std::vector<std::string>{refusal});
  EXPECT_EQ(Line(2), "\\1Two");
  EXPECT_EQ(Display(), "went on");
  Run("SetButtonLabel(\"" + std::string(60, 'L') + "\")");
  Run("DIM r = SETCLIPBOARD(\"" + std::string(20, 'P') + "\")\nPasteButton()");
  EXPECT_EQ(boxes_.dialogs, std::vector<std::string>(3, refusal));
  EXPECT_EQ(Line(2), "\\1Two");
  Run("SetButtonData(\"1+1\")");
  EXPECT_EQ(Line(2), "\\1Two\\531002b003100");
  EXPECT_EQ(boxes_.dialogs.size(), 3u);
  // Saved, and whole when opened again.
  const size_t longLine = ButtonTable->list->Get(1).size();
  form_->close();
  wsetting setting;
  wini table;
  CalcWindowPos pos;
  const CalcFileRead read = ReadCalcFile(U16(Path("zimro.ini")), setting, table, pos);
  ASSERT_TRUE(read.loaded) << static_cast<int>(read.status);
  EXPECT_EQ(Utf8(table.list->Get(2)), "\\1Two\\531002b003100");
  EXPECT_EQ(table.list->Get(1).size(), longLine);
}

}  // namespace

