#include "calculator/classify.h"

#include <gtest/gtest.h>

#include <string>

#include "testtext.h"

namespace {

struct KindCase {
  std::u16string text;
  int32_t kind;
  friend void PrintTo(const KindCase& c, std::ostream* os) { *os << Show(c.text); }
};

class ClassifyTextTest : public testing::TestWithParam<KindCase> {};

TEST_P(ClassifyTextTest, Kind) { EXPECT_EQ(ClassifyText(GetParam().text), GetParam().kind); }

INSTANTIATE_TEST_SUITE_P(
    Texts, ClassifyTextTest,
    testing::Values(
        // Blank
        KindCase{u"", 0}, KindCase{u" \t\r\n\r\n ", 0},
        KindCase{std::u16string(u"  \0x", 4), 0},  // a NUL ends the text
        // Button records: a backslash and a field marker after the blanks
        KindCase{u"\\2ff0000", 1}, KindCase{u"  \\1Sin\\53100", 1}, KindCase{u"\\'a", 1},
        KindCase{u"\\c0", 1}, KindCase{u"\\B0", 1}, KindCase{u"\\/x", 1}, KindCase{u"\\=x", 1},
        KindCase{u"\\6", 1}, KindCase{u"\\7", 5}, KindCase{u"\\x", 5},
        // The skipped backslash of a non-record still counts for the rest
        KindCase{u"\\print 1", 4}, KindCase{u"\\execline", 3},
        // Numbers, only from the first unit
        KindCase{u"7", 2}, KindCase{u"12", 2}, KindCase{u"-3.5", 2}, KindCase{u"1e5", 2},
        KindCase{u"1.5E-3", 2}, KindCase{u".", 2}, KindCase{u"-", 2}, KindCase{u"1e", 2},
        KindCase{u"1e-", 2}, KindCase{u"12\r\n34\r\nabc", 2}, KindCase{u"1.e5", 2},
        KindCase{u"  12", 5}, KindCase{u"1.5.", 5}, KindCase{u"+1", 5}, KindCase{u"e5", 5},
        KindCase{u"1e5+2", 5}, KindCase{u"--1", 5}, KindCase{u"12 ", 5},
        // EXECLINE in any case
        KindCase{u"execline", 3}, KindCase{u"  ExecLine + 1", 3}, KindCase{u"EXECLINEX", 3},
        // Statements: "=" anywhere, or one of the heads as a plain prefix
        KindCase{u"x = 3", 4}, KindCase{u"a == b", 4}, KindCase{u"PRINT 1", 4},
        KindCase{u"print 1", 4}, KindCase{u"PRINTER", 4}, KindCase{u"iffy", 4},
        KindCase{u"endless", 4}, KindCase{u"' note", 4}, KindCase{u"rem", 4}, KindCase{u"Dim a", 4},
        KindCase{u"let", 4}, KindCase{u"while 1", 4}, KindCase{u"for", 4}, KindCase{u"break", 4},
        KindCase{u"sub f", 4}, KindCase{u"return", 4}, KindCase{u"input", 4}, KindCase{u"new", 4},
        KindCase{u"stop", 4}, KindCase{u"  \tprint 1", 4},
        // Everything else
        KindCase{u"EXIT", 5}, KindCase{u"exit", 5}, KindCase{u"sin(", 5}, KindCase{u"+", 5},
        KindCase{u"2+3", 5}, KindCase{u"Ans*2", 5}, KindCase{u"x < 3", 5},
        KindCase{u"\u5186", 5}));

TEST(IsNumberTextTest, ScanRules) {
  EXPECT_EQ(IsNumberText(u""), 1);
  EXPECT_EQ(IsNumberText(u"1e.5"), 1);  // one point anywhere, also after the E
  EXPECT_EQ(IsNumberText(u"1.5e.5"), 0);
  EXPECT_EQ(IsNumberText(u"1e5e"), 0);
  EXPECT_EQ(IsNumberText(u"1e+-5"), 0);
  EXPECT_EQ(IsNumberText(u"1e5-"), 0);  // a sign only right after the E
  EXPECT_EQ(IsNumberText(u"-1\n"), 1);
  EXPECT_EQ(IsNumberText(u"E5"), 0);
  EXPECT_EQ(IsNumberText(u"5-"), 0);
}

TEST(IsStatementTextTest, TakesUpperCasedText) {
  EXPECT_EQ(IsStatementText(u"PRINT"), 1);
  EXPECT_EQ(IsStatementText(u"print"), 0);
  EXPECT_EQ(IsStatementText(u"X=1"), 1);
  EXPECT_EQ(IsStatementText(u"EXIT"), 0);
  EXPECT_EQ(IsStatementText(u" PRINT"), 0);
}

TEST(RunScriptsTest, TextsHandedToTheInterpreter) {
  EXPECT_EQ(TypingScript(u"sin("), u"PRINT \"sin(\"");
  EXPECT_EQ(TypingScript(u"a\"b"), u"PRINT \"a\"b\"");  // no escaping
  EXPECT_EQ(LineScript(tkStatement, u"x=1\r\n"), u"x=1\r\n");
  EXPECT_EQ(LineScript(tkExpression, u"2+3\r\n"), u"PRINT 2+3\r\n");
  EXPECT_EQ(LineScript(tkButtonRecord, u"\\1a"), u"PRINT \\1a");
  EXPECT_EQ(NumberLineScript(u"7\r\n"), u"Let Ans =7\r\n");
  EXPECT_EQ(ResultToAnsScript(u"5"), u"Let Ans = 5");
}

}  // namespace
