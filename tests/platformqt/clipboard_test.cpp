// The layer's clipboard calls reach Qt's clipboard, in both formats.
#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/heap.h"

namespace {

HGLOBAL Block(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, size);
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  return block;
}

void Put(UINT format, const void* bytes, size_t size) {
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  EXPECT_NE(SetClipboardData(format, Block(bytes, size)), nullptr);
  CloseClipboard();
}

std::string GetAnsi() {
  EXPECT_TRUE(OpenClipboard(0));
  std::string text;
  if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

std::u16string GetUnicode() {
  EXPECT_TRUE(OpenClipboard(0));
  std::u16string text;
  if (HGLOBAL block = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const char16_t*>(GlobalLock(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

TEST(QtClipboard, UnicodeTextSetThroughTheLayerIsTheSystemsText) {
  const char16_t text[] = u"日本語 1+2\r\n";
  Put(CF_UNICODETEXT, text, sizeof text);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf16(u"日本語 1+2\r\n"));
}

TEST(QtClipboard, AnsiTextSetThroughTheLayerIsConvertedFromCp932) {
  const char text[] = "\x93\xFA\x96\x7B abc";  // "日本 abc"
  Put(CF_TEXT, text, sizeof text);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf16(u"日本 abc"));
}

TEST(QtClipboard, TextFromOtherProgramsIsOfferedInBothFormats) {
  QGuiApplication::clipboard()->setText(QString::fromUtf16(u"ｶﾅ漢字"));
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  CloseClipboard();
  EXPECT_EQ(GetUnicode(), u"ｶﾅ漢字");
  EXPECT_EQ(GetAnsi(), "\xB6\xC5\x8A\xBF\x8E\x9A");
}

TEST(QtClipboard, AnEmptiedClipboardOffersNothing) {
  QGuiApplication::clipboard()->setText("x");
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
  CloseClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

}  // namespace
