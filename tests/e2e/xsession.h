// xsession: a private X server for end-to-end tests. Starts its own Xvfb on
// a free display (optionally with openbox as window manager), starts
// programs on it, drives them with real X input (xdotool), reads and sets
// the clipboard (xclip), takes screenshots (ImageMagick's import), and kills
// everything it started when it goes, also when a test fails.
//
// Every session has its own display, so tests run in parallel. Children die
// with the process that started them (even when it crashes): start them from
// the test's main thread.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

struct SessionOptions {
  bool windowManager = false;  // openbox
  int width = 1280;
  int height = 1024;
};

struct ProgramOptions {
  std::vector<std::string> args;
  // "NAME=value" entries over the inherited environment ("NAME=" empties a
  // variable). DISPLAY is the session's and QT_QPA_PLATFORM is "xcb" unless
  // given here.
  std::vector<std::string> env;
  std::filesystem::path workingDirectory;  // empty: the test's own
  std::filesystem::path output;            // standard output and error; empty: inherited
  // Runs the program as the unprivileged user nobody (for permission
  // checks, which mean nothing to root). HOME becomes the working directory.
  bool asNobody = false;
};

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;  // x, y on the screen
};

// The result of a helper program run to its end (or killed at its timeout).
struct ToolResult {
  int status = -1;  // exit status; 128 + signal; -1 when it was killed at the timeout
  std::string out;
};

class XSession {
public:
  // Throws std::runtime_error when the server or the window manager does not
  // come up.
  explicit XSession(SessionOptions options = {});
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // ":N"
  const std::string& Display() const { return display_; }
  bool HasWindowManager() const { return options_.windowManager; }
  pid_t ServerPid() const { return server_.pid; }
  pid_t WindowManagerPid() const { return windowManager_.pid; }

  // Programs. Start throws when the program cannot be started.
  pid_t Start(const std::filesystem::path& program, const ProgramOptions& options = {});
  // The first viewable window of the process (whose title contains `name`
  // when given), as an X window id in decimal; "" when none appeared in
  // time or the process ended.
  std::string WaitForWindow(pid_t pid, Millis timeout = 30s, const std::string& name = "");
  // The exit status (128 + signal when killed by one); nullopt when the
  // process still runs after the timeout.
  std::optional<int> WaitForExit(pid_t pid, Millis timeout);
  bool IsRunning(pid_t pid);
  // SIGTERM, then SIGKILL after a grace period; reaps it.
  void Kill(pid_t pid);

  // Input, as real X events. Coordinates are relative to the window's
  // top-left corner; buttons 1 left, 2 middle, 3 right.
  void MoveTo(const std::string& window, int x, int y);
  void Click(const std::string& window, int x, int y, int button = 1);
  // Gives the window the keyboard focus (activates it under a window manager).
  void Focus(const std::string& window);
  // Types UTF-8 text into the focused window.
  void Type(const std::string& text);
  // Presses keys by their X names, xdotool style: "Return", "Pause",
  // "Insert", "ctrl+v", "shift+F1"; several separated by blanks.
  void Key(const std::string& keys);
  // Holds or releases one key ("shift").
  void KeyDown(const std::string& key);
  void KeyUp(const std::string& key);

  // Window facts as the X server has them.
  Geometry WindowGeometry(const std::string& window);
  std::string WindowName(const std::string& window);

  // The clipboard selection as UTF-8 text ("" when nobody offers text).
  std::string Clipboard();
  // Offers the text on the clipboard until another program takes it over.
  void SetClipboard(const std::string& text);

  // Writes a PNG of the screen, or of the window when one is given.
  bool Screenshot(const std::filesystem::path& png, const std::string& window = "");

  // Runs a helper program on this display to its end.
  ToolResult Run(const std::vector<std::string>& argv, Millis timeout = 10s,
                 const std::string& input = "");

private:
  struct Child {
    pid_t pid;
    bool running;
    int status = -1;  // once it has ended
  };
  void StartWindowManager();
  void Reap(Child& child, Millis grace);
  std::vector<std::string> Environment(const std::vector<std::string>& extra) const;

  SessionOptions options_;
  std::string display_;
  Child server_{-1, false};
  Child windowManager_{-1, false};
  Child clipboardServer_{-1, false};
  std::vector<Child> programs_;
};

// A temporary folder, removed with everything in it when it goes.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Copies the files of a folder (not its subfolders' contents unless
  // `recursive`) into this one.
  void CopyFrom(const std::filesystem::path& folder, bool recursive = false);

private:
  std::filesystem::path path_;
};

// A file's bytes ("" when it cannot be read), and writing them.
std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& bytes);

// Polls `condition` every 20 ms until it holds or the timeout passes.
template <typename Condition>
bool WaitUntil(Condition condition, Millis timeout = 30s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
}

}  // namespace e2e
