#include "calculator/forms/formedit.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "button/wbutton.h"
#include "calculator/calcfile.h"
#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "calculator/forms/wbtn.h"
#include "calculator/forms/wpalette.h"
#include "calcwindow.h"
#include "wbexecalc.h"
#include "platform/dialogs.h"
#include "platform/qt/qtbackends.h"
#include "platform/text.h"
#include "dialogsupport.h"

namespace {

// Line `index` of the button table, as UTF-8.
std::string Line(int index) { return platform::ToUtf8(ButtonTable->GetLine(index).AsString()); }

// Runs EditButtonData(mode) with `inside` done while the editor shows, then
// the editor's button `close`.
void Edit(int mode, std::function<void()> inside, QPushButton* Ui::TFormEdit::*close) {
  WhenShown([inside, close] {
    inside();
    (FormEdit->*close)->click();
  });
  EditButtonData(mode);
}

// Answers every message box with `answer` and keeps what it was asked.
class Boxes : public platform::MessageBoxBackend {
 public:
  explicit Boxes(int answer) : answer_(answer) { platform::SetMessageBoxBackend(this); }
  ~Boxes() override { platform::SetMessageBoxBackend(nullptr); }
  int Show(HWND owner, const std::u16string& text, const std::u16string& caption,
           UINT type) override {
    owners.push_back(platform::WidgetOfWindow(owner));
    texts.push_back(text);
    captions.push_back(caption);
    types.push_back(type);
    return answer_;
  }
  std::vector<std::u16string> texts, captions;
  std::vector<UINT> types;
  std::vector<QWidget*> owners;

 private:
  int answer_;
};

TEST(ButtonEditor, ShowsTheCurrentButtonAndWritesItBackInCanonicalForm) {
  // Alternate markers and a plain program: OK with nothing changed rewrites
  // the line in its canonical form.
  CalcWindow w({u"B5=\\'Sin\\c0000ff\\/Ans*2"});
  ButtonSet->current = 5;
  Edit(
      1,
      [] {
        EXPECT_EQ(FormEdit->windowTitle(), "ボタンデータの編集");
        EXPECT_EQ(FormEdit->MemoDisp->text(), "Sin");
        EXPECT_TRUE(FormEdit->MemoDisp->isEnabled());
        EXPECT_TRUE(FormEdit->WButtonColor->isEnabled());
        EXPECT_EQ(Hex(FormEdit->WButtonColor->FaceColor()), "0x0000FF");
        // No face colour in the line: the default.
        EXPECT_EQ(Hex(FormEdit->WButtonBackColor->FaceColor()), "0xC0C0C0");
        EXPECT_EQ(FormEdit->MemoOut->toPlainText(), "Ans*2");
      },
      &Ui::TFormEdit::Button1);
  EXPECT_EQ(Line(5), "\\1Sin\\20000ff\\541006e0073002a003200");
  EXPECT_EQ(ButtonSet->buttons[4]->Caption(), "Sin");
}

TEST(ButtonEditor, OkWritesLabelProgramAndColoursInOrder) {
  CalcWindow w({u"B7=\\1Old\\5310032003300"});
  ButtonSet->current = 7;
  Edit(
      1,
      [] {
        FormEdit->MemoDisp->setText("Cos");
        FormEdit->MemoOut->SetText(u"a=1\r\nPRINT a");
        FormEdit->WButtonBackColor->SetFaceColor(0x00FF80);
      },
      &Ui::TFormEdit::Button1);
  // Label, caption colour (default: empty), face colour, program.
  EXPECT_EQ(Line(7), "\\1Cos\\300ff80\\561003d0031000d000a005000520049004e00540020006100");
}

TEST(ButtonEditor, AutomaticProgramLocksLabelAndColoursAndEditsLineZero) {
  CalcWindow w({u"B0=\\5310032003300", u"B3=\\1Three"});
  ButtonSet->current = 3;
  Edit(
      0,
      [] {
        EXPECT_EQ(FormEdit->windowTitle(), "自動プログラムの編集");
        EXPECT_FALSE(FormEdit->MemoDisp->isEnabled());
        EXPECT_FALSE(FormEdit->WButtonColor->isEnabled());
        EXPECT_FALSE(FormEdit->WButtonBackColor->isEnabled());
        EXPECT_EQ(FormEdit->MemoOut->toPlainText(), "123");
        FormEdit->MemoOut->SetText(u"456");
      },
      &Ui::TFormEdit::Button1);
  EXPECT_EQ(Line(0), "\\5340035003600");
  EXPECT_EQ(Line(3), "\\1Three");
  EXPECT_EQ(ButtonSet->current, 3);
  // The next edit of a button unlocks the controls again.
  Edit(
      1, [] { EXPECT_TRUE(FormEdit->MemoDisp->isEnabled()); }, &Ui::TFormEdit::Button2);
}

TEST(ButtonEditor, LabelLosesLineBreaksAndBackslashes) {
  CalcWindow w;
  ButtonSet->current = 2;
  // A script can store such a label; the editor shows and stores it clean.
  ButtonTable->SetLine(2, wvar(u"\\1a\r\nb\\zc"));
  Edit(
      1, [] { EXPECT_EQ(FormEdit->MemoDisp->text(), "abzc"); }, &Ui::TFormEdit::Button1);
  EXPECT_EQ(Line(2), "\\1abzc");
}

TEST(ButtonEditor, TypingABackslashRemovesItAndKeepsTheCaret) {
  CalcWindow w;
  ButtonSet->current = 2;
  Edit(
      1,
      [] {
        QLineEdit* e = FormEdit->MemoDisp;
        QTest::keyClicks(e, "abcd");
        e->setCursorPosition(2);
        QTest::keyClicks(e, "\\");
        EXPECT_EQ(e->text(), "abcd");
        EXPECT_EQ(e->cursorPosition(), 2);
        QTest::keyClicks(e, "X");
        EXPECT_EQ(e->text(), "abXcd");
        EXPECT_TRUE(e->isModified());
      },
      &Ui::TFormEdit::Button1);
  EXPECT_EQ(Line(2), "\\1abXcd");
}

TEST(ButtonEditor, LabelKeepsAtMost255Units) {
  CalcWindow w;
  ButtonSet->current = 1;
  Edit(
      1,
      [] {
        FormEdit->MemoDisp->setText(QString(300, 'x'));
        EXPECT_EQ(FormEdit->MemoDisp->text().size(), 255);
      },
      &Ui::TFormEdit::Button1);
  EXPECT_EQ(Line(1).size(), 2u + 255u);
}

TEST(ButtonEditor, PickingTheDefaultColourStoresAnEmptyField) {
  // The line's caption colour is red; the default caption colour is black.
  CalcWindow w({u"B4=\\1Four\\20000ff\\3ff0000", u"TextColor=0"});
  ButtonSet->current = 4;
  Edit(
      1,
      [] {
        // The palette, opened from the caption swatch, picks black (the
        // gray column's last cell) and confirms.
        WhenShown([] {
          QTest::mouseClick(FormPalette->ImagePallete, Qt::LeftButton, {}, QPoint(21 * 24 + 10, 21 * 7 + 10));
          FormPalette->ButtonOk->click();
        });
        FormEdit->WButtonColor->OnClick(FormEdit->WButtonColor);
        EXPECT_EQ(Hex(FormEdit->WButtonColor->FaceColor()), "0x000000");
      },
      &Ui::TFormEdit::Button1);
  EXPECT_EQ(Line(4), "\\1Four\\3ff0000");
}

TEST(ButtonEditor, ConfirmedMixesReachTheSettingsEvenWhenTheEditorIsCancelled) {
  CalcWindow w({u"B4=\\1Four"});
  ButtonSet->current = 4;
  Edit(
      1,
      [] {
        WhenShown([] {
          FormPalette->EditMix1->setText("30");
          FormPalette->ButtonOk->click();
        });
        FormEdit->WButtonBackColor->OnClick(FormEdit->WButtonBackColor);
      },
      &Ui::TFormEdit::Button2);
  EXPECT_EQ(Setting->mix1, 30);
  EXPECT_EQ(Line(4), "\\1Four");
}

TEST(ButtonEditor, CancelAfterOnlyAColourChangeClosesWithoutAsking) {
  CalcWindow w({u"B4=\\1Four"});
  ButtonSet->current = 4;
  Boxes boxes(IDNO);
  Edit(
      1, [] { FormEdit->WButtonColor->SetFaceColor(0x0000FF); }, &Ui::TFormEdit::Button2);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_FALSE(FormEdit->isVisible());
  EXPECT_EQ(Line(4), "\\1Four");
}

TEST(ButtonEditor, CancelAfterATextChangeAsksAndNoKeepsTheEditorOpen) {
  CalcWindow w({u"B4=\\1Four"});
  ButtonSet->current = 4;
  Boxes no(IDNO);
  WhenShown([&] {
    QTest::keyClicks(FormEdit->MemoOut, "1+1");
    FormEdit->Button2->click();
    // Still open: the answer was No.
    EXPECT_TRUE(FormEdit->isVisible());
    ASSERT_EQ(no.texts.size(), 1u);
    EXPECT_TRUE(no.texts[0] == u"更新されています。終了しますか？\u3000");
    EXPECT_TRUE(no.captions[0] == u"ボタンデータの編集");
    EXPECT_EQ(no.types[0], MB_ICONWARNING | MB_YESNO);
    // Owned by the editor, so that it shows over it and not somewhere else.
    EXPECT_EQ(no.owners[0], FormEdit);
    // OK never asks, and writes.
    FormEdit->Button1->click();
  });
  EditButtonData(1);
  EXPECT_EQ(no.texts.size(), 1u);
  EXPECT_EQ(Line(4), "\\1Four\\531002b003100");
}

TEST(ButtonEditor, CancelAfterALabelChangeAsksAndYesDiscards) {
  CalcWindow w({u"B4=\\1Four"});
  ButtonSet->current = 4;
  Boxes yes(IDYES);
  Edit(
      1, [] { QTest::keyClicks(FormEdit->MemoDisp, "!"); }, &Ui::TFormEdit::Button2);
  EXPECT_EQ(yes.texts.size(), 1u);
  EXPECT_EQ(Line(4), "\\1Four");
}

TEST(ButtonEditor, SelectsTheFailingTokenOnceAfterAFailedRun) {
  CalcWindow w({u"B6=\\5"});
  ButtonSet->current = 6;
  ButtonTable->SetField(6, 5, wvar(u"a = 1\r\nb = a +* 2"));
  // What an error report leaves: the error code, and the marked token's
  // offset and length in request cells 2 and 3.
  Block->errorCode = erSyntax;
  Block->request[2].value = static_cast<int32_t>(14);
  Block->request[3].value = static_cast<int32_t>(1);
  Edit(
      1,
      [] {
        FormEdit->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FormEdit));
        EXPECT_TRUE(FormEdit->MemoOut->hasFocus());
        EXPECT_EQ(FormEdit->MemoOut->textCursor().selectedText(), "*");
      },
      &Ui::TFormEdit::Button2);
  EXPECT_EQ(Block->errorCode, 0);
  Edit(
      1,
      [] {
        FormEdit->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FormEdit));
        EXPECT_EQ(FormEdit->MemoOut->textCursor().selectedText(), "");
      },
      &Ui::TFormEdit::Button2);
}

TEST(ButtonEditor, AColourFieldThatIsNotHexShowsTheErrorAndWritesNothing) {
  CalcWindow w;
  // Only a script or a hand-edited file puts such a field into a line.
  ButtonTable->SetLine(8, wvar(u"\\1Eight\\2zz"));
  ButtonSet->current = 8;
  bool shown = false;
  QPointer<QTimer> pending = WhenShown([&] {
    shown = FormEdit->isVisible();
    FormEdit->Button1->click();
  });
  EXPECT_THROW(EditButtonData(1), EConvertError);
  QCoreApplication::processEvents();
  EXPECT_FALSE(shown);
  delete pending.data();
  EXPECT_EQ(Line(8), "\\1Eight\\2zz");
}

TEST(ButtonEditor, ResizingKeepsTheButtonsAtTheRightEdge) {
  CalcWindow w;
  FormEdit->resize(350, 153);
  FormEdit->show();
  EXPECT_EQ(FormEdit->Button2->geometry(), QRect(256, 6, 75, 21));
  FormEdit->resize(450, 253);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormEdit->Button2->geometry(), QRect(356, 6, 75, 21));
  EXPECT_EQ(FormEdit->Button1->geometry(), QRect(276, 6, 75, 21));
  EXPECT_EQ(FormEdit->MemoOut->geometry(), QRect(0, 45, 450, 253 - 45 - 30));
  FormEdit->hide();
}

// Keeps what the dialogs said.
class Dialogs : public platform::MessageBoxBackend {
 public:
  Dialogs() { platform::SetMessageBoxBackend(this); }
  ~Dialogs() override { platform::SetMessageBoxBackend(nullptr); }
  int Dialog(const std::u16string& text, TMsgDlgType, TMsgDlgButtons) override {
    texts.push_back(platform::ToUtf8(text));
    return mrOk;
  }
  std::vector<std::string> texts;
};

// OK with an edit that would make the calculator file too large to open
// again says so and keeps the editor open with the edit; one that fits is
// stored.
TEST(ButtonEditor, AnEditTheCalculatorFileCannotHoldKeepsTheEditorOpen) {
  CalcWindow w({u"B2=\\1Two"});
  // Line 1 so long that 40 units are left.
  ButtonTable->list->Put(1, u"\\1");
  const int64_t bytes = CalcFileBytes(*ButtonTable);
  ButtonTable->list->Put(
      1, u"\\1" + std::u16string(static_cast<size_t>((kMaxCalcFileBytes - bytes) / 2 - 40), u'a'));
  ButtonSet->current = 2;
  Dialogs dialogs;
  WhenShown([&] {
    QTest::keyClicks(FormEdit->MemoOut, "PRINT 1234567890");
    FormEdit->Button1->click();
    EXPECT_TRUE(FormEdit->isVisible());
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{
                                 "電卓ファイルが 64 MiB を超えてしまうため、このボタンには入れられません。"});
    EXPECT_EQ(Line(2), "\\1Two");
    EXPECT_EQ(FormEdit->MemoOut->toPlainText(), "PRINT 1234567890");
    FormEdit->MemoOut->SetText(u"1+1");
    FormEdit->Button1->click();
  });
  EditButtonData(1);
  EXPECT_FALSE(FormEdit->isVisible());
  EXPECT_EQ(dialogs.texts.size(), 1u);
  EXPECT_EQ(Line(2), "\\1Two\\531002b003100");
}

}  // namespace

