// The host commands that open dialogs: EditButton (13) and DispOption (18),
// called by scripts in the real window and answered as a user would.
#include <gtest/gtest.h>

#include <string>

#include "calculator/forms/formedit.h"
#include "calculator/forms/formoption.h"
#include "calculator/forms/memo.h"
#include "calcwindow.h"
#include "dialogsupport.h"
#include "wbexecalc.h"
#include "platform/text.h"

namespace {

std::string Line(int index) { return platform::ToUtf8(ButtonTable->GetLine(index).AsString()); }

std::string RunScript(TFormCalc* form, const std::u16string& script) {
  form->MemoOut->SetText(u"");
  Block->subName = u"";
  Block->Sub(script.c_str());
  return platform::ToUtf8(form->MemoOut->Text());
}

TEST(DialogCommands, EditButtonEditsTheCurrentButton) {
  CalcWindow w({u"B5=\\1Old\\53100"});
  std::string title, label;
  WhenShown([&] {
    title = FormEdit->windowTitle().toStdString();
    label = FormEdit->MemoDisp->text().toStdString();
    FormEdit->MemoDisp->setText("New");
    FormEdit->Button1->click();
  });
  EXPECT_EQ(RunScript(w.form, u"SetButton(5)\nEditButton()\nPRINT GetButtonLabel()"), "New");
  EXPECT_EQ(title, "ボタンデータの編集");
  EXPECT_EQ(label, "Old");
  EXPECT_EQ(Line(5), "\\1New\\53100");
}

TEST(DialogCommands, EditButtonCancelledChangesNothing) {
  CalcWindow w({u"B5=\\1Old\\53100"});
  WhenShown([&] {
    FormEdit->MemoDisp->setText("New");
    FormEdit->Button2->click();
  });
  EXPECT_EQ(RunScript(w.form, u"SetButton(5)\nEditButton()\nPRINT \"after\""), "after");
  EXPECT_EQ(Line(5), "\\1Old\\53100");
}

TEST(DialogCommands, DispOptionShowsTheOptionsAndOkStoresThem) {
  CalcWindow w;
  bool shown = false;
  WhenShown([&] {
    shown = FormOption != nullptr && FormOption->isVisible();
    FormOption->CheckBoxButtonEditMode->setChecked(false);
    FormOption->Button1->click();
  });
  EXPECT_EQ(RunScript(w.form, u"DispOption()\nPRINT GetOption(1)"), "0");
  EXPECT_TRUE(shown);
  EXPECT_EQ(Setting->buttonEditMode, 0);
}

TEST(DialogCommands, DispOptionCancelledKeepsTheOptions) {
  CalcWindow w;
  WhenShown([&] {
    FormOption->CheckBoxButtonEditMode->setChecked(false);
    FormOption->Button2->click();
  });
  EXPECT_EQ(RunScript(w.form, u"DispOption()\nPRINT GetOption(1)"), "1");
}

}  // namespace
