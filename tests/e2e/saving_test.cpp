// What stays on disk when the real zimro saves and ends, on its own X server
// with and without a window manager: a signal while the button editor holds
// an edit saves the session and ends; a signal during a box at start-up
// ends with every file as it was; a save that a file-size limit cuts short
// leaves the old file byte for byte, as does a WRITE; a link put in place of
// the current file leads the save only onto a calculator file; and the
// user's files beside the calculator file survive every save, whatever
// their names.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "zimrofolder.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

// Three long buttons below a display 100 pixels high (font size 11).
const char* const kLayout =
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=3\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\nStayOnTop=0\r\n";

int ButtonY(int n) { return 126 + 12 + 25 * (n - 1); }

// The automatic program changes button 1, so that only a save keeps it.
const char* const kSession =
    "B0=\\4SetButton(1)\\y\\nSetButtonLabel(\"changed\")\\y\\nDIM r = WRITEB(\"auto.txt\", \"ran\")\r\n"
    "B1=\\1first\\4DIM r = 0\r\n"
    "B2=\\1edit\\4DIM r = 0\\y\\nEditButton()\r\n";

class Saving : public ZimroFolder {
 protected:
  std::string Saved() { return AsciiOf(ReadFile(dir / "zimro.ini")); }
};

struct EditorCase {
  const char* how;
  int signal;
};

// However the editor was opened, a signal drops the edit it holds (as its
// Cancel would, once asked), saves the session as the close does, and ends
// the program; no box waits for an answer.
TEST_P(Saving, ASignalWhileTheButtonEditorHoldsAnEditSavesTheSessionAndEnds) {
  Prepare(std::string(kSession) + kLayout);
  XSession x(Options());
  const EditorCase cases[] = {{"button menu", SIGTERM},
                              {"window menu", SIGHUP},
                              {"script", SIGINT},
                              {"script", SIGTERM}};
  for (const EditorCase& c : cases) {
    SCOPED_TRACE(std::string(c.how) + ", signal " + std::to_string(c.signal));
    WriteFile(dir / "zimro.ini", Utf16File(std::string(kSession) + kLayout));
    fs::remove(dir / "auto.txt");
    std::string window;
    const pid_t zimro = Start(x, window);
    ASSERT_FALSE(window.empty()) << Output();
    ASSERT_TRUE(Written("auto.txt", "ran"));
    std::string title = "ボタンデータの編集";
    if (std::string(c.how) == "button menu") {
      x.Click(window, 20, ButtonY(1), 3);
      x.Key("Down Return");
    } else if (std::string(c.how) == "window menu") {
      // Open, save as, (separator), options, the automatic program.
      x.Click(window, 100, 12, 3);
      x.Key("Down Down Down Down Return");
      title = "自動プログラムの編集";
    } else {
      x.Click(window, 20, ButtonY(2));
    }
    const std::string editor = WindowTitled(x, zimro, title);
    ASSERT_FALSE(editor.empty()) << Output();
    // An edit of the program that is not applied.
    x.Focus(editor);
    x.Type("PRINT 99");
    ASSERT_EQ(kill(zimro, c.signal), 0);
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
    const std::string saved = Saved();
    EXPECT_EQ(saved.substr(0, 12), "Zimro=1.30\r\n") << saved;
    EXPECT_NE(saved.find("\r\nB1=\\1changed\\5"), std::string::npos) << saved;
    // Lines are saved as they stand: the edited ones are unchanged.
    EXPECT_NE(saved.find("\r\nB0=\\4SetButton(1)"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nB2=\\1edit\\4DIM r = 0\\y\\nEditButton()\r\n"), std::string::npos)
        << saved;
  }
}

// A signal while start-up shows a box (a file on the command line that is
// no calculator file) ends the program with status 0, and nothing is
// written: the session has done nothing yet.
TEST_P(Saving, ASignalDuringABoxAtStartUpEndsWithEveryFileAsItWas) {
  const std::string calcFile = std::string("B1=\\1one\r\n") + kLayout;
  XSession x(Options());
  for (const char* beside : {"zimro.ini", "zimro.si"}) {
    SCOPED_TRACE(beside);
    TempDir folder;
    const fs::path bin = fs::path(ZIMRO_PATH).parent_path();
    for (const char* f : {"zimro", "libvek.so", "libplatform.so"}) fs::copy_file(bin / f, folder / f);
    WriteFile(folder / beside, Utf16File(calcFile));
    WriteFile(folder / "notes.txt", "milk=2\neggs=6\n");
    const auto before = Contents(folder.Path());
    ProgramOptions options;
    options.workingDirectory = folder.Path();
    options.args = {(folder / "notes.txt").string()};
    options.output = dir / "out.txt";
    const pid_t zimro = x.Start(folder / "zimro", options);
    ASSERT_FALSE(WindowTitled(x, zimro, "警告").empty()) << Output();
    ASSERT_EQ(kill(zimro, SIGTERM), 0);
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
    EXPECT_EQ(Contents(folder.Path()), before);
  }
}

// The current file is the user's, in a folder of root's that takes no new
// names: it can only be written in place. When a file-size limit keeps the
// new contents from being written whole, the save fails, is reported, and
// the old file stays byte for byte; a WRITE there returns 0 and leaves its
// file likewise.
TEST_P(Saving, ASaveThatCannotBeMadeWholeLeavesTheOldFile) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give the folder to root and run as nobody";
  using fs::perms;
  const fs::path calc = dir / "calc";
  const fs::path home = dir / "home";
  fs::permissions(dir.Path(), perms::owner_all | perms::group_read | perms::group_exec |
                                  perms::others_read | perms::others_exec);
  fs::create_directory(calc);
  fs::create_directory(home);
  fs::permissions(home, perms::all);
  const fs::path bin = fs::path(ZIMRO_PATH).parent_path();
  for (const char* f : {"zimro", "libvek.so", "libplatform.so"}) fs::copy_file(bin / f, calc / f);
  // About 8 MB now, in a program no button shows; the session makes it 16 MB
  // larger, past the limit of 12, and writes 16 MB over data.txt.
  const std::string session =
      "B0=\\4DIM s = \"x\"\\y\\nDIM i = 0\\y\\nFOR i = 1 TO 23 { s = s + s }\\y\\n"
      "DIM w = WRITE(\"" + (calc / "data.txt").string() + "\", s)\\y\\n"
      "DIM r = WRITEB(\"written.txt\", w)\\y\\n"
      "DIM p = \"y\"\\y\\nFOR i = 1 TO 21 { p = p + p }\\y\\n"
      "SetButton(1)\\y\\nSetButtonData(p)\\y\\nr = WRITEB(\"auto.txt\", \"ran\")\r\n"
      "B60=\\4" + std::string(4 << 20, 'o') + "\r\n" + kLayout;
  WriteFile(calc / "zimro.ini", Utf16File(session));
  WriteFile(calc / "data.txt", "the user's data\n");
  for (const char* f : {"zimro.ini", "data.txt"}) {
    ASSERT_EQ(chown((calc / f).c_str(), 65534, 65534), 0);
  }
  const auto before = Contents(calc);

  XSession x(Options());
  ProgramOptions options;
  options.workingDirectory = home;
  options.output = dir / "out.txt";
  options.asNobody = true;
  rlimit unlimited{};
  getrlimit(RLIMIT_FSIZE, &unlimited);
  rlimit limit = unlimited;
  limit.rlim_cur = 12 << 20;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const pid_t zimro = x.Start(calc / "zimro", options);
  setrlimit(RLIMIT_FSIZE, &unlimited);
  ASSERT_FALSE(x.WaitForWindow(zimro).empty()) << Output();
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(home / "auto.txt") == "ran"; }, 20s))
      << Output();
  EXPECT_EQ(ReadFile(home / "written.txt"), "0");
  ASSERT_EQ(kill(zimro, SIGTERM), 0);
  EXPECT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(1)) << Output();
  EXPECT_NE(Output().find("zimro: Cannot create file \"" + (calc / "zimro.ini").string() +
                          "\". File too large"),
            std::string::npos)
      << Output();
  EXPECT_TRUE(Contents(calc) == before) << "the folder changed";
}

// The current file, in a folder that others may write, was replaced by a
// link since it was loaded. The save follows it onto a calculator file of
// the user's; onto anything else it does not: that file is named and left
// as it was, and the program says the session was not saved.
TEST_P(Saving, ALinkPutInPlaceOfTheCurrentFileLeadsTheSaveOnlyOntoACalculatorFile) {
  XSession x(Options());
  Prepare(kLayout);
  const fs::path shared = dir / "shared";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
  const std::string settings = "[main]\nlevel=3\n";
  WriteFile(dir / "settings.conf", settings);
  struct Case {
    const char* target;
    bool saved;
  };
  for (const Case& c : {Case{"settings.conf", false}, Case{"mine.ini", true}}) {
    SCOPED_TRACE(c.target);
    WriteFile(dir / "mine.ini", Utf16File("Zimro=1.30\r\nB2=\\1mine\r\n"));
    fs::remove(shared / "calc.ini");
    WriteFile(shared / "calc.ini", Utf16File(std::string(kSession) + kLayout));
    fs::remove(dir / "auto.txt");
    ProgramOptions options;
    options.workingDirectory = dir.Path();
    options.output = dir / "out.txt";
    options.args = {(shared / "calc.ini").string()};
    const pid_t zimro = x.Start(dir / "zimro", options);
    ASSERT_FALSE(x.WaitForWindow(zimro).empty()) << Output();
    ASSERT_TRUE(Written("auto.txt", "ran"));
    fs::remove(shared / "calc.ini");
    fs::create_symlink(dir / c.target, shared / "calc.ini");
    ASSERT_EQ(kill(zimro, SIGTERM), 0);
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(c.saved ? 0 : 1)) << Output();
    EXPECT_TRUE(fs::is_symlink(shared / "calc.ini"));
    if (c.saved) {
      EXPECT_NE(AsciiOf(ReadFile(dir / "mine.ini")).find("\r\nB1=\\1changed\\5"), std::string::npos);
    } else {
      EXPECT_EQ(ReadFile(dir / "settings.conf"), settings);
      EXPECT_NE(Output().find("zimro: Cannot create file \"" + (shared / "calc.ini").string() +
                              "\". 「" + (dir / "settings.conf").string() +
                              "」は電卓ファイルではないため置き換えません。"),
                std::string::npos)
          << Output();
    }
  }
}

// Files of the user's beside the calculator file, named like what a killed
// save would leave and older than the program, survive the save at close.
TEST_P(Saving, TheUsersFilesBesideTheCalculatorFileSurviveTheSave) {
  Prepare(std::string("B1=\\1one\r\n") + kLayout);
  const std::vector<std::string> users = {"zimro.ini.tmp-backup", "zimro.ini.tmp-201412"};
  for (const std::string& name : users) {
    WriteFile(dir / name, Utf16File("Zimro=1.30\r\nB1=\\1kept\r\n"));
    const timespec hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / name).c_str(), hourAgo, 0), 0);
  }
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  ClickCloseButton(x, window);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  EXPECT_EQ(Saved().substr(0, 12), "Zimro=1.30\r\n");
  for (const std::string& name : users) {
    EXPECT_EQ(ReadFile(dir / name), Utf16File("Zimro=1.30\r\nB1=\\1kept\r\n")) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Saving, ::testing::Values(false, true), SessionName);

}  // namespace
