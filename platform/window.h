// window: the window registry.
// A window is a handler registered by its owner; a
// message sent to it is served synchronously on the calling thread.
#pragma once

#include "platform/api.h"

constexpr UINT WM_COPYDATA = 0x004A;

struct COPYDATASTRUCT {
  uintptr_t dwData;
  DWORD cbData;
  void* lpData;
};

using WindowProc = LRESULT (*)(void* context, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam);

extern "C" {
// Calls the window's handler and returns its result; 0 for an unknown window.
PLATFORM_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Copies at most max - 1 units of the window's title and a terminator;
// returns the units copied (0 for an unknown window).
PLATFORM_API int GetWindowTextW(HWND window, char16_t* text, int max);
PLATFORM_API BOOL SetWindowTextW(HWND window, const char16_t* text);
}

namespace platform {
// Hands out a new non-zero handle. `titleChanged`, when given, is told of every
// SetWindowTextW, so that the owner can show the title.
using TitleChanged = void (*)(void* context, const char16_t* title);
PLATFORM_API HWND RegisterWindow(WindowProc proc, void* context,
                                 TitleChanged titleChanged = nullptr);
PLATFORM_API void UnregisterWindow(HWND window);
}  // namespace platform
