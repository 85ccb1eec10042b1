// Helpers of the script tests: what a run shows, tables of printed results,
// and a fresh folder for scripts that touch files.
#pragma once

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/vekhost.h"

// What running the text printed; a reported error adds "!" and its message.
inline std::string Shown(HeadlessHost& host, const std::u16string& text) {
  host.ClearText();
  host.Run(text);
  std::string shown = host.output();
  if (!host.errors().empty()) {
    std::string message = host.errors();
    message = message.substr(message.rfind(": ") + 2);
    shown += '!';
    shown += message.substr(0, message.find('\n'));
  }
  return shown;
}

struct PrintCase {
  const char* expression;
  const char* printed;
};

// Runs PRINT before, expression, after for every case in one host.
inline void CheckPrinted(const PrintCase* cases, size_t n, const std::u16string& before = u"",
                         const std::u16string& after = u"") {
  HeadlessHost host;
  for (size_t i = 0; i < n; ++i) {
    std::u16string text = u"PRINT " + before + platform::FromUtf8(cases[i].expression) + after;
    EXPECT_EQ(Shown(host, text), cases[i].printed) << cases[i].expression;
  }
}

// Each test in a temporary folder of its own, made current, with the trash
// under it; the host is made in SetUp with `options_`.
class ScriptFolderTest : public testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zimro-script-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    setenv("XDG_DATA_HOME", (dir_ + "/home").c_str(), 1);
    host_ = std::make_unique<HeadlessHost>(options_);
  }
  void TearDown() override {
    host_.reset();
    for (auto disk = disks_.rbegin(); disk != disks_.rend(); ++disk) umount2(disk->c_str(), MNT_DETACH);
    if (chdir("/") != 0) return;
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  // The printed text of one run.
  std::string Run(const std::string& script) {
    host_->ClearText();
    host_->RunUtf8(script);
    return host_->output();
  }
  std::string Errors() const { return host_->errors(); }
  int32_t Status() const { return host_->lastStatus(); }

  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  std::string Bytes(const std::string& name) const {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "<missing>";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const std::string& name) const {
    struct stat st;
    return lstat(name.c_str(), &st) == 0;
  }

  // Mounts a file system of `size` (as mount's size option) of its own on
  // the folder `name`, so that it fills up, or lies on another device than
  // the test's folder; false, with the reason in `why`, where mounting is not
  // permitted.
  bool MountSmallDisk(const std::string& name, const char* size, std::string& why) {
    mkdir(name.c_str(), 0755);
    const std::string options = std::string("size=") + size;
    if (mount("tmpfs", name.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      why = std::string("cannot mount a small file system here: ") + std::strerror(errno);
      return false;
    }
    disks_.push_back(dir_ + "/" + name);
    return true;
  }

  HeadlessHost::Options options_;
  std::vector<std::string> disks_;
  std::string dir_;
  std::unique_ptr<HeadlessHost> host_;
};
