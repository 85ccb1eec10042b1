// Printing into the display: what a script's PRINT leaves there, and in
// which pieces it arrives.
#include <QTextDocument>

#include "support.h"

namespace {

struct PrintCase {
  const char* name;
  std::string before;  // display text, caret at its end
  std::string script;
  std::string after;
};

class PrintTest : public CalcWindowTest, public testing::WithParamInterface<PrintCase> {};

TEST_P(PrintTest, LeavesTheDisplayText) {
  const PrintCase& c = GetParam();
  SetDisplay(c.before, static_cast<int>(U16(c.before).size()));
  Run(c.script);
  EXPECT_EQ(Display(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintTest,
    testing::Values(
        PrintCase{"LineFeedBecomesCrLf", "", "PRINT \"A\" + CHR(10) + \"B\"", "A\r\nB"},
        PrintCase{"CrLfStaysOneLineEnd", "", "PRINT \"A\" + CHR(13) + CHR(10) + \"B\"", "A\r\nB"},
        PrintCase{"CarriageReturnsAreDropped", "x", "PRINT CHR(13) + CHR(13)", "x"},
        PrintCase{"EmptyTextInsertsNothing", "x", "PRINT \"\"", "x"},
        PrintCase{"EscStarEmptiesTheDisplay", "old\r\ntext", "PRINT CHR(27) + \"*\"", ""},
        PrintCase{"TextBeforeEscStarLandsInTheEmptiedDisplay", "old",
                  "PRINT \"abc\" + CHR(27) + \"*def\"", "abcdef"},
        PrintCase{"OtherEscapeDropsOnlyTheEsc", "", "PRINT CHR(27) + \"x\"", "x"},
        PrintCase{"LoneEscAtTheEndIsDropped", "", "PRINT \"a\" + CHR(27)", "a"},
        PrintCase{"JapaneseTextArrivesWhole", "", "PRINT \"日本語\"", "日本語"}),
    [](const testing::TestParamInfo<PrintCase>& c) { return std::string(c.param.name); });

TEST_F(CalcWindowTest, PrintGoesInAtTheCaretAndTheCaretFollows) {
  SetDisplay("12\r\n34", 5);  // between 3 and 4
  Run("PRINT \"ab\"");
  EXPECT_EQ(Display(), "12\r\n3ab4");
  EXPECT_EQ(form_->MemoOut->SelStart(), 7);
}

TEST_F(CalcWindowTest, PrintReplacesTheSelection) {
  SetDisplay("12345", 0);
  form_->MemoOut->SetSel(1, 3);
  Run("PRINT \"x\"");
  EXPECT_EQ(Display(), "1x5");
}

TEST_F(CalcWindowTest, LongTextArrivesInPiecesOf254) {
  std::vector<int> pieces;
  QObject::connect(form_->MemoOut->document(), &QTextDocument::contentsChange,
                   [&](int, int, int added) { pieces.push_back(added); });
  Run("DIM s = \"\", i\r\nFOR i = 1 TO 300 { s = s + \"x\" }\r\nPRINT s");
  EXPECT_EQ(pieces, (std::vector<int>{254, 46}));
  EXPECT_EQ(Display(), std::string(300, 'x'));
}

}  // namespace
