#include "calculator/forms/formoption.h"

#include <QComboBox>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "button/wbutton.h"
#include "calculator/forms/hooks.h"
#include "calculator/forms/memo.h"
#include "calculator/forms/wbtn.h"
#include "calculator/forms/wpalette.h"
#include "calcwindow.h"
#include "platform/text.h"
#include "dialogsupport.h"

namespace {

// Opens the option dialog from the main window's menu, does `inside` while
// it shows, then presses its button `close` (unless `inside` closed it).
void Options(std::function<void()> inside, QPushButton* Ui::TFormOption::*close) {
  WhenShown([inside, close] {
    inside();
    if (FormOption && FormOption->isVisible()) (FormOption->*close)->click();
  });
  FormCalc->MenuOptionClick();
}

std::string Saved(CalcWindow& w, const char16_t* key) { return platform::ToUtf8(w.Saved(key)); }

TEST(OptionDialog, ShowsTheSettingsItWasOpenedWith) {
  CalcWindow w({u"ButtonEditMode=0", u"StayOnTop=1", u"ButtonDispLine1=3", u"ButtonDispLine2=1",
                u"ButtonDispLine3=4", u"ButtonDispLine4=0", u"DispWidth=300", u"DispHeight=70",
                u"DispFontSize=14", u"FormColor=255"});
  Options(
      [] {
        TFormOption* f = FormOption;
        EXPECT_EQ(f->windowTitle(), "オプション");
        EXPECT_EQ(f->LabelVersion->text(), "Version 1.30");
        EXPECT_FALSE(f->CheckBoxButtonEditMode->isChecked());
        EXPECT_TRUE(f->CheckBoxStayOnTop->isChecked());
        EXPECT_EQ(f->ComboBoxButtonDispLine1->currentText(), "3");
        EXPECT_EQ(f->ComboBoxButtonDispLine2->currentText(), "1");
        EXPECT_EQ(f->ComboBoxButtonDispLine3->currentText(), "4");
        EXPECT_EQ(f->ComboBoxButtonDispLine4->currentText(), "0");
        EXPECT_EQ(f->ComboBoxButtonDispLine1->count(), 11);
        EXPECT_EQ(f->ComboBoxButtonDispLine4->count(), 5);
        EXPECT_EQ(f->EditDispWidth->text(), "300");
        EXPECT_EQ(f->EditDispHeight->text(), "70");
        EXPECT_EQ(f->ComboBoxDispSize->currentText(), "14");
        // The swatch shows the window colour (red) on its face.
        EXPECT_EQ(Hex(PixelAt(Shot(f->WButtonFormColor), 65, 11)), "0x0000FF");
      },
      &Ui::TFormOption::Button2);
}

TEST(OptionDialog, ChoosingAFontSizeResetsTheWidthAndRaisesTheHeight) {
  CalcWindow w({u"DispWidth=900", u"DispHeight=60", u"DispFontSize=11"});
  QString width36, height36;
  Options(
      [&] {
        TFormOption* f = FormOption;
        QTest::keyClick(f->ComboBoxDispSize, Qt::Key_End);  // 36
        ASSERT_EQ(f->ComboBoxDispSize->currentText(), "36");
        width36 = f->EditDispWidth->text();
        height36 = f->EditDispHeight->text();
        // Far below the 900 it was; a minimum ends in 4 or 9.
        EXPECT_LT(width36.toInt(), 900);
        EXPECT_GT(width36.toInt(), 150);
        EXPECT_EQ(width36.toInt() % 5, 4);
        EXPECT_GT(height36.toInt(), 60);
        QTest::keyClick(f->ComboBoxDispSize, Qt::Key_Home);  // 8
        ASSERT_EQ(f->ComboBoxDispSize->currentText(), "8");
        EXPECT_LT(f->EditDispWidth->text().toInt(), width36.toInt());
        // A larger height stays.
        EXPECT_EQ(f->EditDispHeight->text(), height36);
        QTest::keyClick(f->ComboBoxDispSize, Qt::Key_End);
      },
      &Ui::TFormOption::Button1);
  // The field's minimum is the layout's: the display takes it as it is.
  EXPECT_EQ(Setting->dispFontSize, 36);
  EXPECT_EQ(Setting->dispWidth, width36.toInt());
  EXPECT_EQ(Setting->dispHeight, height36.toInt());
  EXPECT_EQ(FormCalc->MemoOut->width(), width36.toInt());
}

TEST(OptionDialog, OkWithAWidthBelowTheMinimumSavesTheRaisedWidth) {
  CalcWindow w({u"DispWidth=150", u"DispFontSize=11"});
  Options([] { FormOption->EditDispWidth->setText("10"); }, &Ui::TFormOption::Button1);
  const int raised = Setting->dispWidth;
  EXPECT_GT(raised, 10);
  EXPECT_EQ(FormCalc->MemoOut->width(), raised);
  w.Close();
  EXPECT_EQ(Saved(w, u"DispWidth"), std::to_string(raised));
}

TEST(OptionDialog, CancelAfterChangingEverythingChangesNoSetting) {
  CalcWindow w({u"ButtonEditMode=1", u"StayOnTop=0", u"DispWidth=160", u"DispHeight=60",
                u"DispFontSize=11", u"FormColor=10000000"});
  const wsetting before = *Setting;
  Options(
      [] {
        TFormOption* f = FormOption;
        f->CheckBoxButtonEditMode->setChecked(false);
        f->CheckBoxStayOnTop->setChecked(true);
        f->ComboBoxButtonDispLine1->setCurrentIndex(7);
        f->ComboBoxButtonDispLine3->setCurrentIndex(2);
        f->EditDispWidth->setText("300");
        f->EditDispHeight->setText("100");
        QTest::keyClick(f->ComboBoxDispSize, Qt::Key_End);
        // A colour and mixes confirmed in the palette.
        WhenShown([] {
          FormPalette->EditMix3->setText("80");
          QTest::mouseClick(FormPalette->ImagePallete, Qt::LeftButton, {}, QPoint(10, 10));
          FormPalette->ButtonOk->click();
        });
        f->WButtonFormColor->OnClick(f->WButtonFormColor);
      },
      &Ui::TFormOption::Button2);
  EXPECT_EQ(Setting->buttonEditMode, before.buttonEditMode);
  EXPECT_EQ(Setting->stayOnTop, before.stayOnTop);
  EXPECT_EQ(Setting->buttonDispLine1, before.buttonDispLine1);
  EXPECT_EQ(Setting->buttonDispLine3, before.buttonDispLine3);
  EXPECT_EQ(Setting->dispWidth, before.dispWidth);
  EXPECT_EQ(Setting->dispHeight, before.dispHeight);
  EXPECT_EQ(Setting->dispFontSize, before.dispFontSize);
  EXPECT_EQ(Hex(Setting->formColor), Hex(before.formColor));
  // The mixes confirmed in the palette stay in force.
  EXPECT_EQ(Setting->mix3, 80);
  EXPECT_FALSE(FormCalc->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(OptionDialog, AColourChosenInThePaletteIsTheWindowColourAfterOk) {
  CalcWindow w({u"FormColor=10000000"});
  Options(
      [] {
        TFormOption* f = FormOption;
        WhenShown([] {
          QTest::mouseClick(FormPalette->ImagePallete, Qt::LeftButton, {}, QPoint(21 * 8 + 10, 10));
          FormPalette->ButtonOk->click();
        });
        f->WButtonFormColor->OnClick(f->WButtonFormColor);
        // The dialog is activated again (as when the palette closes over
        // it, or the user comes back from another window): the swatch keeps
        // the choice.
        QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(f, &deactivate);
        QCoreApplication::sendEvent(f, &activate);
        EXPECT_EQ(Hex(f->WButtonFormColor->FaceColor()), "0x00FF00");
      },
      &Ui::TFormOption::Button1);
  EXPECT_EQ(Hex(Setting->formColor), "0x00FF00");
  // The main window's face, inside its one-pixel edge.
  EXPECT_EQ(Hex(PixelAt(Shot(FormCalc), 3, 40)), "0x00FF00");
}

TEST(OptionDialog, EditModeOffHidesTheButtonMenusEditItems) {
  CalcWindow w({u"ButtonEditMode=1"});
  ASSERT_TRUE(FormCalc->MenuButtonEdit->isVisible());
  Options([] { FormOption->CheckBoxButtonEditMode->setChecked(false); }, &Ui::TFormOption::Button1);
  EXPECT_FALSE(FormCalc->MenuButtonEdit->isVisible());
  EXPECT_FALSE(FormCalc->MenuButtonCopy->isVisible());
  EXPECT_FALSE(FormCalc->MenuButtonPaste->isVisible());
  EXPECT_FALSE(FormCalc->MenuButtonDelete->isVisible());
  EXPECT_TRUE(FormCalc->MenuButtonCopyData->isVisible());
  EXPECT_EQ(Setting->buttonEditMode, 0);
  // What the open menu shows: the copy item between its two separators.
  QMenu* menu = FormCalc->PMenuButton;
  menu->popup(QPoint(0, 0));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  std::vector<std::string> shown;
  for (QAction* a : menu->actions()) {
    if (menu->actionGeometry(a).isEmpty()) continue;
    shown.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  }
  menu->hide();
  EXPECT_EQ(shown, (std::vector<std::string>{"-", "-", "データをコピー(&S)"}));
}

TEST(OptionDialog, StayOnTopOnMakesTheWindowTopmostAtOnce) {
  CalcWindow w({u"StayOnTop=0"});
  Options([] { FormOption->CheckBoxStayOnTop->setChecked(true); }, &Ui::TFormOption::Button1);
  EXPECT_TRUE(FormCalc->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(Setting->stayOnTop, 1);
}

TEST(OptionDialog, RowsChosenRelayTheButtons) {
  CalcWindow w({u"ButtonDispLine1=0", u"ButtonDispLine2=2", u"ButtonDispLine3=0",
                u"ButtonDispLine4=0"});
  ASSERT_TRUE(ButtonSet->buttons[10]->isVisibleTo(FormCalc));
  ASSERT_FALSE(ButtonSet->buttons[0]->isVisibleTo(FormCalc));
  Options(
      [] {
        FormOption->ComboBoxButtonDispLine1->setCurrentIndex(2);
        FormOption->ComboBoxButtonDispLine2->setCurrentIndex(0);
      },
      &Ui::TFormOption::Button1);
  EXPECT_TRUE(ButtonSet->buttons[0]->isVisibleTo(FormCalc));
  EXPECT_TRUE(ButtonSet->buttons[1]->isVisibleTo(FormCalc));
  EXPECT_FALSE(ButtonSet->buttons[2]->isVisibleTo(FormCalc));
  EXPECT_FALSE(ButtonSet->buttons[10]->isVisibleTo(FormCalc));
}

TEST(OptionDialog, OkTakesEachGroupsRowsFromItsOwnList) {
  CalcWindow w({u"ButtonDispLine1=0", u"ButtonDispLine2=0", u"ButtonDispLine3=0",
                u"ButtonDispLine4=0"});
  // A different count in every list, so that no two groups can be mixed up.
  Options(
      [] {
        FormOption->ComboBoxButtonDispLine1->setCurrentIndex(7);
        FormOption->ComboBoxButtonDispLine2->setCurrentIndex(1);
        FormOption->ComboBoxButtonDispLine3->setCurrentIndex(3);
        FormOption->ComboBoxButtonDispLine4->setCurrentIndex(2);
      },
      &Ui::TFormOption::Button1);
  // Long buttons 1 to 7, one row of the first block, three of the second,
  // two of the third.
  for (int n = 1; n <= 70; ++n) {
    const bool shown = n <= 7 || (n >= 11 && n <= 15) || (n >= 31 && n <= 45) ||
                       (n >= 51 && n <= 60);
    EXPECT_EQ(ButtonSet->buttons[n - 1]->isVisibleTo(FormCalc), shown) << "button " << n;
  }
  w.Close();
  EXPECT_EQ(Saved(w, u"ButtonDispLine1"), "7");
  EXPECT_EQ(Saved(w, u"ButtonDispLine2"), "1");
  EXPECT_EQ(Saved(w, u"ButtonDispLine3"), "3");
  EXPECT_EQ(Saved(w, u"ButtonDispLine4"), "2");
}

TEST(OptionDialog, AWidthThatIsNoNumberShowsTheErrorAndKeepsTheDialogOpen) {
  CalcWindow w({u"ButtonEditMode=1", u"DispWidth=250", u"ButtonDispLine1=0"});
  ExceptionBoxes boxes;
  Options(
      [&] {
        FormOption->CheckBoxButtonEditMode->setChecked(false);
        FormOption->ComboBoxButtonDispLine1->setCurrentIndex(3);
        FormOption->EditDispWidth->setText("wide");
        FormOption->Button1->click();
        ASSERT_EQ(boxes.messages, QStringList{"'wide' is not a valid integer value"});
        EXPECT_TRUE(FormOption->isVisible());
        FormOption->Button2->click();
      },
      &Ui::TFormOption::Button2);
  // What was assigned before the width stays; the layout was not redone.
  EXPECT_EQ(Setting->buttonEditMode, 0);
  EXPECT_EQ(Setting->buttonDispLine1, 3);
  EXPECT_EQ(Setting->dispWidth, 250);
  EXPECT_TRUE(FormCalc->MenuButtonEdit->isVisible());
  EXPECT_FALSE(ButtonSet->buttons[0]->isVisibleTo(FormCalc));
}

TEST(OptionDialog, AFontSizeOffTheListSelectsNothingAndOkReportsIt) {
  CalcWindow w({u"DispFontSize=13", u"DispWidth=270"});
  ExceptionBoxes boxes;
  Options(
      [&] {
        EXPECT_EQ(FormOption->ComboBoxDispSize->currentIndex(), -1);
        FormOption->EditDispWidth->setText("280");
        FormOption->Button1->click();
        ASSERT_EQ(boxes.messages.size(), 1);
        EXPECT_TRUE(boxes.messages[0].contains("index")) << boxes.messages[0].toStdString();
      },
      &Ui::TFormOption::Button2);
  EXPECT_EQ(Setting->dispWidth, 280);
  EXPECT_EQ(Setting->dispFontSize, 13);
}

// The columns (in device pixels) where two pictures of the same size differ,
// as [first, last]; {-1, -1} when they are alike.
std::pair<int, int> ColumnsThatDiffer(const QImage& a, const QImage& b) {
  std::pair<int, int> span{-1, -1};
  for (int x = 0; x < a.width(); ++x) {
    for (int y = 0; y < a.height(); ++y) {
      if (a.pixel(x, y) == b.pixel(x, y)) continue;
      if (span.first < 0) span.first = x;
      span.second = x;
      break;
    }
  }
  return span;
}

// How many device pixels wide the ink of `text` is, drawn alone in `font`.
int InkWidth(const QString& text, const QFont& font, qreal ratio) {
  const QFontMetrics metrics(font);
  const QSize size(metrics.horizontalAdvance(text) + 20, metrics.height() + 4);
  QImage blank((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
  blank.setDevicePixelRatio(ratio);
  blank.fill(Qt::white);
  QImage drawn = blank;
  {
    QPainter p(&drawn);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(10, 2 + metrics.ascent()), text);
  }
  const auto [first, last] = ColumnsThatDiffer(blank, drawn);
  return first < 0 ? 0 : last - first + 1;
}

// Whether a column of the picture has dark ink in its middle half (where the
// arrow is; the frame's lines lie at the top and bottom).
bool DarkInColumn(const QImage& img, int x) {
  for (int y = img.height() / 4; y < img.height() * 3 / 4; ++y)
    if (qGray(img.pixel(x, y)) < 128) return true;
  return false;
}

// Every value of every list of the dialog shows whole beside the drop-down
// arrow: the text fits the field that the style leaves for it, and drawn in
// the list its ink is as wide as the text's own (nothing cut off) and clear
// of the arrow's. The scaled CTest runs repeat this at 1.5 and 2.
TEST(OptionDialogLook, EveryValueOfEveryListShowsWhole) {
  CalcWindow w({u"ButtonDispLine1=0"});
  Options(
      [] {
        const QList<QComboBox*> combos = FormOption->findChildren<QComboBox*>();
        ASSERT_EQ(combos.size(), 5);
        int values = 0;
        for (QComboBox* combo : combos) {
          const qreal ratio = combo->devicePixelRatioF();
          combo->setCurrentIndex(-1);
          const QImage empty = Shot(combo);
          for (int i = 0; i < combo->count(); ++i) {
            combo->setCurrentIndex(i);
            const QString text = combo->currentText();
            SCOPED_TRACE(combo->objectName().toStdString() + " \"" + text.toStdString() +
                         "\" at scale " + std::to_string(ratio));
            ++values;
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = false;
            option.frame = true;
            option.currentText = text;
            option.subControls = QStyle::SC_All;
            const QRect field = combo->style()->subControlRect(
                QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
            // The label is drawn one pixel inside the field on either side.
            EXPECT_LE(QFontMetrics(combo->font()).horizontalAdvance(text), field.width() - 2);

            const QImage shown = Shot(combo);
            const auto [first, last] = ColumnsThatDiffer(empty, shown);
            ASSERT_GE(first, 0) << "the value is not drawn";
            EXPECT_GE(last - first + 1, InkWidth(text, combo->font(), ratio) - 1)
                << "the value is cut off";
            for (int x = first; x <= last; ++x)
              EXPECT_FALSE(DarkInColumn(empty, x)) << "the arrow's ink at column " << x;
          }
        }
        EXPECT_EQ(values, 11 + 3 * 5 + 14);
      },
      &Ui::TFormOption::Button2);
}

}  // namespace
