// zimrofolder: the real zimro in a temporary copy of its folder with its own
// calculator file, on a private X server with or without a window manager
// (the test's parameter). Shared by the end-to-end tests of the calculator.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
    if (WaitUntil([&] { return ReadFile(dir / name) == bytes; }, std::chrono::seconds(10))) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << name << " holds \"" << ReadFile(dir / name)
                                         << "\"; output: " << Output();
  }

  TempDir dir;
};

// Test names that say which kind of session ran.
inline std::string SessionName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Openbox" : "Bare";
}

}  // namespace e2e
