// clipboard: the clipboard, in memory or through the installed back end.
#include "platform/clipboard.h"

#include <cstring>

#include "platform/heap.h"
#include "platform/text.h"

namespace platform {

ClipboardBackend::~ClipboardBackend() = default;
bool ClipboardBackend::Open(HWND) { return true; }
void ClipboardBackend::Close() {}
bool ClipboardBackend::HasText() { return has_; }
std::u16string ClipboardBackend::Text() { return text_; }
void ClipboardBackend::SetText(const std::u16string& text) {
  text_ = text;
  has_ = true;
}
void ClipboardBackend::Clear() {
  text_.clear();
  has_ = false;
}

}  // namespace platform

namespace {

platform::ClipboardBackend& Headless() {
  static platform::ClipboardBackend backend;
  return backend;
}

platform::ClipboardBackend* installed = nullptr;

platform::ClipboardBackend& Backend() { return installed ? *installed : Headless(); }

bool isOpen = false;
bool unicodeSet = false;  // CF_UNICODETEXT given since the clipboard was opened
HGLOBAL blocks[2] = {nullptr, nullptr};  // CF_TEXT, CF_UNICODETEXT

int SlotOf(UINT format) {
  if (format == CF_TEXT) return 0;
  if (format == CF_UNICODETEXT) return 1;
  return -1;
}

void Keep(int slot, HGLOBAL block) {
  if (blocks[slot] && blocks[slot] != block) GlobalFree(blocks[slot]);
  blocks[slot] = block;
}

void FreeBlocks() {
  for (HGLOBAL& b : blocks) {
    if (b) GlobalFree(b);
    b = nullptr;
  }
}

HGLOBAL MakeBlock(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, size);
  if (!block) return nullptr;
  if (void* p = GlobalLock(block)) {
    memcpy(p, bytes, size);
    GlobalUnlock(block);
  }
  return block;
}

}  // namespace

namespace platform {
void SetClipboardBackend(ClipboardBackend* backend) {
  installed = backend;
  FreeBlocks();
}
}  // namespace platform

extern "C" {

BOOL OpenClipboard(HWND owner) {
  if (isOpen || !Backend().Open(owner)) return FALSE;
  isOpen = true;
  unicodeSet = false;
  return TRUE;
}

BOOL CloseClipboard() {
  if (!isOpen) return FALSE;
  isOpen = false;
  Backend().Close();
  return TRUE;
}

BOOL EmptyClipboard() {
  if (!isOpen) return FALSE;
  FreeBlocks();
  unicodeSet = false;
  Backend().Clear();
  return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  return SlotOf(format) >= 0 && Backend().HasText() ? TRUE : FALSE;
}

HGLOBAL GetClipboardData(UINT format) {
  int slot = SlotOf(format);
  if (!isOpen || slot < 0 || !Backend().HasText()) return nullptr;
  std::u16string text = Backend().Text();
  HGLOBAL block;
  if (slot == 0) {
    std::string ansi = platform::ToAnsi(text);
    block = MakeBlock(ansi.c_str(), ansi.size() + 1);
  } else {
    block = MakeBlock(text.c_str(), (text.size() + 1) * sizeof(char16_t));
  }
  if (block) Keep(slot, block);
  return block;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data) {
  int slot = SlotOf(format);
  if (!isOpen || slot < 0 || !data) return nullptr;
  const char* p = static_cast<const char*>(GlobalLock(data));
  if (!p) return nullptr;
  size_t size = GlobalSize(data);
  if (slot == 1) {
    // Units copied out one by one: the block need not be aligned for them.
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2) {
      char16_t unit;
      memcpy(&unit, p + i, sizeof unit);
      if (!unit) break;
      text += unit;
    }
    Backend().SetText(text);
    unicodeSet = true;
  } else if (!unicodeSet) {
    size_t n = strnlen(p, size);
    Backend().SetText(platform::FromAnsi(std::string_view(p, n)));
  }
  GlobalUnlock(data);
  Keep(slot, data);
  return data;
}

}  // extern "C"
