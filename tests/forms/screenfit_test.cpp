// The calculator started from the template, and its help, on the screen the
// tests run on: both wholly on it, the main window's font made smaller
// where its buttons would make it taller than the screen, and the file
// keeping the sizes it had. CTest runs these on a screen of 1280 by 1024
// at scale 1, 1.5 and 2 (ScreenFit.AtScale...).
#include <QScreen>
#include <QTest>

#include "button/wbutton.h"
#include "calculator/forms/helpwindow.h"
#include "calculator/forms/wbtn.h"
#include "support.h"

namespace {

class ScreenFit : public CalcWindowTest {
 protected:
  void SetUp() override {
    // Only the template beside the program, and the help.
    QFile in(QCoreApplication::applicationDirPath() + "/zimro.si");
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    WriteFile("zimro.si", in.readAll().toStdString());
    ASSERT_TRUE(QFile::link(QCoreApplication::applicationDirPath() + "/help",
                            dir_.filePath("help")));
    CalcWindowTest::SetUp();
    QCoreApplication::processEvents();
  }
  QRect Screen() const { return form_->screen()->availableGeometry(); }
};

std::string Text(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

// A line of a calculator file as UTF-16LE, between its line ends.
std::string Line(const std::string& ascii) { return Utf16File("\r\n" + ascii + "\r\n").substr(2); }

}  // namespace

TEST_F(ScreenFit, TheWindowAndAllItsButtonsAreOnTheScreenAndTheFileKeepsItsSizes) {
  EXPECT_TRUE(Screen().contains(form_->frameGeometry()))
      << Text(form_->frameGeometry()) << " on " << Text(Screen());
  int shown = 0;
  for (int n = 1; n <= 70; ++n) {
    TWButton* b = ButtonSet->buttons[n - 1];
    if (!b->isVisibleTo(form_)) continue;
    ++shown;
    EXPECT_TRUE(form_->rect().contains(b->geometry())) << "button " << n;
  }
  EXPECT_EQ(shown, 60);  // the template's ten long buttons and 10 rows of five
  // At the font the file asks, or smaller where that does not fit.
  const int font = form_->MemoOut->font().pixelSize();
  EXPECT_LE(font, PointsToPixels(11));
  EXPECT_GE(font, PointsToPixels(8));
  CloseWindow();
  const std::string saved = ReadFile("zimro.ini");
  for (const char* line : {"DispFontSize=11", "DispWidth=230", "DispHeight=60"})
    EXPECT_NE(saved.find(Line(line)), std::string::npos) << line;
}

TEST_F(ScreenFit, TheHelpOpensWhollyOnTheScreenOfTheCalculator) {
  ShowHelpContents();
  ASSERT_NE(HelpWindow, nullptr);
  QCoreApplication::processEvents();
  const QRect help = HelpWindow->frameGeometry();
  EXPECT_TRUE(Screen().contains(help)) << Text(help) << " on " << Text(Screen());
  // Beside the calculator when the screen has room for it there.
  const QRect calc = form_->frameGeometry();
  if (calc.right() + help.width() <= Screen().right() ||
      calc.left() - help.width() >= Screen().left()) {
    EXPECT_FALSE(help.intersects(calc)) << Text(help) << " over " << Text(calc);
  }
  // As large as it was made, 640 by 600 and its frame, where the screen
  // allows.
  const int sides = help.width() - HelpWindow->width();
  const int ends = help.height() - HelpWindow->height();
  EXPECT_EQ(help.width(), std::min(640 + sides, Screen().width()));
  EXPECT_EQ(help.height(), std::min(600 + ends, Screen().height()));
}
