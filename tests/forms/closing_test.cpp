// Closing the window: refused while a run is active, then done by the run's
// starter; quitting without saving; the session manager's save.
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "button/wbutton.h"
#include "calculator/forms/wbtn.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "support.h"
#include "tests/testscope.h"

namespace {

class ClosingTest : public CalcWindowTest {
 protected:
  // Presses button 11 with the given program; `during` runs while the
  // program's message dialog is up.
  void PressWhileAsking(const std::u16string& program, std::function<void()> during) {
    ButtonTable->SetField(11, 5, wvar(program.c_str()));
    boxes_.onDialog = std::move(during);
    QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  }
};

TEST_F(ClosingTest, CloseDuringARunEndsTheRunAndThenTheWindow) {
  bool refused = false;
  PressWhileAsking(u"DIM r = MSG(\"q\")\r\nPRINT \"not reached\"", [&] {
    form_->close();
    refused = form_->isVisible();
  });
  EXPECT_TRUE(refused);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(Display(), "");
  EXPECT_NE(ReadFile("zimro.ini"), "<missing>");
}

TEST_F(ClosingTest, QuitWithoutSavingDuringARunSavesNothing) {
  PressWhileAsking(u"DIM r = MSG(\"q\")", [&] { form_->MenuAbort->trigger(); });
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(ReadFile("zimro.ini"), "<missing>");
}

TEST_F(ClosingTest, QuitWithoutSaving) {
  form_->MenuAbort->trigger();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(ReadFile("zimro.ini"), "<missing>");
}

TEST_F(ClosingTest, TheCloseButtonSaves) {
  QTest::mouseClick(form_->WSysButton3, Qt::LeftButton);
  EXPECT_FALSE(form_->isVisible());
  const std::string saved = ReadFile("zimro.ini");
  EXPECT_EQ(saved.substr(0, 12), std::string("\xFF\xFEZ\0i\0m\0r\0o\0", 12));
}

TEST_F(ClosingTest, TheSessionManagersRequestSavesEvenAfterQuitWithoutSaving) {
  Setting->abortNoSave = 1;
  form_->WMEndSession();
  EXPECT_NE(ReadFile("zimro.ini"), "<missing>");
}

TEST_F(ClosingTest, TheStopButtonResumesAStopPause) {
  ButtonTable->SetField(11, 5, wvar(u"STOP\r\nPRINT \"resumed\""));
  std::string titleDuringPause;
  bool stopShown = false;
  WhenReady([&] { return form_->windowTitle().endsWith(" - STOP"); }, [&] {
    titleDuringPause = form_->windowTitle().toStdString();
    stopShown = form_->WSysButton1->isVisible();
    QTest::mouseClick(form_->WSysButton1, Qt::LeftButton);
  });
  QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  EXPECT_EQ(titleDuringPause, "Zimro - STOP");
  EXPECT_TRUE(stopShown);
  EXPECT_EQ(Display(), "resumed");
  EXPECT_EQ(form_->windowTitle().toStdString(), "Zimro");
}

TEST_F(ClosingTest, TheStopButtonStopsARunningProgram) {
  ButtonTable->SetField(11, 5, wvar(u"WHILE 1 { }\r\nPRINT \"not reached\""));
  QTimer::singleShot(200, TestScope(), [&] { QTest::mouseClick(form_->WSysButton1, Qt::LeftButton); });
  QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  EXPECT_EQ(Display(), "");
  EXPECT_EQ(Block->errorCode, erStop);
  EXPECT_FALSE(form_->WSysButton1->isVisible());
}

TEST_F(ClosingTest, PauseStopsARunningProgram) {
  SetDisplay("WHILE 1 { }", 0);
  QTimer::singleShot(200, TestScope(), [&] { QTest::keyClick(form_->MemoOut, Qt::Key_Pause); });
  QTest::keyClick(form_->MemoOut, Qt::Key_Return);
  EXPECT_EQ(Block->errorCode, erStop);
  EXPECT_TRUE(form_->isVisible());
}

TEST_F(ClosingTest, CloseDuringAStopPauseEndsThePausedRunThenTheWindow) {
  ButtonTable->SetField(11, 5, wvar(u"STOP\r\nPRINT \"resumed\""));
  bool refused = false;
  WhenReady([&] { return form_->windowTitle().endsWith(" - STOP"); }, [&] {
    form_->close();
    refused = form_->isVisible();
  });
  // Only a fault would leave the pause to this.
  QTimer::singleShot(5000, form_, [] {
    if (Block != nullptr) Block->state = rsRunning;
  });
  QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  EXPECT_TRUE(refused);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(Display(), "");
  EXPECT_EQ(form_->windowTitle().toStdString(), "Zimro");
  EXPECT_NE(ReadFile("zimro.ini"), "<missing>");
}

// A stop or a close request that comes during a dialog holds for the
// nested run that the same statement starts next (CALC's run clears the
// code, as every run does when it starts); and a stop that follows a close
// request does not outrank it: the window still closes, saving.
struct HeldStopCase {
  const char* name;
  std::function<void(TFormCalc*)> during;
  bool closes;
};

class HeldStopTest : public ClosingTest, public testing::WithParamInterface<HeldStopCase> {};

TEST_P(HeldStopTest, EndsTheRunAcrossANestedRun) {
  const HeldStopCase& c = GetParam();
  PressWhileAsking(u"DIM r = MSG(\"q\") + CALC(\"1\")\r\nPRINT \"went on\"",
                   [&] { c.during(form_); });
  EXPECT_EQ(Display(), "");
  EXPECT_EQ(form_->isVisible(), !c.closes);
  EXPECT_EQ(ReadFile("zimro.ini") != "<missing>", c.closes);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, HeldStopTest,
    testing::Values(HeldStopCase{"Pause",
                                 [](TFormCalc* f) { QTest::keyClick(f->MemoOut, Qt::Key_Pause); },
                                 false},
                    HeldStopCase{"CloseRequestThenPause",
                                 [](TFormCalc* f) {
                                   f->close();
                                   QTest::keyClick(f->MemoOut, Qt::Key_Pause);
                                 },
                                 true}),
    [](const testing::TestParamInfo<HeldStopCase>& c) { return std::string(c.param.name); });

// The ways to stop a run from the window, and whether each closes it too.
struct StopWay {
  const char* name;
  std::function<void(TFormCalc*)> stop;
  bool closes;
};

std::vector<StopWay> StopWays() {
  return {
      {"Pause", [](TFormCalc* f) { QTest::keyClick(f->MemoOut, Qt::Key_Pause); }, false},
      {"StopButton", [](TFormCalc* f) { QTest::mouseClick(f->WSysButton1, Qt::LeftButton); },
       false},
      {"CloseButton", [](TFormCalc* f) { QTest::mouseClick(f->WSysButton3, Qt::LeftButton); },
       true},
      {"CloseRequest", [](TFormCalc* f) { f->close(); }, true},
  };
}

std::string StopWayName(const testing::TestParamInfo<StopWay>& c) { return c.param.name; }

// A stop that comes while a statement runs long (WAIT answers no window
// event) ends the run before its next statement, however fast the
// statements before it ran.
class LongStatementStopTest : public ClosingTest, public testing::WithParamInterface<StopWay> {};

TEST_P(LongStatementStopTest, EndsTheRunBeforeItsNextStatement) {
  const StopWay& c = GetParam();
  ButtonTable->SetField(11, 5,
                        wvar(u"DIM i = 0\r\nWHILE i < 5000 { i = i + 1 }\r\n"
                             u"PRINT \"w\"\r\nDIM w = WAIT(2000)\r\nPRINT \"ran on\""));
  // The stop arrives as a window event while WAIT blocks the window: sent
  // a little after the statement before it has printed.
  std::atomic<bool> waiting{false};
  QObject::connect(form_->MemoOut, &QPlainTextEdit::textChanged, TestScope(),
                   [&] { waiting = true; });
  std::thread stopper([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!waiting && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    QMetaObject::invokeMethod(form_, [&] { c.stop(form_); }, Qt::QueuedConnection);
  });
  QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  stopper.join();
  EXPECT_EQ(Display(), "w");
  EXPECT_EQ(form_->isVisible(), !c.closes);
}

INSTANTIATE_TEST_SUITE_P(Ways, LongStatementStopTest, testing::ValuesIn(StopWays()), StopWayName);

// Closing during InputButton's wait. The menu's exit, quitting without
// saving and the window manager's close leave the wait to a button press or
// Pause; the run then ends before its next statement and the window closes
// after it. The title strip's close button ends the wait at once.
struct WaitCloseCase {
  const char* name;
  std::function<void(TFormCalc*)> close;
  // What ends the wait after the close, when it goes on.
  std::function<void(TFormCalc*)> end;
  bool saves;
};

class WaitCloseTest : public ClosingTest, public testing::WithParamInterface<WaitCloseCase> {};

TEST_P(WaitCloseTest, ClosesAfterTheRun) {
  const WaitCloseCase& c = GetParam();
  ButtonTable->SetField(11, 5, wvar(u"DIM b = InputButton()\r\nPRINT \"went on\""));
  ButtonTable->SetField(12, 5, wvar(u"PRINT \"pressed\""));
  bool waitedOn = false;
  // Once the wait is on, the close; some passes of the wait later, whether
  // it still waits.
  WhenReady([] { return Setting != nullptr && Setting->inputWait == 1; }, [&] {
    c.close(form_);
    QTimer::singleShot(500, TestScope(), [&] {
      waitedOn = Setting != nullptr && Setting->inputWait == 1 && form_->isVisible();
      if (waitedOn && c.end) c.end(form_);
    });
  });
  // Only a fault would leave the wait to this.
  bool neverEnded = false;
  QTimer::singleShot(5000, TestScope(), [&] {
    neverEnded = Setting != nullptr && Setting->inputWait == 1;
    if (neverEnded) Setting->inputWait = 0;
  });
  QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  EXPECT_EQ(waitedOn, c.end != nullptr);
  EXPECT_FALSE(neverEnded);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(Display(), "");  // neither the next statement nor the pressed button ran
  EXPECT_EQ(ReadFile("zimro.ini") != "<missing>", c.saves);
}

void PressButton12(TFormCalc*) { QTest::mouseClick(ButtonSet->buttons[11], Qt::LeftButton); }
void PressPause(TFormCalc* f) { QTest::keyClick(f->MemoOut, Qt::Key_Pause); }

INSTANTIATE_TEST_SUITE_P(
    Ways, WaitCloseTest,
    testing::Values(
        WaitCloseCase{"ExitMenuThenAPress", [](TFormCalc* f) { f->MenuExit->trigger(); },
                      PressButton12, true},
        WaitCloseCase{"ExitMenuThenPause", [](TFormCalc* f) { f->MenuExit->trigger(); },
                      PressPause, true},
        WaitCloseCase{"QuitWithoutSavingThenAPress", [](TFormCalc* f) { f->MenuAbort->trigger(); },
                      PressButton12, false},
        WaitCloseCase{"WindowManagersCloseThenAPress", [](TFormCalc* f) { f->close(); },
                      PressButton12, true},
        WaitCloseCase{"CloseButton",
                      [](TFormCalc* f) { QTest::mouseClick(f->WSysButton3, Qt::LeftButton); },
                      nullptr, true}),
    [](const testing::TestParamInfo<WaitCloseCase>& c) { return std::string(c.param.name); });

// Acts when the stop button has been shown `count` times. ExecLine shows it
// for a statement line and then serves the window before the line's own run
// starts, which clears the error code.
class OnShow : public QObject {
 public:
  OnShow(QWidget* watched, int count, std::function<void()> act)
      : count_(count), act_(std::move(act)) {
    watched->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Show && --count_ == 0) act_();
    return false;
  }

 private:
  int count_;
  std::function<void()> act_;
};

// A stop that arrives between two nested runs still ends them all.
class NestedStopTest : public ClosingTest, public testing::WithParamInterface<StopWay> {};

TEST_P(NestedStopTest, EndsEveryRun) {
  const StopWay& c = GetParam();
  ButtonTable->SetField(
      11, 5,
      wvar(u"DIM y = 0\r\nDIM i = 0\r\n"
           u"WHILE i < 2000 { i = i + 1\r\nPRINT CHR(27) + \"*y = i\"\r\nExecLine() }\r\n"
           u"PRINT CHR(27) + \"*ran to the end\""));
  ButtonTable->SetField(12, 5, wvar(u"PRINT CHR(27) + \"*\", y"));
  OnShow stopper(form_->WSysButton1, 20, [&] { c.stop(form_); });
  QTest::mouseClick(ButtonSet->buttons[10], Qt::LeftButton);
  EXPECT_EQ(Display().find("ran to the end"), std::string::npos) << Display();
  EXPECT_EQ(form_->isVisible(), !c.closes);
  if (c.closes) return;
  // The window answers and a button runs again. The stop came at the 20th
  // line, which did not run, nor did any after it.
  QTest::mouseClick(ButtonSet->buttons[11], Qt::LeftButton);
  EXPECT_EQ(Display(), "19");
}

INSTANTIATE_TEST_SUITE_P(Ways, NestedStopTest, testing::ValuesIn(StopWays()), StopWayName);

}  // namespace
