// Start-up: the library check, the calculator file that is read and the one
// that is written, and the command line.
#include <QTimer>

#include "button/wbutton.h"
#include "calculator/forms/application.h"
#include "calculator/forms/wbtn.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "support.h"

namespace {

class StartupTest : public CalcWindowTest {
 protected:
  bool StartAtOnce() const override { return false; }
};

TEST_F(StartupTest, WithoutTheLibraryTheProgramEndsAfterItsBox) {
  StartWindow();
  EXPECT_TRUE(form_->Terminated());
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "cannot system file ");
  EXPECT_EQ(boxes_.boxes[0].caption, "Zimro");
  EXPECT_EQ(Block, nullptr);
  // Nothing made on the way stays behind (the program ends without the
  // window's close, which frees the settings otherwise).
  EXPECT_EQ(Setting, nullptr);
  // The program's own event loop would now end at once. Spend the quit
  // request here, or every later modal dialog of this process returns at once.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
}

TEST_F(StartupTest, TheTemplateIsReadWhenThereIsNoCalculatorFileAndNeverWritten) {
  LinkLibrary();
  const std::string templ = Utf16File("B11=\\1seven\\47\r\nDispFontSize=12\r\n");
  WriteFile("zimro.si", templ);
  StartWindow();
  ASSERT_FALSE(form_->Terminated());
  EXPECT_EQ(ButtonSet->buttons[10]->Caption().toStdString(), "seven");
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "zimro");
  CloseWindow();
  EXPECT_EQ(ReadFile("zimro.si"), templ);
  const std::string saved = ReadFile("zimro.ini");
  ASSERT_NE(saved, "<missing>");
  EXPECT_NE(saved.find(Utf16File("\r\nB11=\\1seven\\47\r\n").substr(2)), std::string::npos);
  EXPECT_NE(saved.find(Utf16File("\r\nDispFontSize=12\r\n").substr(2)), std::string::npos);
}

TEST_F(StartupTest, ArgumentOneNamesTheFileToUse) {
  LinkLibrary();
  WriteFile("zimro.ini", Utf16File("B11=\\1default\\5\r\n"));
  WriteFile("other.ini", Utf16File("B11=\\1other\\5\r\n"));
  StartWindow({QString::fromStdString(Path("other.ini"))});
  EXPECT_EQ(ButtonSet->buttons[10]->Caption().toStdString(), "other");
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "other");
  Run("PRINT COMMANDLINE(1)");
  EXPECT_EQ(Display(), Path("other.ini"));
}

TEST_F(StartupTest, ARelativeArgumentIsSavedWhereItWasAfterAScriptChangesFolder) {
  LinkLibrary();
  WriteFile("other.ini", Utf16File("B11=\\1other\\5\r\n"));
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(Path("sub"))));
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Path(""))));
  StartWindow({"other.ini"});
  Run("DIM r = CHDIR(\"sub\")");
  ButtonTable->SetField(12, 1, wvar(u"new"));
  CloseWindow();
  EXPECT_NE(ReadFile("other.ini").find(Utf16File("B12=\\1new").substr(2)), std::string::npos);
  EXPECT_EQ(ReadFile("sub/other.ini"), "<missing>");
}

// An argument that names no file, also a path through a regular file, is
// only handed to scripts: no box, and zimro.ini stays current.
class NoFileArgumentTest : public StartupTest, public testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    SetExceptionBoxHook([this](const QString& text) { shown_.push_back(text.toStdString()); });
  }
  void TearDown() override {
    StartupTest::TearDown();
    SetExceptionBoxHook(nullptr);
  }
  std::vector<std::string> shown_;  // the exception boxes
};

TEST_P(NoFileArgumentTest, IsOnlyHandedToScripts) {
  LinkLibrary();
  WriteFile("zimro.ini", Utf16File("B11=\\1default\\5\r\n"));
  WriteFile("notes.txt", "shopping\n");
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Path(""))));
  StartWindow({GetParam()});
  QDir::setCurrent(before);
  EXPECT_TRUE(boxes_.boxes.empty()) << boxes_.boxes[0].text;
  EXPECT_EQ(shown_, std::vector<std::string>{});
  EXPECT_EQ(ButtonSet->buttons[10]->Caption().toStdString(), "default");
  Run("PRINT COMMANDLINE(1)");
  EXPECT_EQ(Display(), GetParam());
  CloseWindow();
  EXPECT_NE(ReadFile("zimro.ini").find(Utf16File("B11=\\1default\\5").substr(2)),
            std::string::npos);
  EXPECT_EQ(ReadFile("notes.txt"), "shopping\n");
}

INSTANTIATE_TEST_SUITE_P(Arguments, NoFileArgumentTest,
                         testing::Values("no-such.ini", "notes.txt/x.ini"),
                         [](const testing::TestParamInfo<const char*>& c) {
                           return c.index == 0 ? std::string("Missing")
                                               : std::string("ThroughARegularFile");
                         });

TEST_F(StartupTest, WithNeitherFileEverySettingIsItsDefault) {
  LinkLibrary();
  StartWindow();
  EXPECT_EQ(Setting->buttonDispLine2, 2);
  EXPECT_EQ(Setting->buttonDispLine4, 4);
  EXPECT_EQ(Setting->dispFontSize, 11);
  EXPECT_EQ(form_->pos(), QPoint(200, 100));
  EXPECT_TRUE(ButtonSet->buttons[10]->isVisible());
  EXPECT_FALSE(ButtonSet->buttons[0]->isVisible());
  EXPECT_EQ(Setting->autoPending, 1);  // the window was not active while loading
}

}  // namespace
