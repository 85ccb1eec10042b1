// keymap: spare keys for characters that the map lacks.
#include "keymap.h"

#include <X11/Xlib.h>

#include <vector>

namespace e2e {
namespace {

// The code points of the UTF-8 text beyond ASCII (a broken sequence is
// skipped).
std::vector<char32_t> NonAscii(const std::string& text) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (more == 0 || i + more >= text.size()) {
      ++i;
      continue;
    }
    char32_t c = lead & (0x3F >> more);
    for (size_t k = 1; k <= more; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    out.push_back(c);
    i += more + 1;
  }
  return out;
}

}  // namespace

bool BindMissingCharacters(const std::string& display, const std::string& text) {
  const std::vector<char32_t> chars = NonAscii(text);
  if (chars.empty()) return true;
  ::Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) return false;
  int first = 0, last = 0;
  XDisplayKeycodes(x, &first, &last);
  bool ok = true;
  for (char32_t c : chars) {
    // Latin-1 characters are their own keysyms; the rest are Unicode keysyms.
    const KeySym symbol = c < 0x100 ? c : 0x1000000 | c;
    if (XKeysymToKeycode(x, symbol) != 0) continue;
    int perKey = 0;
    KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(first), last - first + 1, &perKey);
    int spare = 0;
    for (int key = last; key >= first && spare == 0; --key) {
      bool empty = true;
      for (int k = 0; k < perKey; ++k) empty = empty && map[(key - first) * perKey + k] == NoSymbol;
      if (empty) spare = key;
    }
    XFree(map);
    if (spare == 0) {
      ok = false;
      break;
    }
    // The same character with and without Shift.
    KeySym both[2] = {symbol, symbol};
    XChangeKeyboardMapping(x, spare, 2, both, 1);
    XSync(x, False);
  }
  XCloseDisplay(x);
  return ok;
}

}  // namespace e2e
