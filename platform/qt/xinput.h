// xinput: a connection of our own to the X server for synthetic input and for the
// pointer and keyboard state. Kept apart from Qt's connection, which its
// event thread reads; X Test events act on the whole server either way.
#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace platform {

class XInput {
public:
  // Connects to the display that `qtDisplay` (an Xlib Display of Qt's) is
  // connected to, or to $DISPLAY when it is null. Null when there is no X
  // server or it lacks the X Test extension.
  static std::unique_ptr<XInput> Open(void* qtDisplay);
  ~XInput();

  // A key symbol that no key of the server's keyboard carries is put on a
  // spare key code for as long as this connection lasts; false when there is
  // none left.
  bool Key(unsigned long keySym, bool down);
  void MoveTo(int x, int y);
  void MoveBy(int dx, int dy);
  // 1 left, 2 middle, 3 right.
  void Button(int button, bool down);
  bool ButtonDown(int button);
  bool KeyDown(unsigned long keySym);

private:
  explicit XInput(void* display);
  unsigned KeyCodeFor(unsigned long keySym);

  void* display_;
  // Key codes lent to key symbols the keyboard lacked.
  std::vector<std::pair<unsigned long, unsigned>> lent_;
};

}  // namespace platform
