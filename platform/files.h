// files: folders and directory listings.
// Folders and directory listings: mkdir, chdir and a directory search with
// the wildcard rules that scripts are written for.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include <time.h>

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
// Writes all n bytes, going on after interrupted and short writes. Past a
// file-size limit the write fails (EFBIG) instead of the signal ending the
// process.
PLATFORM_API bool WriteAll(int fd, const void* data, size_t n);
// Makes a file-size limit fail writes (EFBIG) rather than end the process,
// unless the host has its own handler for the signal. WriteAll calls it.
PLATFORM_API void KeepFileSizeLimitFromKilling();
// Creates an empty file beside `target` (same folder) named after it:
// target's name, ".tmp-" and six random characters, the name shortened to
// fit the file system's name length. Returns the descriptor and sets `temp`,
// or -1 with errno set.
PLATFORM_API int CreateTempBeside(const std::string& target, std::string& temp);
// Removes the temporary files that replacing `path` left behind (a process
// killed during the write) and that were last written before `before`;
// newer ones may belong to a write still going on. Through symbolic links as
// ReplaceFileContents.
PLATFORM_API void RemoveOldTempsBeside(const std::string& path, const timespec& before);
// Gives the file at `path` the concatenated pieces as its new contents: they
// go to a temporary file beside it, which then is renamed over it, so a
// failed write (a full disk, a file-size limit) leaves the old file whole and
// no temporary behind. Through a symbolic link the file it names is replaced;
// the new file keeps the old one's permissions and, where allowed, owner; a
// new file gets 0666 less the umask. A character device (/dev/null) is
// written in place; a folder, FIFO or socket is refused. false with errno set.
PLATFORM_API bool ReplaceFileContents(const std::string& path,
                                      std::initializer_list<std::string_view> pieces);
// The name rule of FindFirstFileW for one name (UTF-16, no path).
PLATFORM_API bool MatchFileName(const char16_t* pattern, const char16_t* name);
}  // namespace platform
