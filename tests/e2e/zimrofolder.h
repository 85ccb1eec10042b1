// zimrofolder: the real zimro in a temporary copy of its folder with its own
// calculator file, on a private X server with or without a window manager
// (the test's parameter). Shared by the end-to-end tests of the calculator.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "xsession.h"

namespace e2e {

// UTF-16LE with byte-order mark, as the calculator writes its files.
inline std::string Utf16File(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

// The ASCII text of a UTF-16LE file (its mark dropped).
inline std::string AsciiOf(const std::string& utf16) {
  std::string out;
  for (size_t i = 2; i + 1 < utf16.size(); i += 2) out += utf16[i];
  return out;
}

// The visible windows of a process, as X window ids.
inline std::vector<std::string> WindowsOf(XSession& x, pid_t pid) {
  const ToolResult r = x.Run(
      {"xdotool", "search", "--all", "--onlyvisible", "--pid", std::to_string(pid), "--name", ""},
      5s);
  std::vector<std::string> ids;
  for (size_t start = 0; start < r.out.size();) {
    const size_t end = r.out.find('\n', start);
    const std::string id = r.out.substr(start, end == std::string::npos ? end : end - start);
    if (!id.empty()) ids.push_back(id);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return ids;
}

inline int WindowCount(XSession& x, pid_t pid) { return static_cast<int>(WindowsOf(x, pid).size()); }

// The visible window of `pid` whose title is `title` ("" when there is none
// within the time): both conditions must hold.
inline std::string WindowTitled(XSession& x, pid_t pid, const std::string& title,
                                Millis timeout = 30s) {
  std::string found;
  WaitUntil(
      [&] {
        const ToolResult r = x.Run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                    std::to_string(pid), "--name", "^" + title + "$"},
                                   5s);
        found = r.out.substr(0, r.out.find('\n'));
        return !found.empty();
      },
      timeout);
  return found;
}

// Names and bytes of the files in a folder.
inline std::vector<std::pair<std::string, std::string>> Contents(
    const std::filesystem::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    files.emplace_back(e.path().filename().string(), ReadFile(e.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A right click at (px, py) in the window: true once the menu it opens shows,
// so that the keys sent next choose in it.
inline bool OpenMenu(XSession& x, pid_t pid, const std::string& window, int px, int py) {
  const int before = WindowCount(x, pid);
  x.Click(window, px, py, 3);
  return WaitUntil([&] { return WindowCount(x, pid) > before; });
}

// The title strip's stop and close buttons, from the window's right edge.
inline void ClickStopButton(XSession& x, const std::string& window) {
  x.Click(window, x.WindowGeometry(window).width - 51 + 7, 4 + 7);
}
inline void ClickCloseButton(XSession& x, const std::string& window) {
  x.Click(window, x.WindowGeometry(window).width - 19 + 7, 4 + 7);
}

class ZimroFolder : public ::testing::TestWithParam<bool> {
 protected:
  // The program and its two libraries, and `calcFile` (ASCII) as zimro.ini.
  void Prepare(const std::string& calcFile) {
    const std::filesystem::path bin = std::filesystem::path(ZIMRO_PATH).parent_path();
    for (const char* f : {"zimro", "libvek.so", "libplatform.so"}) {
      std::filesystem::copy_file(bin / f, dir / f);
    }
    WriteFile(dir / "zimro.ini", Utf16File(calcFile));
  }

  // A session with a window manager when the parameter says so.
  SessionOptions Options() {
    SessionOptions session;
    session.windowManager = GetParam();
    return session;
  }

  // Starts zimro in the folder, its output in out.txt, and waits for its
  // window; the window is empty when none came.
  pid_t Start(XSession& x, std::string& window) {
    ProgramOptions options;
    options.workingDirectory = dir.Path();
    options.output = dir / "out.txt";
    const pid_t pid = x.Start(dir / "zimro", options);
    window = x.WaitForWindow(pid);
    return pid;
  }

  std::string Output() { return ReadFile(dir / "out.txt"); }

  // Waits for a file that a script writes.
  ::testing::AssertionResult Written(const std::string& name, const std::string& bytes) {
    if (WaitUntil([&] { return ReadFile(dir / name) == bytes; }, std::chrono::seconds(30))) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << name << " holds \"" << ReadFile(dir / name)
                                         << "\"; output: " << Output();
  }

  // Presses a button (at x, y in the window) until its program writes the
  // file, which it does only once no other run is in progress (a press
  // during a run only beeps); false when it never did.
  bool PressWhenIdle(XSession& x, const std::string& window, int px, int py,
                     const std::string& writes) {
    return WaitUntil(
        [&] {
          x.Click(window, px, py);
          return WaitUntil([&] { return std::filesystem::exists(dir / writes); }, 300ms);
        },
        std::chrono::seconds(30));
  }

  // Opens the window's menu (a right click on its face), its first item:
  // the open dialog; gives the dialog's name field the keyboard and types
  // a path into it, then Return.
  void ChooseInOpenDialog(XSession& x, pid_t zimro, const std::string& window,
                          const std::string& path) {
    ASSERT_TRUE(OpenMenu(x, zimro, window, 100, 12)) << Output();
    x.Key("Down Return");
    std::string dialog;
    ASSERT_TRUE(WaitUntil([&] {
      for (const std::string& id : WindowsOf(x, zimro)) {
        if (id != window && x.WindowGeometry(id).width > 300) dialog = id;
      }
      return !dialog.empty();
    })) << Output();
    x.Focus(dialog);
    x.Type(path);
    x.Key("Return");
  }

  TempDir dir;
};

// Test names that say which kind of session ran.
inline std::string SessionName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Openbox" : "Bare";
}

}  // namespace e2e
