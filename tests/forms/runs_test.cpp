// Runs started from the window: a button's program, Enter on the display
// line, and what they leave in the display and in Ans.
#include <QTest>

#include "calculator/forms/runs.h"
#include "calculator/forms/wbtn.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "button/wbutton.h"
#include "platform/sound.h"
#include "support.h"

namespace {

class RunTest : public CalcWindowTest {
 protected:
  std::string AnsText() {
    Run("PRINT \"<\", Ans, \">\"");
    std::string after = Display();
    const size_t at = after.rfind('<');
    return after.substr(at + 1, after.size() - at - 2);
  }
  void PressEnter() { QTest::keyClick(form_->MemoOut, Qt::Key_Return); }
  void Click(int n) { QTest::mouseClick(ButtonSet->buttons[n - 1], Qt::LeftButton); }
};

struct EnterCase {
  const char* name;
  std::string typed;
  std::string display;  // after Enter
  std::string ans;
  std::string message = "";  // in the one message box shown; "" for none
};

class EnterTest : public RunTest, public testing::WithParamInterface<EnterCase> {};

TEST_P(EnterTest, EvaluatesTheLine) {
  const EnterCase& c = GetParam();
  SetDisplay(c.typed, static_cast<int>(U16(c.typed).size()));
  PressEnter();
  EXPECT_EQ(Display(), c.display);
  if (c.message.empty()) {
    EXPECT_TRUE(boxes_.dialogs.empty());
  } else {
    ASSERT_EQ(boxes_.dialogs.size(), 1u);
    EXPECT_NE(boxes_.dialogs[0].find(c.message), std::string::npos) << boxes_.dialogs[0];
  }
  SetDisplay("", 0);
  EXPECT_EQ(AnsText(), c.ans);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnterTest,
    testing::Values(
        // A number becomes Ans and the caret goes to a cleared next line.
        EnterCase{"Number", "7", "7\r\n", "7"},
        // An expression is printed on the next line, and the printed number
        // becomes Ans.
        EnterCase{"Expression", "2+3", "2+3\r\n5", "5"},
        // A printed text that is no number leaves Ans alone.
        EnterCase{"TextResult", "\"a\" + \"b\"", "\"a\" + \"b\"\r\nab", "0"},
        // A statement runs unchanged: its output lands on the cleared line.
        EnterCase{"Statement", "PRINT 6*7", "PRINT 6*7\r\n42", "42"},
        // A blank line does nothing.
        EnterCase{"Blank", "  ", "  ", "0"},
        // What follows the line's first expression is a statement of its
        // own: a call runs and shows nothing, so only the first value is
        // printed and becomes Ans; anything else fails after the print.
        EnterCase{"CallLeftOver", "14SIN(30)", "14SIN(30)\r\n14", "14"},
        EnterCase{"SubCallLeftOver", "5tanh(0)", "5tanh(0)\r\n5", "5"},
        EnterCase{"ExpressionLeftOver", "14Ans*2", "14Ans*2\r\n14", "0", "syntax error"},
        EnterCase{"NumberLeftOver", "2 3", "2 3\r\n2", "0", "syntax error"}),
    [](const testing::TestParamInfo<EnterCase>& c) { return std::string(c.param.name); });

TEST_F(RunTest, EnterOnAnInnerLineWritesOverTheNextLine) {
  SetDisplay("1+1\r\nold\r\nrest", 1);
  PressEnter();
  EXPECT_EQ(Display(), "1+1\r\n2\r\nrest");
}

TEST_F(RunTest, AScriptErrorLeavesAnsAlone) {
  SetDisplay("1/", 2);
  PressEnter();
  SetDisplay("", 0);
  EXPECT_EQ(AnsText(), "0");
}

TEST_F(RunTest, ALineThatPrintsANumberAndThenFailsLeavesAnsAlone) {
  SetDisplay("PRINT 5; PRINT 1/", 17);
  PressEnter();
  EXPECT_EQ(Display(), "PRINT 5; PRINT 1/\r\n5");
  SetDisplay("", 0);
  EXPECT_EQ(AnsText(), "0");
}

TEST_F(RunTest, TheAutomaticProgramStartsFromAnEmptyDisplay) {
  SetDisplay("old\r\ntext", 5);
  ButtonTable->SetField(0, 5, wvar(u"PRINT \"x\""));
  RunAutoProgram();
  EXPECT_EQ(Display(), "x");
}

TEST_F(RunTest, InsertEmptiesTheDisplay) {
  SetDisplay("12\r\n34", 3);
  QTest::keyClick(form_->MemoOut, Qt::Key_Insert);
  EXPECT_EQ(Display(), "");
}

TEST_F(RunTest, TabNeverTypesIntoTheDisplay) {
  SetDisplay("12", 2);
  form_->MemoOut->setFocus();
  QTest::keyClick(form_->MemoOut, Qt::Key_Tab);
  QTest::keyClick(form_->MemoOut, Qt::Key_Backtab, Qt::ShiftModifier);
  QTest::keyClick(form_->MemoOut, Qt::Key_3);
  EXPECT_EQ(Display(), "123");
}

struct ButtonCase {
  const char* name;
  std::string program;
  std::string display;  // after a press on an empty display
};

class ButtonProgramTest : public RunTest, public testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonProgramTest, PressingTheButton) {
  const ButtonCase& c = GetParam();
  ButtonTable->SetField(11, 5, wvar(U16(c.program).c_str()));
  SetDisplay("", 0);
  Click(11);
  EXPECT_EQ(Display(), c.display);
  EXPECT_EQ(Setting->busy, 0);
  EXPECT_FALSE(form_->WSysButton1->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonProgramTest,
    testing::Values(ButtonCase{"NumberIsTyped", "7", "7"},
                    ButtonCase{"OperatorIsTyped", "+", "+"},
                    ButtonCase{"FunctionStartIsTyped", "sin(", "sin("},
                    ButtonCase{"LeadingBlanksAreTyped", "  12", "  12"},
                    // Typed through the quoted PRINT, whose string literal
                    // reads the backslash as an escape.
                    ButtonCase{"ButtonRecordIsTyped", "\\2ff0000", "2ff0000"},
                    ButtonCase{"StatementRuns", "PRINT 1+1", "2"},
                    ButtonCase{"AssignmentRuns", "Ans = 3\r\nPRINT Ans", "3"},
                    ButtonCase{"BlankDoesNothing", " \r\n", ""}),
    [](const testing::TestParamInfo<ButtonCase>& c) { return std::string(c.param.name); });

TEST_F(RunTest, ExeclineButtonEvaluatesTheDisplayLine) {
  ButtonTable->SetField(11, 5, wvar(u"ExecLine"));
  SetDisplay("6*7", 3);
  Click(11);
  EXPECT_EQ(Display(), "6*7\r\n42");
}

TEST_F(RunTest, StopButtonShowsOnlyWhileAStatementProgramRuns) {
  bool shownDuring = false;
  boxes_.onDialog = [&] { shownDuring = form_->WSysButton1->isVisible(); };
  ButtonTable->SetField(11, 5, wvar(u"DIM r = MSG(\"q\")\r\nPRINT 1/0"));
  Click(11);
  EXPECT_TRUE(shownDuring);
  // Hidden again, also after the script error.
  EXPECT_FALSE(form_->WSysButton1->isVisible());
}

TEST_F(RunTest, AButtonPressedDuringAButtonRunDoesNothing) {
  ButtonTable->SetField(12, 5, wvar(u"9"));
  boxes_.onDialog = [&] { Click(12); };
  ButtonTable->SetField(11, 5, wvar(u"DIM r = MSG(\"q\")"));
  Click(11);
  EXPECT_EQ(Display(), "");
  EXPECT_EQ(ButtonSet->current, 12);
}

struct BeepLog : platform::SoundBackend {
  std::vector<std::pair<DWORD, DWORD>> tones;
  void Beep(DWORD frequency, DWORD milliseconds) override {
    tones.emplace_back(frequency, milliseconds);
  }
};

TEST_F(RunTest, AButtonPressedWhileAnEnteredLineRunsBeepsAndRunsNothing) {
  BeepLog beeps;
  platform::SetSoundBackend(&beeps);
  ButtonTable->SetField(11, 5, wvar(u"PRINT \"button\""));
  boxes_.onDialog = [&] { Click(11); };
  SetDisplay("DIM r = MSG(\"q\")", 0);
  PressEnter();
  platform::SetSoundBackend(nullptr);
  EXPECT_EQ(beeps.tones, (std::vector<std::pair<DWORD, DWORD>>{{2000, 100}}));
  EXPECT_EQ(Display(), "DIM r = MSG(\"q\")\r\n");
  EXPECT_EQ(Setting->busy, 0);
}

TEST_F(RunTest, ExitInAButtonProgramClosesTheWindow) {
  ButtonTable->SetField(11, 5, wvar(u"Ans = 1\r\nEXIT"));
  Click(11);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_NE(ReadFile("zimro.ini"), "<missing>");
}

TEST_F(RunTest, ExitAloneOnAButtonIsTyped) {
  ButtonTable->SetField(11, 5, wvar(u"EXIT"));
  Click(11);
  EXPECT_EQ(Display(), "EXIT");
  EXPECT_TRUE(form_->isVisible());
}

TEST_F(RunTest, ExitOnAStatementLineClosesTheWindow) {
  SetDisplay("IF Ans == 0 { EXIT }", 0);
  PressEnter();
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(RunTest, EnterDuringAButtonRunEvaluatesNothing) {
  SetDisplay("2+3", 3);
  ButtonTable->SetField(11, 5, wvar(u"DIM r = MSG(\"q\")"));
  boxes_.onDialog = [&] { PressEnter(); };
  Click(11);
  EXPECT_EQ(Display(), "2+3");
  // Once the run is over, Enter evaluates the line.
  PressEnter();
  EXPECT_EQ(Display(), "2+3\r\n5");
}

}  // namespace
