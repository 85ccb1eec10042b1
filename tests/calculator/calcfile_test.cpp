#include "calculator/calcfile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "platform/replace.h"
#include "platform/text.h"
#include "tests/asnobody.h"
#include "tests/killedwrite.h"
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
    read_ = ReadCalcFile(path, setting_, table_, pos_);
  }

  wsetting setting_;
  wini table_;
  CalcWindowPos pos_;
  CalcFileRead read_;
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
  LoadBytes(Utf16LeWithMark(u"Zimro=1.30\r\nTop=\r\nB71=\\1x\r\nColour=5\r\nno equals sign\r\nLeft=\r\n"));
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
  int32_t size;   // the setting, saved again as it is
  int32_t shown;  // what the window shows
};

class CalcFileFontSizeTest : public CalcFileTest,
                             public testing::WithParamInterface<FontSizeCase> {};

// The window shows a size within the option dialog's list (8 to 36), so
// that it stays on the screen; the setting keeps the file's size for the
// next save.
TEST_P(CalcFileFontSizeTest, FontSizeIsKeptAndShownWithinTheList) {
  LoadBytes(Utf16LeWithMark(GetParam().file));
  EXPECT_EQ(setting_.dispFontSize, GetParam().size);
  EXPECT_EQ(ShownFontSize(setting_), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    FontSizes, CalcFileFontSizeTest,
    testing::Values(FontSizeCase{u"DispFontSize=-5\r\n", -5, 8},
                    FontSizeCase{u"DispFontSize=0\r\n", 0, 8},
                    FontSizeCase{u"DispFontSize=7\r\n", 7, 8},
                    FontSizeCase{u"DispFontSize=8\r\n", 8, 8},
                    FontSizeCase{u"DispFontSize=13\r\n", 13, 13},
                    FontSizeCase{u"DispFontSize=36\r\n", 36, 36},
                    FontSizeCase{u"DispFontSize=40\r\n", 40, 36},
                    FontSizeCase{u"DispFontSize=2147483647\r\n", 2147483647, 36},
                    FontSizeCase{u"DispFontSize=-2147483648\r\n", INT32_MIN, 8},
                    FontSizeCase{u"DispFontSize=abc\r\n", 0, 8},
                    FontSizeCase{u"DispFontSize=\r\n", 11, 11}));

// Every setting comes back as the file had it, the sizes the window cannot
// show too: the file is for every screen it may be opened on.
TEST_F(CalcFileTest, SettingsAreSavedBackAsTheyWere) {
  const std::u16string texts[] = {u"Zimro=1.30\r\n"
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
                                  u"Mix3=12.5\r\n",
                                  u"Zimro=1.30\r\n"
                                  u"Top=100\r\n"
                                  u"Left=200\r\n"
                                  u"ButtonEditMode=1\r\n"
                                  u"StayOnTop=0\r\n"
                                  u"ButtonDispLine1=0\r\n"
                                  u"ButtonDispLine2=2\r\n"
                                  u"ButtonDispLine3=0\r\n"
                                  u"ButtonDispLine4=4\r\n"
                                  u"DispWidth=100000\r\n"
                                  u"DispHeight=1200\r\n"
                                  u"DispFontSize=40\r\n"
                                  u"FormColor=9981440\r\n"
                                  u"TitleColor=16777215\r\n"
                                  u"TextColor=0\r\n"
                                  u"ButtonColor=12632256\r\n"
                                  u"Mix1=25\r\n"
                                  u"Mix2=50\r\n"
                                  u"Mix3=75\r\n"};
  for (const std::u16string& text : texts) {
    LoadBytes(Utf16LeWithMark(text));
    WriteCalcFile(Path16("again.ini"), setting_, table_, pos_);
    EXPECT_EQ(ReadBytes(Path("again.ini")), Utf16LeWithMark(text));
  }
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

// What a refused file leaves: the table, the settings and the place as they
// were.
void ExpectUnchanged(const wini& table, const wsetting& s, const CalcWindowPos& pos) {
  ASSERT_EQ(table.list->Count(), 72);
  EXPECT_EQ(table.list->Get(3), u"\\1old");
  EXPECT_EQ(table.list->Get(71), u"a 72nd line");
  EXPECT_EQ(s.dispWidth, 7);
  EXPECT_EQ(s.mix3, 7);
  EXPECT_EQ(pos.top, 7);
}

TEST_F(CalcFileTest, UnreadableFileChangesNothing) {
  // A regular file whose read fails.
  Load(u"/proc/self/mem");
  EXPECT_EQ(read_.status, CalcFileStatus::kUnreadable);
  EXPECT_FALSE(read_.loaded);
  EXPECT_EQ(read_.error, "Cannot open file \"/proc/self/mem\". Input/output error");
  ExpectUnchanged(table_, setting_, pos_);
}

// A file its owner may write but not read, as a user other than root: it is
// refused and stays as it was, so that no save replaces it.
TEST_F(CalcFileTest, AFileTheUserMayNotReadIsRefused) {
  WriteBytes(Path("secret.log"), "B1=\\1mine\r\n");
  if (geteuid() == 0) {
    ASSERT_EQ(chown(dir_.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(Path("secret.log").c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(chmod(Path("secret.log").c_str(), 0200), 0);
  const std::u16string path = Path16("secret.log");
  EXPECT_AS_NOBODY([&]() -> std::string {
    Load(path);
    if (read_.status != CalcFileStatus::kUnreadable) return "not refused as unreadable";
    if (read_.error != "Cannot open file \"" + platform::ToUtf8(path) + "\". Permission denied") {
      return "error: " + read_.error;
    }
    if (read_.loaded || table_.list->Get(3) != u"\\1old" || setting_.dispWidth != 7) {
      return "the calculator changed";
    }
    return "";
  });
  EXPECT_EQ(ReadBytes(Path("secret.log")), "B1=\\1mine\r\n");
}

// The file kinds that are never read, each in a child that a read which
// blocks or never ends would hold up: the parent gives up on it after a while.
std::string StatusInChild(const std::u16string& path) {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    // A read of /dev/zero would otherwise fill the memory first.
    rlimit memory{size_t{1} << 30, size_t{1} << 30};
    setrlimit(RLIMIT_AS, &memory);
    wsetting s;
    wini table;
    CalcWindowPos pos;
    const CalcFileRead read = ReadCalcFile(path, s, table, pos);
    const std::string text = std::to_string(static_cast<int>(read.status)) +
                             (read.loaded ? " loaded" : " refused") + (table.list->Count() == 0 ? "" : " changed");
    (void)!write(fds[1], text.data(), text.size());
    _exit(0);
  }
  close(fds[1]);
  pollfd wait{fds[0], POLLIN, 0};
  std::string answer = "no answer within 20 s";
  if (poll(&wait, 1, 20000) == 1) {
    char buffer[64];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    answer = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "the child ended without answering";
  }
  close(fds[0]);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return answer;
}

std::string Refused(CalcFileStatus status) {
  return std::to_string(static_cast<int>(status)) + " refused";
}

TEST_F(CalcFileTest, OnlyARegularFileWithinTheSizeLimitIsRead) {
  ASSERT_EQ(mkfifo(Path("pipe.ini").c_str(), 0600), 0);
  std::filesystem::create_directory(Path("folder.ini"));
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = Path("socket.ini");
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  // Sparse: no disk space is used.
  WriteBytes(Path("large.ini"), "B1=\\1x\r\n");
  std::filesystem::resize_file(Path("large.ini"), kMaxCalcFileBytes + 1);
  std::filesystem::create_symlink(Path("pipe.ini"), Path("link-to-pipe.ini"));

  struct Case {
    const char* what;
    std::u16string path;
    std::string answer;
  };
  const Case cases[] = {
      {"a named pipe", Path16("pipe.ini"), Refused(CalcFileStatus::kNotRegular)},
      {"a link to it", Path16("link-to-pipe.ini"), Refused(CalcFileStatus::kNotRegular)},
      {"an endless device", u"/dev/zero", Refused(CalcFileStatus::kNotRegular)},
      {"an empty device", u"/dev/null", Refused(CalcFileStatus::kNotRegular)},
      {"a folder", Path16("folder.ini"), Refused(CalcFileStatus::kNotRegular)},
      {"a socket", Path16("socket.ini"), Refused(CalcFileStatus::kNotRegular)},
      {"past the size limit", Path16("large.ini"), Refused(CalcFileStatus::kTooLarge)},
  };
  for (const Case& c : cases) EXPECT_EQ(StatusInChild(c.path), c.answer) << c.what;
  close(listener);

  // Refused in this process too, and nothing changes.
  Load(Path16("pipe.ini"));
  EXPECT_FALSE(read_.loaded);
  ExpectUnchanged(table_, setting_, pos_);
  EXPECT_EQ(RefusalText(read_), u"通常のファイルではないため開きません。\n" + Path16("pipe.ini"));
  Load(Path16("large.ini"));
  EXPECT_EQ(read_.status, CalcFileStatus::kTooLarge);
  ExpectUnchanged(table_, setting_, pos_);
  EXPECT_EQ(RefusalText(read_),
            u"電卓ファイルとしては大きすぎるため開きません。\n" + Path16("large.ini"));

  // A file just at the limit is read, and judged by what it holds (here
  // mostly zero bytes).
  std::filesystem::resize_file(Path("large.ini"), kMaxCalcFileBytes);
  Load(Path16("large.ini"));
  EXPECT_EQ(read_.status, CalcFileStatus::kNotCalcFile);
}

// Start-up in a program folder: zimro.ini current when it can be read, the
// template in its place when it is missing; a zimro.ini that is refused is
// reported and nothing is current, so that nothing replaces it at exit.
TEST_F(CalcFileTest, StartupReadsTheDefaultFileOrTheTemplate) {
  enum Kind { kAbsent, kCalc, kNotes, kFolder, kPipe };
  struct Case {
    const char* what;
    Kind ini, si;
    bool current;                        // zimro.ini is the current file
    std::vector<CalcFileStatus> refused;
    const char16_t* button1;             // which file the buttons came from
    const char* shown;                   // the file whose name is the title
  };
  const Case cases[] = {
      {"both", kCalc, kCalc, true, {}, u"\\1zimro.ini", "zimro.ini"},
      {"no zimro.ini", kAbsent, kCalc, true, {}, u"\\1zimro.si", "zimro.si"},
      {"neither", kAbsent, kAbsent, true, {}, u"", "zimro.si"},
      {"notes as zimro.ini", kNotes, kCalc, false, {CalcFileStatus::kNotCalcFile},
       u"\\1zimro.si", "zimro.si"},
      {"a folder as zimro.ini", kFolder, kAbsent, false, {CalcFileStatus::kNotRegular}, u"",
       "zimro.si"},
      {"a pipe as zimro.ini", kPipe, kCalc, false, {CalcFileStatus::kNotRegular},
       u"\\1zimro.si", "zimro.si"},
      {"a pipe as the template", kAbsent, kPipe, true, {CalcFileStatus::kNotRegular}, u"",
       "zimro.si"},
      {"neither can be read", kNotes, kFolder, false,
       {CalcFileStatus::kNotCalcFile, CalcFileStatus::kNotRegular}, u"", "zimro.si"},
  };
  const std::u16string folder = Path16("prog");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(Path("prog"));
    std::filesystem::create_directory(Path("prog"));
    for (const auto& [kind, name] : {std::pair{c.ini, "zimro.ini"}, std::pair{c.si, "zimro.si"}}) {
      const std::string path = Path("prog/" + std::string(name));
      if (kind == kCalc) WriteBytes(path, "B1=\\1" + std::string(name) + "\r\nDispWidth=300\r\n");
      if (kind == kNotes) WriteBytes(path, "shopping\nmilk=2\n");
      if (kind == kFolder) std::filesystem::create_directory(path);
      if (kind == kPipe) {
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
      }
    }
    wsetting s;
    wini table;
    CalcWindowPos pos;
    const StartupRead start = ReadStartupCalcFile(folder, s, table, pos);
    EXPECT_EQ(start.currentPath, c.current ? folder + u"/zimro.ini" : u"");
    std::vector<CalcFileStatus> refused;
    for (const CalcFileRead& r : start.refused) refused.push_back(r.status);
    EXPECT_EQ(refused, c.refused);
    EXPECT_EQ(start.shownPath, folder + u"/" + platform::FromUtf8(c.shown));
    ASSERT_EQ(table.list->Count(), 71);
    EXPECT_EQ(table.list->Get(1), c.button1);
    EXPECT_EQ(s.dispWidth, c.button1[0] == 0 ? 150 : 300);
  }
}

// What a file holds decides whether it is a calculator file, not its name:
// another kind is refused and changes nothing.
TEST_F(CalcFileTest, OnlyCalculatorFilesAreRead) {
  struct Case {
    const char* what;
    std::string bytes;
    bool calc;
  };
  const Case cases[] = {
      {"no bytes", "", true},
      {"only a byte-order mark", "\xFF\xFE", true},
      {"only line breaks", "\r\n\n", true},
      {"only blanks", " \t\r\n  \n", true},
      {"the version line", "Zimro=1.30\r\n", true},
      {"the version line in any case", "ZIMRO=2\r\n", true},
      {"the version line, then other lines", "Zimro=1.30\r\nB1=\\1a\r\nb\\53100\r\n", true},
      {"the version line not first", "notes\nZimro=1.30\n", false},
      {"written by hand", "b1=\\1x\nTop=5\n\nDISPFONTSIZE=12\n", true},
      {"an empty setting", "mix3=\n", true},
      {"the last button", "B70=\r\n", true},
      {"UTF-16 with its mark", Utf16LeWithMark(u"Left=3\r\n"), true},
      {"UTF-8 with its mark", "\xEF\xBB\xBFstayontop=1\n", true},
      {"notes", "shopping list\nmilk=2\n", false},
      {"notes with a key-like line", "call list\nb1=call mum\n", false},
      {"one key amid notes", "notes\nB70=\r\n", false},
      {"only pairs, none a key", "milk=2\neggs=6\n", false},
      {"past the last button", "B71=x\n", false},
      {"a leading zero", "B05=x\n", false},
      {"a key in a text", "see Top=5 below\n", false},
      {"a setting without =", "Top\n", false},
      {"a line without a name", "Top=5\n=5\n", false},
      {"another program's settings",
       "[Window]\r\nTop=5\r\nLeft=10\r\nWidth=800\r\n\r\n[Recent]\r\nFile1=/home/a/b.txt\r\n", false},
      {"a picture", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\nB0=\\1x\n", 24), false},
      {"UTF-16 notes", Utf16LeWithMark(u"メモ\r\nB1=x\r\n"), false},
  };
  for (const Case& c : cases) {
    LoadBytes(c.bytes);
    EXPECT_EQ(read_.loaded, c.calc) << c.what;
    EXPECT_EQ(read_.status, c.calc ? CalcFileStatus::kRead : CalcFileStatus::kNotCalcFile) << c.what;
    if (c.calc) {
      EXPECT_EQ(table_.list->Count(), 71) << c.what;
    } else {
      ExpectUnchanged(table_, setting_, pos_);
      EXPECT_EQ(RefusalText(read_), u"電卓ファイルではないため開きません。\n" + Path16("calc.ini"))
          << c.what;
    }
  }
}

// A relative path names a file in the folder current when it is read, and
// the read gives it in full.
TEST_F(CalcFileTest, RelativePathsAreTakenInTheCurrentFolder) {
  std::filesystem::create_directory(Path("sub"));
  WriteBytes(Path("sub/b.ini"), "B1=\\1b\r\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  Load(u"sub/b.ini");
  const CalcFileRead relative = read_;
  Load(u"missing.ini");
  const CalcFileRead missing = read_;
  std::filesystem::current_path(before);
  EXPECT_EQ(relative.path, Path16("sub/b.ini"));
  EXPECT_EQ(relative.status, CalcFileStatus::kRead);
  EXPECT_EQ(missing.path, Path16("missing.ini"));
  EXPECT_TRUE(missing.loaded);
  EXPECT_EQ(AbsolutePath(u"/a/b.ini"), u"/a/b.ini");
  EXPECT_EQ(AbsolutePath(u""), u"");
}

TEST_F(CalcFileTest, AMissingFileIsLeftAloneWhenAskedTo) {
  FillTable(table_, {{1, u"\\1kept"}});
  const CalcFileRead read = ReadCalcFile(Path16("none.ini"), setting_, table_, pos_, IfMissing::kLeave);
  EXPECT_EQ(read.status, CalcFileStatus::kMissing);
  EXPECT_FALSE(read.loaded);
  EXPECT_EQ(table_.list->Get(1), u"\\1kept");
}

// One table of keys drives the read, the write, the defaults and
// SetOption's ranges.
TEST(CalcFileKeysTest, EveryKeyOnce) {
  std::vector<std::u16string> names;
  for (const CalcFileKey& key : CalcFileKeys()) {
    names.emplace_back(key.name);
    EXPECT_EQ(FindCalcFileKey(key.name), &key);
    EXPECT_EQ((key.position != nullptr) + (key.number != nullptr) + (key.real != nullptr), 1)
        << platform::ToUtf8(key.name);
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{
                       u"Top", u"Left", u"ButtonEditMode", u"StayOnTop", u"ButtonDispLine1",
                       u"ButtonDispLine2", u"ButtonDispLine3", u"ButtonDispLine4", u"DispWidth",
                       u"DispHeight", u"DispFontSize", u"FormColor", u"TitleColor", u"TextColor",
                       u"ButtonColor", u"Mix1", u"Mix2", u"Mix3"}));
  EXPECT_EQ(FindCalcFileKey(u"dispfontsize"), FindCalcFileKey(u"DispFontSize"));
  EXPECT_EQ(FindCalcFileKey(u"Zimro"), nullptr);
  struct Option {
    int32_t option;
    const char16_t* key;
    int32_t low, high;
  };
  const Option options[] = {{1, u"ButtonEditMode", 0, 1},  {2, u"StayOnTop", 0, 1},
                            {3, u"ButtonDispLine1", 0, 10}, {4, u"ButtonDispLine2", 0, 4},
                            {5, u"ButtonDispLine3", 0, 4},  {6, u"ButtonDispLine4", 0, 4},
                            {7, u"DispWidth", 130, INT32_MAX}, {8, u"DispHeight", 30, INT32_MAX},
                            {9, u"DispFontSize", 8, 36},
                            {10, u"FormColor", INT32_MIN, INT32_MAX}};
  for (const Option& o : options) {
    const CalcFileKey* key = OptionKey(o.option);
    ASSERT_NE(key, nullptr) << o.option;
    EXPECT_EQ(std::u16string(key->name), o.key);
    EXPECT_EQ(key->low, o.low) << o.option;
    EXPECT_EQ(key->high, o.high) << o.option;
  }
  EXPECT_EQ(OptionKey(0), nullptr);
  EXPECT_EQ(OptionKey(11), nullptr);
}

std::vector<std::string> NamesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void SetAge(const std::string& path, time_t seconds) {
  const timespec when[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), when, 0), 0);
}

const std::string kCalcBytes = Utf16LeWithMark(u"Zimro=1.30\r\nB1=\\1old\r\n");

// A save killed half-way (past a file-size limit, as by kill -9) leaves the
// old file whole and nothing beside it; the next save leaves the user's
// files of every name, also those named like a save's temporary file.
TEST_F(CalcFileTest, AKilledSaveLeavesNothingAndNoSaveRemovesTheUsersFiles) {
  WriteBytes(Path("calc.ini"), kCalcBytes);
  FillTable(table_, {{1, u"\\1a long button line to make the file larger than the limit"}});
  ASSERT_TRUE(
      KilledDuringTheWrite([&] { WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_); }));
  EXPECT_EQ(ReadBytes(Path("calc.ini")), kCalcBytes);
  EXPECT_EQ(NamesIn(dir_), std::vector<std::string>{"calc.ini"});

  // The user's files, older than the program.
  const std::vector<std::string> users = {"calc.ini.tmp-backup", "calc.ini.tmp-201412",
                                          "calc.ini.tmp-a1b2c3"};
  for (const std::string& name : users) {
    WriteBytes(Path(name), kCalcBytes);
    SetAge(Path(name), 3600);
  }
  WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_);
  for (const std::string& name : users) EXPECT_EQ(ReadBytes(Path(name)), kCalcBytes) << name;
  EXPECT_EQ(NamesIn(dir_).size(), users.size() + 1);
  EXPECT_NE(ReadBytes(Path("calc.ini")), kCalcBytes);
}

// Where a save was killed between writing its temporary file and putting
// it in place, the next save of the same file removes what it left.
TEST_F(CalcFileTest, TheNextSaveRemovesWhatAKilledSaveLeft) {
  WriteBytes(Path("calc.ini"), kCalcBytes);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string temp;
    const int fd = platform::CreateTempBeside(Path("calc.ini"), temp);
    (void)!write(fd, "\xFF\xFEZ\0", 4);
    raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(NamesIn(dir_).size(), 2u);
  WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_);
  EXPECT_EQ(NamesIn(dir_), std::vector<std::string>{"calc.ini"});
}

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct AtPathCase {
  const char* what;
  std::function<void(const std::string& dir)> make;  // what stands at dir/linked, or nothing
  bool replaced;
};

class CalcFileAtPathTest : public CalcFileTest, public testing::WithParamInterface<AtPathCase> {};

// The current file was swapped for a link since it was loaded: the save
// follows it only onto a calculator file or a missing one. Anything else is
// named in the error and left as it was, the link too.
TEST_P(CalcFileAtPathTest, OnlyACalculatorFileOrNoneIsReplaced) {
  const AtPathCase& c = GetParam();
  std::filesystem::create_directory(Path("other"));
  c.make(Path("other"));
  std::filesystem::create_symlink("other/linked", Path("calc.ini"));
  const std::string before = std::filesystem::is_regular_file(Path("other/linked"))
                                 ? ReadBytes(Path("other/linked"))
                                 : std::string();
  FillTable(table_, {{1, u"\\1saved"}});
  ApplyLoadDefaults(setting_);
  if (c.replaced) {
    WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_);
    EXPECT_EQ(ReadBytes(Path("other/linked")).substr(0, 32),
              Utf16LeWithMark(u"Zimro=1.30\r\nB1="));
  } else {
    try {
      WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_);
      ADD_FAILURE() << "saved over " << c.what;
    } catch (const EFCreateError& e) {
      EXPECT_NE(std::string(e.what()).find("Cannot create file \"" + Path("calc.ini") + "\". 「" +
                                           Path("other/linked") + "」は"),
                std::string::npos)
          << e.what();
    }
    if (std::filesystem::is_regular_file(Path("other/linked"))) {
      EXPECT_EQ(ReadBytes(Path("other/linked")), before);
    }
    EXPECT_EQ(NamesIn(Path("other")), std::vector<std::string>{"linked"});
  }
  EXPECT_TRUE(std::filesystem::is_symlink(Path("calc.ini")));
  EXPECT_EQ(std::filesystem::read_symlink(Path("calc.ini")), "other/linked");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalcFileAtPathTest,
    testing::Values(
        AtPathCase{"a settings file", [](const std::string& d) {
                     Put(d + "/linked", "[main]\nlevel=3\n"); }, false},
        AtPathCase{"a file of name=value lines", [](const std::string& d) {
                     Put(d + "/linked", "milk=2\neggs=6\n"); }, false},
        AtPathCase{"a pipe", [](const std::string& d) {
                     mkfifo((d + "/linked").c_str(), 0600); }, false},
        AtPathCase{"a file too large to be one", [](const std::string& d) {
                     Put(d + "/linked", "Zimro=1.30\r\n");
                     std::filesystem::resize_file(d + "/linked", kMaxCalcFileBytes + 1); }, false},
        AtPathCase{"a calculator file", [](const std::string& d) {
                     Put(d + "/linked", "B1=\\1x\r\n"); }, true},
        AtPathCase{"nothing", [](const std::string&) {}, true}),
    [](const testing::TestParamInfo<AtPathCase>& param) {
      std::string name;
      for (const char* p = param.param.what; *p; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      }
      return name;
    });

// 71 button lines of labels of about one length, `units` units in all.
void FillTableTo(wini& table, int64_t units) {
  table.list->Clear();
  for (int i = 0; i < 71; ++i) {
    const int64_t share = units / 71 + (i < units % 71 ? 1 : 0);
    table.AddLine(wvar((u"\\1" + std::u16string(static_cast<size_t>(share) - 2, u'a')).c_str()));
  }
}

// Whether two lists of lines are the same, without printing lines of megabytes.
::testing::AssertionResult SameLines(const Lines& a, const Lines& b) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " lines, not " << b.size();
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) {
      return ::testing::AssertionFailure()
             << "line " << i << " differs: " << a[i].size() << " units, not " << b[i].size();
    }
  }
  return ::testing::AssertionSuccess();
}

// Whatever the calculator can save opens again whole, wherever the window
// stands and whatever the settings: no change to a button makes the file
// larger than that, by one unit or by many.
TEST_F(CalcFileTest, WhatEverySaveWritesOpensAgain) {
  // The bytes of the button lines' keys and line ends, of the version line
  // and of the settings at their longest texts.
  int64_t fixed = 2 + 2 * 12;
  for (const CalcFileKey& key : CalcFileKeys()) {
    fixed += 2 * (std::char_traits<char16_t>::length(key.name) + 1 + (key.real ? 31 : 11) + 2);
  }
  for (int i = 0; i < 71; ++i) fixed += 2 * (std::to_string(i).size() + 2 + 2);
  const int64_t most = (kMaxCalcFileBytes - fixed) / 2;

  FillTableTo(table_, most - 1);
  const std::u16string last = table_.list->Get(70);
  EXPECT_TRUE(FitsCalcFile(table_, 70, last + u"b"));
  EXPECT_FALSE(FitsCalcFile(table_, 70, last + u"bc"));
  EXPECT_TRUE(ChangeButtonLine(table_, 70, [](wini& line) { line.SetLine(0, wvar(u"short")); }));
  EXPECT_TRUE(table_.list->Get(70) == u"short");
  table_.list->Put(70, last);
  // A program is kept hex-coded: four units a unit.
  EXPECT_FALSE(ChangeButtonLine(table_, 70, [](wini& line) { line.SetField(0, 5, wvar(u"a")); }));
  EXPECT_TRUE(table_.list->Get(70) == last);
  table_.list->Put(70, last + u"b");
  EXPECT_EQ(CalcFileBytes(table_), kMaxCalcFileBytes - (kMaxCalcFileBytes - fixed) % 2);

  // Saved with the settings at their longest, and opened again whole.
  const Lines saved = LinesOf(table_);
  ApplyLoadDefaults(setting_);
  setting_.dispWidth = INT32_MIN;
  setting_.formColor = INT32_MIN;
  setting_.mix1 = -1.23456789012345e-308;
  setting_.mix2 = -1.79769313486231e308;
  WriteCalcFile(Path16("calc.ini"), setting_, table_, CalcWindowPos{INT32_MIN, INT32_MIN});
  EXPECT_LE(static_cast<int64_t>(std::filesystem::file_size(Path("calc.ini"))), kMaxCalcFileBytes);
  Load(Path16("calc.ini"));
  EXPECT_TRUE(read_.loaded) << static_cast<int>(read_.status);
  EXPECT_TRUE(SameLines(LinesOf(table_), saved));
  EXPECT_EQ(setting_.mix2, -1.79769313486231e308);

  // Lines put in the table some other way are never written past the limit.
  FillTableTo(table_, most + 1);
  EXPECT_THROW(WriteCalcFile(Path16("calc.ini"), setting_, table_, pos_), EFCreateError);
  Load(Path16("calc.ini"));
  EXPECT_TRUE(SameLines(LinesOf(table_), saved));
}

// A file of 8-bit text within the size limit can hold more than a save of
// it can: such a file is refused, not loaded to be saved where it would not
// open again.
TEST_F(CalcFileTest, AFileThatWouldSaveTooLargeIsRefused) {
  std::string ansi = "Zimro=1.30\r\n";
  for (int i = 0; i < 71; ++i) {
    ansi.append("B").append(std::to_string(i)).append("=\\1").append(kMaxCalcFileBytes / 2 / 71, 'x');
    ansi += '\n';
  }
  ASSERT_LE(static_cast<int64_t>(ansi.size()), kMaxCalcFileBytes);
  LoadBytes(ansi);
  EXPECT_EQ(read_.status, CalcFileStatus::kTooLarge);
  ExpectUnchanged(table_, setting_, pos_);

  // Half of that is loaded, saved and opened again.
  ansi = "Zimro=1.30\r\n";
  for (int i = 0; i < 71; ++i) {
    ansi.append("B").append(std::to_string(i)).append("=\\1").append(kMaxCalcFileBytes / 4 / 71, 'x');
    ansi += '\n';
  }
  LoadBytes(ansi);
  ASSERT_TRUE(read_.loaded);
  const Lines loaded = LinesOf(table_);
  WriteCalcFile(Path16("again.ini"), setting_, table_, pos_);
  Load(Path16("again.ini"));
  EXPECT_TRUE(read_.loaded);
  EXPECT_TRUE(SameLines(LinesOf(table_), loaded));
}

// A file of nothing but line ends, as large as a calculator file may be,
// is an empty calculator file (its memory and time: make bench).
TEST_F(CalcFileTest, AFileOfLineEndsAtTheLimitLoadsAsAnEmptyOne) {
  WriteBytes(Path("calc.ini"), std::string(kMaxCalcFileBytes, '\n'));
  Load(Path16("calc.ini"));
  EXPECT_TRUE(read_.loaded);
  EXPECT_EQ(LinesOf(table_), Lines(71, u""));
  ExpectDefaults(setting_, pos_);
}

}  // namespace
