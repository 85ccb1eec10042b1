// replace: new contents for a file without losing the old ones.
#include "platform/replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <string>
#include <vector>

namespace platform {

void KeepFileSizeLimitFromKilling() {
  // Looked at on every call: the host may change the disposition later.
  struct sigaction current;
  if (sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
      current.sa_handler == SIG_DFL) {
    signal(SIGXFSZ, SIG_IGN);
  }
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

namespace {

using Pieces = std::initializer_list<std::string_view>;

constexpr char kTempMark[] = ".tmp-";
constexpr size_t kInodeDigits = 16;  // a 64-bit number in hex
constexpr size_t kRandomLength = 6;

// Closes the descriptor however the function ends.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

// The name a temporary file beside `base` starts with: the file's own name
// and a mark, within the usual limit of 255 bytes once the rest is on.
std::string TempPrefix(std::string base) {
  constexpr size_t kNameMax = 255;
  constexpr size_t kAdded = sizeof kTempMark - 1 + kInodeDigits + 1 + kRandomLength;
  if (base.size() > kNameMax - kAdded) base.resize(kNameMax - kAdded);
  return base + kTempMark;
}

std::string RandomPart() {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[kRandomLength];
  if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    static uint64_t count = 0;
    uint64_t seed = static_cast<uint64_t>(
                        std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (static_cast<uint64_t>(getpid()) << 32) ^ ++count * 0x9E3779B97F4A7C15u;
    for (unsigned char& b : bytes) {
      seed = seed * 6364136223846793005u + 1442695040888963407u;
      b = static_cast<unsigned char>(seed >> 56);
    }
  }
  std::string s;
  for (unsigned char b : bytes) s += kChars[b % (sizeof kChars - 1)];
  return s;
}

std::string TempName(const std::string& prefix, ino_t ino) {
  char hex[kInodeDigits + 1];
  snprintf(hex, sizeof hex, "%" PRIx64, static_cast<uint64_t>(ino));
  return prefix + hex + "-" + RandomPart();
}

// The inode number in a name that TempName made from `prefix`.
bool InodeInName(std::string_view name, std::string_view prefix, uint64_t& ino) {
  if (name.size() < prefix.size() + kRandomLength + 2 || name.substr(0, prefix.size()) != prefix) {
    return false;
  }
  const std::string_view rest = name.substr(prefix.size());
  const std::string_view hex = rest.substr(0, rest.size() - kRandomLength - 1);
  if (hex.size() > kInodeDigits || rest[hex.size()] != '-') return false;
  ino = 0;
  for (char c : hex) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    ino = ino << 4 | static_cast<uint64_t>(digit);
  }
  for (char c : rest.substr(hex.size() + 1)) {
    if (!(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z')) return false;
  }
  return true;
}

// The folder of a path ("." or "/" where it has no other) and its last name.
void Split(const std::string& path, std::string& folder, std::string& name) {
  const size_t slash = path.rfind('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// A folder to make and rename files in, readable where it may be read, so
// that its entries can reach the disk.
int OpenFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  return fd;
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

// A named temporary file in the folder, locked: made under a passing name
// (which no clean-up takes for one of ours), then given the name that
// carries its inode. Where the file system cannot rename without
// replacing, the passing name stays.
int CreateNamedTemp(int folder, const std::string& prefix, std::string& name) {
  for (int tries = 0; tries < 100; ++tries) {
    const std::string passing = prefix + "new-" + RandomPart();
    const int fd =
        openat(folder, passing.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return -1;
    flock(fd, LOCK_EX);
    struct stat st;
    name = passing;
    if (fstat(fd, &st) == 0) {
      const std::string carrying = TempName(prefix, st.st_ino);
      if (renameat2(folder, passing.c_str(), folder, carrying.c_str(), RENAME_NOREPLACE) == 0) {
        name = carrying;
      }
    }
    return fd;
  }
  errno = EEXIST;
  return -1;
}

// Gives a file made with O_TMPFILE, which has no name yet, the name that
// carries its inode.
bool NameUnnamedTemp(int fd, int folder, const std::string& prefix, std::string& name) {
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int tries = 0; tries < 10; ++tries) {
    name = TempName(prefix, st.st_ino);
    if (linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    // Without /proc, only a privileged process may name it from its descriptor.
    if (errno == ENOENT && linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != EEXIST) break;
  }
  name.clear();
  return false;
}

size_t TotalSize(Pieces pieces) {
  size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  return total;
}

// Writes the bytes from..to of the pieces put end to end, at their place.
bool WriteRange(int fd, Pieces pieces, size_t from, size_t to) {
  if (lseek(fd, static_cast<off_t>(from), SEEK_SET) < 0) return false;
  size_t at = 0;
  for (std::string_view piece : pieces) {
    const size_t begin = std::max(from, at), end = std::min(to, at + piece.size());
    if (begin < end && !WriteAll(fd, piece.data() + (begin - at), end - begin)) return false;
    at += piece.size();
  }
  return true;
}

// Whether the path's name in the folder stands for what was looked at.
bool Unchanged(int folder, const std::string& name, bool existed, const struct stat& before) {
  struct stat now;
  if (fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) return !existed && errno == ENOENT;
  // An inode number is soon given to a new file: its kind and change time
  // tell the two apart.
  return existed && now.st_dev == before.st_dev && now.st_ino == before.st_ino &&
         (now.st_mode & S_IFMT) == (before.st_mode & S_IFMT) &&
         now.st_ctim.tv_sec == before.st_ctim.tv_sec &&
         now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
}

// The file rewritten where it is, for a folder that takes no new names.
// Nothing is touched unless the whole may be written: a file-size limit is
// looked at first, and the part past the old end is written (and flushed)
// before any old byte, so that a full disk refuses it while the old bytes
// are all there; a later failure writes the old bytes back. A process
// killed half-way still leaves a cut file: no temporary guards this path.
bool RewriteInPlace(int folder, const std::string& name, const struct stat& looked, Pieces pieces) {
  Descriptor file{openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC)};
  if (file.fd < 0) return false;
  struct stat st;
  if (fstat(file.fd, &st) != 0) return false;
  if (!S_ISREG(st.st_mode) || st.st_dev != looked.st_dev || st.st_ino != looked.st_ino) {
    errno = EAGAIN;
    return false;
  }
  const size_t total = TotalSize(pieces);
  rlimit limit;
  if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      total > limit.rlim_cur) {
    errno = EFBIG;
    return false;
  }
  std::string old(static_cast<size_t>(st.st_size), '\0');
  for (size_t got = 0; got < old.size();) {
    const ssize_t r = pread(file.fd, old.data() + got, old.size() - got, static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) {
      old.resize(got);
      break;
    }
    got += static_cast<size_t>(r);
  }
  if (total > old.size()) {
    if (!WriteRange(file.fd, pieces, old.size(), total) || fsync(file.fd) != 0) {
      const int error = errno;
      if (ftruncate(file.fd, static_cast<off_t>(old.size())) == 0) fsync(file.fd);
      errno = error;
      return false;
    }
  }
  if (!WriteRange(file.fd, pieces, 0, std::min(total, old.size())) ||
      (total < old.size() && ftruncate(file.fd, static_cast<off_t>(total)) != 0) ||
      fsync(file.fd) != 0) {
    const int error = errno;
    if (WriteRange(file.fd, {old}, 0, old.size()) &&
        ftruncate(file.fd, static_cast<off_t>(old.size())) == 0) {
      fsync(file.fd);
    }
    errno = error;
    return false;
  }
  const bool closed = close(file.fd) == 0;
  file.fd = -1;
  return closed;
}

bool WriteDevice(int folder, const std::string& name, Pieces pieces) {
  Descriptor device{openat(folder, name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC)};
  if (device.fd < 0) return false;
  for (std::string_view piece : pieces) {
    if (!WriteAll(device.fd, piece.data(), piece.size())) return false;
  }
  const bool closed = close(device.fd) == 0;
  device.fd = -1;
  return closed;
}

// The new contents into a temporary file: owner and mode as the file's,
// every byte on the disk (some file systems report a full disk only then).
bool FillTemp(int fd, bool exists, const struct stat& st, mode_t mode, Pieces pieces) {
  if (exists && fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Only a privileged process can give a file away; it stays ours then.
  }
  bool ok = fchmod(fd, mode) == 0;
  for (std::string_view piece : pieces) ok = ok && WriteAll(fd, piece.data(), piece.size());
  return ok && fsync(fd) == 0;
}

}  // namespace

int CreateTempBeside(const std::string& target, std::string& temp) {
  std::string folderPath, name;
  Split(target, folderPath, name);
  Descriptor folder{OpenFolder(folderPath)};
  if (folder.fd < 0) return -1;
  std::string made;
  const int fd = CreateNamedTemp(folder.fd, TempPrefix(name), made);
  if (fd < 0) return -1;
  const size_t slash = target.rfind('/');
  temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + made;
  return fd;
}

void RemoveLeftTempsBeside(const std::string& path) {
  std::string target;
  if (path.empty() || !FollowLinks(path, target)) return;
  std::string folderPath, name;
  Split(target, folderPath, name);
  const std::string prefix = TempPrefix(name);
  DIR* dir = opendir(folderPath.c_str());
  if (dir == nullptr) return;
  const int folder = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    uint64_t ino = 0;
    if (!InodeInName(e->d_name, prefix, ino)) continue;
    struct stat st;
    if (fstatat(folder, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_ino != ino || st.st_uid != geteuid()) {
      continue;
    }
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    Descriptor file{openat(folder, e->d_name, O_RDONLY | flags)};
    if (file.fd < 0) file.fd = openat(folder, e->d_name, O_WRONLY | flags);
    struct stat opened;
    // A save still going on holds its file locked.
    if (file.fd >= 0 && fstat(file.fd, &opened) == 0 && opened.st_dev == st.st_dev &&
        opened.st_ino == st.st_ino && flock(file.fd, LOCK_EX | LOCK_NB) == 0) {
      unlinkat(folder, e->d_name, 0);
    }
  }
  closedir(dir);
}

bool ReplaceFileContents(const std::string& path, Pieces pieces, const ReplaceCheck& mayReplace) {
  KeepFileSizeLimitFromKilling();
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  // Through links, also one that names a file yet to be made. From here on
  // the folder is held open, so the file is written and replaced in the
  // folder that was looked at, whatever its path comes to name meanwhile.
  std::string target;
  if (!FollowLinks(path, target)) return false;
  std::string folderPath, name;
  Split(target, folderPath, name);
  if (name.empty()) {
    errno = EISDIR;
    return false;
  }
  Descriptor folder{OpenFolder(folderPath)};
  if (folder.fd < 0) return false;
  struct stat st{};
  const bool exists = fstatat(folder.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && S_ISLNK(st.st_mode)) {
    // Made a link since it was followed.
    errno = EAGAIN;
    return false;
  }
  if (mayReplace && !mayReplace(target, folder.fd, name, exists ? &st : nullptr)) return false;
  // A file that may not be written stays as it is, as an open for writing
  // would have refused it.
  if (exists && S_ISREG(st.st_mode) && faccessat(folder.fd, name.c_str(), W_OK, AT_EACCESS) != 0) {
    return false;
  }
  if (exists && S_ISCHR(st.st_mode)) return WriteDevice(folder.fd, name, pieces);
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
  const std::string prefix = TempPrefix(name);
  // A file without a name while it is written: a process killed meanwhile
  // leaves nothing behind. Where the file system has none, a named one.
  std::string temp;
  Descriptor file{openat(folder.fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)};
  bool unnamed = file.fd >= 0;
  if (!unnamed && errno != EACCES && errno != EPERM && errno != EROFS) {
    file.fd = CreateNamedTemp(folder.fd, prefix, temp);
  }
  if (file.fd < 0 && exists && (errno == EACCES || errno == EPERM)) {
    // A writable file in a folder that takes no new names.
    return RewriteInPlace(folder.fd, name, st, pieces);
  }
  if (file.fd < 0) return false;
  if (unnamed) flock(file.fd, LOCK_EX);
  bool ok = FillTemp(file.fd, exists, st, mode, pieces);
  int error = errno;
  if (ok && unnamed && !NameUnnamedTemp(file.fd, folder.fd, prefix, temp)) {
    // It cannot be named here: written again into a named one.
    close(file.fd);
    file.fd = CreateNamedTemp(folder.fd, prefix, temp);
    ok = file.fd >= 0 && FillTemp(file.fd, exists, st, mode, pieces);
    error = errno;
  }
  if (ok && !Unchanged(folder.fd, name, exists, st)) {
    // Something else was put at the path meanwhile: it is left alone.
    ok = false;
    error = EAGAIN;
  }
  if (ok && renameat(folder.fd, temp.c_str(), folder.fd, name.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    if (!temp.empty()) unlinkat(folder.fd, temp.c_str(), 0);
    errno = error;
    return false;
  }
  // The rename itself reaches the disk with the folder's entry.
  fsync(folder.fd);
  return true;
}

}  // namespace platform
