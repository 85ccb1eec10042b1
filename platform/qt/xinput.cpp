// xinput: X Test events and the server's pointer and key state.
#include "platform/qt/xinput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace platform {
namespace {
Display* Dpy(void* p) { return static_cast<Display*>(p); }
}  // namespace

std::unique_ptr<XInput> XInput::Open(void* qtDisplay) {
  const char* name = qtDisplay != nullptr ? DisplayString(Dpy(qtDisplay)) : nullptr;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return nullptr;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<XInput>(new XInput(display));
}

XInput::XInput(void* display) : display_(display) {}

XInput::~XInput() {
  // Give the lent key codes back empty.
  for (const auto& [keySym, code] : lent_) {
    KeySym none = NoSymbol;
    XChangeKeyboardMapping(Dpy(display_), static_cast<int>(code), 1, &none, 1);
  }
  XCloseDisplay(Dpy(display_));
}

unsigned XInput::KeyCodeFor(unsigned long keySym) {
  Display* d = Dpy(display_);
  if (const KeyCode code = XKeysymToKeycode(d, keySym)) return code;
  for (const auto& [lentSym, code] : lent_)
    if (lentSym == keySym) return code;
  // The highest key code that carries no symbol at all.
  int low = 0, high = 0;
  XDisplayKeycodes(d, &low, &high);
  int perCode = 0;
  KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &perCode);
  if (map == nullptr) return 0;
  unsigned spare = 0;
  for (int code = high; code >= low && spare == 0; --code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i)
      if (map[(code - low) * perCode + i] != NoSymbol) empty = false;
    bool taken = false;
    for (const auto& [lentSym, lentCode] : lent_)
      if (lentCode == static_cast<unsigned>(code)) taken = true;
    if (empty && !taken) spare = static_cast<unsigned>(code);
  }
  XFree(map);
  if (spare == 0) return 0;
  KeySym symbol = keySym;
  XChangeKeyboardMapping(d, static_cast<int>(spare), 1, &symbol, 1);
  XSync(d, False);
  lent_.emplace_back(keySym, spare);
  return spare;
}

bool XInput::Key(unsigned long keySym, bool down) {
  if (keySym == 0) return false;
  const unsigned code = KeyCodeFor(keySym);
  if (code == 0) return false;
  XTestFakeKeyEvent(Dpy(display_), code, down ? True : False, CurrentTime);
  XFlush(Dpy(display_));
  return true;
}

void XInput::MoveTo(int x, int y) {
  XTestFakeMotionEvent(Dpy(display_), -1, x, y, CurrentTime);
  XFlush(Dpy(display_));
}

void XInput::MoveBy(int dx, int dy) {
  XTestFakeRelativeMotionEvent(Dpy(display_), dx, dy, CurrentTime);
  XFlush(Dpy(display_));
}

void XInput::Button(int button, bool down) {
  XTestFakeButtonEvent(Dpy(display_), static_cast<unsigned>(button), down ? True : False,
                       CurrentTime);
  XFlush(Dpy(display_));
}

bool XInput::ButtonDown(int button) {
  Display* d = Dpy(display_);
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &x, &y, &mask);
  const unsigned bit = button == 1 ? Button1Mask : button == 2 ? Button2Mask : Button3Mask;
  return (mask & bit) != 0;
}

bool XInput::KeyDown(unsigned long keySym) {
  if (keySym == 0) return false;
  unsigned code = XKeysymToKeycode(Dpy(display_), keySym);
  for (const auto& [lentSym, lentCode] : lent_)
    if (code == 0 && lentSym == keySym) code = lentCode;
  if (code == 0) return false;
  char keys[32] = {};
  XQueryKeymap(Dpy(display_), keys);
  return (keys[code / 8] & (1 << (code % 8))) != 0;
}

}  // namespace platform
