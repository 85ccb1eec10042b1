// clipboard: the clipboard.
// Text only: CF_UNICODETEXT, and CF_TEXT (CP932), which is
// offered whenever there is text, converted on the way in and out.
#pragma once

#include <string>

#include "platform/api.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_UNICODETEXT = 13;

extern "C" {
// Fails while the clipboard is open (for any owner) or when the back end
// refuses.
PLATFORM_API BOOL OpenClipboard(HWND owner);
PLATFORM_API BOOL CloseClipboard();
// The following need the clipboard open.
PLATFORM_API BOOL EmptyClipboard();
PLATFORM_API BOOL IsClipboardFormatAvailable(UINT format);
// A block of the clipboard's: valid until the clipboard is emptied, changed
// or its data asked for again; the caller locks it and never frees it.
PLATFORM_API HGLOBAL GetClipboardData(UINT format);
// On success the clipboard owns `data` (a NUL-terminated text block from
// GlobalAlloc); on failure (null result) the caller still does.
PLATFORM_API HGLOBAL SetClipboardData(UINT format, HGLOBAL data);
}

namespace platform {
// The headless default keeps the text in memory.
class PLATFORM_API ClipboardBackend {
public:
  virtual ~ClipboardBackend();
  virtual bool Open(HWND owner);
  virtual void Close();
  virtual bool HasText();
  virtual std::u16string Text();
  virtual void SetText(const std::u16string& text);
  virtual void Clear();

private:
  std::u16string text_;
  bool has_ = false;
};
// Null restores the headless default (which starts empty).
PLATFORM_API void SetClipboardBackend(ClipboardBackend* backend);
}  // namespace platform
