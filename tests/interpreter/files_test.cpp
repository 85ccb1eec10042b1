// The file built-ins, run as scripts in a fresh folder of their own.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "platform/text.h"
#include "tests/asnobody.h"
#include "tests/interpreter/script_cases.h"
#include "tools/vekhost.h"

namespace {

using namespace std::string_literals;

class FileBuiltins : public ScriptFolderTest {
protected:
  // A listing as a set, whatever order the file system gives.
  static std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    if (text.empty()) return lines;
    size_t start = 0;
    for (;;) {
      size_t end = text.find("\r\n", start);
      lines.insert(text.substr(start, end - start));
      if (end == std::string::npos) return lines;
      start = end + 2;
    }
  }
};

std::string Utf16le(const std::u16string& text) {
  std::string bytes;
  for (char16_t u : text) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

TEST_F(FileBuiltins, WriteThenReadGivesTheTextBackAsUtf16WithMark) {
  EXPECT_EQ(Run("PRINT WRITE(\"t.txt\", \"日本語 text\\r\\n二行目\"), \"|\", READ(\"t.txt\")"),
            "1|日本語 text\r\n二行目");
  EXPECT_EQ(Bytes("t.txt"), "\xFF\xFE" + Utf16le(u"日本語 text\r\n二行目"));
}

TEST_F(FileBuiltins, WriteBWritesAnsiWithoutMarkAndReadTakesItBack) {
  EXPECT_EQ(Run("PRINT WRITEB(\"b.txt\", \"abc 日本\"), \"|\", READ(\"b.txt\")"), "1|abc 日本");
  EXPECT_EQ(Bytes("b.txt"), "abc \x93\xFA\x96\x7B");
}

TEST_F(FileBuiltins, WriteReplacesAWholeLongerFile) {
  Put("t.txt", std::string(100, 'x'));
  EXPECT_EQ(Run("PRINT WRITEB(\"t.txt\", \"ab\")"), "1");
  EXPECT_EQ(Bytes("t.txt"), "ab");
}

// The names in a folder, whatever order the file system gives.
std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.insert(e->d_name);
    }
    closedir(dir);
  }
  return names;
}

// A script line that makes s a text of 32768 "x".
const char kBigText[] = "DIM s = \"x\"\nWHILE LEN(s) < 30000 { s = s + s }\n";

TEST_F(FileBuiltins, AWriteThatFailsOnAFullDiskKeepsTheOldFile) {
  std::string why;
  if (!MountSmallDisk("disk", "64k", why)) GTEST_SKIP() << why;
  const std::string old(40000, 'o');
  Put("disk/t.txt", old);
  EXPECT_EQ(Run(std::string(kBigText) + "PRINT WRITEB(\"disk/t.txt\", s), WRITE(\"disk/t.txt\", s), "
                "WRITE(\"disk/new.txt\", s)"),
            "000");
  EXPECT_TRUE(Bytes("disk/t.txt") == old) << "the old contents are gone";
  EXPECT_EQ(Names("disk"), std::set<std::string>{"t.txt"});
  EXPECT_EQ(Run("PRINT WRITEB(\"disk/t.txt\", \"small\")"), "1");
  EXPECT_EQ(Bytes("disk/t.txt"), "small");
  EXPECT_EQ(Names("disk"), std::set<std::string>{"t.txt"});
}

// The new file takes the old one's place: its permissions and owner, and
// through a link the file the link names.
TEST_F(FileBuiltins, AWriteKeepsPermissionsOwnerAndLinks) {
  Put("t.txt", "old");
  ASSERT_EQ(chmod("t.txt", 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown("t.txt", 1234, 5678), 0);
  }
  ASSERT_EQ(symlink("t.txt", "link"), 0);
  EXPECT_EQ(Run("PRINT WRITEB(\"link\", \"via link\"), WRITE(\"/dev/null\", \"x\")"), "11");
  struct stat st;
  ASSERT_EQ(lstat("link", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Bytes("t.txt"), "via link");
  ASSERT_EQ(stat("t.txt", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
  }
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // A link that names a file yet to be made makes it.
  ASSERT_EQ(symlink("made.txt", "dangling"), 0);
  EXPECT_EQ(Run("PRINT WRITEB(\"dangling\", \"made\")"), "1");
  EXPECT_EQ(Bytes("made.txt"), "made");
  ASSERT_EQ(lstat("dangling", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A read-only file stays as it is (a privileged process may write it).
  Put("ro.txt", "ro");
  ASSERT_EQ(chmod("ro.txt", 0444), 0);
  EXPECT_EQ(Run("PRINT WRITEB(\"ro.txt\", \"new\")"), root ? "1" : "0");
  EXPECT_EQ(Bytes("ro.txt"), root ? "new" : "ro");
}

// As a user, for whom permissions count: a read-only file is refused though
// its folder would take the new file, and a relative link in a subfolder
// leads to the file beside it, not to one in the current folder.
TEST_F(FileBuiltins, AsAUserWriteRefusesReadOnlyFilesAndFollowsLinksFromTheirFolder) {
  Put("ro.txt", "ro");
  ASSERT_EQ(mkdir("sub", 0755), 0);
  Put("sub/real.txt", "old");
  ASSERT_EQ(symlink("real.txt", "sub/link"), 0);
  if (geteuid() == 0) {
    for (const char* name : {".", "ro.txt", "sub", "sub/real.txt"}) {
      ASSERT_EQ(lchown(name, kNobody, kNobody), 0) << name;
    }
  }
  ASSERT_EQ(chmod("ro.txt", 0444), 0);
  EXPECT_AS_NOBODY([this]() -> std::string {
    const std::string printed =
        Run("PRINT WRITEB(\"ro.txt\", \"new\"), WRITE(\"ro.txt\", \"new\"), WRITEB(\"sub/link\", \"via\")");
    return printed == "001" ? "" : "printed " + printed;
  });
  EXPECT_EQ(Bytes("ro.txt"), "ro");
  EXPECT_EQ(Bytes("sub/real.txt"), "via");
  struct stat st;
  ASSERT_EQ(lstat("sub/link", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat("ro.txt", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_FALSE(Exists("real.txt"));
  // No temporary file is left behind.
  EXPECT_EQ(Run("PRINT DIR(\"*.*\")"), "ro.txt");
  EXPECT_EQ(Lines(Run("PRINT DIR(\"sub/*.*\")")), (std::set<std::string>{"link", "real.txt"}));
}

// Past a file-size limit (ulimit -f) the writes fail and the run goes on;
// the process is not ended by the signal. In a child process, which gets
// the limit and the signal's default action.
TEST_F(FileBuiltins, AFileSizeLimitMakesWritesFailWithoutEndingTheProcess) {
  Put("t.txt", "old");
  Put("big", std::string(20000, 'b'));
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(fds[0]);
    signal(SIGXFSZ, SIG_DFL);
    const struct rlimit limit = {10000, 10000};
    setrlimit(RLIMIT_FSIZE, &limit);
    HeadlessHost::Options options;
    const int out = fds[1];
    options.output = [out](std::string_view text) {
      if (write(out, text.data(), text.size()) < 0) _exit(3);
    };
    HeadlessHost child(std::move(options));
    child.RunUtf8(std::string(kBigText) +
                  "PRINT WRITEB(\"t.txt\", s), WRITE(\"t.txt\", s), COPY(\"big\", \"c.txt\") != 0\n"
                  "PRINT \" \", WRITEB(\"t.txt\", \"small\")");
    _exit(0);
  }
  close(fds[1]);
  std::string printed;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) printed.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(printed, "00-1 1");
  EXPECT_EQ(Bytes("t.txt"), "small");
  EXPECT_EQ(Names("."), (std::set<std::string>{"big", "t.txt"}));
}

// Names near the 255-byte limit: the temporary and trash names that the
// built-ins make on the way stay within it.
TEST_F(FileBuiltins, LongNamesCanBeCopiedWrittenMovedAndKilled) {
  std::string why;
  const bool disk = MountSmallDisk("disk", "1m", why);
  if (!disk) mkdir("disk", 0755);
  Put("a.txt", "alpha");
  for (size_t length : {249u, 255u}) {
    const std::string name(length, 'n');
    const std::string script = "DIM n = \"" + name + "\"\n"
                               "PRINT COPY(\"a.txt\", n), WRITEB(n, \"w\"), COPY(n, \"disk/\" + n), "
                               "RENAME(n, \"disk/m\"), RENAME(\"disk/m\", n), KILL(\"disk/\" + n)";
    EXPECT_EQ(Run(script), "010000") << length;
    EXPECT_EQ(Bytes(name), "w") << length;
    EXPECT_FALSE(Exists("disk/" + name)) << length;
    EXPECT_EQ(Names("disk"), std::set<std::string>{}) << length;
    ASSERT_EQ(unlink(name.c_str()), 0);
  }
  // Both are in the trash, each with its record.
  const std::set<std::string> files = Names("home/Trash/files"), infos = Names("home/Trash/info");
  ASSERT_EQ(files.size(), 2u);
  ASSERT_EQ(infos.size(), 2u);
  for (const std::string& f : files) {
    EXPECT_EQ(Bytes("home/Trash/files/" + f), "w");
    EXPECT_EQ(infos.count(f + ".trashinfo"), 1u) << f;
  }
}

bool IsFifo(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// A file that even a privileged process cannot remove; false where the file
// system has no such flag.
bool SetImmutable(const std::string& path, bool on) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
  ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  close(fd);
  return ok;
}

// Folders on another file system than the trash, and a RENAME onto one:
// FIFOs go along.
TEST_F(FileBuiltins, AFolderMovedAcrossFileSystemsTakesItsFifos) {
  std::string why;
  if (!MountSmallDisk("disk", "1m", why)) GTEST_SKIP() << why;
  for (const char* box : {"disk/box", "disk/box2"}) {
    const std::string b = box;
    ASSERT_EQ(mkdir(b.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((b + "/sub").c_str(), 0755), 0);
    Put(b + "/a.txt", "a");
    Put(b + "/sub/b.txt", "b");
    ASSERT_EQ(mkfifo((b + "/p").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((b + "/sub/q").c_str(), 0600), 0);
  }
  EXPECT_EQ(Run("PRINT KILL(\"disk/box\"), RENAME(\"disk/box2\", \"moved\")"), "00");
  EXPECT_EQ(Names("disk"), std::set<std::string>{});
  for (const std::string to : {"home/Trash/files/box", "moved"}) {
    EXPECT_EQ(Bytes(to + "/a.txt"), "a") << to;
    EXPECT_EQ(Bytes(to + "/sub/b.txt"), "b") << to;
    EXPECT_TRUE(IsFifo(to + "/p")) << to;
    EXPECT_TRUE(IsFifo(to + "/sub/q")) << to;
  }
  EXPECT_TRUE(Exists("home/Trash/info/box.trashinfo"));
}

// What stops a move across file systems half-way: a full target, a mount
// point inside the folder, a file that cannot be removed. The source stays
// whole, or else the copy in the trash stays complete and shows there; and
// the result is never success.
TEST_F(FileBuiltins, AFolderMoveThatCannotFinishLosesNothing) {
  std::string why;
  if (!MountSmallDisk("full", "64k", why) || !MountSmallDisk("disk", "1m", why)) GTEST_SKIP() << why;

  // The copy does not fit: the partial copy goes, the source stays.
  ASSERT_EQ(mkdir("big", 0755), 0);
  Put("big/1", std::string(40000, '1'));
  Put("big/2", std::string(40000, '2'));
  EXPECT_EQ(Run("PRINT RENAME(\"big\", \"full/big\") != 0"), "-1");
  EXPECT_EQ(Names("big"), (std::set<std::string>{"1", "2"}));
  EXPECT_TRUE(Bytes("big/2") == std::string(40000, '2'));
  EXPECT_EQ(Names("full"), std::set<std::string>{});

  // A mount point cannot be removed: refused before anything moves.
  ASSERT_EQ(mkdir("disk/box", 0755), 0);
  Put("disk/box/a.txt", "a");
  ASSERT_TRUE(MountSmallDisk("disk/box/inner", "64k", why)) << why;
  Put("disk/box/inner/i.txt", "i");
  EXPECT_EQ(Run("PRINT KILL(\"disk/box\") != 0"), "-1");
  EXPECT_EQ(Bytes("disk/box/a.txt"), "a");
  EXPECT_EQ(Bytes("disk/box/inner/i.txt"), "i");
  EXPECT_EQ(Names("home/Trash/files"), std::set<std::string>{});
  EXPECT_EQ(Names("home/Trash/info"), std::set<std::string>{});

  // A file that cannot be removed once the copy is made: the trash keeps the
  // whole copy with its record.
  ASSERT_EQ(mkdir("disk/box3", 0755), 0);
  Put("disk/box3/a.txt", "a");
  Put("disk/box3/z.txt", "z");
  if (!SetImmutable("disk/box3/a.txt", true)) GTEST_SKIP() << "no immutable files on this file system";
  const std::string result = Run("PRINT KILL(\"disk/box3\") != 0");
  SetImmutable("disk/box3/a.txt", false);
  EXPECT_EQ(result, "-1");
  EXPECT_EQ(Bytes("disk/box3/a.txt"), "a");
  EXPECT_EQ(Bytes("home/Trash/files/box3/a.txt"), "a");
  EXPECT_EQ(Bytes("home/Trash/files/box3/z.txt"), "z");
  EXPECT_TRUE(Exists("home/Trash/info/box3.trashinfo"));
}

TEST_F(FileBuiltins, ReadTakesTheFileFormatApart) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"empty", "", u""},
      {"ansi", "a\x82\xA0z", u"aあz"},
      {"nul ends ansi", "ab\0cd"s, u"ab"},
      {"mark only", "\xFF\xFE", u""},
      {"odd last byte", "\xFF\xFE" "A\0B"s, u"A"},
      {"nul ends utf16", "\xFF\xFE" "a\0\0\0b\0"s, u"a"},
      // A UTF-8 mark is no mark here: its bytes are read as ANSI characters.
      {"utf8 mark", "\xEF\xBB\xBF" "ab", platform::FromAnsi("\xEF\xBB\xBF" "ab")},
  };
  for (const auto& c : cases) {
    Put("f", c.bytes);
    std::string expected = "[";
    expected.append(platform::ToUtf8(c.text)).append("]");
    EXPECT_EQ(Run("PRINT \"[\", READ(\"f\"), \"]\""), expected) << c.name;
    EXPECT_EQ(Errors(), "") << c.name;
  }
  EXPECT_NE(platform::FromAnsi("\xEF\xBB\xBF" "ab"), u"ab");
}

TEST_F(FileBuiltins, ReadOfWhatIsNoFileGivesTheEmptyText) {
  mkdir("folder", 0755);
  EXPECT_EQ(Run("PRINT \"[\", READ(\"missing\"), READ(\"folder\"), READ(\"\"), \"]\""), "[]");
  EXPECT_EQ(Errors(), "");
}

// A FIFO with no writer would block the open for good; READ and CALL must
// see at once that it is no regular file. Should the open block after all,
// the guard opens the other end every few seconds, so the test fails instead of
// hanging.
TEST_F(FileBuiltins, ReadAndCallOfAFifoDoNotWaitForAWriter) {
  ASSERT_EQ(mkfifo("pipe", 0600), 0);
  std::mutex m;
  std::condition_variable cv;
  bool done = false, unblocked = false;
  std::thread guard([&] {
    std::unique_lock<std::mutex> lock(m);
    while (!cv.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
      unblocked = true;
      const int fd = open("pipe", O_WRONLY | O_NONBLOCK);
      if (fd >= 0) close(fd);
    }
  });
  const std::string printed = Run("PRINT \"[\", READ(\"pipe\"), \"]\"\nCALL(\"pipe\")\nPRINT \"after\"");
  {
    std::lock_guard<std::mutex> lock(m);
    done = true;
  }
  cv.notify_one();
  guard.join();
  EXPECT_FALSE(unblocked) << "the open waited for a writer";
  EXPECT_EQ(printed, "[]");
  EXPECT_NE(Errors().find(": file error"), std::string::npos) << Errors();
}

TEST_F(FileBuiltins, ReadTakesALargeFileWhole) {
  Put("big", std::string(3000000, 'x'));
  EXPECT_EQ(Run("PRINT LEN(READ(\"big\"))"), "3000000");
}

TEST_F(FileBuiltins, ReadOfAFileTooLargeForAValueFailsTheRunWithoutACrash) {
  int fd = open("huge", O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{1} << 31), 0);  // sparse: costs no disk
  close(fd);
  EXPECT_EQ(Run("PRINT \"a\"\nDIM s\ns = READ(\"huge\")\nPRINT \"b\""), "a");
  EXPECT_EQ(host_->lastStatus(), 1);
  EXPECT_EQ(Errors(), "WB: WB SYSTEM ERROR \n");
  EXPECT_EQ(Run("PRINT \"next run\""), "next run");
}

TEST_F(FileBuiltins, WriteWhereNoFileCanBeMadeGivesZero) {
  mkdir("folder", 0755);
  EXPECT_EQ(Run("PRINT WRITE(\"no/such/t.txt\", \"a\"), WRITEB(\"no/such/t.txt\", \"a\"), "
                "WRITE(\"folder\", \"a\"), WRITEB(\"\", \"a\")"),
            "0000");
  EXPECT_FALSE(Exists("no"));
  EXPECT_EQ(Errors(), "");
}

// Names on disk that are no UTF-8, and names with lone surrogates, each
// reach their own file and no other.
TEST_F(FileBuiltins, EveryNameReachesItsOwnFile) {
  Put("a\xff.txt", "ff");
  Put("a\xfe.txt", "fe");
  EXPECT_EQ(Run("DIM ff = \"a\" + CHR(0xDCFF) + \".txt\", fe = \"a\" + CHR(0xDCFE) + \".txt\"\n"
                "PRINT READ(ff), READ(fe), WRITEB(ff, \"new\"), KILL(fe), \" \", DIR(\"a?.txt\") == ff"),
            "fffe10 -1");
  EXPECT_EQ(Bytes("a\xff.txt"), "new");
  EXPECT_FALSE(Exists("a\xfe.txt"));
  EXPECT_EQ(Bytes("home/Trash/files/a\xfe.txt"), "fe");

  EXPECT_EQ(Run("PRINT WRITEB(\"s\" + CHR(0xD800), \"1\"), WRITEB(\"s\" + CHR(0xD801), \"2\"), "
                "READ(\"s\" + CHR(0xD800)), READ(\"s\" + CHR(0xD801)), "
                "DIR(\"s?\", 0x20) == \"s\" + CHR(0xD800) + CHR(13) + CHR(10) + \"s\" + CHR(0xD801) OR "
                "DIR(\"s?\", 0x20) == \"s\" + CHR(0xD801) + CHR(13) + CHR(10) + \"s\" + CHR(0xD800)"),
            "1112-1");
  EXPECT_EQ(Bytes("s\xed\xa0\x80"), "1");
  EXPECT_EQ(Bytes("s\xed\xa0\x81"), "2");

  // Lone byte units that spell "é" would reach the file "é": refused.
  Put("\xc3\xa9", "keep");
  EXPECT_EQ(Run("PRINT WRITEB(CHR(0xDCC3) + CHR(0xDCA9), \"x\"), \"[\", READ(CHR(0xDCC3) + CHR(0xDCA9)), \"]\""),
            "0[]");
  EXPECT_EQ(Bytes("\xc3\xa9"), "keep");
  EXPECT_EQ(Errors(), "");
}

TEST_F(FileBuiltins, DirListsPlainFilesByDefault) {
  Put("a.txt", "a");
  Put("b.log", "b");
  Put(".hidden", "h");
  mkdir("sub", 0755);
  EXPECT_EQ(Lines(Run("PRINT DIR()")), (std::set<std::string>{".hidden", "a.txt", "b.log"}));
  EXPECT_EQ(Lines(Run("PRINT DIR")), (std::set<std::string>{".hidden", "a.txt", "b.log"}));
  EXPECT_EQ(Run("PRINT DIR(\"*.TXT\")"), "a.txt");
  // Three arguments keep the default mask.
  EXPECT_EQ(Run("PRINT DIR(\"*.txt\", 16, 0)"), "a.txt");
}

TEST_F(FileBuiltins, DirWithMaskSixteenListsFolders) {
  Put("a.txt", "a");
  mkdir("sub", 0755);
  mkdir("sub/inner", 0755);
  mkdir("other", 0755);
  EXPECT_EQ(Lines(Run("PRINT DIR(\"*\", 16)")), (std::set<std::string>{".", "..", "sub", "other"}));
  EXPECT_EQ(Lines(Run("PRINT DIR(\"sub/*\", 16)")), (std::set<std::string>{".", "..", "inner"}));
  EXPECT_EQ(Run("PRINT DIR(\"s*\", 16)"), "sub");
}

TEST_F(FileBuiltins, DirWithoutMatchGivesTheEmptyText) {
  Put("a.txt", "a");
  EXPECT_EQ(Run("DIM p\np = \"*.none\"\nPRINT \"[\", DIR(p), DIR(\"nofolder/*\"), \"]\""), "[]");
  EXPECT_EQ(Errors(), "");
}

TEST_F(FileBuiltins, KillMovesTheFileToTheTrash) {
  Put("gone.txt", "contents");
  EXPECT_EQ(Run("PRINT KILL(\"gone.txt\")"), "0");
  EXPECT_FALSE(Exists("gone.txt"));
  EXPECT_EQ(Bytes("home/Trash/files/gone.txt"), "contents");
  std::string info = Bytes("home/Trash/info/gone.txt.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir_ + "/gone.txt\nDeletionDate=", 0), 0u) << info;
}

TEST_F(FileBuiltins, KillOfAMissingFileGivesACode) {
  EXPECT_EQ(Run("PRINT KILL(\"missing.txt\") != 0"), "-1");
  EXPECT_EQ(Run("PRINT KILL(\"*.none\") != 0"), "-1");
  EXPECT_FALSE(Exists("home/Trash/info/missing.txt.trashinfo"));
}

TEST_F(FileBuiltins, CopyAndRename) {
  Put("a.txt", "alpha");
  EXPECT_EQ(Run("PRINT COPY(\"a.txt\", \"b.txt\"), RENAME(\"b.txt\", \"c.txt\")"), "00");
  EXPECT_EQ(Bytes("a.txt"), "alpha");
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_EQ(Bytes("c.txt"), "alpha");
  mkdir("box", 0755);
  EXPECT_EQ(Run("PRINT COPY(\"*.txt\", \"box\"), RENAME(\"c.txt\", \"box/d.txt\")"), "00");
  EXPECT_EQ(Bytes("box/a.txt"), "alpha");
  EXPECT_EQ(Bytes("box/c.txt"), "alpha");
  EXPECT_EQ(Bytes("box/d.txt"), "alpha");
}

TEST_F(FileBuiltins, CopyOntoItselfFailsAndKeepsTheFile) {
  Put("a.txt", "keep");
  EXPECT_EQ(Run("PRINT COPY(\"a.txt\", \"a.txt\") != 0, COPY(\"missing\", \"x\") != 0"), "-1-1");
  EXPECT_EQ(Bytes("a.txt"), "keep");
}

TEST_F(FileBuiltins, MkDirAndChDir) {
  EXPECT_EQ(Run("PRINT MKDIR(\"new\"), MKDIR(\"new\"), MKDIR(\"no/such\")"), "100");
  EXPECT_EQ(Run("PRINT CHDIR(\"missing\"), CHDIR(\"new\"), WRITEB(\"f\", \"x\")"), "011");
  EXPECT_EQ(Bytes(dir_ + "/new/f"), "x");
}

TEST_F(FileBuiltins, TooFewArgumentsAreAVariableError) {
  for (const char* call : {"COPY(\"a\")", "RENAME(\"a\")", "KILL()", "MKDIR", "CHDIR()",
                           "READ()", "WRITE(\"a\")", "WRITEB(\"a\")"}) {
    EXPECT_EQ(Run(std::string("PRINT ") + call + "\nPRINT \"after\""), "") << call;
    EXPECT_NE(Errors().find(": variable error"), std::string::npos) << call << Errors();
    EXPECT_EQ(host_->lastStatus(), 1) << call;
  }
  EXPECT_FALSE(Exists("a"));
}

}  // namespace
