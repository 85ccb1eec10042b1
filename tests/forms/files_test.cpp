// The menu's file dialogs and the files they lead to: what is saved before a
// load, where 名前を付けて保存 writes, and files of other kinds left alone.
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <sys/stat.h>

#include "calculator/forms/application.h"
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
      // Typed into its name field, as a user gives a path: the dialog's
      // list leaves out pipes and devices, which selectFile cannot choose.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (name != nullptr) {
        name->setText(QString::fromStdString(path));
      } else {
        dialog->selectFile(QString::fromStdString(path));
      }
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

  // A file of a kind that is never read, and what the box says of it.
  struct Refused {
    const char* what;
    std::string path;
    const char* why;
  };
  // The open dialog adds ".ini" to a name without it and goes into a
  // folder instead of choosing it: `forDialog` leaves those out.
  std::vector<Refused> RefusedFiles(bool forDialog) {
    WriteFile("notes.txt", kNotes);
    EXPECT_EQ(mkfifo(Path("pipe.ini").c_str(), 0600), 0);
    EXPECT_TRUE(QFile::link("/dev/zero", QString::fromStdString(Path("device.ini"))));
    std::vector<Refused> files{
        {"notes", Path("notes.txt"), "電卓ファイルではないため開きません。"},
        {"a pipe", Path("pipe.ini"), "通常のファイルではないため開きません。"},
        {"a link to a device", Path("device.ini"), "通常のファイルではないため開きません。"}};
    if (!forDialog) {
      EXPECT_TRUE(QDir().mkdir(QString::fromStdString(Path("folder.ini"))));
      files.push_back({"a folder", Path("folder.ini"), "通常のファイルではないため開きません。"});
      files.push_back({"a device", "/dev/zero", "通常のファイルではないため開きません。"});
    }
    return files;
  }
  // After a refusal: the box named the file, and the current file, its
  // buttons and its title are as they were.
  void ExpectRefused(const Refused& f) {
    EXPECT_EQ(boxes_.dialogs, std::vector<std::string>{std::string(f.why) + "\n" + f.path}) << f.what;
    EXPECT_EQ(CurrentPath(), Path("zimro.ini")) << f.what;
    EXPECT_EQ(Line(2), "\\1two") << f.what;
    EXPECT_EQ(form_->LabelCaption->text().toStdString(), "zimro") << f.what;
    boxes_.dialogs.clear();
  }
  // Closes the window and frees it, so that the next one can start.
  void EndWindow() {
    form_->close();
    delete FormInput;
    FormInput = nullptr;
    delete form_;
    form_ = nullptr;
  }
  // After the close: the current file saved, the refused ones as they were.
  void ExpectClosedAndLeftAlone() {
    form_->close();
    EXPECT_TRUE(FileHasLine("zimro.ini", "B2=\\1two"));
    EXPECT_EQ(ReadFile("notes.txt"), kNotes);
    struct stat st;
    EXPECT_TRUE(stat(Path("pipe.ini").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
  }
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

// A save as that fails is reported and leaves the file that was current:
// the close saves the session there.
TEST_F(CalcFilesTest, AFailedSaveAsKeepsTheCurrentFile) {
  std::vector<std::string> shown;
  // Also through the close: a box there would wait for ever.
  SetExceptionBoxHook([&](const QString& text) { shown.push_back(text.toStdString()); });
  struct Unhook {
    ~Unhook() { SetExceptionBoxHook(nullptr); }
  } unhook;
  LabelButtonTwo();
  ChooseInDialog(form_->MenuFileSaveAs, Path("missing/copy.ini"));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Cannot create file \"" + Path("missing/copy.ini") +
                          "\". No such file or directory");
  EXPECT_EQ(CurrentPath(), Path("zimro.ini"));
  EXPECT_EQ(form_->LabelCaption->text().toStdString(), "zimro");
  form_->close();
  EXPECT_EQ(shown.size(), 1u) << shown.back();
  EXPECT_TRUE(FileHasLine("zimro.ini", "B2=\\1two"));
  EXPECT_FALSE(QDir(QString::fromStdString(Path("missing"))).exists());
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

TEST_F(CalcFilesTest, LoadRefusesFilesThatAreNoCalculatorFilesWithoutWaiting) {
  LabelButtonTwo();
  for (const Refused& f : RefusedFiles(false)) {
    Run("Load(\"" + f.path + "\")");
    ExpectRefused(f);
  }
  // The window goes on.
  Run("PRINT 6*7");
  EXPECT_EQ(Display(), "42");
  ExpectClosedAndLeftAlone();
}

TEST_F(CalcFilesTest, OpenRefusesFilesThatAreNoCalculatorFilesWithoutWaiting) {
  LabelButtonTwo();
  for (const Refused& f : RefusedFiles(true)) {
    ChooseInDialog(form_->MenuFileOpen, f.path);
    ExpectRefused(f);
  }
  ExpectClosedAndLeftAlone();
}

// A relative name is the file in the folder current when Load or Save runs:
// a script's CHDIR afterwards does not move where the session is saved.
TEST_F(CalcFilesTest, LoadAndSaveKeepTheFolderTheirNameWasGivenIn) {
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(Path("sub"))));
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Path(""))));
  WriteFile("b.ini", Utf16File("B5=\\1five\r\n"));
  Run("Load(\"b.ini\")\nDIM r = CHDIR(\"sub\")\nSetButton(6)\nSetButtonLabel(\"six\")");
  EXPECT_EQ(CurrentPath(), Path("b.ini"));
  EXPECT_EQ(Line(5), "\\1five");
  // The next load saves the current file first.
  Run("Load(\"" + Path("next.ini") + "\")");
  EXPECT_TRUE(FileHasLine("b.ini", "B6=\\1six"));
  Run("DIM r = CHDIR(\"..\")\nSave(\"c.ini\")\nr = CHDIR(\"sub\")\nSetButtonLabel(\"seven\")");
  EXPECT_EQ(CurrentPath(), Path("c.ini"));
  form_->close();
  QDir::setCurrent(before);
  EXPECT_TRUE(FileHasLine("c.ini", "B6=\\1seven"));
  EXPECT_EQ(ReadFile("sub/b.ini"), "<missing>");
  EXPECT_EQ(ReadFile("sub/c.ini"), "<missing>");
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

// A default file that is no calculator file, or no regular file, is named
// and never replaced: the template is shown and no file is current, so the
// close saves nothing.
TEST_F(CalcFilesAtStartTest, ADefaultFileThatCannotBeReadIsNamedAndNeverReplaced) {
  LinkLibrary();
  WriteFile("zimro.si", Utf16File("Zimro=1.30\r\nB3=\\1template\r\n"));
  enum Kind { kNotesFile, kPipe, kFolder };
  struct Case {
    Kind kind;
    const char* why;
  };
  const Case cases[] = {{kNotesFile, "電卓ファイルではないため開きません。"},
                        {kPipe, "通常のファイルではないため開きません。"},
                        {kFolder, "通常のファイルではないため開きません。"}};
  const QString ini = QString::fromStdString(Path("zimro.ini"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    QDir(ini).removeRecursively();
    QFile::remove(ini);
    switch (c.kind) {
      case kNotesFile: WriteFile("zimro.ini", kNotes); break;
      case kPipe: ASSERT_EQ(mkfifo(Path("zimro.ini").c_str(), 0600), 0); break;
      case kFolder: ASSERT_TRUE(QDir().mkdir(ini)); break;
    }
    boxes_.dialogs.clear();
    StartWindow();
    ASSERT_FALSE(form_->Terminated());
    EXPECT_EQ(boxes_.dialogs, std::vector<std::string>{std::string(c.why) + "\n" + Path("zimro.ini")});
    EXPECT_EQ(CurrentPath(), "");
    EXPECT_EQ(Line(3), "\\1template");
    LabelButtonTwo();
    EndWindow();
    struct stat st;
    ASSERT_EQ(stat(Path("zimro.ini").c_str(), &st), 0);
    switch (c.kind) {
      case kNotesFile: EXPECT_EQ(ReadFile("zimro.ini"), kNotes); break;
      case kPipe: EXPECT_TRUE(S_ISFIFO(st.st_mode)); break;
      case kFolder: EXPECT_TRUE(S_ISDIR(st.st_mode)); break;
    }
  }
  EXPECT_EQ(ReadFile("zimro.si"), Utf16File("Zimro=1.30\r\nB3=\\1template\r\n"));
}

TEST_F(CalcFilesAtStartTest, AnArgumentThatIsNoRegularFileIsNamedAndLeftAlone) {
  LinkLibrary();
  WriteFile("zimro.ini", Utf16File("B2=\\1two\r\n"));
  std::vector<Refused> files = RefusedFiles(false);
  for (const Refused& f : files) {
    SCOPED_TRACE(f.what);
    StartWindow({QString::fromStdString(f.path)});
    ASSERT_FALSE(form_->Terminated());
    ExpectRefused(f);
    EndWindow();
  }
  EXPECT_TRUE(FileHasLine("zimro.ini", "B2=\\1two"));
  EXPECT_EQ(ReadFile("notes.txt"), kNotes);
}

}  // namespace
