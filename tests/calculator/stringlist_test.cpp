#include "calculator/stringlist.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "calculator/errors.h"
#include "tempdir.h"
#include "tests/asnobody.h"

namespace {

using Lines = std::vector<std::u16string>;

Lines LinesOf(const TStringList& list) {
  Lines lines;
  for (int32_t i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

TStringList ListOf(const Lines& lines) {
  TStringList list;
  for (const auto& l : lines) list.Add(l);
  return list;
}

std::string Utf16Le(const std::u16string& s) {
  std::string b;
  for (char16_t c : s) {
    b += static_cast<char>(c & 0xFF);
    b += static_cast<char>(c >> 8);
  }
  return b;
}

std::string Utf16Be(const std::u16string& s) {
  std::string b;
  for (char16_t c : s) {
    b += static_cast<char>(c >> 8);
    b += static_cast<char>(c & 0xFF);
  }
  return b;
}

TEST(TStringListTest, LinesByIndex) {
  TStringList list;
  EXPECT_EQ(list.Add(u"a"), 0);
  EXPECT_EQ(list.Add(u"b"), 1);
  list.Put(0, u"c");
  EXPECT_EQ(LinesOf(list), (Lines{u"c", u"b"}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringListTest, IndexOutsideTheListRaises) {
  TStringList list = ListOf({u"a", u"b"});
  EXPECT_THROW(list.Get(2), EListError);
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Put(2, u"x"), EListError);
  try {
    list.Get(5);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (5)");
  }
  EXPECT_EQ(LinesOf(list), (Lines{u"a", u"b"}));
}

TEST(TStringListTest, NamesAndValues) {
  TStringList list = ListOf({u"plain", u"Top=7=8", u"TOP=9", u"left", u"=empty name",
                             u"\u00c4rger=1", u"Width = 3"});
  EXPECT_EQ(list.IndexOfName(u"top"), 1);
  EXPECT_EQ(list.Values(u"tOP"), u"7=8");  // everything after the first "="
  EXPECT_EQ(list.IndexOfName(u"plain"), -1);
  EXPECT_EQ(list.IndexOfName(u"left"), -1);  // no "=", so no name
  EXPECT_EQ(list.Values(u"left"), u"");
  EXPECT_EQ(list.IndexOfName(u""), 4);
  EXPECT_EQ(list.Values(u"\u00e4RGER"), u"1");
  EXPECT_EQ(list.IndexOfName(u"Width"), -1);  // the blank belongs to the name
  EXPECT_EQ(list.Values(u"Width "), u" 3");
}

using TStringListFileTest = TempDirTest;

TEST_F(TStringListFileTest, SaveWritesUtf16LeWithMarkAndCrLf) {
  TStringList list = ListOf({u"a=1", u"\u65e5\u672c", u"", u"\U0001F600"});
  list.SaveToFile(Path16("out.ini"));
  EXPECT_EQ(ReadBytes(Path("out.ini")),
            Bytes("\xFF\xFE"
                        "a\0=\0"
                        "1\0\r\0\n\0"
                        "\xE5\x65\x2C\x67\r\0\n\0"
                        "\r\0\n\0"
                  "\x3D\xD8\x00\xDE\r\0\n\0"));
  TStringList back;
  back.LoadFromFile(Path16("out.ini"));
  EXPECT_EQ(LinesOf(back), LinesOf(list));
}

TEST_F(TStringListFileTest, ALineWithABreakComesBackAsTwoLines) {
  ListOf({u"B1=\\1a\r\nb"}).SaveToFile(Path16("out.ini"));
  EXPECT_EQ(ReadBytes(Path("out.ini")), Bytes("\xFF\xFE"
                                              "B\0" "1\0=\0\\\0" "1\0a\0\r\0\n\0"
                                              "b\0\r\0\n\0"));
  TStringList back;
  back.LoadFromFile(Path16("out.ini"));
  EXPECT_EQ(LinesOf(back), (Lines{u"B1=\\1a", u"b"}));
}

TEST_F(TStringListFileTest, SaveOfAnEmptyListWritesTheMarkOnly) {
  TStringList().SaveToFile(Path16("empty.ini"));
  EXPECT_EQ(ReadBytes(Path("empty.ini")), "\xFF\xFE");
  TStringList back = ListOf({u"old"});
  back.LoadFromFile(Path16("empty.ini"));
  EXPECT_EQ(back.Count(), 0);
}

struct LoadCase {
  const char* what;
  std::string bytes;
  Lines lines;
  friend void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.what; }
};

class TStringListLoadTest : public TempDirTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(TStringListLoadTest, Lines) {
  const LoadCase& c = GetParam();
  WriteBytes(Path("in.txt"), c.bytes);
  TStringList list = ListOf({u"previous"});
  list.LoadFromFile(Path16("in.txt"));
  EXPECT_EQ(LinesOf(list), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, TStringListLoadTest,
    testing::Values(
        LoadCase{"utf16le", "\xFF\xFE" + Utf16Le(u"a=\u65e5\r\nb\nc\rd"),
                 {u"a=\u65e5", u"b", u"c", u"d"}},
        LoadCase{"utf16be", "\xFE\xFF" + Utf16Be(u"B1=\\1\u03a3\r\nx\r\n"),
                 {u"B1=\\1\u03a3", u"x"}},
        LoadCase{"utf8", "\xEF\xBB\xBFTop=\xE6\x97\xA5\xE6\x9C\xAC\r\n\xF0\x9F\x98\x80",
                 {u"Top=\u65e5\u672c", u"\U0001F600"}},
        LoadCase{"cp932", "B1=\\1\x93\xfa\x96\x7b\r\nLeft=\xb1\r\n",
                 {u"B1=\\1\u65e5\u672c", u"Left=\uff71"}},
        LoadCase{"ascii", "Top=1\nLeft=2", {u"Top=1", u"Left=2"}},
        LoadCase{"empty", "", {}},
        LoadCase{"markonly", "\xFF\xFE", {}},
        LoadCase{"blanklines", "\xFF\xFE" + Utf16Le(u"a\r\n\r\n\n\r\r\nb"),
                 {u"a", u"", u"", u"", u"", u"b"}},
        LoadCase{"oddbyte", Bytes("\xFF\xFE" "a\0b"), {u"a\ufffd"}},
        LoadCase{"badutf8", "\xEF\xBB\xBF" "a\xC3(\xFF" "b", {u"a\ufffd(\ufffdb"}},
        // One replacement for a cut-short sequence, as everywhere else.
        LoadCase{"cututf8", "\xEF\xBB\xBF" "B1=\xE6\x97" "A", {u"B1=\ufffdA"}},
        // A lone FF is not a mark: it is CP932 text.
        LoadCase{"noMark", "\xFF" "a", {u"\ufffda"}}),
    [](const testing::TestParamInfo<LoadCase>& c) { return std::string(c.param.what); });

TEST_F(TStringListFileTest, LoadErrorsLeaveTheList) {
  TStringList list = ListOf({u"kept"});
  EXPECT_THROW(list.LoadFromFile(Path16("missing.ini")), EFOpenError);
  EXPECT_THROW(list.LoadFromFile(Path16("")), EFOpenError);
  // A folder opens but cannot be read.
  EXPECT_THROW(list.LoadFromFile(Path16(".")), EFOpenError);
  // A regular file whose reading fails, even for root.
  EXPECT_THROW(list.LoadFromFile(u"/proc/self/mem"), EFOpenError);
  EXPECT_EQ(LinesOf(list), (Lines{u"kept"}));
}

class TStringListSaveFailureTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteBytes(Path("calc.ini"), "old contents");
  }
  // The old file is intact and no temporary file is left behind.
  void ExpectOldFileOnly() {
    EXPECT_EQ(ReadBytes(Path("calc.ini")), "old contents");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) {
      names.push_back(e.path().filename());
    }
    EXPECT_EQ(names, std::vector<std::string>{"calc.ini"});
  }
  TStringList list_ = ListOf({u"Zimro=1.30", u"B1=\\1new"});
};

TEST_F(TStringListSaveFailureTest, ParentIsARegularFile) {
  EXPECT_THROW(list_.SaveToFile(Path16("calc.ini/inner.ini")), EFCreateError);
  ExpectOldFileOnly();
}

TEST_F(TStringListSaveFailureTest, TargetIsAFolder) {
  std::filesystem::create_directory(Path("sub"));
  EXPECT_THROW(list_.SaveToFile(Path16("sub")), EFCreateError);
  EXPECT_TRUE(std::filesystem::is_directory(Path("sub")));
  EXPECT_TRUE(std::filesystem::is_empty(Path("sub")));
  std::filesystem::remove(Path("sub"));
  ExpectOldFileOnly();
}

TEST_F(TStringListSaveFailureTest, TargetIsAPipe) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
  EXPECT_THROW(list_.SaveToFile(Path16("pipe")), EFCreateError);
  struct stat st;
  ASSERT_EQ(lstat(Path("pipe").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  std::filesystem::remove(Path("pipe"));
  ExpectOldFileOnly();
}

TEST_F(TStringListSaveFailureTest, DiskFullHalfway) {
  // The file-size limit makes writes fail as a full disk would, even for root.
  signal(SIGXFSZ, SIG_IGN);
  TStringList big;
  for (int i = 0; i < 1000; ++i) big.Add(u"B1=\\1a long line of text to fill the file");
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(big.SaveToFile(Path16("calc.ini")), EFCreateError);
  setrlimit(RLIMIT_FSIZE, &old);
  ExpectOldFileOnly();
}

TEST_F(TStringListSaveFailureTest, ReadOnlyFolder) {
  chmod(dir_.c_str(), 0555);
  // Root writes into read-only folders: save as an ordinary user instead.
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(seteuid(65534), 0);
  }
  EXPECT_THROW(list_.SaveToFile(Path16("calc.ini")), EFCreateError);
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  chmod(dir_.c_str(), 0755);
  ExpectOldFileOnly();
}

// Only the permission bits keep the owner from writing the file: the folder
// takes new names, so a temporary file renamed over it would succeed.
TEST_F(TStringListFileTest, ReadOnlyFileIsNotReplaced) {
  WriteBytes(Path("calc.ini"), "old contents");
  if (geteuid() == 0) {
    ASSERT_EQ(chown(dir_.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(Path("calc.ini").c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(chmod(Path("calc.ini").c_str(), 0444), 0);
  const std::u16string path = Path16("calc.ini");
  EXPECT_AS_NOBODY([&]() -> std::string {
    try {
      ListOf({u"Zimro=1.30"}).SaveToFile(path);
    } catch (const EFCreateError& e) {
      return std::string(e.what()).find("Permission denied") == std::string::npos
                 ? std::string("unexpected error: ") + e.what()
                 : "";
    }
    return "the read-only file was replaced";
  });
  EXPECT_EQ(ReadBytes(Path("calc.ini")), "old contents");
  struct stat st;
  ASSERT_EQ(stat(Path("calc.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"calc.ini"});
}

// A link to a file yet to be made, in a subfolder: the save makes that file
// and the link stays, as WRITE does.
TEST_F(TStringListFileTest, DanglingLinkIsWrittenThrough) {
  std::filesystem::create_directory(Path("sub"));
  std::filesystem::create_symlink("sub/real.ini", Path("calc.ini"));
  ListOf({u"x"}).SaveToFile(Path16("calc.ini"));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("calc.ini")));
  EXPECT_EQ(std::filesystem::read_symlink(Path("calc.ini")), "sub/real.ini");
  EXPECT_EQ(ReadBytes(Path("sub/real.ini")), Bytes("\xFF\xFEx\0\r\0\n\0"));
}

TEST_F(TStringListFileTest, SaveKeepsModeAndLinks) {
  WriteBytes(Path("calc.ini"), "old");
  chmod(Path("calc.ini").c_str(), 0640);
  std::filesystem::create_symlink("calc.ini", Path("link.ini"));
  ListOf({u"x"}).SaveToFile(Path16("link.ini"));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.ini")));
  EXPECT_EQ(ReadBytes(Path("calc.ini")), Bytes("\xFF\xFEx\0\r\0\n\0"));
  struct stat st;
  ASSERT_EQ(stat(Path("calc.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // A privileged save keeps the file's owner.
  if (chown(Path("calc.ini").c_str(), 4321, 4321) == 0) {
    ListOf({u"z"}).SaveToFile(Path16("calc.ini"));
    ASSERT_EQ(stat(Path("calc.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4321u);
  }

  mode_t mask = umask(022);
  ListOf({u"y"}).SaveToFile(Path16("new.ini"));
  umask(mask);
  ASSERT_EQ(stat(Path("new.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

}  // namespace
