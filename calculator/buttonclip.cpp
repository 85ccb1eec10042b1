// buttonclip: button copy, paste and delete on the clipboard.
#include "calculator/buttonclip.h"

#include <cstring>
#include <string>

#include "calculator/calcfile.h"
#include "calculator/classify.h"
#include "platform/clipboard.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

// A GMEM_DDESHARE block of `size` bytes holding `bytes`; null when memory
// cannot be had.
HGLOBAL Block(const void* bytes, size_t length, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, size);
  if (block == nullptr) return nullptr;
  void* p = GlobalLock(block);
  if (p == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(p, bytes, length);
  GlobalUnlock(block);
  return block;
}

bool Place(UINT format, HGLOBAL block) {
  if (block == nullptr) return false;
  if (SetClipboardData(format, block) == nullptr) {
    GlobalFree(block);  // refused: still ours
    return false;
  }
  return true;
}

// Text of a locked clipboard block, read as the format says.
template <typename Read>
void ReadFormat(UINT format, Read read) {
  if (!IsClipboardFormatAvailable(format)) return;
  HGLOBAL block = GetClipboardData(format);
  if (block == nullptr) return;
  if (const void* p = GlobalLock(block)) {
    read(p, GlobalSize(block));
    GlobalUnlock(block);
  }
}

}  // namespace

bool CopyButtonText(HWND owner, wini& table, int32_t current, int32_t what) {
  wvar text(0);
  if (what == 0) text = table.GetLine(current);
  if (what == 1) text = table.GetField(current, 5);
  if (text.type != vtString || text.Length() == 0) return true;  // nothing to copy

  return PutClipboardText(owner, text.Chars());
}

bool PutClipboardText(HWND owner, const std::u16string& unicode) {
  const std::string ansi = platform::ToAnsi(unicode);
  const size_t size = 2 * unicode.size() + 2;
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  bool ok = Place(CF_UNICODETEXT, Block(unicode.c_str(), size, size));
  ok = Place(CF_TEXT, Block(ansi.c_str(), std::min(ansi.size() + 1, size), size)) && ok;
  CloseClipboard();
  return ok;
}

PasteResult PasteButtonText(HWND owner, wini& table, int32_t current) {
  wvar text(0);
  if (!OpenClipboard(owner)) return PasteResult::kNoClipboard;
  ReadFormat(CF_TEXT, [&](const void* p, size_t size) {
    const char* s = static_cast<const char*>(p);
    text = std::string(s, strnlen(s, size)).c_str();
  });
  ReadFormat(CF_UNICODETEXT, [&](const void* p, size_t size) {
    std::u16string s;
    const char* bytes = static_cast<const char*>(p);
    for (size_t i = 0; i + 1 < size; i += 2) {
      char16_t unit;
      std::memcpy(&unit, bytes + i, sizeof unit);
      if (unit == 0) break;
      s += unit;
    }
    text = s.c_str();
  });
  CloseClipboard();
  return PasteIntoButton(table, current, text) ? PasteResult::kPasted : PasteResult::kTooLarge;
}

bool PasteIntoButton(wini& table, int32_t current, const wvar& pasted) {
  return ChangeButtonLine(table, current, [&](wini& line) {
    wvar text(pasted);
    std::u16string form = text.AsString();
    if (ClassifyText(form) == tkButtonRecord) {
      text = form.c_str();
      line.NormalizeLine(text);
      line.SetLine(0, text);
    } else {
      line.SetField(0, 5, pasted);
    }
  });
}

void ClearButtonLine(wini& table, int32_t current) { table.SetLine(current, wvar(u"")); }
