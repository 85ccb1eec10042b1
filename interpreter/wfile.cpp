// wfile: the file built-ins and the script text-file format.
// File built-ins and the script text-file format: UTF-16LE after FF FE,
// anything else 8-bit text in the ANSI code page.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#include "interpreter/builtin.h"
#include "interpreter/engine.h"
#include "interpreter/handlers.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/replace.h"
#include "platform/heap.h"
#include "platform/shell.h"
#include "platform/text.h"

static_assert(std::endian::native == std::endian::little, "texts are written as stored");

namespace {

// A value holds at most 2^31 bytes; 8-bit text doubles on the way in.
constexpr size_t kMaxTextBytes = (size_t{1} << 30) - 16;

// Closes the file and frees the buffer however ReadTextFile is left.
struct ReadGuard {
  int fd = -1;
  HGLOBAL buffer = nullptr;
  ~ReadGuard() {
    if (buffer) {
      GlobalUnlock(buffer);
      GlobalFree(buffer);
    }
    if (fd >= 0) close(fd);
  }
};

// COPY, KILL and RENAME: one shell operation, its code as the result.
int32_t ShellOperation(wbsub* context, UINT func) {
  wbexe* block = context->block;
  BuiltinCall call(context, func == FO_DELETE ? 1 : 2);
  if (!call.ok()) return stFailed;
  // The list form: each path followed by two NUL units.
  std::u16string from = call.Arg(0).AsString();
  from.push_back(u'\0');
  std::u16string to;
  if (func != FO_DELETE) {
    to = call.Arg(1).AsString();
    to.push_back(u'\0');
  }
  SHFILEOPSTRUCTW op{};
  op.hwnd = block->hostWindow;
  op.wFunc = func;
  op.pFrom = from.c_str();
  op.pTo = func == FO_DELETE ? nullptr : to.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  return call.Return(static_cast<int32_t>(SHFileOperationW(&op)));
}

}  // namespace

int ReadTextFile(const char16_t* path, wvar& out) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return 0;
  ReadGuard guard;
  // Without O_NONBLOCK the open of a FIFO waits for a writer, which may
  // never come, before the check below could refuse it.
  guard.fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (guard.fd < 0) return 0;
  // A folder, a pipe or a device is no text file (and may never end).
  struct stat st;
  if (fstat(guard.fd, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  if (fcntl(guard.fd, F_SETFL, O_RDONLY) != 0) return 0;
  size_t n = static_cast<size_t>(st.st_size);
  if (n > kMaxTextBytes) throw EOutOfMemory();
  guard.buffer = GlobalAlloc(GMEM_ZEROINIT, n + 2);
  if (!guard.buffer) throw EOutOfMemory();
  char* bytes = static_cast<char*>(GlobalLock(guard.buffer));

  size_t got = 0;
  while (got < n) {
    ssize_t r = read(guard.fd, bytes + got, n - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return 0;
    if (r == 0) break;  // shorter than it was a moment ago
    got += static_cast<size_t>(r);
  }
  n = got;
  if (n == 0) {
    out = u"";
  } else if (static_cast<unsigned char>(bytes[0]) == 0xFF &&
             static_cast<unsigned char>(bytes[1]) == 0xFE) {
    // An odd last byte falls behind the terminator.
    bytes[n / 2 * 2] = 0;
    bytes[n / 2 * 2 + 1] = 0;
    out = reinterpret_cast<const char16_t*>(bytes + 2);
  } else {
    bytes[n] = 0;
    out.SetAnsi(bytes);
  }
  return 1;
}

// Both writers replace the file whole or not at all: a full disk or a
// file-size limit half-way leaves the old contents.
int WriteTextFileW(const char16_t* path, const char16_t* text) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return 0;
  static const char mark[2] = {'\xFF', '\xFE'};
  const size_t units = text ? platform::u16len(text) : 0;
  const std::string_view body(reinterpret_cast<const char*>(text), units * sizeof(char16_t));
  return platform::ReplaceFileContents(name, {std::string_view(mark, 2), body}) ? 1 : 0;
}

int WriteTextFileA(const char16_t* path, const char16_t* text) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return 0;
  wvar converted(text);
  const char* ansi = converted.AsAnsi();
  return platform::ReplaceFileContents(name, {std::string_view(ansi, strlen(ansi))}) ? 1 : 0;
}

// COPY(from, to), KILL(path), RENAME(from, to)
VEK_HANDLER(FnCopy) { return ShellOperation(context, FO_COPY); }
VEK_HANDLER(FnKill) { return ShellOperation(context, FO_DELETE); }
VEK_HANDLER(FnRename) { return ShellOperation(context, FO_MOVE); }

// DIR([pattern [, attributes]])
VEK_HANDLER(FnDir) {
  BuiltinCall call(context, 0);
  if (!call.ok()) return stFailed;
  const int32_t count = call.count();
  std::u16string pattern = count == 0 ? u"*.*" : call.Arg(0).AsString();
  DWORD mask = count == 2 ? static_cast<DWORD>(call.Arg(1).AsInt())
                          : FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL;
  std::u16string names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & mask)) continue;
      if (!names.empty()) names += u"\r\n";
      names += data.cFileName;
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  return call.Return(names.c_str());
}

// MKDIR(path)
VEK_HANDLER(FnMkDir) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(CreateDirectoryW(call.Arg(0).AsString(), nullptr) ? 1 : 0);
}

// CHDIR(path)
VEK_HANDLER(FnChDir) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(SetCurrentDirectoryW(call.Arg(0).AsString()) ? 1 : 0);
}

// READ(path)
VEK_HANDLER(FnRead) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  wvar text(u"");
  ReadTextFile(call.Arg(0).AsString(), text);
  return call.Return(text);
}

// WRITE(path, text)
VEK_HANDLER(FnWrite) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const char16_t* path = call.Arg(0).AsString();
  return call.Return(WriteTextFileW(path, call.Arg(1).AsString()));
}

// WRITEB(path, text)
VEK_HANDLER(FnWriteB) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const char16_t* path = call.Arg(0).AsString();
  return call.Return(WriteTextFileA(path, call.Arg(1).AsString()));
}
