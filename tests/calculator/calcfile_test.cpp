#include "calculator/calcfile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "platform/text.h"
#include "tempdir.h"

namespace {

using Lines = std::vector<std::u16string>;

std::string Utf16LeWithMark(const std::u16string& s) {
  std::string b = "\xFF\xFE";
  for (char16_t c : s) {
    b += static_cast<char>(c & 0xFF);
    b += static_cast<char>(c >> 8);
  }
  return b;
}

Lines LinesOf(const wini& ini) {
  Lines lines;
  for (int32_t i = 0; i < ini.list->Count(); ++i) lines.push_back(ini.list->Get(i));
  return lines;
}

// A table of 71 lines, all empty but the given ones.
void FillTable(wini& table, std::initializer_list<std::pair<int, const char16_t*>> lines) {
  table.list->Clear();
  for (int i = 0; i < 71; ++i) table.AddLine(wvar(u""));
  for (auto [i, text] : lines) table.list->Put(i, text);
}

class CalcFileTest : public TempDirTest {
protected:
  // Loads bytes written to a file; the record and table start far from the
  // defaults, so that a key left at its old value shows.
  void LoadBytes(const std::string& bytes) {
    WriteBytes(Path("calc.ini"), bytes);
    Load(Path16("calc.ini"));
  }
  void Load(const std::u16string& path) {
    setting_.buttonEditMode = 7;
    setting_.stayOnTop = 7;
    setting_.buttonDispLine1 = 7;
    setting_.buttonDispLine2 = 3;
    setting_.buttonDispLine3 = 3;
    setting_.buttonDispLine4 = 3;
    setting_.dispWidth = 7;
    setting_.dispHeight = 7;
    setting_.dispFontSize = 7;
    setting_.formColor = setting_.titleColor = setting_.textColor = setting_.buttonColor = 7;
    setting_.mix1 = setting_.mix2 = setting_.mix3 = 7;
    pos_ = CalcWindowPos{7, 7};
    FillTable(table_, {{3, u"\\1old"}});
    table_.AddLine(wvar(u"a 72nd line"));
    ReadCalcFile(path, setting_, table_, pos_);
  }

  wsetting setting_;
  wini table_;
  CalcWindowPos pos_;
};

void ExpectDefaults(const wsetting& s, const CalcWindowPos& pos) {
  EXPECT_EQ(pos.top, 100);
  EXPECT_EQ(pos.left, 200);
  EXPECT_EQ(s.buttonEditMode, 1);
  EXPECT_EQ(s.stayOnTop, 0);
  EXPECT_EQ(s.buttonDispLine1, 0);
  EXPECT_EQ(s.buttonDispLine2, 2);
  EXPECT_EQ(s.buttonDispLine3, 0);
  EXPECT_EQ(s.buttonDispLine4, 4);
  EXPECT_EQ(s.dispWidth, 150);
  EXPECT_EQ(s.dispHeight, 60);
  EXPECT_EQ(s.dispFontSize, 11);
  EXPECT_EQ(s.formColor, 0x984E00);
  EXPECT_EQ(s.titleColor, 0xFFFFFF);
  EXPECT_EQ(s.textColor, 0);
  EXPECT_EQ(s.buttonColor, 0xC0C0C0);
  EXPECT_EQ(s.mix1, 25.0);
  EXPECT_EQ(s.mix2, 50.0);
  EXPECT_EQ(s.mix3, 75.0);
}

TEST_F(CalcFileTest, SaveWritesTheseBytes) {
  FillTable(table_, {{0, u"\\54100"},
                     {1, u"\\1Sin\\20000ff\\531002b003200"},
                     {5, u"\\'A\\/x"},  // kept as it stands
                     {70, u"\\1last"}});
  ApplyLoadDefaults(setting_);
  setting_.stayOnTop = 1;
  setting_.buttonDispLine1 = 10;
  setting_.dispWidth = 321;
  setting_.textColor = 0xFF;
  setting_.mix1 = 33.5;
  WriteCalcFile(Path16("calc.ini"), setting_, table_, CalcWindowPos{-5, 1200});
  EXPECT_EQ(ReadBytes(Path("calc.ini")),
            Utf16LeWithMark(u"Zimro=1.30\r\n"
                            u"B0=\\54100\r\n"
                            u"B1=\\1Sin\\20000ff\\531002b003200\r\n"
                            u"B5=\\'A\\/x\r\n"
                            u"B70=\\1last\r\n"
                            u"Top=-5\r\n"
                            u"Left=1200\r\n"
                            u"ButtonEditMode=1\r\n"
                            u"StayOnTop=1\r\n"
                            u"ButtonDispLine1=10\r\n"
                            u"ButtonDispLine2=2\r\n"
                            u"ButtonDispLine3=0\r\n"
                            u"ButtonDispLine4=4\r\n"
                            u"DispWidth=321\r\n"
                            u"DispHeight=60\r\n"
                            u"DispFontSize=11\r\n"
                            u"FormColor=9981440\r\n"
                            u"TitleColor=16777215\r\n"
                            u"TextColor=255\r\n"
                            u"ButtonColor=12632256\r\n"
                            u"Mix1=33.5\r\n"
                            u"Mix2=50\r\n"
                            u"Mix3=75\r\n"));
}

TEST_F(CalcFileTest, SaveThenLoadGivesEverythingBack) {
  FillTable(table_, {{0, u"\\541003d003100"}, {2, u"\\'Sin\\c0000ff\\/Ans*2"}, {69, u"\\3c0c0c0"}});
  Lines saved = LinesOf(table_);
  wsetting written;
  ApplyLoadDefaults(written);
  written.buttonEditMode = 0;
  written.buttonDispLine3 = 4;
  written.dispFontSize = 36;
  written.buttonColor = 0x123456;
  written.mix2 = 12.345678901234;
  written.mix3 = -0.5;
  WriteCalcFile(Path16("calc.ini"), written, table_, CalcWindowPos{12, 34});

  Load(Path16("calc.ini"));
  EXPECT_EQ(LinesOf(table_), saved);
  EXPECT_EQ(pos_.top, 12);
  EXPECT_EQ(pos_.left, 34);
  EXPECT_EQ(setting_.buttonEditMode, 0);
  EXPECT_EQ(setting_.buttonDispLine3, 4);
  EXPECT_EQ(setting_.dispFontSize, 36);
  EXPECT_EQ(setting_.buttonColor, 0x123456);
  EXPECT_EQ(setting_.mix2, 12.345678901234);
  EXPECT_EQ(setting_.mix3, -0.5);
}

TEST_F(CalcFileTest, MissingFileLoadsEveryDefault) {
  Load(Path16("nothing-here.ini"));
  EXPECT_EQ(LinesOf(table_), Lines(71, u""));
  ExpectDefaults(setting_, pos_);
}

TEST_F(CalcFileTest, EmptyAndUnknownKeysTakeTheDefaults) {
  LoadBytes(Utf16LeWithMark(u"Top=\r\nB71=\\1x\r\nColour=5\r\nno equals sign\r\nLeft=\r\n"));
  EXPECT_EQ(LinesOf(table_), Lines(71, u""));
  ExpectDefaults(setting_, pos_);
}

TEST_F(CalcFileTest, KeysInAnyCaseAndOrderFirstLineWins) {
  LoadBytes(Utf16LeWithMark(u"mix1=33.5\r\n"
                            u"top=7\r\n"
                            u"LEFT=8\r\n"
                            u"Left=9\r\n"
                            u"b2=\\1two\r\n"
                            u"B2=\\1second\r\n"
                            u"b0=auto\r\n"
                            u"dispfontsize=14\r\n"
                            u"FORMCOLOR=255\r\n"
                            u"DispWidth=abc\r\n"));
  EXPECT_EQ(pos_.top, 7);
  EXPECT_EQ(pos_.left, 8);
  EXPECT_EQ(setting_.mix1, 33.5);
  EXPECT_EQ(setting_.dispFontSize, 14);
  EXPECT_EQ(setting_.formColor, 255);
  EXPECT_EQ(setting_.dispWidth, 0);  // not a number: its conversion
  Lines expected(71, u"");
  expected[0] = u"auto";
  expected[2] = u"\\1two";
  EXPECT_EQ(LinesOf(table_), expected);
}

struct RowCase {
  const char16_t* file;
  int32_t rows[4];
};

class CalcFileRowsTest : public CalcFileTest, public testing::WithParamInterface<RowCase> {};

TEST_P(CalcFileRowsTest, RowsEndWithinTheirRanges) {
  LoadBytes(Utf16LeWithMark(GetParam().file));
  EXPECT_EQ(setting_.buttonDispLine1, GetParam().rows[0]);
  EXPECT_EQ(setting_.buttonDispLine2, GetParam().rows[1]);
  EXPECT_EQ(setting_.buttonDispLine3, GetParam().rows[2]);
  EXPECT_EQ(setting_.buttonDispLine4, GetParam().rows[3]);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CalcFileRowsTest,
    testing::Values(
        RowCase{u"ButtonDispLine1=10\r\nButtonDispLine2=4\r\nButtonDispLine3=4\r\nButtonDispLine4=4\r\n",
                {10, 4, 4, 4}},
        RowCase{u"ButtonDispLine4=9\r\nButtonDispLine1=-3\r\n", {0, 2, 0, 4}},
        RowCase{u"ButtonDispLine1=11\r\nButtonDispLine2=5\r\nButtonDispLine3=-1\r\n", {10, 4, 0, 4}},
        RowCase{u"ButtonDispLine2=2147483647\r\nButtonDispLine3=-2147483648\r\n", {0, 4, 0, 4}}));

struct FontSizeCase {
  const char16_t* file;
  int32_t size;
};

class CalcFileFontSizeTest : public CalcFileTest,
                             public testing::WithParamInterface<FontSizeCase> {};

// A size from the file outside the option dialog's list (8 to 36) would make
// a window too small to see or too large to answer: it ends at the nearest
// end of the list. Sizes within it, listed or not, stay as they are.
TEST_P(CalcFileFontSizeTest, FontSizeEndsWithinTheList) {
  LoadBytes(Utf16LeWithMark(GetParam().file));
  EXPECT_EQ(setting_.dispFontSize, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    FontSizes, CalcFileFontSizeTest,
    testing::Values(FontSizeCase{u"DispFontSize=-5\r\n", 8}, FontSizeCase{u"DispFontSize=0\r\n", 8},
                    FontSizeCase{u"DispFontSize=7\r\n", 8}, FontSizeCase{u"DispFontSize=8\r\n", 8},
                    FontSizeCase{u"DispFontSize=13\r\n", 13},
                    FontSizeCase{u"DispFontSize=36\r\n", 36},
                    FontSizeCase{u"DispFontSize=37\r\n", 36},
                    FontSizeCase{u"DispFontSize=10000\r\n", 36},
                    FontSizeCase{u"DispFontSize=2147483647\r\n", 36},
                    FontSizeCase{u"DispFontSize=-2147483648\r\n", 8},
                    FontSizeCase{u"DispFontSize=abc\r\n", 8}, FontSizeCase{u"DispFontSize=\r\n", 11}));

TEST_F(CalcFileTest, SettingsWithinTheirRangesAreSavedBackAsTheyWere) {
  const std::u16string text = u"Zimro=1.30\r\n"
                              u"B3=\\1x\r\n"
                              u"Top=-20\r\n"
                              u"Left=3000\r\n"
                              u"ButtonEditMode=0\r\n"
                              u"StayOnTop=1\r\n"
                              u"ButtonDispLine1=10\r\n"
                              u"ButtonDispLine2=0\r\n"
                              u"ButtonDispLine3=4\r\n"
                              u"ButtonDispLine4=1\r\n"
                              u"DispWidth=1200\r\n"
                              u"DispHeight=900\r\n"
                              u"DispFontSize=8\r\n"
                              u"FormColor=255\r\n"
                              u"TitleColor=0\r\n"
                              u"TextColor=65280\r\n"
                              u"ButtonColor=16711680\r\n"
                              u"Mix1=0\r\n"
                              u"Mix2=100\r\n"
                              u"Mix3=12.5\r\n";
  LoadBytes(Utf16LeWithMark(text));
  WriteCalcFile(Path16("again.ini"), setting_, table_, pos_);
  EXPECT_EQ(ReadBytes(Path("again.ini")), Utf16LeWithMark(text));
}

TEST_F(CalcFileTest, FileWithoutMarkReadsAsCp932) {
  // "円" and "計算" in CP932.
  LoadBytes("B1=\\1\x89\x7e\r\nB2=\\1\x8c\x76\x8e\x5a\nTop=7\r");
  EXPECT_EQ(table_.list->Get(1), u"\\1\u5186");
  EXPECT_EQ(table_.list->Get(2), u"\\1\u8a08\u7b97");
  EXPECT_EQ(pos_.top, 7);
}

TEST_F(CalcFileTest, LabelWithALineBreakEndsItsLineOnReading) {
  FillTable(table_, {{1, u"\\1a\r\nb\\53100"}});
  ApplyLoadDefaults(setting_);
  WriteCalcFile(Path16("calc.ini"), setting_, table_, CalcWindowPos{});
  std::string bytes = ReadBytes(Path("calc.ini"));
  EXPECT_NE(bytes.find(Utf16LeWithMark(u"Zimro=1.30\r\nB1=\\1a\r\nb\\53100\r\nTop=100\r\n")),
            std::string::npos);
  Load(Path16("calc.ini"));
  Lines expected(71, u"");
  expected[1] = u"\\1a";  // the rest became a line without a key
  EXPECT_EQ(LinesOf(table_), expected);
}

TEST_F(CalcFileTest, UnreadableFileChangesNothing) {
  FillTable(table_, {{1, u"\\1kept"}});
  setting_.dispWidth = 999;
  pos_ = CalcWindowPos{1, 2};
  EXPECT_THROW(ReadCalcFile(u"/proc/self/mem", setting_, table_, pos_), EFOpenError);
  EXPECT_EQ(table_.list->Count(), 71);
  EXPECT_EQ(table_.list->Get(1), u"\\1kept");
  EXPECT_EQ(setting_.dispWidth, 999);
  EXPECT_EQ(pos_.top, 1);
}

TEST_F(CalcFileTest, UnwritablePathRaisesAndKeepsTheOldFile) {
  WriteBytes(Path("calc.ini"), "old");
  FillTable(table_, {});
  // A folder of that name cannot be replaced by the file.
  std::filesystem::create_directory(Path("sub.ini"));
  EXPECT_THROW(WriteCalcFile(Path16("sub.ini"), setting_, table_, pos_), EFCreateError);
  EXPECT_THROW(WriteCalcFile(Path16("calc.ini/x.ini"), setting_, table_, pos_), EFCreateError);
  EXPECT_EQ(ReadBytes(Path("calc.ini")), "old");
}

TEST_F(CalcFileTest, FileNamesThatAreNoUtf8KeepTheirBytes) {
  // A name holding the byte FF, as the file system gives it.
  const std::u16string name = Path16("") + platform::FromFileName("\xff.ini");
  FillTable(table_, {{1, u"\\1x"}});
  WriteCalcFile(name, setting_, table_, CalcWindowPos{});
  EXPECT_TRUE(std::filesystem::exists(Path("\xff.ini")));
  Load(name);
  EXPECT_EQ(table_.list->Get(1), u"\\1x");
  // A text that would name another file is refused.
  const std::u16string other = Path16("") + u"\xdcc3\xdca9.ini";
  EXPECT_THROW(WriteCalcFile(other, setting_, table_, CalcWindowPos{}), EFCreateError);
  EXPECT_FALSE(std::filesystem::exists(Path("\xc3\xa9.ini")));
}

TEST(CalcFileTitleTest, NameWithoutFolderAndExtension) {
  EXPECT_EQ(CalcFileTitle(u"/home/a/zimro.ini"), u"zimro");
  EXPECT_EQ(CalcFileTitle(u"/home/a.b/calc"), u"calc");
  EXPECT_EQ(CalcFileTitle(u"/x/my.calc.ini"), u"my.calc");
  EXPECT_EQ(CalcFileTitle(u"関数.ini"), u"関数");
  EXPECT_EQ(CalcFileTitle(u"/x/.ini"), u".ini");
}

TEST_F(CalcFileTest, StartupReadsTheTemplateOnlyWithoutTheDefaultFile) {
  std::u16string dir = Path16("");
  if (!dir.empty() && dir.back() == u'/') dir.pop_back();
  EXPECT_EQ(CurrentCalcFilePath(dir), dir + u"/zimro.ini");
  EXPECT_EQ(StartupCalcFileToRead(dir), dir + u"/zimro.si");
  WriteBytes(Path("zimro.si"), "");
  EXPECT_EQ(StartupCalcFileToRead(dir), dir + u"/zimro.si");
  WriteBytes(Path("zimro.ini"), "");
  EXPECT_EQ(StartupCalcFileToRead(dir), dir + u"/zimro.ini");
}

// What a file holds decides whether it is a calculator file, not its name.
TEST_F(CalcFileTest, OnlyFilesWithACalculatorKeyOrNoTextAreCalculatorFiles) {
  struct Case {
    const char* what;
    std::string bytes;
    bool calc;
  };
  const Case cases[] = {
      {"no bytes", "", true},
      {"only a byte-order mark", "\xFF\xFE", true},
      {"only line breaks", "\r\n\n", true},
      {"notes", "shopping list\nmilk=2\n", false},
      {"one blank", " ", false},
      {"a key in a text", "see Top=5 below\n", false},
      {"the version line", "Zimro=1.30\r\n", true},
      {"the automatic program", "B0=\\1x\r\n", true},
      {"the last button", "notes\nB70=\r\n", true},
      {"past the last button", "B71=x\n", false},
      {"a leading zero", "B05=x\n", false},
      {"lower case", "b12=\\1x\n", true},
      {"a setting in any case", "text\nDISPFONTSIZE=12\n", true},
      {"an empty setting", "mix3=\n", true},
      {"a setting without =", "Top\n", false},
      {"UTF-16 with its mark", Utf16LeWithMark(u"Left=3\r\n"), true},
      {"UTF-16 notes", Utf16LeWithMark(u"メモ\r\n"), false},
      {"UTF-8 with its mark", "\xEF\xBB\xBFstayontop=1\n", true},
  };
  for (const Case& c : cases) {
    WriteBytes(Path("file.txt"), c.bytes);
    EXPECT_EQ(IsCalcFile(Path16("file.txt")), c.calc) << c.what;
  }
  EXPECT_TRUE(IsCalcFile(Path16("missing.ini")));
}

std::vector<std::string> TempsBeside(const std::filesystem::path& dir, const std::string& name) {
  std::vector<std::string> temps;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string file = e.path().filename();
    if (file.rfind(name + ".tmp-", 0) == 0) temps.push_back(file);
  }
  std::sort(temps.begin(), temps.end());
  return temps;
}

void SetAge(const std::string& path, time_t seconds) {
  const timespec when[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), when, 0), 0);
}

// A save killed half-way leaves its temporary file, named after the file;
// the next save removes it once it is older than the program, and leaves
// newer ones, which may belong to a save of another window.
TEST_F(CalcFileTest, TheNextSaveRemovesTheTemporaryFileOfAKilledSave) {
  WriteBytes(Path("calc.ini"), "old contents");
  FillTable(table_, {{1, u"\\1a long button line to make the file larger than the limit"}});
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Past the size limit the write is killed as by kill -9.
    struct sigaction kill9 {};
    kill9.sa_handler = [](int) { raise(SIGKILL); };
    sigaction(SIGXFSZ, &kill9, nullptr);
    rlimit small{};
    getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(ReadBytes(Path("calc.ini")), "old contents");
  const std::vector<std::string> left = TempsBeside(dir_, "calc.ini");
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].size(), std::string("calc.ini.tmp-123456").size()) << left[0];

  // The killed save was an earlier run's; one of another window is going on.
  SetAge(Path(left[0]), 3600);
  WriteBytes(Path("calc.ini.tmp-Going1"), "a save going on");
  SetAge(Path("calc.ini.tmp-Going1"), -3600);
  WriteBytes(Path("other.ini.tmp-Other1"), "another file's");
  SetAge(Path("other.ini.tmp-Other1"), 3600);
  WriteBytes(Path("calc.ini.tmp-notes.txt"), "a file of the user's");
  SetAge(Path("calc.ini.tmp-notes.txt"), 3600);

  WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_);
  EXPECT_EQ(TempsBeside(dir_, "calc.ini"), (std::vector<std::string>{"calc.ini.tmp-Going1",
                                                                     "calc.ini.tmp-notes.txt"}));
  EXPECT_TRUE(std::filesystem::exists(Path("other.ini.tmp-Other1")));
  EXPECT_NE(ReadBytes(Path("calc.ini")), "old contents");
}

}  // namespace
