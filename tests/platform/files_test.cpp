#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "platform/text.h"

namespace {

class FilesTest : public testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zimro-files-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    if (chdir("/") != 0) return;
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Touch(const std::string& name) { std::ofstream(Path(name)) << "x"; }
  std::u16string U(const std::string& s) const { return platform::FromUtf8(s); }

  // Name -> attributes of everything the pattern finds.
  std::map<std::string, DWORD> Find(const std::string& pattern) {
    std::map<std::string, DWORD> found;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(U(pattern).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return found;
    do found[platform::ToUtf8(data.cFileName)] = data.dwFileAttributes;
    while (FindNextFileW(h, &data));
    EXPECT_TRUE(FindClose(h));
    return found;
  }

  std::string dir_;
};

TEST(MatchFileName, WindowsRules) {
  struct Case {
    const char16_t* pattern;
    const char16_t* name;
    bool match;
  } cases[] = {
      {u"*.*", u"readme", true},     {u"*.*", u"a.b.c", true},   {u"*", u".hidden", true},
      {u"*.txt", u"NOTE.TXT", true}, {u"*.txt", u"a.txt2", false}, {u"?.c", u"ab.c", false},
      {u"?.c", u"x.c", true},        {u"a*b*c", u"axxbyyc", true}, {u"a*b*c", u"axxbyy", false},
      {u"*.", u"noext", true},       {u"*.", u"has.ext", false}, {u"data.*", u"data", true},
      {u"日本*", u"日本語.txt", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::MatchFileName(c.pattern, c.name), c.match)
        << platform::ToUtf8(c.pattern) << " vs " << platform::ToUtf8(c.name);
}

TEST_F(FilesTest, ListsEntriesWithTheirAttributes) {
  Touch("plain.txt");
  Touch(".hidden");
  Touch("locked.txt");
  chmod(Path("locked.txt").c_str(), 0444);
  mkdir(Path("sub").c_str(), 0755);
  auto found = Find(dir_ + "/*");
  std::map<std::string, DWORD> expected = {
      {".", FILE_ATTRIBUTE_DIRECTORY},
      {"..", FILE_ATTRIBUTE_DIRECTORY},
      {"plain.txt", FILE_ATTRIBUTE_ARCHIVE},
      {".hidden", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
      {"locked.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"sub", FILE_ATTRIBUTE_DIRECTORY},
  };
  EXPECT_EQ(found, expected);
}

TEST_F(FilesTest, PatternSelectsAndRelativePatternsUseTheCurrentFolder) {
  Touch("a.txt");
  Touch("b.TXT");
  Touch("c.log");
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  auto found = Find("*.txt");
  EXPECT_EQ(found.size(), 2u);
  EXPECT_TRUE(found.count("a.txt") && found.count("b.TXT"));
}

TEST_F(FilesTest, NameWithoutWildcardsFindsThatEntry) {
  mkdir(Path("sub").c_str(), 0755);
  auto found = Find(Path("sub"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found["sub"], FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FilesTest, NothingFoundGivesAnInvalidHandle) {
  Touch("a.txt");
  WIN32_FIND_DATAW data;
  for (std::string p : {dir_ + "/*.doc", dir_ + "/missing", dir_ + "/nofolder/*", dir_ + "/"})
    EXPECT_EQ(FindFirstFileW(U(p).c_str(), &data), INVALID_HANDLE_VALUE) << p;
}

TEST_F(FilesTest, CreateDirectory) {
  EXPECT_TRUE(CreateDirectoryW(U(Path("new")).c_str(), nullptr));
  struct stat st;
  EXPECT_EQ(stat(Path("new").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(CreateDirectoryW(U(Path("new")).c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryW(U(Path("no/such")).c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryW(u"", nullptr));
}

TEST_F(FilesTest, SetCurrentDirectory) {
  mkdir(Path("フォルダ").c_str(), 0755);
  EXPECT_TRUE(SetCurrentDirectoryW(U(Path("フォルダ")).c_str()));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd), Path("フォルダ"));
  EXPECT_FALSE(SetCurrentDirectoryW(U(Path("missing")).c_str()));
  EXPECT_EQ(std::string(getcwd(cwd, sizeof cwd)), Path("フォルダ"));
}

}  // namespace
