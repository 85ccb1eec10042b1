#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/heap.h"
#include "platform/text.h"

namespace {

HGLOBAL Block(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_DDESHARE, size);
  memcpy(GlobalLock(h), bytes, size);
  GlobalUnlock(h);
  return h;
}

std::u16string UnicodeText() {
  HGLOBAL h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return u"<none>";
  std::u16string text(static_cast<const char16_t*>(GlobalLock(h)));
  GlobalUnlock(h);
  return text;
}

std::string AnsiText() {
  HGLOBAL h = GetClipboardData(CF_TEXT);
  if (!h) return "<none>";
  std::string text(static_cast<const char*>(GlobalLock(h)));
  GlobalUnlock(h);
  return text;
}

TEST(Clipboard, StartsEmpty) {
  ASSERT_TRUE(OpenClipboard(1));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
  EXPECT_TRUE(CloseClipboard());
}

TEST(Clipboard, UnicodeTextIsOfferedInBothFormats) {
  const std::u16string text = u"税込 ¥100";
  ASSERT_TRUE(OpenClipboard(1));
  EXPECT_TRUE(EmptyClipboard());
  HGLOBAL h = Block(text.c_str(), (text.size() + 1) * 2);
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, h), h);
  EXPECT_TRUE(CloseClipboard());

  ASSERT_TRUE(OpenClipboard(1));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(UnicodeText(), text);
  EXPECT_EQ(AnsiText(), platform::ToAnsi(text));
  EXPECT_TRUE(CloseClipboard());
}

TEST(Clipboard, AnsiTextAloneIsReadAsUnicodeToo) {
  const std::string ansi = platform::ToAnsi(u"かな");
  ASSERT_TRUE(OpenClipboard(1));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Block(ansi.c_str(), ansi.size() + 1));
  EXPECT_EQ(UnicodeText(), u"かな");
  EXPECT_EQ(AnsiText(), ansi);
  CloseClipboard();
}

TEST(Clipboard, NeedsToBeOpenAndOpensOnceAtATime) {
  EXPECT_FALSE(EmptyClipboard());
  HGLOBAL h = Block(u"x", 4);
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, h), nullptr);  // still ours
  GlobalFree(h);
  EXPECT_FALSE(CloseClipboard());
  ASSERT_TRUE(OpenClipboard(1));
  EXPECT_FALSE(OpenClipboard(2));
  EXPECT_TRUE(CloseClipboard());
}

TEST(Clipboard, InstalledBackendIsUsed) {
  struct Refusing : platform::ClipboardBackend {
    bool Open(HWND) override { return false; }
  } refusing;
  platform::SetClipboardBackend(&refusing);
  EXPECT_FALSE(OpenClipboard(1));
  platform::SetClipboardBackend(nullptr);
  EXPECT_TRUE(OpenClipboard(1));
  CloseClipboard();
}

}  // namespace
