// Which files are calculator files, by what they hold and where they lie:
// the version line counts only as a file's first line, and a path that runs
// through a regular file names no file. Opening and saving judge alike.
#include "calculator/calcfile.h"

#include <gtest/gtest.h>

#include <string>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "tempdir.h"

namespace {

// A table of 71 lines, button 1 labelled `label`.
void OneButton(wini& table, const char16_t* label) {
  table.list->Clear();
  for (int i = 0; i < 71; ++i) table.AddLine(wvar(u""));
  table.list->Put(1, label);
}

struct KindCase {
  const char* what;
  const char* bytes;
  bool calc;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.what; }

class RecognitionTest : public TempDirTest, public testing::WithParamInterface<KindCase> {};

// Opened or refused, and a save over it made or refused with the file left
// as it was.
TEST_P(RecognitionTest, OpenedAndReplacedOnlyWhenACalculatorFile) {
  const KindCase& c = GetParam();
  WriteBytes(Path("file.ini"), c.bytes);
  wsetting s;
  wini table;
  CalcWindowPos pos;
  OneButton(table, u"\\1kept");
  const CalcFileRead read = ReadCalcFile(Path16("file.ini"), s, table, pos);
  EXPECT_EQ(read.loaded, c.calc);
  EXPECT_EQ(read.status, c.calc ? CalcFileStatus::kRead : CalcFileStatus::kNotCalcFile);
  if (!c.calc) {
    EXPECT_EQ(table.list->Get(1), u"\\1kept");
    EXPECT_EQ(RefusalText(read), u"電卓ファイルではないため開きません。\n" + Path16("file.ini"));
  }

  OneButton(table, u"\\1saved");
  ApplyLoadDefaults(s);
  try {
    WriteCalcFile(Path16("file.ini"), s, table, pos);
    EXPECT_TRUE(c.calc) << "saved over it";
    EXPECT_EQ(ReadBytes(Path("file.ini")).substr(0, 4), std::string("\xFF\xFEZ\0", 4));
  } catch (const EFCreateError& e) {
    EXPECT_FALSE(c.calc) << e.what();
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + Path("file.ini") +
                                         "\". 電卓ファイルではないため置き換えません。");
    EXPECT_EQ(ReadBytes(Path("file.ini")), c.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecognitionTest,
    testing::Values(
        // Only the first line that holds text may be the version line.
        KindCase{"VersionLikeLineAfterPairsWithoutAKey", "milk=2\r\nZimro=1.30\r\n", false},
        KindCase{"VersionLikeLineAfterAKeyThenNotes", "Top=5\r\nZimro=1.30\r\nnotes\r\n", false},
        KindCase{"VersionLikeLineAfterAKey", "Top=5\r\nzimro=2\r\n", true},
        KindCase{"VersionLineAfterBlankLinesThenNotes", "\r\n \t\r\nZimro=1.30\r\nnotes\r\n",
                 true}),
    [](const testing::TestParamInfo<KindCase>& c) { return std::string(c.param.what); });

class MissingPathTest : public TempDirTest {};

// A path through a regular file (notes.txt/x.ini) names no file, as a
// missing one: it opens as empty, or is left alone when asked to.
TEST_F(MissingPathTest, APathThroughARegularFileCountsAsMissing) {
  WriteBytes(Path("notes.txt"), "shopping\n");
  for (const IfMissing missing : {IfMissing::kLoadEmpty, IfMissing::kLeave}) {
    SCOPED_TRACE(missing == IfMissing::kLoadEmpty ? "loaded empty" : "left alone");
    wsetting s;
    wini table;
    CalcWindowPos pos;
    OneButton(table, u"\\1kept");
    const CalcFileRead read = ReadCalcFile(Path16("notes.txt/x.ini"), s, table, pos, missing);
    EXPECT_EQ(read.status, CalcFileStatus::kMissing);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.loaded, missing == IfMissing::kLoadEmpty);
    EXPECT_EQ(table.list->Get(1), missing == IfMissing::kLoadEmpty ? u"" : u"\\1kept");
  }
  EXPECT_EQ(ReadBytes(Path("notes.txt")), "shopping\n");
}

}  // namespace
