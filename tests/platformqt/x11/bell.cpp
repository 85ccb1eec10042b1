// bell: the Xkb bell notification, kept apart from Qt and gtest (Xlib's
// macros clash with both).
#include "bell.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <time.h>

BellListener::BellListener(const std::string& name) {
  Display* display = XOpenDisplay(name.c_str());
  if (display == nullptr) return;
  int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (!XkbQueryExtension(display, &opcode, &event_, &error, &major, &minor)) {
    XCloseDisplay(display);
    return;
  }
  XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
  XSync(display, False);
  display_ = display;
}

BellListener::~BellListener() {
  if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
}

bool BellListener::Rang(int timeoutMs) {
  if (display_ == nullptr) return false;
  auto* display = static_cast<Display*>(display_);
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    while (XPending(display) > 0) {
      XEvent e;
      XNextEvent(display, &e);
      if (e.type == event_ && reinterpret_cast<XkbAnyEvent*>(&e)->xkb_type == XkbBellNotify)
        return true;
    }
    timespec pause{0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return false;
}
