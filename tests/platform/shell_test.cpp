#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/text.h"

namespace {

class ShellTest : public testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zimro-shell-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    // The trash of a home of our own, never the real one.
    setenv("XDG_DATA_HOME", (dir_ + "/home").c_str(), 1);
  }
  void TearDown() override {
    if (chdir("/") != 0) return;
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    if (!in) return "<missing>";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const std::string& name) const {
    struct stat st;
    return lstat(Path(name).c_str(), &st) == 0;
  }

  int Op(UINT func, const std::string& from, const std::string& to = "",
         WORD flags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO) {
    std::u16string f = platform::FromUtf8(from) + u'\0';
    std::u16string t = platform::FromUtf8(to) + u'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = func;
    op.pFrom = f.c_str();
    op.pTo = to.empty() ? nullptr : t.c_str();
    op.fFlags = flags;
    return SHFileOperationW(&op);
  }

  std::string dir_;
};

TEST_F(ShellTest, CopyFileToNewNameAndOverExistingFile) {
  Write("a.txt", "alpha");
  Write("b.txt", "old contents, longer");
  EXPECT_EQ(Op(FO_COPY, Path("a.txt"), Path("c.txt")), 0);
  EXPECT_EQ(Op(FO_COPY, Path("a.txt"), Path("b.txt")), 0);
  EXPECT_EQ(Read("a.txt"), "alpha");
  EXPECT_EQ(Read("b.txt"), "alpha");
  EXPECT_EQ(Read("c.txt"), "alpha");
}

TEST_F(ShellTest, CopyOntoItselfFailsAndKeepsTheFile) {
  Write("a.txt", "keep me");
  EXPECT_EQ(Op(FO_COPY, Path("a.txt"), Path("a.txt")), DE_SAMEFILE);
  EXPECT_EQ(Op(FO_COPY, Path("a.txt"), dir_), DE_SAMEFILE);
  EXPECT_EQ(Read("a.txt"), "keep me");
}

TEST_F(ShellTest, WildcardCopiesOnlyMatchesIntoAFolder) {
  Write("one.txt", "1");
  Write("two.txt", "2");
  Write("three.log", "3");
  EXPECT_EQ(Op(FO_COPY, Path("*.txt"), Path("out")), 0);  // folder made for the matches
  EXPECT_EQ(Read("out/one.txt"), "1");
  EXPECT_EQ(Read("out/two.txt"), "2");
  EXPECT_FALSE(Exists("out/three.log"));
  EXPECT_EQ(Op(FO_COPY, Path("*.doc"), Path("out")), ERROR_FILE_NOT_FOUND);
}

TEST_F(ShellTest, FolderIsCopiedWhole) {
  mkdir(Path("src").c_str(), 0755);
  mkdir(Path("src/deep").c_str(), 0755);
  Write("src/deep/f", "nested");
  mkdir(Path("dst").c_str(), 0755);
  EXPECT_EQ(Op(FO_COPY, Path("src"), Path("dst")), 0);
  EXPECT_EQ(Read("dst/src/deep/f"), "nested");
  EXPECT_EQ(Read("src/deep/f"), "nested");
}

TEST_F(ShellTest, CopiesKeepTheirPermissionBits) {
  Write("run.sh", "#!/bin/sh\n");
  ASSERT_EQ(chmod(Path("run.sh").c_str(), 0751), 0);
  mkdir(Path("src").c_str(), 0755);
  Write("src/key", "k");
  ASSERT_EQ(chmod(Path("src/key").c_str(), 0600), 0);
  EXPECT_EQ(Op(FO_COPY, Path("run.sh"), Path("copy.sh")), 0);
  EXPECT_EQ(Op(FO_COPY, Path("src"), Path("dst")), 0);
  struct stat st;
  ASSERT_EQ(stat(Path("copy.sh").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
  ASSERT_EQ(stat(Path("dst/key").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(Read("dst/key"), "k");
}

// A name that merely begins with the source's is not inside it.
TEST_F(ShellTest, FolderCopiesToASiblingWhoseNameExtendsItsOwn) {
  mkdir(Path("src").c_str(), 0755);
  Write("src/f", "x");
  EXPECT_EQ(Op(FO_COPY, Path("src"), Path("src2")), 0);
  EXPECT_EQ(Read("src2/f"), "x");
  EXPECT_EQ(Op(FO_MOVE, Path("src2"), Path("src_moved")), 0);
  EXPECT_EQ(Read("src_moved/f"), "x");
  EXPECT_FALSE(Exists("src2"));
}

// Reading this process's memory from address 0 fails at once: the copy must
// end with an error and leave nothing behind rather than try again forever.
TEST_F(ShellTest, AReadErrorEndsTheCopy) {
  EXPECT_EQ(Op(FO_COPY, "/proc/self/mem", Path("mem")), ERROR_WRITE_FAULT);
  EXPECT_FALSE(Exists("mem"));
  const std::string left = std::string(dir_) + "/.mem.*";
  EXPECT_NE(std::system(("ls " + left + " >/dev/null 2>&1").c_str()), 0) << "a temporary file remained";
}

TEST_F(ShellTest, FolderIntoItselfIsRefused) {
  mkdir(Path("src").c_str(), 0755);
  Write("src/f", "x");
  EXPECT_EQ(Op(FO_COPY, Path("src"), Path("src")), DE_DESTSUBTREE);
  EXPECT_EQ(Op(FO_MOVE, Path("src"), Path("src/inner")), DE_DESTSUBTREE);
  EXPECT_EQ(Read("src/f"), "x");
  EXPECT_FALSE(Exists("src/src"));
}

TEST_F(ShellTest, FailuresGiveNonZeroCodes) {
  Write("a.txt", "a");
  EXPECT_EQ(Op(FO_COPY, Path("missing"), Path("x")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Op(FO_MOVE, Path("missing"), Path("x")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Op(FO_DELETE, Path("missing")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Op(FO_COPY, Path("a.txt"), Path("no/such/b.txt")), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Op(FO_COPY, Path("a.txt")), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Read("a.txt"), "a");
}

TEST_F(ShellTest, MoveRenamesAndMovesIntoFolders) {
  Write("a.txt", "a");
  mkdir(Path("box").c_str(), 0755);
  EXPECT_EQ(Op(FO_MOVE, Path("a.txt"), Path("b.txt")), 0);
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Read("b.txt"), "a");
  EXPECT_EQ(Op(FO_MOVE, Path("b.txt"), Path("box")), 0);
  EXPECT_EQ(Read("box/b.txt"), "a");
  Write("c.txt", "new");
  EXPECT_EQ(Op(FO_MOVE, Path("c.txt"), Path("box/b.txt")), 0);
  EXPECT_EQ(Read("box/b.txt"), "new");
}

TEST_F(ShellTest, DeleteWithUndoGoesToTheTrashWithItsRecord) {
  Write("a b.txt", "first");
  EXPECT_EQ(Op(FO_DELETE, Path("a b.txt")), 0);
  Write("a b.txt", "second");
  EXPECT_EQ(Op(FO_DELETE, Path("a b.txt")), 0);
  EXPECT_FALSE(Exists("a b.txt"));

  EXPECT_EQ(Read("home/Trash/files/a b.txt"), "first");
  EXPECT_EQ(Read("home/Trash/files/a b.2.txt"), "second");
  std::string info = Read("home/Trash/info/a b.txt.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir_ + "/a%20b.txt\nDeletionDate=", 0), 0u) << info;
  // DeletionDate=YYYY-MM-DDThh:mm:ss
  size_t at = info.find("DeletionDate=") + 13;
  ASSERT_EQ(info.size(), at + 20);
  EXPECT_EQ(info[at + 4], '-');
  EXPECT_EQ(info[at + 10], 'T');
  EXPECT_EQ(info.back(), '\n');
  EXPECT_NE(Read("home/Trash/info/a b.2.txt.trashinfo").find("Path=" + dir_ + "/a%20b.txt\n"),
            std::string::npos);
}

TEST_F(ShellTest, DeleteWithoutUndoRemovesAFolderWhole) {
  mkdir(Path("tree").c_str(), 0755);
  mkdir(Path("tree/sub").c_str(), 0755);
  Write("tree/sub/f", "x");
  EXPECT_EQ(Op(FO_DELETE, Path("tree"), "", FOF_NOCONFIRMATION), 0);
  EXPECT_FALSE(Exists("tree"));
  EXPECT_FALSE(Exists("home/Trash"));
}

SHELLEXECUTEINFOW Info(const char16_t* file, const char16_t* parameters) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = u"open";
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = SW_SHOWDEFAULT;
  return info;
}

TEST_F(ShellTest, StartsAProgramWithItsParametersAndWaitsForIt) {
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  // Quotes group, \" is a quote, blanks separate.
  auto info = Info(u"/bin/sh", uR"(-c "printf '%s|' \"$@\" > out" zero a "b c" d\"e)");
  ASSERT_TRUE(ShellExecuteExW(&info));
  ASSERT_NE(info.hProcess, nullptr);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(info.hProcess));
  EXPECT_EQ(Read("out"), "a|b c|d\"e|");
}

TEST_F(ShellTest, BareProgramNameIsLookedUpOnPath) {
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  auto info = Info(u"sh", u"-c \"echo found > out\"");
  ASSERT_TRUE(ShellExecuteExW(&info));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  CloseHandle(info.hProcess);
  EXPECT_EQ(Read("out"), "found\n");
}

TEST_F(ShellTest, DocumentsFoldersAndUrlsGoToXdgOpen) {
  // A stand-in for xdg-open, found first on PATH, notes what it was given.
  mkdir(Path("bin").c_str(), 0755);
  Write("bin/xdg-open", "#!/bin/sh\necho \"$@\" >> " + Path("opened") + "\n");
  chmod(Path("bin/xdg-open").c_str(), 0755);
  setenv("PATH", (Path("bin") + ":" + getenv("PATH")).c_str(), 1);
  Write("notes.txt", "n");
  Write("-n.txt", "n");
  Write("\xff.txt", "n");
  mkdir(Path("folder").c_str(), 0755);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  // A name that begins with "-" can only be a name to the opener; a name that
  // is no UTF-8 keeps its bytes.
  for (const char16_t* file : {u"notes.txt", u"folder", u"https://example.org/a?b=1", u"-n.txt",
                               u"\xDCFF.txt"}) {
    auto info = Info(file, u"ignored");
    ASSERT_TRUE(ShellExecuteExW(&info)) << platform::ToUtf8(file);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
  }
  EXPECT_EQ(Read("opened"), "notes.txt\nfolder\nhttps://example.org/a?b=1\n./-n.txt\n\xff.txt\n");
}

TEST_F(ShellTest, NothingToStartFails) {
  for (const char16_t* file : {u"", u"/no/such/program", u"no-such-program-anywhere"}) {
    auto info = Info(file, nullptr);
    EXPECT_FALSE(ShellExecuteExW(&info)) << platform::ToUtf8(file);
    EXPECT_EQ(info.hProcess, nullptr);
  }
}

}  // namespace
