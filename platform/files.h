// files: folders and directory listings.
// Folders and directory listings: mkdir, chdir and a directory search with
// the wildcard rules that scripts are written for.
#pragma once

#include <string>
#include <string_view>

#include "platform/api.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr int MAX_PATH = 260;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~uintptr_t{0});

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  char16_t cFileName[MAX_PATH];
};

extern "C" {
// `security` is unused; an existing folder or a missing parent fails.
PLATFORM_API BOOL CreateDirectoryW(const char16_t* path, void* security);
PLATFORM_API BOOL SetCurrentDirectoryW(const char16_t* path);

// The last path element may hold "*" and "?"; names compare without regard
// to case, "*.*" matches every name (also one without a dot) and a trailing
// "." matches names without an extension. Without wildcards the element
// names one entry. Attributes: folder 0x10, anything else 0x20, a name
// beginning with a dot (not "." or "..") adds 0x2, no owner write bit 0x1.
// INVALID_HANDLE_VALUE when nothing matches or the folder cannot be read.
PLATFORM_API HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data);
PLATFORM_API BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
PLATFORM_API BOOL FindClose(HANDLE find);
}

namespace platform {
// The name rule of FindFirstFileW for one name (UTF-16, no path).
PLATFORM_API bool MatchFileName(const char16_t* pattern, const char16_t* name);
}  // namespace platform
