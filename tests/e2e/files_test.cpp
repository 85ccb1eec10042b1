// Files of other kinds given to the real zimro, on its own X server with and
// without a window manager: a text file, a pipe, a device or a folder named
// on the command line, chosen in the open dialog or given to Load is named
// in a warning box at once and never overwritten; the calculator file stays
// the current one and is saved on exit. Relative names keep the folder they
// were given in.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "zimrofolder.h"

namespace {

using namespace e2e;

const char* const kCalcFile =
    "B1=\\1one\r\n"
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=3\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\n";

const char* const kNotes = "shopping\nmilk=2\neggs=6\n";

class OtherFiles : public ZimroFolder {
 protected:
  void SetUp() override {
    Prepare(kCalcFile);
    WriteFile(dir / "notes.txt", kNotes);
  }

  pid_t StartWith(XSession& x, const std::vector<std::string>& args) {
    ProgramOptions options;
    options.workingDirectory = dir.Path();
    options.output = dir / "out.txt";
    options.args = args;
    return x.Start(dir / "zimro", options);
  }

  // Answers the warning box with its OK and waits until it has gone.
  void AnswerWarning(XSession& x, pid_t zimro, const std::string& shot) {
    const std::string box = x.WaitForWindow(zimro, 10s, "警告");
    ASSERT_FALSE(box.empty()) << Output();
    ASSERT_TRUE(x.Screenshot(dir / shot));
    x.Focus(box);
    x.Key("Return");
    ASSERT_TRUE(WaitUntil([&] {
      return x.Run({"xdotool", "search", "--all", "--onlyvisible", "--pid", std::to_string(zimro),
                    "--name", "警告"},
                   5s)
          .out.empty();
    })) << Output();
  }

  // Closes the main window with its close button; the program ends.
  void CloseWindow(XSession& x, pid_t zimro, const std::string& window) {
    ClickCloseButton(x, window);
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  }

  // Closes the main window with its close button and checks that the files
  // are as they should be: the text file untouched, the calculator file saved.
  void CloseAndCheck(XSession& x, pid_t zimro, const std::string& window) {
    CloseWindow(x, zimro, window);
    EXPECT_EQ(ReadFile(dir / "notes.txt"), kNotes);
    const std::string text = AsciiOf(ReadFile(dir / "zimro.ini"));
    EXPECT_EQ(text.substr(0, 12), "Zimro=1.30\r\n") << text;
    EXPECT_NE(text.find("\r\nB1=\\1one\r\n"), std::string::npos) << text;
  }

  // Types a line into the cleared display and evaluates it with Enter.
  void TypeLine(XSession& x, const std::string& window, const std::string& line) {
    x.Click(window, 20, 30);
    x.Key("Insert");
    x.Type(line);
    x.Key("Return");
  }

  // The window answers: a line typed into it runs.
  void ExpectAnswering(XSession& x, const std::string& window) {
    std::filesystem::remove(dir / "alive.txt");
    TypeLine(x, window, "WRITEB(\"alive.txt\", \"yes\")");
    EXPECT_TRUE(Written("alive.txt", "yes"));
  }

  // Makes a named pipe, a link to an endless device and a folder.
  void MakeOtherKinds() {
    ASSERT_EQ(mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "device.ini");
    std::filesystem::create_directory(dir / "folder.ini");
  }

  void ExpectOtherKindsAsTheyWere() {
    struct stat st;
    EXPECT_TRUE(stat((dir / "pipe.ini").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "device.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder.ini"));
  }
};

TEST_P(OtherFiles, ATextFileOnTheCommandLineIsNamedAndLeftAsItWas) {
  XSession x(Options());
  const pid_t zimro = StartWith(x, {(dir / "notes.txt").string()});
  AnswerWarning(x, zimro, "warning.png");
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  ASSERT_NE(x.WindowName(window), "警告");
  CloseAndCheck(x, zimro, window);
}

TEST_P(OtherFiles, ATextFileChosenInTheOpenDialogIsNamedAndLeftAsItWas) {
  XSession x(Options());
  const pid_t zimro = StartWith(x, {});
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  ChooseInOpenDialog(x, zimro, window, (dir / "notes.txt").string());
  AnswerWarning(x, zimro, "warning-open.png");
  CloseAndCheck(x, zimro, window);
}

// A pipe would hold the open up for ever, a device read until the memory
// runs out, a folder would become the current file and lose every change.
TEST_P(OtherFiles, PipesDevicesAndFoldersGivenToLoadAreNamedAtOnce) {
  MakeOtherKinds();
  XSession x(Options());
  const pid_t zimro = StartWith(x, {});
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  for (const std::string path : {"pipe.ini", "device.ini", "/dev/zero", "folder.ini"}) {
    SCOPED_TRACE(path);
    TypeLine(x, window, "Load(\"" + path + "\")");
    AnswerWarning(x, zimro, "warning-load.png");
    ExpectAnswering(x, window);
  }
  CloseAndCheck(x, zimro, window);
  ExpectOtherKindsAsTheyWere();
}

TEST_P(OtherFiles, PipesAndDevicesChosenInTheOpenDialogAreNamedAtOnce) {
  MakeOtherKinds();
  XSession x(Options());
  const pid_t zimro = StartWith(x, {});
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  // The dialog itself goes into a folder instead of choosing it.
  for (const std::string name : {"pipe.ini", "device.ini"}) {
    SCOPED_TRACE(name);
    ChooseInOpenDialog(x, zimro, window, (dir / name).string());
    AnswerWarning(x, zimro, "warning-open-" + name + ".png");
    ExpectAnswering(x, window);
  }
  CloseAndCheck(x, zimro, window);
  ExpectOtherKindsAsTheyWere();
}

// Files with a line that looks like a key amid others that are none: they
// were taken for calculator files and replaced whole on close.
TEST_P(OtherFiles, FilesWithAKeyLikeLineAmidOthersAreNamedAndLeftAsTheyWere) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"settings.ini",
       "[Window]\r\nTop=5\r\nLeft=10\r\nWidth=800\r\n\r\n[Recent]\r\nFile1=/home/a/b.txt\r\n"},
      {"calls.txt", "to call\nb1=call mum\n"},
      {"picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\nB0=\\1x\n", 24)}};
  XSession x(Options());
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    WriteFile(dir / name, bytes);
    const pid_t zimro = StartWith(x, {(dir / name).string()});
    AnswerWarning(x, zimro, "warning-" + name + ".png");
    const std::string window = x.WaitForWindow(zimro);
    ASSERT_FALSE(window.empty()) << Output();
    CloseAndCheck(x, zimro, window);
    EXPECT_EQ(ReadFile(dir / name), bytes);
  }
}

// A calculator file written by hand, without the version line: it loads
// (its automatic program runs) and is saved as the calculator saves.
TEST_P(OtherFiles, AHandWrittenCalculatorFileLoadsAndIsSaved) {
  WriteFile(dir / "hand.ini",
            "b0=\\4DIM r = WRITEB(\"hand.txt\", \"ran\")\n\nb2=\\1two\ndispheight=90\n");
  XSession x(Options());
  const pid_t zimro = StartWith(x, {(dir / "hand.ini").string()});
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  ASSERT_TRUE(Written("hand.txt", "ran"));
  EXPECT_EQ(x.Run({"xdotool", "search", "--all", "--pid", std::to_string(zimro), "--name", "警告"},
                  5s)
                .out,
            "");
  CloseWindow(x, zimro, window);
  const std::string saved = AsciiOf(ReadFile(dir / "hand.ini"));
  EXPECT_EQ(saved.substr(0, 12), "Zimro=1.30\r\n") << saved;
  EXPECT_NE(saved.find("\r\nB2=\\1two\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nDispHeight=90\r\n"), std::string::npos) << saved;
}

// As a user other than root: a file that user may write but not read is
// reported, never becomes current, and is not replaced on close.
TEST_P(OtherFiles, AnUnreadableFileOnTheCommandLineIsReportedAndLeftAsItWas) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can start the program as nobody";
  const std::string secret = "a line of a log\n";
  WriteFile(dir / "secret.log", secret);
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
  for (const char* name : {"secret.log", "zimro.ini", "notes.txt"}) {
    ASSERT_EQ(chown((dir / name).c_str(), 65534, 65534), 0);
  }
  ASSERT_EQ(chmod((dir / "secret.log").c_str(), 0200), 0);
  XSession x(Options());
  ProgramOptions options;
  options.workingDirectory = dir.Path();
  options.output = dir / "out.txt";
  options.args = {"secret.log"};
  options.asNobody = true;
  const pid_t zimro = x.Start(dir / "zimro", options);
  // The box comes before the main window shows.
  const std::string box = x.WaitForWindow(zimro);
  ASSERT_FALSE(box.empty()) << Output();
  ASSERT_TRUE(x.Screenshot(dir / "unreadable.png"));
  x.Focus(box);
  x.Key("Return");
  std::string window;
  ASSERT_TRUE(WaitUntil([&] {
    window = x.WaitForWindow(zimro, 1s);
    return !window.empty() && window != box;
  })) << Output();
  ExpectAnswering(x, window);
  CloseAndCheck(x, zimro, window);
  EXPECT_EQ(ReadFile(dir / "secret.log"), secret);
  struct stat st;
  ASSERT_EQ(stat((dir / "secret.log").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0200u);
}

// Load and Save take a relative name in the folder current when they run:
// a script's CHDIR afterwards does not move where the session is saved.
TEST_P(OtherFiles, LoadAndSaveOfRelativeNamesKeepTheirFolder) {
  std::filesystem::create_directory(dir / "sub");
  WriteFile(dir / "b.ini", Utf16File("B1=\\1b\r\n"));
  XSession x(Options());
  const pid_t zimro = StartWith(x, {});
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  TypeLine(x, window, "Load(\"b.ini\")");
  TypeLine(x, window, "DIM r = CHDIR(\"sub\")");
  TypeLine(x, window, "SetButton(3)");
  TypeLine(x, window, "SetButtonLabel(\"three\")");
  // The next Load saves the file Load made current, where it was.
  TypeLine(x, window, "Load(\"" + (dir / "zimro.ini").string() + "\")");
  // Save into sub, then back in the folder above: the close saves into sub.
  TypeLine(x, window, "Save(\"c.ini\")");
  TypeLine(x, window, "r = CHDIR(\"..\")");
  TypeLine(x, window, "SetButtonLabel(\"four\")");
  ExpectAnswering(x, window);
  CloseWindow(x, zimro, window);
  const std::string b = AsciiOf(ReadFile(dir / "b.ini"));
  EXPECT_NE(b.find("\r\nB1=\\1b\r\nB3=\\1three\r\n"), std::string::npos) << b;
  EXPECT_FALSE(std::filesystem::exists(dir / "sub/b.ini"));
  const std::string c = AsciiOf(ReadFile(dir / "sub/c.ini"));
  EXPECT_NE(c.find("\r\nB1=\\1one\r\nB3=\\1four\r\n"), std::string::npos) << c;
  EXPECT_FALSE(std::filesystem::exists(dir / "c.ini"));
}

// A default file that is a pipe neither holds the start up nor is replaced.
TEST_P(OtherFiles, ADefaultFileThatIsAPipeIsNamedAndLeftAsItWas) {
  std::filesystem::remove(dir / "zimro.ini");
  ASSERT_EQ(mkfifo((dir / "zimro.ini").c_str(), 0600), 0);
  XSession x(Options());
  const pid_t zimro = StartWith(x, {});
  AnswerWarning(x, zimro, "warning-default.png");
  const std::string window = x.WaitForWindow(zimro);
  ASSERT_FALSE(window.empty()) << Output();
  ExpectAnswering(x, window);
  CloseWindow(x, zimro, window);
  struct stat st;
  EXPECT_TRUE(stat((dir / "zimro.ini").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

INSTANTIATE_TEST_SUITE_P(WindowManager, OtherFiles, ::testing::Values(false, true), SessionName);

}  // namespace
