// The calculator started from the template beside the program: its buttons
// and settings appear, every label fits its button, the keys and functions
// work when clicked, exit writes zimro.ini and leaves zimro.si as it was;
// a PNG of the window is kept beside the build for a look.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "button/wbutton.h"
#include "calculator/forms/forminput.h"
#include "calculator/forms/helpwindow.h"
#include "calculator/forms/wbtn.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "support.h"
#include "tests/help/template_cases.h"

namespace {

class TemplateWindowTest : public CalcWindowTest {
 protected:
  void SetUp() override {
    // Only the template beside the program: no zimro.ini.
    QFile in(QCoreApplication::applicationDirPath() + "/zimro.si");
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    templateBytes_ = in.readAll().toStdString();
    WriteFile("zimro.si", templateBytes_);
    CalcWindowTest::SetUp();
    form_->activateWindow();
    QCoreApplication::processEvents();
  }

  TWButton* Button(int n) { return ButtonSet->buttons[n - 1]; }
  int ButtonLabelled(const std::string& label) {
    for (int n = 1; n <= 70; ++n)
      if (Button(n)->isVisible() && Button(n)->Caption().toStdString() == label) return n;
    ADD_FAILURE() << "no visible button labelled " << label;
    return 0;
  }
  void Press(const std::vector<std::string>& labels) {
    for (const std::string& label : labels) {
      const int n = ButtonLabelled(label);
      if (n != 0) QTest::mouseClick(Button(n), Qt::LeftButton);
    }
  }
  std::string LastLine() const {
    const std::string text = Display();
    const size_t lf = text.rfind('\n');
    return lf == std::string::npos ? text : text.substr(lf + 1);
  }

  std::string templateBytes_;
};

// Types an answer as a person does: ASCII from the keyboard, anything else
// (full-width digits, kanji) committed by the input method.
void TypeAnswer(QWidget* edit, const QString& answer) {
  QString run;
  auto commit = [&] {
    if (run.isEmpty()) return;
    QInputMethodEvent event;
    event.setCommitString(run);
    QCoreApplication::sendEvent(edit, &event);
    run.clear();
  };
  for (const QChar c : answer) {
    if (c.unicode() < 0x80) {
      commit();
      QTest::keyClicks(edit, QString(c));
    } else {
      run += c;
    }
  }
  commit();
}

QRgb Rgb(TColor colour) {
  return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

}  // namespace

TEST_F(TemplateWindowTest, StartsWithTheTemplatesButtonsAndSettings) {
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "zimro");
  EXPECT_EQ(Setting->buttonDispLine1, 10);
  EXPECT_EQ(Setting->buttonDispLine2, 2);
  EXPECT_EQ(Setting->buttonDispLine3, 4);
  EXPECT_EQ(Setting->buttonDispLine4, 4);
  // Ten long buttons, two rows of the first block, all of the others.
  for (int n = 1; n <= 70; ++n) {
    const bool shown = n <= 20 || n >= 31;
    EXPECT_EQ(Button(n)->isVisible(), shown) << n;
  }
  EXPECT_EQ(Button(1)->Caption().toStdString(), "今日の日付");
  EXPECT_EQ(Button(70)->Caption().toStdString(), "=");
  // The automatic program ran and printed nothing.
  EXPECT_EQ(Display(), "");
  Run("PRINT Fact(5)");
  EXPECT_EQ(Display(), "120");
}

TEST_F(TemplateWindowTest, EveryLabelFitsItsButton) {
  for (int n = 1; n <= 70; ++n) {
    TWButton* button = Button(n);
    if (!button->isVisible()) continue;
    QFont font = button->font();
    const int room = button->width() - 2 * button->Margin() - 4;
    const int needed = QFontMetrics(font).horizontalAdvance(button->Caption());
    EXPECT_LE(needed, room) << n << " " << button->Caption().toStdString();
  }
}

TEST_F(TemplateWindowTest, ExitWritesZimroIniAndLeavesTheTemplate) {
  CloseWindow();
  EXPECT_EQ(ReadFile("zimro.si"), templateBytes_);
  wini saved, original;
  ASSERT_EQ(saved.LoadFile(wvar(U16(dir_.filePath("zimro.ini").toStdString()).c_str())), 1);
  ASSERT_EQ(original.LoadFile(wvar(U16(dir_.filePath("zimro.si").toStdString()).c_str())), 1);
  for (int i = 0; i <= 70; ++i) {
    const std::u16string key = u"B" + U16(std::to_string(i));
    wvar a(saved.ReadValue(wvar(key.c_str())));
    wvar b(original.ReadValue(wvar(key.c_str())));
    EXPECT_EQ(Utf8(a.AsString()), Utf8(b.AsString())) << "B" << i;
  }
}

// Every shown button clicked in the window, its questions answered in the
// input dialog as a user would: the display and Ans after each row.
TEST_F(TemplateWindowTest, EveryButtonGivesWhatTheTableSays) {
  ASSERT_TRUE(QFile::link(QCoreApplication::applicationDirPath() + "/help",
                          dir_.filePath("help")));
  std::vector<std::string> answers;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!FormInput->isVisible()) return;
    if (answers.empty()) {
      FormInput->done(mrOk);  // never hang the test
      ADD_FAILURE() << "an input request with no answer left";
      return;
    }
    TypeAnswer(FormInput->EditInput, QString::fromStdString(answers.front()));
    answers.erase(answers.begin());
    QTest::keyClick(FormInput->EditInput, Qt::Key_Return);
  });
  timer.start();
  for (const TemplateCase& c : TemplateCases()) {
    SCOPED_TRACE(std::string(c.button) + " with Ans = " + c.ansBefore);
    SetDisplay("", 0);
    boxes_.dialogs.clear();
    Run(std::string("Ans = ") + c.ansBefore);
    answers = c.inputs;
    Press(c.keys);
    EXPECT_TRUE(boxes_.dialogs.empty()) << boxes_.dialogs.front();
    EXPECT_TRUE(answers.empty()) << "asked for fewer answers";
    if (c.die) {
      const std::string shown = Display();
      ASSERT_EQ(shown.size(), 1u) << shown;
      EXPECT_GE(shown[0], '1');
      EXPECT_LE(shown[0], '6');
      EXPECT_EQ(TemplateAnsText(*Block), shown);
      continue;
    }
    EXPECT_EQ(Display(), c.shown);
    EXPECT_EQ(TemplateAnsText(*Block), c.ans);
  }
  // The help button opened the help at its contents.
  ASSERT_NE(HelpWindow, nullptr);
  EXPECT_TRUE(HelpWindow->isVisible());
}

// The window as it first shows, kept as template.png in the build folder.
TEST_F(TemplateWindowTest, PictureShowsTheColourGroups) {
  const QImage image = form_->grab().toImage();
  ASSERT_FALSE(image.isNull());
  image.save(QCoreApplication::applicationDirPath() + "/../template.png");

  auto faceAt = [&](int n) {
    TWButton* button = Button(n);
    const QPoint corner = button->mapTo(form_, QPoint(3, button->height() / 2));
    return image.pixel(corner) & 0xFFFFFF;
  };
  // The face colour that the template gave the button.
  auto faceOf = [&](int n) { return Rgb(Button(n)->FaceColor()) & 0xFFFFFF; };
  EXPECT_EQ(faceAt(70), faceOf(70)) << "=";
  EXPECT_EQ(faceAt(55), faceOf(55)) << "C";
  EXPECT_EQ(faceAt(51), faceOf(51)) << "7";
  EXPECT_EQ(faceAt(11), faceOf(11)) << "sin";
  EXPECT_EQ(faceAt(1), faceOf(1)) << "long";
  // Digits, operators, "=" and functions each have a face of their own.
  EXPECT_NE(faceOf(51), faceOf(54));
  EXPECT_NE(faceOf(54), faceOf(70));
  EXPECT_NE(faceOf(51), faceOf(11));
  EXPECT_NE(faceOf(11), faceOf(1));
  // The window's own colour between the display and the buttons.
  const QPoint gap = form_->MemoOut->mapTo(form_, QPoint(form_->MemoOut->width() + 2, 4));
  EXPECT_EQ(image.pixel(gap) & 0xFFFFFF, Rgb(Setting->formColor) & 0xFFFFFF);
}
