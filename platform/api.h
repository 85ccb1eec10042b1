// api: the platform layer's basic types and export macro.
// Basic types of the platform layer: a small stand-in for the Windows API,
// built on POSIX, iconv and (through back ends) the calculator's Qt side.
#pragma once

#include <cstddef>
#include <cstdint>

#define PLATFORM_API __attribute__((visibility("default")))

using BOOL = int32_t;
using UINT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONG = int32_t;
using SIZE_T = size_t;
using HGLOBAL = void*;
using HMODULE = void*;
using HANDLE = void*;
// A window handle is a plain 32-bit number handed out by the window registry.
using HWND = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
