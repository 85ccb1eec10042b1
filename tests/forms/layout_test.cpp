// The window laid out from the calculator file: where the display and the
// buttons stand, and how big the window is.
#include <QScreen>

#include "button/wbutton.h"
#include "calculator/forms/wbtn.h"
#include "calculator/wsetting.h"
#include "support.h"

namespace {

class LayoutTest : public CalcWindowTest {
 protected:
  bool StartAtOnce() const override { return false; }
  void Start(const std::string& calcFile) {
    LinkLibrary();
    WriteFile("zimro.ini", Utf16File(calcFile));
    StartWindow();
    ASSERT_FALSE(form_->Terminated());
  }
  QRect Button(int n) const { return ButtonSet->buttons[n - 1]->geometry(); }
  int VisibleButtons() const {
    int shown = 0;
    for (int n = 1; n <= 70; ++n) shown += ButtonSet->buttons[n - 1]->isVisibleTo(form_) ? 1 : 0;
    return shown;
  }
};

TEST_F(LayoutTest, DefaultsPutTwoRowsAndFourRowsOfButtonsBelowTheDisplay) {
  Start("");
  const QRect display = form_->MemoOut->geometry();
  EXPECT_EQ(display.topLeft(), QPoint(5, 22));
  EXPECT_EQ(VisibleButtons(), 30);
  // Button 11 starts the first row under the display, 51 the first row of
  // the third block right below button 16's row.
  EXPECT_EQ(Button(11).topLeft(), QPoint(6, display.height() + 26));
  EXPECT_EQ(Button(11).height(), 24);  // font size 11: 2 x 11 + 2
  EXPECT_EQ(Button(16).top(), Button(11).top() + 25);
  EXPECT_EQ(Button(51).top(), Button(16).top() + 25);
  EXPECT_EQ(Button(12).left(), Button(11).right() + 2);  // a one-pixel gap
  EXPECT_EQ(form_->width(), display.width() + 10);
  // The last row's step ends a pixel below it; the window's edge 4 further.
  EXPECT_EQ(form_->height(), Button(66).bottom() + 1 + 1 + 4);
  // The title buttons keep to the top-right corner.
  EXPECT_EQ(form_->WSysButton3->geometry(), QRect(form_->width() - 19, 4, 15, 15));
}

TEST_F(LayoutTest, AWideDisplayHasTheButtonsBesideItStretchedToTheirHeight) {
  Start("DispWidth=400\r\nDispHeight=30\r\nButtonDispLine1=10\r\n");
  const QRect display = form_->MemoOut->geometry();
  EXPECT_EQ(display.width(), 400);
  EXPECT_EQ(Button(1).topLeft(), QPoint(409, 22));
  const int bottom = Button(66).bottom() + 1 + 1;  // the row's step adds its gap
  EXPECT_EQ(display.height(), bottom - 25);
  EXPECT_LT(Setting->dispHeight, display.height());  // the setting is not stretched
  EXPECT_EQ(form_->height(), bottom + 4);
  EXPECT_EQ(form_->width(), 400 + Button(1).width() + 15);
}

// The window is fitted to the screen it opens on and shows a font within 8
// to 36; the file keeps its sizes for a larger screen.
TEST_F(LayoutTest, SizesTheScreenCannotShowAreShownFittedAndSavedAsTheyWere) {
  Start("DispWidth=100000\r\nDispHeight=100000\r\nDispFontSize=40\r\n");
  const QRect screen = form_->screen()->availableGeometry();
  EXPECT_LE(form_->width(), screen.width());
  EXPECT_LE(form_->height(), screen.height());
  EXPECT_EQ(form_->MemoOut->font().pixelSize(), PointsToPixels(36));
  CloseWindow();
  const std::string saved = ReadFile("zimro.ini");
  for (const char* line : {"DispWidth=100000", "DispHeight=100000", "DispFontSize=40"}) {
    EXPECT_NE(saved.find(Utf16File(std::string("\r\n") + line + "\r\n").substr(2)),
              std::string::npos)
        << line;
  }
}

TEST_F(LayoutTest, AllRowsZeroShowsNoButton) {
  Start("ButtonDispLine2=0\r\nButtonDispLine4=0\r\n");
  EXPECT_EQ(VisibleButtons(), 0);
  EXPECT_EQ(form_->height(), Setting->dispHeight + 30);
}

TEST_F(LayoutTest, TheLargestRowsShowAllSeventyButtons) {
  Start("ButtonDispLine1=10\r\nButtonDispLine2=4\r\nButtonDispLine3=4\r\nButtonDispLine4=4\r\n");
  EXPECT_EQ(VisibleButtons(), 70);
  EXPECT_EQ(Button(1).width(), Button(15).right() - Button(11).left() + 1);
}

// The leftmost pixel column of a button that shows its (black) caption.
int FirstInkColumn(TWButton* b) {
  const QImage shot = b->grab().toImage().scaled(b->size());
  for (int x = 0; x < shot.width(); ++x) {
    for (int y = 2; y < shot.height() - 2; ++y) {
      const QColor c = shot.pixelColor(x, y);
      if (c.red() + c.green() + c.blue() < 3 * 0x60) return x;
    }
  }
  return -1;
}

// Every long button, the tenth too, shows its label at its left margin; the
// short buttons centre theirs.
TEST_F(LayoutTest, LongButtonsShowTheirLabelsAtTheLeftMargin) {
  std::string file = "ButtonDispLine1=10\r\n";
  for (int n = 1; n <= 11; ++n) {
    file += 'B';
    file += std::to_string(n);
    file += "=\\1ab\r\n";
  }
  Start(file);
  for (int n = 1; n <= 10; ++n) {
    TWButton* b = ButtonSet->buttons[n - 1];
    ASSERT_TRUE(b->isVisibleTo(form_)) << n;
    ASSERT_GT(b->width(), 100) << n;
    const int x = FirstInkColumn(b);
    EXPECT_GE(x, 2) << "button " << n;
    EXPECT_LE(x, 8) << "button " << n << ", " << b->width() << " pixels wide";
  }
  TWButton* shortButton = ButtonSet->buttons[10];
  const int x = FirstInkColumn(shortButton);
  EXPECT_GT(x, shortButton->width() / 4) << shortButton->width() << " pixels wide";
}

TEST_F(LayoutTest, StayOnTopKeepsTheWindowAboveOthers) {
  Start("StayOnTop=1\r\n");
  EXPECT_TRUE(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(LayoutTest, ButtonsShowTheirLabelOrProgramAndColours) {
  Start("B11=\\1Sin\\2ff0000\\300ff00\\5\r\nB12=\\4first\\y\\nsecond\r\nButtonEditMode=0\r\n");
  const TWButton* b = ButtonSet->buttons[10];
  EXPECT_EQ(b->Caption().toStdString(), "Sin");
  EXPECT_EQ(b->FontColor(), 0xff0000);
  EXPECT_EQ(b->FaceColor(), 0x00ff00);
  EXPECT_EQ(ButtonSet->buttons[11]->Caption().toStdString(), "first");
  EXPECT_EQ(ButtonSet->buttons[12]->FaceColor(), 0xC0C0C0);
  // Without the edit mode the button menu keeps only "データをコピー(&S)".
  EXPECT_FALSE(form_->MenuButtonEdit->isVisible());
  EXPECT_FALSE(form_->MenuButtonPaste->isVisible());
  EXPECT_TRUE(form_->MenuButtonCopyData->isVisible());
}

}  // namespace
