// dialogs: message boxes. The texts are 8-bit in the ANSI code page (CP932).
#pragma once

#include <string>

#include "platform/api.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONWARNING = 0x00000030;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

extern "C" {
PLATFORM_API int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
}

namespace platform {
// The headless default writes "caption: text" and a line feed to standard
// error and answers with the box's first button.
class PLATFORM_API MessageBoxBackend {
public:
  virtual ~MessageBoxBackend();
  virtual int Show(HWND owner, const std::u16string& text, const std::u16string& caption,
                   UINT type);
};
// Null restores the headless default.
PLATFORM_API void SetMessageBoxBackend(MessageBoxBackend* backend);
}  // namespace platform
