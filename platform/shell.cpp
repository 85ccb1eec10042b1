// shell: file operations, starting programs and waiting for them.
#include "platform/shell.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/replace.h"
#include "platform/text.h"

extern char** environ;

namespace {

// ---------------------------------------------------------------- paths

std::vector<std::u16string> ParseList(const char16_t* list) {
  std::vector<std::u16string> entries;
  if (!list) return entries;
  while (*list) {
    std::u16string entry(list);
    list += entry.size() + 1;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string StripSlashes(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string BaseName(const std::string& p) {
  size_t s = p.rfind('/');
  return s == std::string::npos ? p : p.substr(s + 1);
}

std::string DirName(const std::string& p) {
  size_t s = p.rfind('/');
  if (s == std::string::npos) return ".";
  return s == 0 ? "/" : p.substr(0, s);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

int CodeOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
    case ENOTEMPTY:
    case EISDIR:
      return ERROR_ALREADY_EXISTS;
    default:
      return ERROR_WRITE_FAULT;
  }
}

// The paths a source entry stands for; `wild` tells that it had wildcards.
int Expand(const std::u16string& entry, std::vector<std::string>& out, bool& wild) {
  std::u16string last = entry.substr(entry.rfind(u'/') + 1);
  std::string path;
  if (!platform::ToFileName(entry, path)) return ERROR_INVALID_NAME;
  path = StripSlashes(path);
  if (last.find_first_of(u"*?") == std::u16string::npos) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
    out.push_back(path);
    return 0;
  }
  wild = true;
  std::string folder = entry.size() > last.size() ? DirName(path) : std::string();
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(entry.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return ERROR_FILE_NOT_FOUND;
  size_t before = out.size();
  do {
    std::u16string name(data.cFileName);
    if (name == u"." || name == u"..") continue;
    std::string bytes;
    if (!platform::ToFileName(name, bytes)) continue;
    out.push_back(Join(folder, bytes));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return out.size() == before ? ERROR_FILE_NOT_FOUND : 0;
}

// Whether `inner` is `outer` or lies below it (both must exist up to the
// parent of inner).
bool IsBelow(const std::string& outer, const std::string& inner) {
  char* o = realpath(outer.c_str(), nullptr);
  char* p = realpath(DirName(inner).c_str(), nullptr);
  bool below = false;
  if (o && p) {
    std::string so(o), si = Join(p, BaseName(inner));
    if (so == "/") {
      below = true;
    } else {
      below = si == so || (si.size() > so.size() && si.compare(0, so.size(), so) == 0 &&
                           si[so.size()] == '/');
    }
  }
  free(o);
  free(p);
  return below;
}

// ---------------------------------------------------------------- copying

// Into a temporary file beside the target, renamed over it at the end, so a
// copy that fails half-way leaves an existing target as it was.
int CopyFileData(const std::string& from, const std::string& to) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno == ENOENT ? ERROR_FILE_NOT_FOUND : CodeOf(errno);
  struct stat st;
  if (fstat(in, &st) != 0) {
    close(in);
    return ERROR_WRITE_FAULT;
  }
  std::string temp;
  int out = platform::CreateTempBeside(to, temp);
  if (out < 0) {
    int code = CodeOf(errno);
    close(in);
    return code;
  }
  int code = 0;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t r = read(in, buffer.data(), buffer.size());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (r > 0 && !platform::WriteAll(out, buffer.data(), static_cast<size_t>(r)))) {
      code = ERROR_WRITE_FAULT;
      break;
    }
    if (r == 0) break;
  }
  close(in);
  if (fchmod(out, st.st_mode & 07777) != 0 && code == 0) code = ERROR_WRITE_FAULT;
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  futimens(out, times);
  if (close(out) != 0 && code == 0) code = ERROR_WRITE_FAULT;
  if (code == 0 && rename(temp.c_str(), to.c_str()) != 0) code = CodeOf(errno);
  if (code != 0) unlink(temp.c_str());
  return code;
}

int CopyTree(const std::string& from, const std::string& to, bool top) {
  struct stat st;
  if ((top ? stat(from.c_str(), &st) : lstat(from.c_str(), &st)) != 0) return ERROR_FILE_NOT_FOUND;
  struct stat dst;
  bool exists = lstat(to.c_str(), &dst) == 0;
  if (exists && dst.st_dev == st.st_dev && dst.st_ino == st.st_ino) return DE_SAMEFILE;
  if (S_ISLNK(st.st_mode)) {
    std::vector<char> target(static_cast<size_t>(st.st_size) + 2);
    ssize_t n = readlink(from.c_str(), target.data(), target.size() - 1);
    if (n < 0) return CodeOf(errno);
    target[static_cast<size_t>(n)] = 0;
    if (exists && (S_ISDIR(dst.st_mode) || unlink(to.c_str()) != 0)) return ERROR_ALREADY_EXISTS;
    return symlink(target.data(), to.c_str()) == 0 ? 0 : CodeOf(errno);
  }
  if (S_ISREG(st.st_mode)) {
    if (exists && S_ISDIR(dst.st_mode)) return ERROR_ALREADY_EXISTS;
    return CopyFileData(from, to);
  }
  if (!S_ISDIR(st.st_mode)) {
    // A FIFO, socket or device is made anew (a device only by a privileged
    // process); one that cannot be made fails the copy.
    if (exists && (S_ISDIR(dst.st_mode) || unlink(to.c_str()) != 0)) return ERROR_ALREADY_EXISTS;
    return mknod(to.c_str(), st.st_mode & (S_IFMT | 07777), st.st_rdev) == 0 ? 0 : CodeOf(errno);
  }
  if (exists && !S_ISDIR(dst.st_mode)) return ERROR_ALREADY_EXISTS;
  if (!exists && mkdir(to.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0) return CodeOf(errno);
  DIR* dir = opendir(from.c_str());
  if (!dir) return CodeOf(errno);
  int code = 0;
  while (dirent* e = readdir(dir)) {
    if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
    code = CopyTree(Join(from, e->d_name), Join(to, e->d_name), false);
    if (code) break;
  }
  closedir(dir);
  return code;
}

int RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
  if (!S_ISDIR(st.st_mode)) return unlink(path.c_str()) == 0 ? 0 : CodeOf(errno);
  DIR* dir = opendir(path.c_str());
  if (!dir) return CodeOf(errno);
  int code = 0;
  while (dirent* e = readdir(dir)) {
    if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
    code = RemoveTree(Join(path, e->d_name));
    if (code) break;
  }
  closedir(dir);
  if (code) return code;
  return rmdir(path.c_str()) == 0 ? 0 : CodeOf(errno);
}

// Whether the entry and everything below it can be removed: its folder and
// each folder below writable, readable and searchable, and all on one file
// system (a mount point cannot be removed). A move that copies and then
// removes asks first, so that what would stop it half-way is refused while
// the source is still whole.
bool CanRemoveTree(const std::string& path) {
  struct stat top;
  if (lstat(path.c_str(), &top) != 0 || access(DirName(path).c_str(), W_OK | X_OK) != 0) return false;
  if (!S_ISDIR(top.st_mode)) return true;
  std::vector<std::string> pending{path};
  while (!pending.empty()) {
    const std::string folder = pending.back();
    pending.pop_back();
    if (access(folder.c_str(), R_OK | W_OK | X_OK) != 0) return false;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    bool ok = true;
    while (dirent* e = readdir(dir)) {
      if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
      const std::string child = Join(folder, e->d_name);
      struct stat st;
      if (lstat(child.c_str(), &st) != 0 || (S_ISDIR(st.st_mode) && st.st_dev != top.st_dev)) {
        ok = false;
        break;
      }
      if (S_ISDIR(st.st_mode)) pending.push_back(child);
    }
    closedir(dir);
    if (!ok) return false;
  }
  return true;
}

// Copies, then removes the source. A copy that fails is taken back (when it
// made the target) and leaves the source whole; a removal that fails
// half-way leaves the whole copy and reports the failure.
int CopyThenRemove(const std::string& from, const std::string& to, bool targetExisted) {
  if (!CanRemoveTree(from)) return ERROR_ACCESS_DENIED;
  int code = CopyTree(from, to, false);
  if (code) {
    if (!targetExisted) RemoveTree(to);
    return code;
  }
  return RemoveTree(from);
}

int MoveOne(const std::string& from, const std::string& to) {
  struct stat st, dst;
  if (lstat(from.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
  bool exists = lstat(to.c_str(), &dst) == 0;
  if (exists && dst.st_dev == st.st_dev && dst.st_ino == st.st_ino) return DE_SAMEFILE;
  if (exists && S_ISDIR(st.st_mode) != S_ISDIR(dst.st_mode)) return ERROR_ALREADY_EXISTS;
  if (rename(from.c_str(), to.c_str()) == 0) return 0;
  int error = errno;
  // Across file systems, or onto a folder that already has contents: copy
  // (merging into the folder), then remove the source.
  if (error != EXDEV && !(exists && S_ISDIR(st.st_mode) && (error == ENOTEMPTY || error == EEXIST)))
    return CodeOf(error);
  return CopyThenRemove(from, to, exists);
}

// ---------------------------------------------------------------- trash

std::string TrashFolder() {
  const char* data = getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return Join(data, "Trash");
  const char* home = getenv("HOME");
  std::string h = home && *home ? home : "";
  if (h.empty()) {
    if (passwd* pw = getpwuid(getuid())) h = pw->pw_dir;
  }
  if (h.empty()) return std::string();
  return Join(h, ".local/share/Trash");
}

bool MakeFolders(const std::string& path) {
  std::string sofar;
  size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    sofar = path.substr(0, pos);
    if (!sofar.empty() && mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string PercentEncode(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string AbsolutePath(const std::string& path) {
  char* parent = realpath(DirName(path).c_str(), nullptr);
  if (!parent) return std::string();
  std::string result = Join(parent, BaseName(path));
  free(parent);
  return result;
}

// The name in the trash: the file's own, or with ".2", ".3" ... before its
// extension when that is taken; shortened where the info record's name
// (name + ".trashinfo") would pass the 255 bytes a name may have.
std::string TrashName(const std::string& stem, const std::string& ext, int n) {
  constexpr size_t kRoom = 255 - 10;
  std::string suffix;
  if (n != 1) suffix.append(".").append(std::to_string(n));
  std::string s = stem, e = ext;
  if (s.size() + suffix.size() + e.size() > kRoom) {
    if (suffix.size() + e.size() >= kRoom / 2) e.clear();
    s.resize(kRoom - suffix.size() - e.size());
  }
  return s + suffix + e;
}

// Into the trash under TrashName. The info record is made first,
// exclusively, which reserves the name.
int MoveToTrash(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
  std::string absolute = AbsolutePath(path);
  std::string trash = TrashFolder();
  if (absolute.empty() || trash.empty()) return ERROR_PATH_NOT_FOUND;
  std::string files = Join(trash, "files"), info = Join(trash, "info");
  if (!MakeFolders(files) || !MakeFolders(info)) return ERROR_ACCESS_DENIED;

  std::string base = BaseName(absolute);
  size_t dot = base.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
  std::string ext = dot == std::string::npos || dot == 0 ? std::string() : base.substr(dot);

  char when[32];
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
  std::string record = "[Trash Info]\nPath=" + PercentEncode(absolute) + "\nDeletionDate=" + when + "\n";

  for (int n = 1; n < 100000; ++n) {
    std::string name = TrashName(stem, ext, n);
    std::string infoPath = Join(info, name + ".trashinfo");
    int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return CodeOf(errno);
    }
    bool written = platform::WriteAll(fd, record.data(), record.size());
    if (close(fd) != 0) written = false;
    struct stat taken;
    std::string target = Join(files, name);
    if (!written || lstat(target.c_str(), &taken) == 0) {
      unlink(infoPath.c_str());
      if (!written) return ERROR_WRITE_FAULT;
      continue;
    }
    if (rename(path.c_str(), target.c_str()) == 0) return 0;
    if (errno != EXDEV) {
      const int code = CodeOf(errno);
      unlink(infoPath.c_str());
      return code;
    }
    // Across file systems: once the whole copy is in the trash its record
    // stays, also when removing the source then fails half-way, so what was
    // removed can be restored from there.
    const int code = CanRemoveTree(path) ? CopyTree(path, target, false) : ERROR_ACCESS_DENIED;
    if (code) {
      RemoveTree(target);
      unlink(infoPath.c_str());
      return code;
    }
    return RemoveTree(path);
  }
  return ERROR_ALREADY_EXISTS;
}

// ---------------------------------------------------------------- processes

constexpr uint32_t kProcessTag = 0x50524F43;

struct ProcessHandle {
  uint32_t tag = kProcessTag;
  pid_t pid = 0;
  bool ended = false;
};

void ReapLater(pid_t pid) {
  std::thread([pid] {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

std::vector<std::u16string> SplitCommandLine(const char16_t* line) {
  std::vector<std::u16string> args;
  if (!line) return args;
  std::u16string cur;
  bool quoted = false, have = false;
  for (size_t i = 0; line[i];) {
    char16_t c = line[i];
    if (c == u'\\') {
      size_t n = 0;
      while (line[i] == u'\\') ++n, ++i;
      if (line[i] == u'"') {
        cur.append(n / 2, u'\\');
        if (n % 2) {
          cur += u'"';
          ++i;
        }
      } else {
        cur.append(n, u'\\');
      }
      have = true;
    } else if (c == u'"') {
      if (quoted && line[i + 1] == u'"') {
        cur += u'"';
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
      have = true;
    } else if ((c == u' ' || c == u'\t') && !quoted) {
      if (have) args.push_back(cur);
      cur.clear();
      have = false;
      ++i;
    } else {
      cur += c;
      have = true;
      ++i;
    }
  }
  if (have) args.push_back(cur);
  return args;
}

bool IsUrl(const std::string& s) {
  size_t colon = s.find(':');
  if (colon == std::string::npos || colon < 2 || !isalpha(static_cast<unsigned char>(s[0])))
    return false;
  for (size_t i = 1; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name) {
  const char* path = getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    size_t end = dirs.find(':', start);
    std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string candidate = Join(dir.empty() ? "." : dir, name);
    if (IsExecutableFile(candidate)) return candidate;
    if (end == std::string::npos) return std::string();
    start = end + 1;
  }
}

}  // namespace

extern "C" {

int SHFileOperationW(SHFILEOPSTRUCTW* op) {
  if (!op) return ERROR_INVALID_PARAMETER;
  op->fAnyOperationsAborted = FALSE;
  std::vector<std::u16string> entries = ParseList(op->pFrom);
  if (entries.empty()) return ERROR_INVALID_PARAMETER;
  std::vector<std::string> sources;
  bool wild = false;
  for (const auto& entry : entries) {
    if (int code = Expand(entry, sources, wild)) return code;
  }

  if (op->wFunc == FO_DELETE) {
    for (const auto& source : sources) {
      int code = (op->fFlags & FOF_ALLOWUNDO) ? MoveToTrash(source) : RemoveTree(source);
      if (code) return code;
    }
    return 0;
  }
  if (op->wFunc != FO_COPY && op->wFunc != FO_MOVE && op->wFunc != FO_RENAME)
    return ERROR_INVALID_PARAMETER;

  std::vector<std::u16string> targets = ParseList(op->pTo);
  if (targets.empty() || targets[0].empty()) return ERROR_INVALID_PARAMETER;
  std::string target;
  if (!platform::ToFileName(targets[0], target)) return ERROR_INVALID_NAME;
  target = StripSlashes(target);
  struct stat st;
  bool intoFolder = stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (!intoFolder && (sources.size() > 1 || wild)) {
    if (mkdir(target.c_str(), 0777) != 0) return CodeOf(errno);
    intoFolder = true;
  }
  for (const auto& source : sources) {
    std::string to = intoFolder ? Join(target, BaseName(source)) : target;
    struct stat ss;
    if (stat(source.c_str(), &ss) == 0 && S_ISDIR(ss.st_mode) && IsBelow(source, to))
      return DE_DESTSUBTREE;
    int code = op->wFunc == FO_COPY ? CopyTree(source, to, true) : MoveOne(source, to);
    if (code) return code;
  }
  return 0;
}

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) {
  if (!info || info->cbSize != sizeof(SHELLEXECUTEINFOW) || !info->lpFile || !*info->lpFile)
    return FALSE;
  info->hProcess = nullptr;
  std::string file;
  if (!platform::ToFileName(info->lpFile, file)) return FALSE;
  std::vector<std::string> argv;
  bool search = false;
  if (IsUrl(file) && access(file.c_str(), F_OK) != 0) {
    argv = {"xdg-open", file};
    search = true;
  } else {
    std::string program;
    if (access(file.c_str(), F_OK) == 0) {
      // A name that begins with "-" would reach the opener as an option.
      program = file[0] == '-' ? "./" + file : file;
    } else if (file.find('/') == std::string::npos) {
      program = FindOnPath(file);
    }
    if (program.empty()) return FALSE;
    if (IsExecutableFile(program)) {
      argv.push_back(program);
      for (const auto& a : SplitCommandLine(info->lpParameters)) {
        // Names that DIR gave keep their bytes.
        std::string bytes;
        argv.push_back(platform::ToFileName(a, bytes) ? bytes : platform::ToUtf8(a));
      }
    } else {
      argv = {"xdg-open", program};
      search = true;
    }
  }

  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  std::string dir;
  if (info->lpDirectory && *info->lpDirectory && !platform::ToFileName(info->lpDirectory, dir))
    return FALSE;
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  // The program starts with no signal blocked and SIGPIPE at its default,
  // whatever the host has done to its own.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, pipe;
  sigemptyset(&none);
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipe);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  int rc = search ? posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ)
                  : posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return FALSE;
  if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
    auto* handle = new ProcessHandle;
    handle->pid = pid;
    info->hProcess = handle;
  } else {
    ReapLater(pid);
  }
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto* process = static_cast<ProcessHandle*>(handle);
  if (!process || process->tag != kProcessTag) return WAIT_FAILED;
  if (process->ended) return WAIT_OBJECT_0;
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    int status;
    pid_t r = waitpid(process->pid, &status, milliseconds == INFINITE ? 0 : WNOHANG);
    if (r == process->pid || (r < 0 && errno == ECHILD)) {
      process->ended = true;
      return WAIT_OBJECT_0;
    }
    if (r < 0 && errno != EINTR) return WAIT_FAILED;
    if (r == 0) {
      struct timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      long long elapsed = (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
      if (elapsed >= milliseconds) return WAIT_TIMEOUT;
      struct timespec pause = {0, 2000000};
      nanosleep(&pause, nullptr);
    }
  }
}

BOOL CloseHandle(HANDLE handle) {
  auto* process = static_cast<ProcessHandle*>(handle);
  if (!process || process->tag != kProcessTag) return FALSE;
  if (!process->ended) {
    int status;
    if (waitpid(process->pid, &status, WNOHANG) == 0) ReapLater(process->pid);
  }
  process->tag = 0;
  delete process;
  return TRUE;
}

}  // extern "C"
