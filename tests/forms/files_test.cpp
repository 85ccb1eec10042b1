// The menu's file dialogs and the files they lead to: what is saved before a
// load, where 名前を付けて保存 writes, and files of other kinds left alone.
#include <QFileDialog>
#include <QTimer>

#include "calculator/stringlist.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "support.h"

namespace {

class CalcFilesTest : public CalcWindowTest {
 protected:
  // Whether a saved calculator file (UTF-16LE) holds this ASCII line.
  bool FileHasLine(const std::string& file, const std::string& line) {
    return ReadFile(file).find(Utf16File(line + "\r\n").substr(2)) != std::string::npos;
  }
  std::string Line(int n) { return Utf8(ButtonTable->list->Get(n)); }
  std::string CurrentPath() { return Utf8(Setting->currentPath.AsString()); }

  // Picks the menu item and answers its file dialog: the path is selected
  // in the dialog, which is then accepted as by its open or save button.
  void ChooseInDialog(QAction* item, const std::string& path) {
    bool answered = false;
    // The poll goes with this call, so a dialog that never opens leaves
    // nothing behind for the next test.
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      dialog->selectFile(QString::fromStdString(path));
      QMetaObject::invokeMethod(dialog, "accept");
      answered = true;
    });
    poll.start();
    item->trigger();
    EXPECT_TRUE(answered);
  }

  // A change the saved file must hold.
  void LabelButtonTwo() { Run("SetButton(2)\nSetButtonLabel(\"two\")"); }

  static constexpr char kNotes[] = "milk=2\neggs=6\n";
};

TEST_F(CalcFilesTest, OpenSavesTheCurrentFileBeforeItLoadsTheChosenOne) {
  WriteFile("next.ini", "B5=\\1five\r\n");
  LabelButtonTwo();
  ChooseInDialog(form_->MenuFileOpen, Path("next.ini"));
  EXPECT_TRUE(FileHasLine("zimro.ini", "B2=\\1two"));
  EXPECT_EQ(CurrentPath(), Path("next.ini"));
  EXPECT_EQ(Line(2), "");
  EXPECT_EQ(Line(5), "\\1five");
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "next");
  // The loaded file is not written by the open itself.
  EXPECT_EQ(ReadFile("next.ini"), "B5=\\1five\r\n");
}

TEST_F(CalcFilesTest, SaveAsWritesTheCurrentStateToTheChosenFileWhichBecomesCurrent) {
  LabelButtonTwo();
  ChooseInDialog(form_->MenuFileSaveAs, Path("copy.ini"));
  EXPECT_TRUE(FileHasLine("copy.ini", "Zimro=1.30"));
  EXPECT_TRUE(FileHasLine("copy.ini", "B2=\\1two"));
  EXPECT_EQ(CurrentPath(), Path("copy.ini"));
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "copy");
  EXPECT_EQ(ReadFile("zimro.ini"), "<missing>");
}

TEST_F(CalcFilesTest, OpenOfAFileThatIsNoCalculatorFileNamesItAndKeepsTheCurrentFile) {
  WriteFile("notes.txt", kNotes);
  LabelButtonTwo();
  ChooseInDialog(form_->MenuFileOpen, Path("notes.txt"));
  EXPECT_EQ(boxes_.dialogs,
            std::vector<std::string>{"電卓ファイルではないため開きません。\n" + Path("notes.txt")});
  EXPECT_EQ(CurrentPath(), Path("zimro.ini"));
  EXPECT_EQ(Line(2), "\\1two");
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "zimro");
  form_->close();
  EXPECT_EQ(ReadFile("notes.txt"), kNotes);
  EXPECT_TRUE(FileHasLine("zimro.ini", "B2=\\1two"));
}

class CalcFilesAtStartTest : public CalcFilesTest {
 protected:
  bool StartAtOnce() const override { return false; }
};

TEST_F(CalcFilesAtStartTest, AFileThatIsNoCalculatorFileOnTheCommandLineIsNamedAndLeftAlone) {
  LinkLibrary();
  WriteFile("zimro.ini", Utf16File("B3=\\1three\r\n"));
  WriteFile("notes.txt", kNotes);
  StartWindow({QString::fromStdString(Path("notes.txt"))});
  ASSERT_FALSE(form_->Terminated());
  EXPECT_EQ(boxes_.dialogs,
            std::vector<std::string>{"電卓ファイルではないため開きません。\n" + Path("notes.txt")});
  EXPECT_EQ(CurrentPath(), Path("zimro.ini"));
  EXPECT_EQ(Line(3), "\\1three");
  form_->close();
  EXPECT_EQ(ReadFile("notes.txt"), kNotes);
  EXPECT_TRUE(FileHasLine("zimro.ini", "B3=\\1three"));
}

}  // namespace
