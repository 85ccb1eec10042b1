// The layer's clipboard is the X clipboard: other programs (xclip) read what
// a script put there, and scripts read what other programs offer.
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/heap.h"
#include "session.h"

namespace {

// Runs xclip while this process's event loop runs, so that it can serve
// the selection it owns.
std::string ReadWithXclip() {
  QProcess xclip;
  QEventLoop loop;
  QObject::connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  xclip.start("xclip", {"-o", "-selection", "clipboard", "-t", "UTF8_STRING"});
  loop.exec();
  if (xclip.state() != QProcess::NotRunning) {
    xclip.kill();
    xclip.waitForFinished();
    return "<timeout>";
  }
  return xclip.readAllStandardOutput().toStdString();
}

void Put(UINT format, const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, size);
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  EXPECT_NE(SetClipboardData(format, block), nullptr);
  CloseClipboard();
}

TEST(X11Clipboard, OtherProgramsReadWhatTheLayerSet) {
  const char16_t unicode[] = u"日本語 1+2=3";
  Put(CF_UNICODETEXT, unicode, sizeof unicode);
  EXPECT_EQ(ReadWithXclip(), "日本語 1+2=3");

  const char ansi[] = "\x93\xFA\x96\x7B abc";  // "日本 abc" in CP932
  Put(CF_TEXT, ansi, sizeof ansi);
  EXPECT_EQ(ReadWithXclip(), "日本 abc");
}

TEST(X11Clipboard, TheLayerReadsWhatOtherProgramsOffer) {
  Session().SetClipboard("ｶﾅ 漢字\nline 2");
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  HGLOBAL wide = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(wide))), u"ｶﾅ 漢字\nline 2");
  GlobalUnlock(wide);
  HGLOBAL narrow = GetClipboardData(CF_TEXT);
  ASSERT_NE(narrow, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(narrow))),
            "\xB6\xC5 \x8A\xBF\x8E\x9A\nline 2");
  GlobalUnlock(narrow);
  CloseClipboard();

  // Taking it back: the other program stops offering, ours is read.
  const char16_t mine[] = u"mine";
  Put(CF_UNICODETEXT, mine, sizeof mine);
  EXPECT_EQ(ReadWithXclip(), "mine");
}

}  // namespace
