// How a run ends when it is asked to at awkward moments: during the last
// statement of a nested run, during the interpreter's reset (the prelude of
// host-command subs), and at a signal in a tight loop.
#include <QTest>
#include <QTimer>

#include <signal.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "button/wbutton.h"
#include "calculator/forms/sessionend.h"
#include "calculator/forms/wbtn.h"
#include "calculator/wini.h"
#include "support.h"

namespace {

class RunEndTest : public CalcWindowTest {
 protected:
  void Press(int n) { QTest::mouseClick(ButtonSet->buttons[n - 1], Qt::LeftButton); }
  void SetProgram(int n, const std::u16string& program) {
    ButtonTable->SetField(n, 5, wvar(program.c_str()));
  }
  // The window answers and a button runs again.
  void ExpectAButtonRuns() {
    SetProgram(12, u"PRINT CHR(27) + \"*\" + \"again\"");
    Press(12);
    EXPECT_EQ(Display(), "again");
  }
};

// The ways to stop a run from the window, and whether each closes it too.
struct StopWay {
  const char* name;
  std::function<void(TFormCalc*)> stop;
  bool closes;
};

const StopWay kWays[] = {
    {"Pause", [](TFormCalc* f) { QTest::keyClick(f->MemoOut, Qt::Key_Pause); }, false},
    {"StopButton", [](TFormCalc* f) { QTest::mouseClick(f->WSysButton1, Qt::LeftButton); }, false},
    {"CloseButton", [](TFormCalc* f) { QTest::mouseClick(f->WSysButton3, Qt::LeftButton); }, true},
    {"CloseRequest", [](TFormCalc* f) { f->close(); }, true},
};

// A nested run whose last statement asks a question; the outer run would
// print "went on" after it.
struct Nested {
  const char* name;
  const char16_t* program;
  const char* displayLine;  // what ExecLine runs
};

const Nested kNested[] = {
    {"Calc", u"DIM r = CALC(\"MSG(CHR(113))\")\r\nPRINT \"went on\"", ""},
    {"CallSub", u"DIM r = CALLSUB(\"DIM m = MSG(CHR(113))\")\r\nPRINT \"went on\"", ""},
    {"ExecLine", u"ExecLine()\r\nPRINT \"went on\"", "DIM m = MSG(\"q\")"},
};

class NestedLastStatementTest
    : public RunEndTest,
      public testing::WithParamInterface<std::tuple<Nested, StopWay>> {};

// Asked while the nested run's last statement is under way, the stop or the
// close still ends the outer run, and a close then closes the window.
TEST_P(NestedLastStatementTest, EndsTheOuterRun) {
  const auto& [nested, way] = GetParam();
  SetProgram(11, nested.program);
  SetDisplay(nested.displayLine, 0);
  boxes_.onDialog = [&] { way.stop(form_); };
  Press(11);
  EXPECT_EQ(boxes_.dialogs.size(), 1u);
  EXPECT_EQ(Display().find("went on"), std::string::npos) << Display();
  EXPECT_EQ(form_->isVisible(), !way.closes);
  EXPECT_EQ(ReadFile("zimro.ini") != "<missing>", way.closes);
  if (!way.closes) ExpectAButtonRuns();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, NestedLastStatementTest, testing::Combine(testing::ValuesIn(kNested), testing::ValuesIn(kWays)),
    [](const testing::TestParamInfo<std::tuple<Nested, StopWay>>& c) {
      return std::string(std::get<0>(c.param).name) + "_" + std::get<1>(c.param).name;
    });

class PreludeStopTest : public RunEndTest, public testing::WithParamInterface<StopWay> {};

// NEW resets the interpreter, and the calculator answers by defining its
// host-command subs again. A stop or a close that comes while it does so
// waits until they are all defined, then ends the run.
TEST_P(PreludeStopTest, LeavesTheHostCommandsDefined) {
  const StopWay& way = GetParam();
  SetProgram(11, u"NEW\r\nPRINT \"went on\"");
  // Every statement's request serves the window (each pass makes the next
  // one due), and the stop comes at the first that finds the subs half
  // defined again: inside the reset's prelude.
  bool asked = false;
  auto* pass = new QTimer(TestScope());
  pass->setInterval(0);
  QObject::connect(pass, &QTimer::timeout, [&] {
    StepPace.Nudge();
    if (asked || Block == nullptr) return;
    // Names as the lexer gives them, in capitals.
    if (Block->names.Find(u"SETBUTTON") != nullptr && Block->names.Find(u"TANH") == nullptr) {
      asked = true;
      way.stop(form_);
    }
  });
  pass->start();
  Press(11);
  pass->stop();
  ASSERT_TRUE(asked) << "no pass came during the prelude";
  EXPECT_EQ(Display(), "");
  EXPECT_EQ(form_->isVisible(), !way.closes);
  if (way.closes) return;
  SetProgram(12, u"PRINT CHR(27) + \"*\", tanh(0), GetOption(9), Ans");
  Press(12);
  EXPECT_EQ(Display(), "0110");
  EXPECT_EQ(boxes_.dialogs, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Ways, PreludeStopTest, testing::ValuesIn(kWays),
                         [](const testing::TestParamInfo<StopWay>& c) {
                           return std::string(c.param.name);
                         });

// A signal that ends the session comes during a statement of a tight loop:
// the very next statement's request sees it, so no statement runs after it.
// In a process of its own, since the end of the session outlasts the test.
TEST_F(RunEndTest, NoStatementRunsAfterASignal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        InstallSessionEndSignals();
        SetProgram(11, u"DIM i = 0\r\nWHILE 1 { i = i + 1\r\nPRINT CHR(27) + \"*\", i }");
        bool sent = false;
        QObject::connect(form_->MemoOut, &QPlainTextEdit::textChanged, [&] {
          if (!sent && Display() == "3") {
            sent = true;
            raise(SIGTERM);
          }
        });
        Press(11);
        std::fprintf(stderr, "shown %s, %s, %s\n", Display().c_str(),
                     form_->isVisible() ? "open" : "closed",
                     ReadFile("zimro.ini") == "<missing>" ? "not saved" : "saved");
        std::fflush(stderr);
        _exit(0);
      },
      testing::ExitedWithCode(0), "shown 3, closed, saved\n");
}

}  // namespace
