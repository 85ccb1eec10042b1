// Giving a file new contents: what stays on disk when the write fails, when
// the process is killed during it, when the folder takes no new names, and
// which temporary files a clean-up may remove.
#include "platform/replace.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/asnobody.h"
#include "tests/killedwrite.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class ReplaceTest : public testing::Test {
protected:
  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "zimro-replace-XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

// What a child process reports through a pipe.
struct ChildReport {
  bool exited = false;
  std::string text;
};

ChildReport InChild(const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::string text;
    try {
      text = body();
    } catch (const std::exception& e) {
      text = e.what();
    }
    (void)!write(fds[1], text.data(), text.size());
    _exit(0);
  }
  close(fds[1]);
  ChildReport report;
  char buffer[512];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) report.text.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  report.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!report.exited) report.text += " (the child ended with status " + std::to_string(status) + ")";
  return report;
}

bool BecomeNobody() {
  return geteuid() != 0 || (setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
                            setresuid(kNobody, kNobody, kNobody) == 0);
}

std::string Errno(int error) { return std::strerror(error); }

struct InPlaceCase {
  const char* name;
  size_t oldSize;
  size_t newSize;
  enum { kFits, kSizeLimit, kDiskFull } kind;
};

class InPlaceTest : public ReplaceTest, public testing::WithParamInterface<InPlaceCase> {};

// A file the user owns in a folder that takes no new names (root's) can
// only be written in place. When the whole new contents cannot be written
// (a file-size limit, a full disk) the old bytes stay as they were, byte
// for byte; what can be written is written whole.
TEST_P(InPlaceTest, TheOldBytesStayUnlessTheNewOnesAreAllWritten) {
  const InPlaceCase& c = GetParam();
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a folder the user cannot write";
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  std::string old(c.oldSize, 'o');
  for (size_t i = 0; i < old.size(); i += 97) old[i] = '\n';
  const std::string fresh(c.newSize, 'n');
  const std::string disk = Path("disk");
  const ChildReport report = InChild([&]() -> std::string {
    if (c.kind == InPlaceCase::kDiskFull) {
      // A small disk of its own, seen by this process alone.
      if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return "skip: no mount namespace: " + Errno(errno);
      mkdir(disk.c_str(), 0755);
      if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0)
        return "skip: no tmpfs: " + Errno(errno);
    } else {
      mkdir(disk.c_str(), 0755);
    }
    const std::string file = disk + "/calc.ini";
    WriteBytes(file, old);
    if (chown(file.c_str(), kNobody, kNobody) != 0) return "chown: " + Errno(errno);
    if (c.kind == InPlaceCase::kDiskFull) {
      // Everything else of the disk taken.
      const int filler = open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
      const std::string block(4096, 'f');
      while (write(filler, block.data(), block.size()) > 0) {
      }
      while (write(filler, block.data(), 1) > 0) {
      }
      close(filler);
    }
    if (!BecomeNobody()) return "skip: cannot become nobody";
    if (c.kind == InPlaceCase::kSizeLimit) {
      rlimit limit{};
      getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = (c.oldSize + c.newSize) / 2;
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    errno = 0;
    const bool replaced = platform::ReplaceFileContents(file, {fresh});
    const int error = errno;
    const std::string now = ReadBytes(file);
    std::string names;
    for (const std::string& n : Names(disk)) names += n + " ";
    if (c.kind == InPlaceCase::kFits) {
      if (!replaced) return "not replaced: " + Errno(error);
      if (now != fresh) return "the new contents are not whole: " + std::to_string(now.size());
    } else {
      if (replaced) return "reported as written";
      if (now != old) return "the old contents changed: " + std::to_string(now.size()) + " bytes";
      const int expected = c.kind == InPlaceCase::kSizeLimit ? EFBIG : ENOSPC;
      if (error != expected) return "errno " + Errno(error);
    }
    const std::string left = c.kind == InPlaceCase::kDiskFull ? "calc.ini filler " : "calc.ini ";
    if (names != left) return "left in the folder: " + names;
    return "";
  });
  ASSERT_TRUE(report.exited) << report.text;
  if (report.text.rfind("skip: ", 0) == 0) GTEST_SKIP() << report.text.substr(6);
  EXPECT_EQ(report.text, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InPlaceTest,
    testing::Values(InPlaceCase{"Longer", 20000, 30000, InPlaceCase::kFits},
                    InPlaceCase{"Shorter", 30000, 100, InPlaceCase::kFits},
                    InPlaceCase{"PastTheSizeLimit", 10000, 40000, InPlaceCase::kSizeLimit},
                    InPlaceCase{"OnAFullDisk", 5000, 9000, InPlaceCase::kDiskFull},
                    // Within the pages the old file holds, a full disk takes it.
                    InPlaceCase{"OnAFullDiskWithinItsSpace", 5000, 6000, InPlaceCase::kFits}),
    [](const testing::TestParamInfo<InPlaceCase>& param) { return std::string(param.param.name); });

// A write killed half-way (past a file-size limit, as by kill -9) leaves
// the old file whole and nothing beside it.
TEST_F(ReplaceTest, AWriteKilledHalfWayLeavesTheOldFileAndNothingElse) {
  WriteBytes(Path("calc.ini"), "old contents");
  ASSERT_TRUE(KilledDuringTheWrite(
      [&] { platform::ReplaceFileContents(Path("calc.ini"), {std::string(5000, 'n')}); }));
  EXPECT_EQ(ReadBytes(Path("calc.ini")), "old contents");
  EXPECT_EQ(Names(dir_), std::vector<std::string>{"calc.ini"});
}

// A temporary file made for `target` and left as a killed process leaves
// it: unlocked, with contents.
std::string LeaveTemp(const std::string& target) {
  const ChildReport report = InChild([&]() -> std::string {
    std::string made;
    const int fd = platform::CreateTempBeside(target, made);
    if (fd < 0) return "";
    (void)!write(fd, "half", 4);
    return made;  // the descriptor and its lock go with the process
  });
  return report.text;
}

// Only what a save of this program left behind is removed: a file named
// like a temporary of ours but of another inode (a copy, a user's file),
// one of another file, one of another user, and one still being written
// stay.
TEST_F(ReplaceTest, TheCleanUpRemovesOnlyTheTemporaryFilesKilledSavesLeft) {
  WriteBytes(Path("calc.ini"), "the file");
  const std::string left = LeaveTemp(Path("calc.ini"));
  ASSERT_FALSE(left.empty());
  const std::string leftName = fs::path(left).filename();
  ASSERT_EQ(leftName.rfind("calc.ini.tmp-", 0), 0u) << leftName;
  EXPECT_EQ(ReadBytes(left), "half");

  const std::vector<std::string> users = {
      "calc.ini.tmp-backup", "calc.ini.tmp-201412", "calc.ini.tmp-1-abcdef",
      "calc.ini.tmp-new-abcdef", "calc.ini.tmp-" + leftName.substr(13, leftName.size() - 20) + "-Copy01"};
  for (const std::string& name : users) WriteBytes(Path(name), "the user's " + name);
  const std::string other = LeaveTemp(Path("other.ini"));
  ASSERT_FALSE(other.empty());
  std::string going;
  const int goingFd = platform::CreateTempBeside(Path("calc.ini"), going);
  ASSERT_GE(goingFd, 0);
  std::string foreign;
  if (geteuid() == 0) {
    foreign = LeaveTemp(Path("calc.ini"));
    ASSERT_EQ(chown(foreign.c_str(), kNobody, kNobody), 0);
  }

  platform::RemoveLeftTempsBeside(Path("calc.ini"));
  EXPECT_FALSE(fs::exists(left));
  for (const std::string& name : users) EXPECT_EQ(ReadBytes(Path(name)), "the user's " + name);
  EXPECT_TRUE(fs::exists(other));
  EXPECT_TRUE(fs::exists(going));
  if (!foreign.empty()) {
    EXPECT_TRUE(fs::exists(foreign));
  }
  close(goingFd);
  EXPECT_EQ(ReadBytes(Path("calc.ini")), "the file");
}

// What the check allows is replaced; what it refuses, or what is put at the
// path after it looked, is left alone.
TEST_F(ReplaceTest, OnlyWhatTheCheckSawIsReplaced) {
  WriteBytes(Path("calc.ini"), "old");
  WriteBytes(Path("other"), "another file");
  fs::create_symlink("other", Path("link"));

  std::string seen;
  EXPECT_TRUE(platform::ReplaceFileContents(
      Path("link"), {"new"},
      [&](const std::string& target, int, const std::string& name, const struct stat* st) {
        seen = target + " " + name + (st != nullptr ? " exists" : " missing");
        return true;
      }));
  EXPECT_EQ(seen, Path("other") + " other exists");
  EXPECT_EQ(ReadBytes(Path("other")), "new");
  EXPECT_TRUE(fs::is_symlink(Path("link")));

  EXPECT_FALSE(platform::ReplaceFileContents(
      Path("calc.ini"), {"refused"},
      [](const std::string&, int, const std::string&, const struct stat*) {
        errno = EEXIST;
        return false;
      }));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadBytes(Path("calc.ini")), "old");

  // Swapped for a link to another file while the new contents are written.
  EXPECT_FALSE(platform::ReplaceFileContents(
      Path("calc.ini"), {"swapped"},
      [&](const std::string&, int, const std::string&, const struct stat*) {
        fs::remove(Path("calc.ini"));
        fs::create_symlink("other", Path("calc.ini"));
        return true;
      }));
  EXPECT_EQ(ReadBytes(Path("other")), "new");
  EXPECT_TRUE(fs::is_symlink(Path("calc.ini")));
  // A file made at a missing path meanwhile.
  EXPECT_FALSE(platform::ReplaceFileContents(
      Path("new.ini"), {"mine"},
      [&](const std::string&, int, const std::string&, const struct stat*) {
        WriteBytes(Path("new.ini"), "made meanwhile");
        return true;
      }));
  EXPECT_EQ(ReadBytes(Path("new.ini")), "made meanwhile");
  EXPECT_EQ(Names(dir_), (std::vector<std::string>{"calc.ini", "link", "new.ini", "other"}));
}

}  // namespace
