// shell: file operations, starting programs and waiting for them.
// The shell: file operations on whole files and folders, starting programs
// and documents, and waiting for started processes.
#pragma once

#include "platform/api.h"

// SHFileOperationW.
constexpr UINT FO_MOVE = 1;
constexpr UINT FO_COPY = 2;
constexpr UINT FO_DELETE = 3;
constexpr UINT FO_RENAME = 4;

constexpr WORD FOF_NOCONFIRMATION = 0x0010;
constexpr WORD FOF_ALLOWUNDO = 0x0040;

// Results of SHFileOperationW other than 0 (success).
constexpr int ERROR_FILE_NOT_FOUND = 2;     // a source, or no match for its pattern
constexpr int ERROR_PATH_NOT_FOUND = 3;     // the target's folder does not exist
constexpr int ERROR_ACCESS_DENIED = 5;      // not permitted, or a read-only file system
constexpr int ERROR_WRITE_FAULT = 29;       // reading or writing failed on the way (disk full, I/O)
constexpr int ERROR_INVALID_PARAMETER = 87; // unknown operation, empty list, missing target
constexpr int ERROR_INVALID_NAME = 123;     // a name that no file on this machine can have
constexpr int ERROR_ALREADY_EXISTS = 183;   // a folder would replace a file or the reverse
constexpr int DE_SAMEFILE = 0x71;           // source and target are the same file
constexpr int DE_DESTSUBTREE = 0x76;        // a folder into itself or below itself

// Lists are NUL-separated and end with two NUL units. Only the first entry
// of pTo is used. Wildcards in the last element of a source entry expand to
// every match; a folder is copied, moved or deleted whole. An existing folder
// as target receives the sources; a missing target is the new name of a
// single source, or a folder made for several. FOF_ALLOWUNDO deletes into
// the user's trash ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash), where
// the file can be restored from. Existing target files are replaced without
// asking. Stops at the first failure and returns its code.
struct SHFILEOPSTRUCTW {
  HWND hwnd;
  UINT wFunc;
  const char16_t* pFrom;
  const char16_t* pTo;
  WORD fFlags;
  BOOL fAnyOperationsAborted;
  void* hNameMappings;
  const char16_t* lpszProgressTitle;
};

// ShellExecuteExW.
constexpr DWORD SEE_MASK_NOCLOSEPROCESS = 0x00000040;
constexpr int SW_SHOWDEFAULT = 10;

// An executable file (or a bare name found on PATH) is started with the
// parameters, split as a Windows command line; any other existing file or a
// URL goes to xdg-open. With SEE_MASK_NOCLOSEPROCESS, hProcess is set to a
// handle that WaitForSingleObject waits on and CloseHandle releases.
struct SHELLEXECUTEINFOW {
  DWORD cbSize;
  DWORD fMask;
  HWND hwnd;
  const char16_t* lpVerb;
  const char16_t* lpFile;
  const char16_t* lpParameters;
  const char16_t* lpDirectory;
  int nShow;
  HANDLE hProcess;
};

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

extern "C" {
PLATFORM_API int SHFileOperationW(SHFILEOPSTRUCTW* operation);
PLATFORM_API BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info);
PLATFORM_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// A process not waited for is reaped when it ends, so none is left behind.
PLATFORM_API BOOL CloseHandle(HANDLE handle);
}

