#include "calculator/buttonclip.h"

#include <gtest/gtest.h>

#include <string>

#include "calculator/stringlist.h"
#include "platform/clipboard.h"
#include "testtext.h"

namespace {

// The in-memory clipboard, which can also refuse to open.
class TestClipboard : public platform::ClipboardBackend {
public:
  bool refuse = false;
  bool Open(HWND owner) override { return !refuse && ClipboardBackend::Open(owner); }
};

class ButtonClipTest : public testing::Test {
protected:
  void SetUp() override {
    platform::SetClipboardBackend(&clipboard_);
    for (int i = 0; i < 71; ++i) table_.AddLine(wvar(u""));
    table_.list->Put(3, u"\\'Sin\\c0000ff\\/Ans*2");
    table_.list->Put(4, u"\\1Keep\\3ff0000\\53100");
  }
  void TearDown() override { platform::SetClipboardBackend(nullptr); }

  std::u16string Line(int n) { return table_.list->Get(n); }

  TestClipboard clipboard_;
  wini table_;
};

TEST_F(ButtonClipTest, CopyWholeLineVerbatimThenPasteInCanonicalForm) {
  ASSERT_TRUE(CopyButtonText(0, table_, 3, 0));
  EXPECT_EQ(Show(clipboard_.Text()), Show(u"\\'Sin\\c0000ff\\/Ans*2"));
  ASSERT_EQ(PasteButtonText(0, table_, 4), PasteResult::kPasted);
  EXPECT_EQ(Show(Line(4)), Show(u"\\1Sin\\20000ff\\541006e0073002a003200"));
  EXPECT_EQ(Show(Line(3)), Show(u"\\'Sin\\c0000ff\\/Ans*2"));
}

TEST_F(ButtonClipTest, CopyProgramAlone) {
  ASSERT_TRUE(CopyButtonText(0, table_, 4, 1));
  EXPECT_EQ(Show(clipboard_.Text()), Show(u"1"));
}

TEST_F(ButtonClipTest, CopyOfNothingLeavesTheClipboard) {
  clipboard_.SetText(u"before");
  table_.list->Put(5, u"\\1label only");
  EXPECT_TRUE(CopyButtonText(0, table_, 1, 0));  // empty line
  EXPECT_TRUE(CopyButtonText(0, table_, 5, 1));  // no program
  EXPECT_EQ(Show(clipboard_.Text()), Show(u"before"));
}

struct PasteCase {
  const char16_t* clipboard;  // null: no text on the clipboard
  const char16_t* line;       // button 4 afterwards
};

class PasteTest : public ButtonClipTest, public testing::WithParamInterface<PasteCase> {};

TEST_P(PasteTest, IntoButtonFour) {
  if (GetParam().clipboard != nullptr) clipboard_.SetText(GetParam().clipboard);
  ASSERT_EQ(PasteButtonText(0, table_, 4), PasteResult::kPasted);
  EXPECT_EQ(Show(Line(4)), Show(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PasteTest,
    testing::Values(
        // A formula replaces the program only
        PasteCase{u"sin(x)*2", u"\\1Keep\\3ff0000\\5730069006e002800780029002a003200"},
        // Blanks, then a backslash and a field marker: the whole button
        PasteCase{u"  \\1New\\/7", u"\\1New\\53700"},
        PasteCase{u"\\x", u"\\1Keep\\3ff0000\\55c007800"},
        PasteCase{u"\u5186", u"\\1Keep\\3ff0000\\58651"},
        // No text, or an empty one: the program is emptied
        PasteCase{nullptr, u"\\1Keep\\3ff0000"}, PasteCase{u"", u"\\1Keep\\3ff0000"}));

TEST_F(ButtonClipTest, ClipboardThatCannotBeOpenedChangesNothing) {
  clipboard_.SetText(u"before");
  clipboard_.refuse = true;
  EXPECT_FALSE(CopyButtonText(0, table_, 3, 0));
  EXPECT_EQ(PasteButtonText(0, table_, 4), PasteResult::kNoClipboard);
  clipboard_.refuse = false;
  EXPECT_EQ(Show(clipboard_.Text()), Show(u"before"));
  EXPECT_EQ(Show(Line(4)), Show(u"\\1Keep\\3ff0000\\53100"));
}

TEST_F(ButtonClipTest, ClearEmptiesTheLine) {
  ClearButtonLine(table_, 4);
  EXPECT_EQ(Line(4), u"");
  clipboard_.SetText(u"before");
  CopyButtonText(0, table_, 4, 0);
  EXPECT_EQ(Show(clipboard_.Text()), Show(u"before"));
}

}  // namespace
