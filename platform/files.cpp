// files: folders and directory listings over POSIX.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

bool GlobMatch(const char16_t* p, size_t pn, const char16_t* n, size_t nn) {
  // Iterative glob with one backtrack point: enough for "*" and "?".
  size_t pi = 0, ni = 0, star = std::u16string::npos, mark = 0;
  while (ni < nn) {
    if (pi < pn && p[pi] == u'*') {
      star = pi++;
      mark = ni;
    } else if (pi < pn && (p[pi] == u'?' ||
                           platform::ToLowerUnit(p[pi]) == platform::ToLowerUnit(n[ni]))) {
      ++pi;
      ++ni;
    } else if (star != std::u16string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < pn && p[pi] == u'*') ++pi;
  return pi == pn;
}

bool HasWildcard(const std::u16string& s) {
  return s.find_first_of(u"*?") != std::u16string::npos;
}

DWORD AttributesOf(const std::string& path, const std::u16string& name) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) return FILE_ATTRIBUTE_ARCHIVE;
  DWORD a = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!name.empty() && name[0] == u'.' && name != u"." && name != u"..") a |= FILE_ATTRIBUTE_HIDDEN;
  if (!(st.st_mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
  return a;
}

void Fill(WIN32_FIND_DATAW* data, const std::string& path, const std::u16string& name) {
  *data = WIN32_FIND_DATAW{};
  data->dwFileAttributes = AttributesOf(path, name);
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    uint64_t size = static_cast<uint64_t>(st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
  }
  size_t n = name.size() < MAX_PATH - 1 ? name.size() : MAX_PATH - 1;
  name.copy(data->cFileName, n);
  data->cFileName[n] = 0;
}

// A search in progress. A pattern without wildcards yields its one entry.
struct FindState {
  DIR* dir = nullptr;
  std::string folder;  // with a trailing "/" unless empty
  std::u16string pattern;
  std::u16string single;
  std::string singleBytes;
  bool singlePending = false;
};

bool NextEntry(FindState* state, WIN32_FIND_DATAW* data) {
  if (state->singlePending) {
    state->singlePending = false;
    Fill(data, state->folder + state->singleBytes, state->single);
    return true;
  }
  if (!state->dir) return false;
  while (dirent* e = readdir(state->dir)) {
    std::u16string name = platform::FromFileName(e->d_name);
    if (platform::MatchFileName(state->pattern.c_str(), name.c_str())) {
      Fill(data, state->folder + e->d_name, name);
      return true;
    }
  }
  return false;
}

}  // namespace

namespace platform {

bool MatchFileName(const char16_t* pattern, const char16_t* name) {
  size_t pn = u16len(pattern), nn = u16len(name);
  if (GlobMatch(pattern, pn, name, nn)) return true;
  // "x.*" also matches "x" (so "*.*" matches every name).
  if (pn >= 2 && pattern[pn - 2] == u'.' && pattern[pn - 1] == u'*')
    return GlobMatch(pattern, pn - 2, name, nn);
  // A trailing dot stands for "no extension".
  if (pn >= 1 && pattern[pn - 1] == u'.' && std::u16string_view(name, nn).find(u'.') ==
                                                std::u16string_view::npos)
    return GlobMatch(pattern, pn - 1, name, nn);
  return false;
}

}  // namespace platform

extern "C" {

BOOL CreateDirectoryW(const char16_t* path, void*) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return FALSE;
  return mkdir(name.c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL SetCurrentDirectoryW(const char16_t* path) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return FALSE;
  return chdir(name.c_str()) == 0 ? TRUE : FALSE;
}

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data) {
  if (!pattern || !data) return INVALID_HANDLE_VALUE;
  std::u16string full(pattern);
  size_t slash = full.rfind(u'/');
  std::u16string last = slash == std::u16string::npos ? full : full.substr(slash + 1);
  if (last.empty()) return INVALID_HANDLE_VALUE;
  std::string folder, lastBytes;
  if (!platform::ToFileName(full.substr(0, slash + 1), folder) ||
      !platform::ToFileName(last, lastBytes))
    return INVALID_HANDLE_VALUE;

  auto* state = new FindState;
  state->folder = folder;
  if (!HasWildcard(last)) {
    struct stat st;
    if (lstat((folder + lastBytes).c_str(), &st) != 0) {
      delete state;
      return INVALID_HANDLE_VALUE;
    }
    state->single = last;
    state->singleBytes = lastBytes;
    state->singlePending = true;
  } else {
    state->pattern = last;
    state->dir = opendir(state->folder.empty() ? "." : state->folder.c_str());
  }
  if (!NextEntry(state, data)) {
    FindClose(state);
    return INVALID_HANDLE_VALUE;
  }
  return state;
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
  if (!find || find == INVALID_HANDLE_VALUE || !data) return FALSE;
  return NextEntry(static_cast<FindState*>(find), data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE find) {
  if (!find || find == INVALID_HANDLE_VALUE) return FALSE;
  auto* state = static_cast<FindState*>(find);
  if (state->dir) closedir(state->dir);
  delete state;
  return TRUE;
}

}  // extern "C"

namespace platform {

void KeepFileSizeLimitFromKilling() {
  // Looked at on every call: the host may change the disposition later.
  struct sigaction current;
  if (sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
      current.sa_handler == SIG_DFL) {
    signal(SIGXFSZ, SIG_IGN);
  }
}

namespace {

constexpr char kTempMark[] = ".tmp-";
constexpr size_t kTempRandom = 6;  // the Xs of mkostemp

// The name a temporary file beside `base` starts with: the file's own name
// and a mark, within the usual limit of 255 bytes once the random part is on.
std::string TempPrefix(std::string base) {
  constexpr size_t kNameMax = 255, kAdded = sizeof kTempMark - 1 + kTempRandom;
  if (base.size() > kNameMax - kAdded) base.resize(kNameMax - kAdded);
  return base + kTempMark;
}

// The file a path names once its symbolic links are followed, also when
// the last one names a file yet to be made. false with errno set.
bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  struct stat st;
  for (int hops = 0; lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++hops) {
    std::vector<char> buffer(static_cast<size_t>(st.st_size) + 2);
    const ssize_t n = readlink(target.c_str(), buffer.data(), buffer.size() - 1);
    if (n <= 0 || hops == 40) {
      errno = n <= 0 ? errno : ELOOP;
      return false;
    }
    std::string next(buffer.data(), static_cast<size_t>(n));
    const size_t slash = target.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next = target.substr(0, slash + 1) + next;
    target = next;
  }
  return true;
}

}  // namespace

int CreateTempBeside(const std::string& target, std::string& temp) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  temp = folder + TempPrefix(slash == std::string::npos ? target : target.substr(slash + 1)) +
         std::string(kTempRandom, 'X');
  return mkostemp(temp.data(), O_CLOEXEC);
}

void RemoveOldTempsBeside(const std::string& path, const timespec& before) {
  std::string target;
  if (path.empty() || !FollowLinks(path, target)) return;
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string prefix =
      TempPrefix(slash == std::string::npos ? target : target.substr(slash + 1));
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (dirent* e = readdir(dir)) {
    const std::string_view name(e->d_name);
    if (name.size() != prefix.size() + kTempRandom || name.substr(0, prefix.size()) != prefix) continue;
    const std::string file = folder + e->d_name;
    struct stat st;
    if (lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const bool older = st.st_mtim.tv_sec < before.tv_sec ||
                       (st.st_mtim.tv_sec == before.tv_sec && st.st_mtim.tv_nsec < before.tv_nsec);
    if (older) unlink(file.c_str());
  }
  closedir(dir);
}

namespace {

bool WriteInPlace(const std::string& path, int flags, std::initializer_list<std::string_view> pieces) {
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | flags);
  if (fd < 0) return false;
  bool ok = true;
  for (std::string_view piece : pieces) ok = ok && WriteAll(fd, piece.data(), piece.size());
  const int error = errno;
  if (close(fd) != 0) ok = false;
  if (!ok) errno = error;
  return ok;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::initializer_list<std::string_view> pieces) {
  KeepFileSizeLimitFromKilling();
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  // Through links, also one that names a file yet to be made.
  std::string target;
  if (!FollowLinks(path, target)) return false;
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return false;
  // A file that may not be written stays as it is, as an open for writing
  // would have refused it.
  if (exists && S_ISREG(st.st_mode) && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return false;
  }
  if (exists && S_ISCHR(st.st_mode)) return WriteInPlace(target, 0, pieces);
  if (exists && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  std::string temp;
  const int fd = CreateTempBeside(target, temp);
  if (fd < 0 && exists && (errno == EACCES || errno == EPERM)) {
    // A writable file in a folder that takes no new names: written in place,
    // as before, without the guard of the temporary.
    return WriteInPlace(target, O_TRUNC, pieces);
  }
  if (fd < 0) return false;
  if (exists && fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Only a privileged process can give a file away; it stays ours then.
  }
  bool ok = fchmod(fd, mode) == 0;
  for (std::string_view piece : pieces) ok = ok && WriteAll(fd, piece.data(), piece.size());
  // Some file systems report a full disk only when the data is flushed.
  ok = ok && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    errno = error;
    return false;
  }
  // The rename itself reaches the disk with the folder's entry.
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

bool WriteAll(int fd, const void* data, size_t n) {
  KeepFileSizeLimitFromKilling();
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace platform
