#include "calculator/display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testtext.h"

namespace {

struct LineCase {
  std::u16string text;
  int32_t caret;
  std::u16string line;
  friend void PrintTo(const LineCase& c, std::ostream* os) {
    *os << Show(c.text) << " at " << c.caret;
  }
};

class ReadCurrentLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ReadCurrentLineTest, LineAtTheCaret) {
  EXPECT_EQ(Show(ReadCurrentLine(GetParam().text, GetParam().caret)), Show(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadCurrentLineTest,
    testing::Values(LineCase{u"", 0, u""}, LineCase{u"7", 1, u"7"}, LineCase{u"7", 0, u"7"},
                    LineCase{u"1\r\n2+3\r\n4", 3, u"2+3\r\n"},   // at the line's start
                    LineCase{u"1\r\n2+3\r\n4", 6, u"2+3\r\n"},   // before its CR
                    LineCase{u"1\r\n2+3\r\n4", 7, u"2+3\r\n"},   // between CR and LF
                    LineCase{u"1\r\n2+3\r\n4", 8, u"4"},         // the last line
                    LineCase{u"1\r\n2+3\r\n", 8, u""},           // empty last line
                    LineCase{u"1\r\n2", 99, u"2"}));             // caret past the end

struct AdvanceCase {
  std::u16string text;
  int32_t caret;
  std::u16string after;
  int32_t caretAfter;
  friend void PrintTo(const AdvanceCase& c, std::ostream* os) {
    *os << Show(c.text) << " at " << c.caret;
  }
};

class AdvanceDisplayLineTest : public testing::TestWithParam<AdvanceCase> {};

TEST_P(AdvanceDisplayLineTest, CaretOnAnEmptyNextLine) {
  DisplayState d = AdvanceDisplayLine(GetParam().text, GetParam().caret);
  EXPECT_EQ(Show(d.text), Show(GetParam().after));
  EXPECT_EQ(d.selStart, GetParam().caretAfter);
  EXPECT_EQ(d.selLength, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AdvanceDisplayLineTest,
    testing::Values(
        // The last line: CR LF appended, wherever the caret stands on it
        AdvanceCase{u"", 0, u"\r\n", 2}, AdvanceCase{u"2+3", 1, u"2+3\r\n", 5},
        AdvanceCase{u"a\r\n2+3", 3, u"a\r\n2+3\r\n", 8},
        // An inner line: the next line's text emptied, its CR LF kept
        AdvanceCase{u"2+3\r\nold\r\nrest", 1, u"2+3\r\n\r\nrest", 5},
        AdvanceCase{u"2+3\r\nold", 0, u"2+3\r\n", 5},        // next line is the last
        AdvanceCase{u"2+3\r\n\r\nrest", 3, u"2+3\r\n\r\nrest", 5},  // already empty
        AdvanceCase{u"2+3\r\n", 0, u"2+3\r\n", 5},
        AdvanceCase{u"a\nb\nc", 0, u"a\n\nc", 2}));          // LF without CR

std::vector<std::u16string> Pieces(const std::vector<PrintStep>& steps) {
  std::vector<std::u16string> out;
  for (const PrintStep& s : steps) out.push_back(s.clear ? u"<clear>" : s.piece);
  return out;
}

using Texts = std::vector<std::u16string>;

TEST(PrintStepsTest, LineFeedsBecomeCrLfAndEndAPiece) {
  EXPECT_EQ(Pieces(PrintSteps(u"A\nB")), (Texts{u"A\r\n", u"B"}));
  EXPECT_EQ(Pieces(PrintSteps(u"A\r\nB")), (Texts{u"A\r\n", u"B"}));
  EXPECT_EQ(Pieces(PrintSteps(u"\n\n")), (Texts{u"\r\n", u"\r\n"}));
  EXPECT_EQ(Pieces(PrintSteps(u"")), Texts{});
  EXPECT_EQ(Pieces(PrintSteps(u"\r\r")), Texts{});
  EXPECT_EQ(Pieces(PrintSteps(std::u16string(u"ab\0cd", 5))), (Texts{u"ab"}));
}

TEST(PrintStepsTest, LongTextArrivesInPiecesOf254) {
  std::u16string text(300, u'x');
  EXPECT_EQ(Pieces(PrintSteps(text)), (Texts{std::u16string(254, u'x'), std::u16string(46, u'x')}));
  std::u16string exact(508, u'y');
  EXPECT_EQ(Pieces(PrintSteps(exact)), (Texts{std::u16string(254, u'y'), std::u16string(254, u'y')}));
  // CRs do not count towards a piece.
  std::u16string withCr = std::u16string(253, u'z') + u"\r" + u"zz";
  EXPECT_EQ(Pieces(PrintSteps(withCr)), (Texts{std::u16string(254, u'z'), u"z"}));
}

TEST(PrintStepsTest, Escapes) {
  EXPECT_EQ(Pieces(PrintSteps(u"\x1b*")), (Texts{u"<clear>"}));
  EXPECT_EQ(Pieces(PrintSteps(u"abc\x1b*def")), (Texts{u"<clear>", u"abcdef"}));
  EXPECT_EQ(Pieces(PrintSteps(u"a\n\x1b*b")), (Texts{u"a\r\n", u"<clear>", u"b"}));
  EXPECT_EQ(Pieces(PrintSteps(u"a\x1bxb")), (Texts{u"axb"}));  // other ESC dropped
  EXPECT_EQ(Pieces(PrintSteps(u"a\x1b")), (Texts{u"a"}));       // lone ESC at the end
  EXPECT_EQ(Pieces(PrintSteps(u"\x1b\x1b*")), (Texts{u"<clear>"}));
}

struct PrintCase {
  const char16_t* text;
  int32_t selStart;
  int32_t selLength;
  std::u16string printed;
  std::u16string after;
  int32_t caretAfter;
  friend void PrintTo(const PrintCase& c, std::ostream* os) {
    *os << Show(c.text) << " printing " << Show(c.printed);
  }
};

class ApplyPrintTest : public testing::TestWithParam<PrintCase> {};

TEST_P(ApplyPrintTest, DisplayAfterPrinting) {
  DisplayState d;
  d.text = GetParam().text;
  d.selStart = GetParam().selStart;
  d.selLength = GetParam().selLength;
  ApplyPrint(d, PrintSteps(GetParam().printed));
  EXPECT_EQ(Show(d.text), Show(GetParam().after));
  EXPECT_EQ(d.selStart, GetParam().caretAfter);
  EXPECT_EQ(d.selLength, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Displays, ApplyPrintTest,
    testing::Values(
        PrintCase{u"12", 1, 0, u"A\nB", u"1A\r\nB2", 5},      // at the caret
        PrintCase{u"1xx2", 1, 2, u"5", u"152", 2},            // over the selection
        PrintCase{u"old text", 3, 0, u"abc\x1b*def", u"abcdef", 6},
        PrintCase{u"old", 3, 0, u"\x1b*", u"", 0},
        PrintCase{u"", 0, 0, std::u16string(300, u'x'), std::u16string(300, u'x'), 300}));

TEST(WidgetTextTest, CrLfAndPositionsMapBothWays) {
  std::u16string text = u"ab\r\ncd\r\n\r\ne";
  EXPECT_EQ(ToWidgetText(text), u"ab\ncd\n\ne");
  EXPECT_EQ(FromWidgetText(u"ab\ncd\n\ne"), text);
  // position in the display text -> position in the widget text
  const int32_t pairs[][2] = {{0, 0}, {2, 2}, {4, 3}, {6, 5}, {8, 6}, {10, 7}, {11, 8}};
  for (auto [pos, widgetPos] : pairs) {
    EXPECT_EQ(ToWidgetPos(text, pos), widgetPos) << pos;
    EXPECT_EQ(FromWidgetPos(u"ab\ncd\n\ne", widgetPos), pos) << widgetPos;
  }
  EXPECT_EQ(ToWidgetPos(text, 3), 2);  // between CR and LF: before the line end
}

}  // namespace
