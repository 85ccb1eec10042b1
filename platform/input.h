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

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

extern "C" {
PLATFORM_API void keybd_event(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra);
// With MOUSEEVENTF_ABSOLUTE, dx and dy run from 0 to 65535 across the screen.
PLATFORM_API void mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra);
PLATFORM_API int GetSystemMetrics(int index);
}

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

// The headless default records every event and has a screen of 1920 x 1080.
class PLATFORM_API InputBackend {
public:
  virtual ~InputBackend();
  virtual void Key(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra);
  virtual void Mouse(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra);
  virtual int Metric(int index);
};
// Null restores the headless default.
PLATFORM_API void SetInputBackend(InputBackend* backend);
// What the headless back end has recorded, oldest first.
PLATFORM_API const std::vector<InputEvent>& RecordedInput();
PLATFORM_API void ClearRecordedInput();

}  // namespace platform
