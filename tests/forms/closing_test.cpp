// Closing the window: refused while a run is active, then done by the run's
// starter; quitting without saving; the session manager's save.
#include <QTest>
#include <QTimer>

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
  QTimer::singleShot(300, TestScope(), [&] {
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

}  // namespace
