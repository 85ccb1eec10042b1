#include "calculator/forms/wpalette.h"

#include <QTest>
#include <QtMath>

#include <gtest/gtest.h>

#include <string>

#include "calculator/errors.h"
#include "platform/clipboard.h"
#include "platform/heap.h"
#include "dialogsupport.h"

namespace {

// The centre of palette cell (column, row) and of user cell i.
QPoint Cell(int column, int row) { return QPoint(21 * column + 10, 21 * row + 10); }
QPoint UserCell(int i) { return QPoint(21 * i + 10, 10); }

unsigned CellOnScreen(TFormPalette& p, int column, int row) {
  const QPoint c = Cell(column, row);
  return PixelAt(Shot(p.ImagePallete), c.x(), c.y());
}

// Runs Execute with `inside` done while it shows, then the button it names.
int RunPalette(TFormPalette& p, std::function<void()> inside, QPushButton* Ui::TFormPalette::*close) {
  WhenShown([&p, inside, close] {
    inside();
    (p.*close)->click();
  });
  return p.Execute();
}

std::u16string ClipboardText(UINT format) {
  std::u16string out;
  if (!OpenClipboard(0)) return u"<closed>";
  if (HGLOBAL h = GetClipboardData(format)) {
    if (format == CF_UNICODETEXT) out = static_cast<const char16_t*>(GlobalLock(h));
    else
      for (const char* s = static_cast<const char*>(GlobalLock(h)); *s; ++s) out += char16_t(*s);
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}

TEST(PaletteDialog, DrawsTheComputedCellsWithWhiteGaps) {
  TFormPalette p;
  const struct {
    int column, row;
    unsigned color;
  } cases[] = {{0, 0, 0x0000FF}, {1, 0, 0x0040FF}, {2, 0, 0x0080FF}, {3, 0, 0x00C0FF},
               {4, 0, 0x00FFFF}, {12, 0, 0xFFFF00}, {20, 0, 0xFF00FF}, {24, 0, 0xFFFFFF},
               {24, 1, 0xE0E0E0}, {24, 6, 0x404040}, {24, 7, 0x000000}, {0, 3, 0x0000A0}};
  const QImage shot = Shot(p.ImagePallete);
  ASSERT_EQ(shot.deviceIndependentSize().toSize(), QSize(524, 167));
  // On a scaled screen the picture has a pixel per screen pixel; at a whole
  // scale a cell's edge is sharp, with no pixel of it blended into the gap.
  const qreal ratio = shot.devicePixelRatio();
  ASSERT_EQ(shot.size(), QSize(qCeil(524 * ratio), qCeil(167 * ratio)));
  const int r = ratio == qFloor(ratio) ? static_cast<int>(ratio) : 0;
  for (auto c : cases) {
    SCOPED_TRACE(std::to_string(c.column) + "," + std::to_string(c.row));
    const QPoint at = Cell(c.column, c.row);
    EXPECT_EQ(Hex(PixelAt(shot, at.x(), at.y())), Hex(c.color));
    if (r == 0) continue;
    // The cell's corners are the cell's too; the pixel column right of it is gap.
    const int x = 21 * c.column, y = 21 * c.row;
    EXPECT_EQ(Hex(DevicePixelAt(shot, x * r, y * r)), Hex(c.color));
    EXPECT_EQ(Hex(DevicePixelAt(shot, (x + 20) * r - 1, (y + 20) * r - 1)), Hex(c.color));
    if (c.column < 24) {
      EXPECT_EQ(Hex(DevicePixelAt(shot, (x + 20) * r, (y + 10) * r)), "0xFFFFFF");
    }
    if (c.row < 7) {
      EXPECT_EQ(Hex(DevicePixelAt(shot, (x + 10) * r, (y + 20) * r)), "0xFFFFFF");
    }
  }
}

TEST(PaletteDialog, OffsetsAndMixesTypedIntoTheFieldsRedraw) {
  const struct {
    QLineEdit* Ui::TFormPalette::*field;
    const char* text;
    int column, row;
    unsigned color;
  } cases[] = {
      {&Ui::TFormPalette::EditWhite, "255", 0, 0, 0xFFFFFF},
      {&Ui::TFormPalette::EditWhite, "255", 24, 7, 0xFFFFFF},
      {&Ui::TFormPalette::EditWhite, "-255", 4, 0, 0x000000},
      {&Ui::TFormPalette::EditWhite, "-255", 24, 0, 0x000000},
      {&Ui::TFormPalette::EditGray, "255", 1, 0, 0x6A6A6A},
      {&Ui::TFormPalette::EditGray, "255", 16, 2, 0x404040},
      {&Ui::TFormPalette::EditGray, "-16", 1, 0, 0x0030FF},
      // 70 % of row 3's level 160 is exactly 112.
      {&Ui::TFormPalette::EditMix1, "70", 1, 3, 0x0070A0},
      {&Ui::TFormPalette::EditMix3, "12.5", 3, 0, 0x0020FF},
  };
  for (auto c : cases) {
    TFormPalette p;
    (p.*c.field)->setText(QString::fromLatin1(c.text));
    EXPECT_EQ(Hex(CellOnScreen(p, c.column, c.row)), Hex(c.color))
        << c.text << " at " << c.column << "," << c.row;
  }
}

TEST(PaletteDialog, UpDownStepsBySixteenWithinItsRange) {
  TFormPalette p;
  p.UpDownWhite->Right()->click();
  EXPECT_EQ(p.EditWhite->text(), "16");
  p.EditWhite->setText("250");
  p.UpDownWhite->Right()->click();
  EXPECT_EQ(p.EditWhite->text(), "255");
  EXPECT_EQ(Hex(CellOnScreen(p, 0, 0)), "0xFFFFFF");
  p.EditGray->setText("5");
  p.UpDownGray->Left()->click();
  EXPECT_EQ(p.EditGray->text(), "0");
}

TEST(PaletteDialog, AFieldWithoutANumberKeepsTheDrawingAndShowsTheError) {
  TFormPalette p;
  ExceptionBoxes boxes;
  p.EditWhite->setText("abc");
  ASSERT_EQ(boxes.messages, QStringList{"'abc' is not a valid integer value"});
  EXPECT_EQ(Hex(CellOnScreen(p, 1, 0)), "0x0040FF");
  p.EditWhite->setText("0");
  p.EditMix1->setText("");
  EXPECT_EQ(boxes.messages.size(), 2);
  EXPECT_EQ(boxes.messages.back(), "'' is not a valid floating point value");
}

TEST(PaletteDialog, PickingShowsTheColourAndItsCode) {
  TFormPalette p;
  p.selColor = 0x123456;
  RunPalette(
      p,
      [&] {
        const QPoint at = Cell(1, 0);
        QTest::mouseClick(p.ImagePallete, Qt::LeftButton, {}, at);
        EXPECT_EQ(p.EditRGB->text(), "FF4000");
        EXPECT_EQ(Hex(p.PanelSelect->Color()), "0x0040FF");
        EXPECT_EQ(Hex(PixelAt(Shot(p.PanelSelect), 27, 27)), "0x0040FF");
        // The gap between two cells picks white.
        QTest::mouseClick(p.ImagePallete, Qt::LeftButton, {}, QPoint(20, 30));
        EXPECT_EQ(p.EditRGB->text(), "FFFFFF");
        // The right button picks nothing.
        QTest::mouseClick(p.ImagePallete, Qt::RightButton, {}, Cell(0, 0));
        EXPECT_EQ(p.EditRGB->text(), "FFFFFF");
      },
      &TFormPalette::ButtonOk);
  EXPECT_EQ(Hex(p.selColor), "0xFFFFFF");
}

TEST(PaletteDialog, AMixFieldWithTheFocusMarksItsColumnsInGray) {
  TFormPalette p;
  RunPalette(
      p,
      [&] {
        p.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
        p.EditMix2->setFocus(Qt::TabFocusReason);
        const QImage shot = Shot(p.ImagePallete);
        // Column 2 is shaped by the second mix: gray lines above and below
        // its cells; column 1 is not.
        EXPECT_EQ(Hex(PixelAt(shot, 21 * 2 + 10, 20)), "0xB0B0B0");
        EXPECT_EQ(Hex(PixelAt(shot, 21 * 6 + 10, 41)), "0xB0B0B0");
        EXPECT_EQ(Hex(PixelAt(shot, 21 * 1 + 10, 20)), "0xFFFFFF");
        QTest::mouseClick(p.ImagePallete, Qt::LeftButton, {}, QPoint(21 * 2 + 10, 20));
        EXPECT_EQ(p.EditRGB->text(), "B0B0B0");
        // Leaving the field takes the marks away.
        p.EditRGB->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(Hex(PixelAt(Shot(p.ImagePallete), 21 * 2 + 10, 20)), "0xFFFFFF");
      },
      &TFormPalette::ButtonOk);
}

TEST(PaletteDialog, CancelReturnsTheColourAndMixesHandedIn) {
  TFormPalette p;
  p.selColor = 0x00FF00;
  p.mix[0] = 10;
  p.mix[1] = 20;
  p.mix[2] = 30;
  const int result = RunPalette(
      p,
      [&] {
        EXPECT_EQ(p.EditMix1->text(), "10");
        EXPECT_EQ(p.EditRGB->text(), "00FF00");
        p.EditMix1->setText("40");
        p.EditMix3->setText("90");
        QTest::mouseClick(p.ImagePallete, Qt::LeftButton, {}, Cell(0, 0));
      },
      &TFormPalette::ButtonCancel);
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(Hex(p.selColor), "0x00FF00");
  EXPECT_EQ(p.mix[0], 10);
  EXPECT_EQ(p.mix[1], 20);
  EXPECT_EQ(p.mix[2], 30);
}

TEST(PaletteDialog, OkReturnsThePickedColourAndTheMixesTyped) {
  TFormPalette p;
  const int result = RunPalette(
      p,
      [&] {
        p.EditMix2->setText("60.5");
        QTest::mouseClick(p.ImagePallete, Qt::LeftButton, {}, Cell(16, 0));
      },
      &TFormPalette::ButtonOk);
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(Hex(p.selColor), "0xFF0000");
  EXPECT_EQ(p.mix[1], 60.5);
}

TEST(PaletteDialog, ATypedCodeShowsButOkReturnsTheColourPickedBefore) {
  TFormPalette p;
  p.selColor = 0x0000FF;
  RunPalette(
      p,
      [&] {
        p.EditRGB->setText("");
        QTest::keyClicks(p.EditRGB, "00FF80");
        EXPECT_EQ(Hex(p.PanelSelect->Color()), "0x80FF00");
      },
      &TFormPalette::ButtonOk);
  EXPECT_EQ(Hex(p.selColor), "0x0000FF");
}

TEST(PaletteDialog, ACodeThatIsNotHexKeepsThePanelAndShowsTheError) {
  TFormPalette p;
  ExceptionBoxes boxes;
  p.EditRGB->setText("00FF80");
  p.EditRGB->setText("00FFZ0");
  EXPECT_EQ(Hex(p.PanelSelect->Color()), "0x80FF00");
  ASSERT_EQ(boxes.messages.size(), 1);
  EXPECT_TRUE(boxes.messages[0].contains("0x0000FFZ0")) << boxes.messages[0].toStdString();
  // An empty code is black.
  p.EditRGB->setText("");
  EXPECT_EQ(Hex(p.PanelSelect->Color()), "0x000000");
}

TEST(PaletteDialog, AMixFieldWithoutANumberAtCloseEndsExecuteWithTheError) {
  TFormPalette p;
  ExceptionBoxes boxes;  // the field's own change reports it first
  p.selColor = 0x0000FF;
  WhenShown([&] {
    p.EditMix1->setText("x");
    p.ButtonOk->click();
  });
  EXPECT_THROW(p.Execute(), EConvertError);
}

TEST(PaletteDialog, RgbButtonPutsTheCodeOnTheClipboardInBothFormats) {
  TFormPalette p;
  p.EditRGB->setText("1A2B3C");
  p.SpeedButtonRGB->click();
  EXPECT_TRUE(ClipboardText(CF_UNICODETEXT) == u"1A2B3C");
  EXPECT_TRUE(ClipboardText(CF_TEXT) == u"1A2B3C");
}

TEST(PaletteDialog, FirstExecuteHidesTheUserRowAndUserTogglesIt) {
  TFormPalette p;
  EXPECT_EQ(p.height(), 258);
  EXPECT_FALSE(p.PanelUser->isHidden());
  RunPalette(
      p,
      [&] {
        EXPECT_TRUE(p.PanelUser->isHidden());
        EXPECT_EQ(p.height(), 235);
        EXPECT_EQ(p.ButtonOk->geometry(), QRect(317, 204, 75, 25));
        EXPECT_EQ(p.PanelSelect->geometry(), QRect(5, 175, 55, 55));
        p.ButtonUser->click();
        EXPECT_FALSE(p.PanelUser->isHidden());
        EXPECT_EQ(p.height(), 258);
        EXPECT_EQ(p.ButtonOk->geometry(), QRect(317, 227, 75, 25));
        EXPECT_EQ(p.userRowVisible, 1);
      },
      &TFormPalette::ButtonOk);
  // The user row's visibility carries over to the next Execute.
  RunPalette(
      p, [&] { EXPECT_FALSE(p.PanelUser->isHidden()); }, &TFormPalette::ButtonCancel);
  EXPECT_EQ(p.height(), 258);
}

TEST(PaletteDialog, DraggingAColourIntoTheUserRow) {
  TFormPalette p;
  p.userRowVisible = 1;
  RunPalette(
      p,
      [&] {
        // User cells start silver.
        EXPECT_EQ(Hex(PixelAt(Shot(p.ImageUser), UserCell(3).x(), 10)), "0xC0C0C0");
        // From palette cell (8, 0), green, to the right edge pixel of user
        // cell 3: x = 21 × 3 + 20 in the user row, which starts 171 pixels
        // further down than the palette.
        const QPoint from = Cell(8, 0);
        const QPoint to(21 * 3 + 20, 171 + 5);
        QTest::mousePress(p.ImagePallete, Qt::LeftButton, {}, from);
        QTest::mouseMove(p.ImagePallete, from + QPoint(30, 30));
        QTest::mouseMove(p.ImagePallete, to);
        QTest::mouseRelease(p.ImagePallete, Qt::LeftButton, {}, to);
        const QImage user = Shot(p.ImageUser);
        EXPECT_EQ(Hex(PixelAt(user, UserCell(3).x(), 10)), "0x00FF00");
        EXPECT_EQ(Hex(PixelAt(user, UserCell(4).x(), 10)), "0xC0C0C0");
        // A drop picks nothing: the selection stays.
        EXPECT_EQ(p.EditRGB->text(), "000000");
        // A move shorter than the drag distance is a click, not a drag.
        QTest::mousePress(p.ImagePallete, Qt::LeftButton, {}, Cell(16, 0));
        QTest::mouseMove(p.ImagePallete, Cell(16, 0) + QPoint(1, 0));
        QTest::mouseRelease(p.ImagePallete, Qt::LeftButton, {}, Cell(16, 0) + QPoint(1, 0));
        EXPECT_EQ(p.EditRGB->text(), "0000FF");
        // From the selection panel into user cell 0.
        const QPoint panel(20, 20);
        const QPoint cell0 = p.PanelSelect->mapFrom(&p, p.ImageUser->mapTo(&p, UserCell(0)));
        QTest::mousePress(p.PanelSelect, Qt::LeftButton, {}, panel);
        QTest::mouseMove(p.PanelSelect, panel + QPoint(0, -20));
        QTest::mouseMove(p.PanelSelect, cell0);
        QTest::mouseRelease(p.PanelSelect, Qt::LeftButton, {}, cell0);
        EXPECT_EQ(Hex(PixelAt(Shot(p.ImageUser), UserCell(0).x(), 10)), "0xFF0000");
        // Picking from the user row.
        QTest::mouseClick(p.ImageUser, Qt::LeftButton, {}, UserCell(3));
        EXPECT_EQ(p.EditRGB->text(), "00FF00");
      },
      &TFormPalette::ButtonOk);
  // User colours persist in the dialog.
  EXPECT_EQ(Hex(p.pal[3][9]), "0x00FF00");
}

}  // namespace
