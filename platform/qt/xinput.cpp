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

XInput::~XInput() { XCloseDisplay(Dpy(display_)); }

bool XInput::Key(unsigned long keySym, bool down) {
  if (keySym == 0) return false;
  const KeyCode code = XKeysymToKeycode(Dpy(display_), keySym);
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
  const KeyCode code = XKeysymToKeycode(Dpy(display_), keySym);
  if (code == 0) return false;
  char keys[32] = {};
  XQueryKeymap(Dpy(display_), keys);
  return (keys[code / 8] & (1 << (code % 8))) != 0;
}

}  // namespace platform
