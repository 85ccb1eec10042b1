// The display line at the caret, and moving to a fresh next line, on the
// real display.
#include "calculator/forms/runs.h"
#include "support.h"

namespace {

struct LineCase {
  const char* name;
  std::string text;
  int caret;
  std::string current;   // ReadCurrentLine
  std::string advanced;  // the text after AdvanceDisplayLine
  int caretAfter;
};

class LineTest : public CalcWindowTest, public testing::WithParamInterface<LineCase> {};

TEST_P(LineTest, ReadCurrentLineGivesTheLineWithItsLineEnd) {
  const LineCase& c = GetParam();
  SetDisplay(c.text, c.caret);
  EXPECT_EQ(Utf8(ReadCurrentLine()), c.current);
}

TEST_P(LineTest, AdvanceDisplayLineLeavesTheCaretOnAnEmptyNextLine) {
  const LineCase& c = GetParam();
  SetDisplay(c.text, c.caret);
  AdvanceDisplayLine();
  EXPECT_EQ(Display(), c.advanced);
  EXPECT_EQ(form_->MemoOut->SelStart(), c.caretAfter);
  EXPECT_EQ(form_->MemoOut->SelLength(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineTest,
    testing::Values(
        LineCase{"LastLine", "12\r\n34", 5, "34", "12\r\n34\r\n", 8},
        LineCase{"LastLineCaretAtItsStart", "12\r\n34", 4, "34", "12\r\n34\r\n", 8},
        LineCase{"InnerLineEmptiesTheNext", "12\r\n34\r\n56", 1, "12\r\n", "12\r\n\r\n56", 4},
        LineCase{"InnerLineBeforeTheLast", "12\r\n34\r\n56", 5, "34\r\n", "12\r\n34\r\n", 8},
        LineCase{"EmptyDisplay", "", 0, "", "\r\n", 2},
        LineCase{"NextLineAlreadyEmpty", "ab\r\n\r\ncd", 0, "ab\r\n", "ab\r\n\r\ncd", 4}),
    [](const testing::TestParamInfo<LineCase>& c) { return std::string(c.param.name); });

}  // namespace
