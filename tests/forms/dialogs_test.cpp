// The message dialog (Yes, No, Abort) and the input dialog of a running
// script, answered as a user would.
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "support.h"

namespace {

const char* const kConfirm = "プログラムを終了しますか？ ";

struct AskCase {
  const char* name;
  std::vector<int> dialogAnswers;
  std::vector<int> boxAnswers;  // the confirmation's
  bool errorBefore;             // an error code already set while the dialog is up
  std::string display;
  int confirmations;
  int errorCode;
};

class AskTest : public CalcWindowTest, public testing::WithParamInterface<AskCase> {};

TEST_P(AskTest, AnswersTheScript) {
  const AskCase& c = GetParam();
  boxes_.dialogAnswers.assign(c.dialogAnswers.begin(), c.dialogAnswers.end());
  boxes_.boxAnswers.assign(c.boxAnswers.begin(), c.boxAnswers.end());
  if (c.errorBefore) boxes_.onDialog = [] { Block->errorCode = erStop; };
  Run("PRINT MSG(\"続けますか\")\r\nPRINT \"|go\"");
  EXPECT_EQ(boxes_.dialogs, std::vector<std::string>{"続けますか"});
  EXPECT_EQ(Display(), c.display);
  ASSERT_EQ(static_cast<int>(boxes_.boxes.size()), c.confirmations);
  for (const auto& box : boxes_.boxes) {
    EXPECT_EQ(box.text, kConfirm);
    EXPECT_EQ(box.caption, "WB");
    EXPECT_EQ(box.type, MB_ICONWARNING | MB_OKCANCEL);
  }
  EXPECT_EQ(Block->errorCode, c.errorCode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AskTest,
    testing::Values(AskCase{"Yes", {mrYes}, {}, false, "1|go", 0, erNone},
                    AskCase{"No", {mrNo}, {}, false, "0|go", 0, erNone},
                    AskCase{"ClosedOtherwise", {mrCancel}, {}, false, "0|go", 0, erNone},
                    AskCase{"AbortConfirmedStops", {mrAbort}, {IDOK}, false, "0", 1, erStop},
                    AskCase{"AbortDeclinedGoesOn", {mrAbort}, {IDCANCEL}, false, "0|go", 1, erNone},
                    AskCase{"AbortWhileStoppingAsksNothing", {mrAbort}, {}, true, "1", 0, erStop}),
    [](const testing::TestParamInfo<AskCase>& c) { return std::string(c.param.name); });

// What the user does each time the input dialog shows.
using InputAction = std::function<void(TFormInput*)>;

class InputTest : public CalcWindowTest {
 protected:
  // Runs the script; each showing of the dialog gets the next action.
  void RunAnswering(const std::string& script, std::vector<InputAction> actions) {
    size_t next = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (!FormInput->isVisible()) return;
      prompts.push_back(FormInput->LabelMessage->text().toStdString());
      captions.push_back(FormInput->windowTitle().toStdString());
      fieldsOnShow.push_back(FormInput->EditInput->text().toStdString());
      if (next < actions.size()) {
        actions[next++](FormInput);
      } else {
        FormInput->done(mrOk);  // never hang a test
      }
    });
    timer.start();
    Run(script);
    timer.stop();
    showings = next;
  }

  std::vector<std::string> prompts, captions, fieldsOnShow;
  size_t showings = 0;
};

const char* const kInputScript =
    "DIM x = \"unset\"\r\nINPUT \"名前?\", x\r\nPRINT \"[\" + x + \"]\"";

InputAction Type(const char* text, Qt::Key key) {
  return [text, key](TFormInput* f) {
    QTest::keyClicks(f->EditInput, QString::fromUtf8(text));
    QTest::keyClick(f->EditInput, key);
  };
}

InputAction Press(QPushButton* TFormInput::*button) {
  return [button](TFormInput* f) { QTest::mouseClick(f->*button, Qt::LeftButton); };
}

TEST_F(InputTest, EnterAnswersTheTypedText) {
  RunAnswering(kInputScript, {Type("abc", Qt::Key_Return)});
  EXPECT_EQ(Display(), "[abc]");
  EXPECT_EQ(prompts, std::vector<std::string>{"名前?"});
  EXPECT_EQ(captions, std::vector<std::string>{"INPUT"});
}

TEST_F(InputTest, OkWithNothingTypedAnswersTheEmptyText) {
  RunAnswering(kInputScript, {Press(&TFormInput::Button1)});
  EXPECT_EQ(Display(), "[]");
}

TEST_F(InputTest, EscapeShowsTheDialogAgainWithAnEmptyField) {
  RunAnswering(kInputScript, {Type("lost", Qt::Key_Escape), Type("kept", Qt::Key_Return)});
  EXPECT_EQ(showings, 2u);
  EXPECT_EQ(fieldsOnShow, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(Display(), "[kept]");
}

TEST_F(InputTest, AbortConfirmedStopsTheRun) {
  boxes_.boxAnswers = {IDOK};
  RunAnswering(kInputScript, {Press(&TFormInput::Button2)});
  EXPECT_EQ(Display(), "");
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, kConfirm);
  EXPECT_EQ(Block->errorCode, erStop);
}

TEST_F(InputTest, AbortDeclinedAsksAgain) {
  boxes_.boxAnswers = {IDCANCEL};
  RunAnswering(kInputScript, {Press(&TFormInput::Button2), Type("second", Qt::Key_Return)});
  EXPECT_EQ(showings, 2u);
  EXPECT_EQ(Display(), "[second]");
}

TEST_F(InputTest, TheDialogKeepsItsSize) {
  RunAnswering(kInputScript, {[](TFormInput* f) {
                 EXPECT_EQ(f->size(), QSize(272, 79));
                 EXPECT_EQ(f->Button2->text().toStdString(), "中止");
                 f->done(mrOk);
               }});
}

}  // namespace
