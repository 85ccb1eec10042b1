// input: synthetic keyboard and mouse input, and the screen size.
#pragma once

#include <vector>

#include "platform/api.h"

constexpr DWORD KEYEVENTF_KEYUP = 0x0002;

constexpr DWORD MOUSEEVENTF_MOVE = 0x0001;
constexpr DWORD MOUSEEVENTF_LEFTDOWN = 0x0002;
constexpr DWORD MOUSEEVENTF_LEFTUP = 0x0004;
constexpr DWORD MOUSEEVENTF_RIGHTDOWN = 0x0008;
constexpr DWORD MOUSEEVENTF_RIGHTUP = 0x0010;
constexpr DWORD MOUSEEVENTF_MIDDLEDOWN = 0x0020;
constexpr DWORD MOUSEEVENTF_MIDDLEUP = 0x0040;
constexpr DWORD MOUSEEVENTF_ABSOLUTE = 0x8000;

// Virtual keys that the key state knows by name; keybd_event takes any.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_F1 = 0x70;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

extern "C" {
PLATFORM_API void keybd_event(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra);
// With MOUSEEVENTF_ABSOLUTE, dx and dy run from 0 to 65535 across the screen.
PLATFORM_API void mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra);
PLATFORM_API int GetSystemMetrics(int index);
// A key or mouse button that is down reads 0xFF80 as a 16-bit number: the
// high bit (negative) and bit 0x80 are both set, whichever a caller tests.
// Up reads 0.
PLATFORM_API int16_t GetKeyState(int vk);
PLATFORM_API int16_t GetAsyncKeyState(int vk);
}

// What GetKeyState and GetAsyncKeyState give for a key that is down.
constexpr int16_t KEY_STATE_DOWN = static_cast<int16_t>(0xFF80);

namespace platform {

struct InputEvent {
  bool mouse;   // else a key event
  BYTE vk;
  BYTE scan;
  DWORD flags;
  DWORD dx;
  DWORD dy;
  DWORD data;
  uintptr_t extra;
};

// The headless default records every event, has a screen of 1920 x 1080 and
// every key and button up.
class PLATFORM_API InputBackend {
public:
  virtual ~InputBackend();
  virtual void Key(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra);
  virtual void Mouse(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra);
  virtual int Metric(int index);
  virtual bool IsKeyDown(int vk);
};
// Null restores the headless default.
PLATFORM_API void SetInputBackend(InputBackend* backend);
// What the headless back end has recorded, oldest first.
PLATFORM_API const std::vector<InputEvent>& RecordedInput();
PLATFORM_API void ClearRecordedInput();

}  // namespace platform
