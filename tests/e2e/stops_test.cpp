// Stops, closes and the end of the session in the real zimro on its own X
// server, with and without a window manager: Pause, the stop button and the
// close button end runs nested inside one another (an automatic program
// that loads its own file again and again), a stop that comes during a long
// statement ends the run before its next one, the close button ends
// InputButton's wait while the menu's exit waits for a press, the menu's
// open runs the opened file's automatic program at once, and SIGTERM, SIGHUP
// and SIGINT save and end the program whatever it is doing, without waiting
// for anybody when the file cannot be saved.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "zimrofolder.h"

namespace {

using namespace e2e;

// Four long buttons below a display 100 pixels high (font size 11).
const char* const kLayout =
    "Top=40\r\nLeft=60\r\n"
    "ButtonDispLine1=4\r\nButtonDispLine2=0\r\nButtonDispLine3=0\r\nButtonDispLine4=0\r\n"
    "DispHeight=100\r\nStayOnTop=0\r\n";

int ButtonY(int n) { return 126 + 12 + 25 * (n - 1); }

class Stops : public ZimroFolder {
 protected:

  // Waits until a run that writes the file again and again has written it
  // anew `times` times.
  ::testing::AssertionResult WrittenAgain(const std::string& name, const std::string& bytes,
                                          int times) {
    for (int i = 0; i < times; ++i) {
      std::filesystem::remove(dir / name);
      if (::testing::AssertionResult r = Written(name, bytes); !r) return r;
    }
    return ::testing::AssertionSuccess();
  }

  std::string SavedText() { return AsciiOf(ReadFile(dir / "zimro.ini")); }

  // Whether the file was saved since Prepare wrote it without a version line.
  bool Saved() { return SavedText().rfind("Zimro=1.30\r\n", 0) == 0; }
};

// The window's menu (a right click on the window's face), then keys once
// it shows.
void FromMenu(XSession& x, const std::string& window, pid_t pid, const std::string& keys) {
  ASSERT_TRUE(OpenMenu(x, pid, window, 100, 12));
  x.Key(keys);
}

// The automatic program loads its own file, whose automatic program loads
// it again: every level is a run inside the host command of the one above.
TEST_P(Stops, PauseTheStopButtonAndTheCloseButtonEndEveryNestedRun) {
  const std::string self = (dir / "zimro.ini").string();
  const std::string load = "Load(\"" + self + "\")";
  Prepare("B0=\\4DIM r = WRITEB(\"level.txt\", \"x\")\\y\\n" + load + "\r\n" +
          "B1=\\1press\\4DIM r = WRITEB(\"pressed.txt\", \"yes\")\r\n" +
          "B2=\\1again\\4DIM r = 0\\y\\n" + load + "\r\n" + kLayout);
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();

  const std::vector<std::pair<const char*, std::function<void()>>> stops = {
      {"Pause", [&] { x.Key("Pause"); }},
      {"stop button", [&] { ClickStopButton(x, window); }},
  };
  for (const auto& [name, stop] : stops) {
    SCOPED_TRACE(name);
    // The chain runs a few levels deep: each level writes the file anew.
    ASSERT_TRUE(WrittenAgain("level.txt", "x", 3));
    stop();
    // A button runs again only once no run is left; then the chain writes
    // nothing more.
    std::filesystem::remove(dir / "pressed.txt");
    ASSERT_TRUE(PressWhenIdle(x, window, 20, ButtonY(1), "pressed.txt")) << Output();
    std::filesystem::remove(dir / "level.txt");
    EXPECT_FALSE(WaitUntil([&] { return std::filesystem::exists(dir / "level.txt"); }, 500ms));
    // Start the chain again, from a button.
    x.Click(window, 20, ButtonY(2));
  }
  ASSERT_TRUE(WrittenAgain("level.txt", "x", 3));
  ClickCloseButton(x, window);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  EXPECT_NE(SavedText().find("\r\nB1=\\1press\\4"), std::string::npos) << SavedText();
}

TEST_P(Stops, TheCloseButtonEndsInputButtonsWait) {
  Prepare(std::string("B1=\\1wait\\4DIM r = WRITEB(\"waiting.txt\", \"yes\")\\y\\n"
                      "DIM b = InputButton()\\y\\nr = WRITEB(\"after.txt\", \"ran on\")\r\n") +
          kLayout);
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  x.Click(window, 20, ButtonY(1));
  // InputButton follows at once; the click reaches the window well after.
  ASSERT_TRUE(Written("waiting.txt", "yes"));
  ClickCloseButton(x, window);
  ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
  EXPECT_FALSE(std::filesystem::exists(dir / "after.txt"));
  EXPECT_NE(SavedText().find("\r\nB1=\\1wait\\4"), std::string::npos) << SavedText();
}

// A stop that comes while a statement runs long ends the run before its
// next statement, however many statements the run has run so far; the end
// of the session still saves and ends with status 0.
TEST_P(Stops, AStopDuringAWaitEndsTheRunBeforeItsNextStatement) {
  Prepare(std::string("B1=\\1wait\\4DIM w = WRITE(\"running.txt\", \"1\")\\y\\n"
                      "w = WAIT(4000)\\y\\nw = WRITE(\"after.txt\", \"ran on\")\r\n"
                      "B2=\\1press\\4DIM r = WRITEB(\"pressed.txt\", \"yes\")\r\n") +
          kLayout);
  XSession x(Options());
  for (const bool bySignal : {false, true}) {
    SCOPED_TRACE(bySignal ? "SIGTERM" : "Pause");
    std::filesystem::remove(dir / "running.txt");
    std::string window;
    const pid_t zimro = Start(x, window);
    ASSERT_FALSE(window.empty()) << Output();
    x.Click(window, 20, ButtonY(1));
    // The WAIT follows at once and lasts far longer than the stop takes to come.
    ASSERT_TRUE(Written("running.txt", Utf16File("1")));
    if (bySignal) {
      ASSERT_EQ(kill(zimro, SIGTERM), 0);
      ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
      EXPECT_TRUE(Saved()) << SavedText();
    } else {
      x.Key("Pause");
      // Another button runs once the stopped run is over.
      ASSERT_TRUE(PressWhenIdle(x, window, 20, ButtonY(2), "pressed.txt")) << Output();
      x.Kill(zimro);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "after.txt"));
  }
}

// Closing during InputButton's wait. The menu's exit, quitting without
// saving and the window manager's close leave the wait to a button press
// (the window stays and the run waits); the run then ends before its next
// statement, and the window closes after it, saving unless told not to.
// SIGTERM ends the wait at once: the session's end waits for no press.
struct WaitCloseCase {
  const char* name;
  std::function<void(XSession&, const std::string& window, pid_t)> close;
  bool needsWindowManager;
  bool waitsForAPress;
  bool saves;
};

TEST_P(Stops, ClosingDuringInputButtonsWait) {
  const std::string calcFile =
      std::string("B1=\\1wait\\4DIM r = WRITEB(\"waiting.txt\", \"yes\")\\y\\n"
                  "DIM b = InputButton()\\y\\nr = WRITEB(\"after.txt\", \"ran on\")\r\n"
                  "B2=\\1press\\4DIM r = WRITEB(\"pressed.txt\", \"yes\")\r\n") +
      kLayout;
  Prepare(calcFile);
  XSession x(Options());
  using Window = const std::string&;
  const WaitCloseCase cases[] = {
      {"the menu's exit", [](XSession& s, Window w, pid_t p) { FromMenu(s, w, p, "Up Return"); },
       false, true, true},
      {"quit without saving",
       [](XSession& s, Window w, pid_t p) { FromMenu(s, w, p, "Up Up Return"); }, false, true,
       false},
      {"the window manager's close", [](XSession& s, Window, pid_t) { s.Key("alt+F4"); }, true,
       true, true},
      {"SIGTERM", [](XSession&, Window, pid_t p) { kill(p, SIGTERM); }, false, false, true},
  };
  for (const WaitCloseCase& c : cases) {
    if (c.needsWindowManager && !x.HasWindowManager()) continue;
    SCOPED_TRACE(c.name);
    WriteFile(dir / "zimro.ini", Utf16File(calcFile));
    for (const char* f : {"waiting.txt", "after.txt", "pressed.txt"}) {
      std::filesystem::remove(dir / f);
    }
    std::string window;
    const pid_t zimro = Start(x, window);
    ASSERT_FALSE(window.empty()) << Output();
    x.Click(window, 20, ButtonY(1));
    ASSERT_TRUE(Written("waiting.txt", "yes"));
    c.close(x, window, zimro);
    if (c.waitsForAPress) {
      // The window stays and the run goes on waiting.
      EXPECT_EQ(x.WaitForExit(zimro, 1500ms), std::nullopt);
      EXPECT_FALSE(x.WaitForWindow(zimro).empty());
      EXPECT_FALSE(std::filesystem::exists(dir / "after.txt"));
      // A press ends the wait; the pressed button's program does not run.
      x.Click(window, 20, ButtonY(2));
    }
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
    EXPECT_FALSE(std::filesystem::exists(dir / "after.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pressed.txt"));
    EXPECT_EQ(Saved(), c.saves) << SavedText();
  }
}

// The end of the session waits for nobody. As a user who may not write the
// calculator file (its mode, or its folder's), a signal ends the program
// within a few seconds without any input: the failed save is named on
// standard error with its reason, not in a box, the exit status is 1, and
// the file and its folder stay as they were.
struct UnsavedCase {
  const char* name;
  bool fileReadOnly;  // else the folder is read-only and holds no zimro.ini
  bool running;       // a run is in progress when the signal comes
  int signal;
};

class UnsavedEnd : public ::testing::TestWithParam<bool> {};

TEST_P(UnsavedEnd, ASignalEndsAtOnceAndReportsTheUnsavedFile) {
  using std::filesystem::perms;
  const std::string calcFile =
      std::string("B1=\\1loop\\4DIM w = WRITEB(\"running.txt\", \"yes\")\\y\\n"
                  "WHILE 1 { w = w + 1 }\r\n") +
      kLayout;
  const UnsavedCase cases[] = {{"read-only file", true, false, SIGTERM},
                               {"read-only folder", false, true, SIGHUP}};
  SessionOptions session;
  session.windowManager = GetParam();
  XSession x(session);
  for (const UnsavedCase& c : cases) {
    SCOPED_TRACE(c.name);
    // The program in a folder of its own; the user's home beside it, where
    // the toolkit may keep its caches.
    TempDir dir;
    std::filesystem::permissions(dir.Path(), perms::owner_all | perms::group_read |
                                                 perms::group_exec | perms::others_read |
                                                 perms::others_exec);
    const std::filesystem::path calc = dir / "calc";
    const std::filesystem::path home = dir / "home";
    std::filesystem::create_directory(calc);
    std::filesystem::create_directory(home);
    std::filesystem::permissions(home, perms::all);
    const std::filesystem::path bin = std::filesystem::path(ZIMRO_PATH).parent_path();
    for (const char* f : {"zimro", "libvek.so", "libplatform.so"}) {
      std::filesystem::copy_file(bin / f, calc / f);
    }
    if (c.fileReadOnly) {
      WriteFile(calc / "zimro.ini", Utf16File(calcFile));
      std::filesystem::permissions(calc / "zimro.ini", perms::owner_read | perms::group_read |
                                                           perms::others_read);
      std::filesystem::permissions(calc, perms::all);
    } else {
      WriteFile(calc / "zimro.si", Utf16File(calcFile));
      std::filesystem::permissions(calc, perms::owner_read | perms::owner_exec | perms::group_read |
                                             perms::group_exec | perms::others_read |
                                             perms::others_exec);
    }
    const auto before = Contents(calc);

    ProgramOptions options;
    options.workingDirectory = home;
    options.output = dir / "out.txt";
    // Root may write anything: the check needs an ordinary user.
    options.asNobody = geteuid() == 0;
    const pid_t zimro = x.Start(calc / "zimro", options);
    const std::string window = x.WaitForWindow(zimro);
    ASSERT_FALSE(window.empty()) << ReadFile(dir / "out.txt");
    if (c.running) {
      x.Click(window, 20, ButtonY(1));
      ASSERT_TRUE(WaitUntil([&] { return ReadFile(home / "running.txt") == "yes"; }))
          << ReadFile(dir / "out.txt");
    }
    ASSERT_EQ(kill(zimro, c.signal), 0);
    EXPECT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(1)) << ReadFile(dir / "out.txt");
    const std::string expected =
        "Cannot create file \"" + (calc / "zimro.ini").string() + "\". Permission denied";
    EXPECT_NE(ReadFile(dir / "out.txt").find(expected), std::string::npos)
        << ReadFile(dir / "out.txt");
    EXPECT_EQ(Contents(calc), before);
    std::filesystem::permissions(calc, perms::owner_write, std::filesystem::perm_options::add);
  }
}

INSTANTIATE_TEST_SUITE_P(WindowManager, UnsavedEnd, ::testing::Values(false, true), SessionName);

TEST_P(Stops, TheMenusOpenRunsTheOpenedFilesAutomaticProgramAtOnce) {
  Prepare(kLayout);
  WriteFile(dir / "other.ini",
            Utf16File(std::string("B0=\\4DIM r = WRITEB(\"opened.txt\", \"yes\")\r\n") + kLayout));
  XSession x(Options());
  std::string window;
  const pid_t zimro = Start(x, window);
  ASSERT_FALSE(window.empty()) << Output();
  ChooseInOpenDialog(x, zimro, window, (dir / "other.ini").string());
  // Without touching the window again. The first Return may only have taken
  // the completer's offer.
  if (!WaitUntil([&] { return std::filesystem::exists(dir / "opened.txt"); }, 4s)) {
    x.Key("Return");
  }
  ASSERT_TRUE(Written("opened.txt", "yes"));
  x.Kill(zimro);
}

// What the program is doing when the signal comes.
enum class Doing { Nothing, Running, Asking, Inputting, InOptions };

struct SignalCase {
  int signal;
  Doing doing;
};

// The automatic program changes a button, so that only a save keeps it.
const char* const kSignalFile =
    "B0=\\4SetButton(1)\\y\\nSetButtonLabel(\"changed\")\\y\\nDIM r = WRITEB(\"auto.txt\", \"ran\")\r\n"
    "B1=\\1first\\4DIM r = 0\r\n"
    "B2=\\1loop\\4DIM w = WRITEB(\"running.txt\", \"yes\")\\y\\nWHILE 1 { w = w + 1 }\r\n"
    "B3=\\1ask\\4DIM a = MSG(\"question\")\\y\\nDIM r = WRITEB(\"after.txt\", \"ran on\")\r\n"
    "B4=\\1input\\4DIM s = \"\"\\y\\nINPUT \"name\", s\\y\\n"
    "DIM r = WRITEB(\"after.txt\", \"ran on\")\r\n";

TEST_P(Stops, SignalsSaveAndEndWithStatusZeroWhateverRuns) {
  Prepare(std::string(kSignalFile) + kLayout);
  XSession x(Options());
  const SignalCase cases[] = {{SIGTERM, Doing::Nothing},  {SIGHUP, Doing::Nothing},
                              {SIGINT, Doing::Nothing},   {SIGTERM, Doing::Running},
                              {SIGHUP, Doing::Asking},    {SIGINT, Doing::Inputting},
                              {SIGTERM, Doing::Inputting}, {SIGTERM, Doing::InOptions}};
  for (const SignalCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.signal) + " while " + std::to_string(static_cast<int>(c.doing)));
    WriteFile(dir / "zimro.ini", Utf16File(std::string(kSignalFile) + kLayout));
    for (const char* f : {"after.txt", "running.txt", "auto.txt"}) std::filesystem::remove(dir / f);
    std::string window;
    const pid_t zimro = Start(x, window);
    ASSERT_FALSE(window.empty()) << Output();
    ASSERT_TRUE(Written("auto.txt", "ran"));
    if (c.doing == Doing::Running) {
      x.Click(window, 20, ButtonY(2));
      ASSERT_TRUE(Written("running.txt", "yes"));
    } else if (c.doing == Doing::Asking || c.doing == Doing::Inputting) {
      x.Click(window, 20, ButtonY(c.doing == Doing::Asking ? 3 : 4));
      ASSERT_TRUE(WaitUntil([&] { return WindowCount(x, zimro) >= 2; })) << Output();
    } else if (c.doing == Doing::InOptions) {
      // The option dialog from the window's menu, outside any run.
      ASSERT_TRUE(OpenMenu(x, zimro, window, 100, 12)) << Output();
      x.Key("Down Down Down Return");
      ASSERT_TRUE(WaitUntil([&] { return WindowCount(x, zimro) >= 2; })) << Output();
    }
    ASSERT_EQ(kill(zimro, c.signal), 0);
    ASSERT_EQ(x.WaitForExit(zimro, 30s), std::optional<int>(0)) << Output();
    const std::string saved = SavedText();
    EXPECT_EQ(saved.substr(0, 12), "Zimro=1.30\r\n") << saved;
    EXPECT_NE(saved.find("\r\nB1=\\1changed\\5"), std::string::npos) << saved;
    EXPECT_FALSE(std::filesystem::exists(dir / "after.txt"));
  }
}

INSTANTIATE_TEST_SUITE_P(WindowManager, Stops, ::testing::Values(false, true), SessionName);

}  // namespace
