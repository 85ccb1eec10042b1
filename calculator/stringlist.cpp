// stringlist: a list of UTF-16 lines, loaded from and saved to files.
#include "calculator/stringlist.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "calculator/errors.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void CheckIndex(int32_t index, int32_t count) {
  if (index < 0 || index >= count) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
}

bool SameText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (platform::ToLowerUnit(a[i]) != platform::ToLowerUnit(b[i])) return false;
  }
  return true;
}

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    text.push_back(static_cast<char16_t>(lo | hi << 8));
  }
  if (i < bytes.size()) text.push_back(kReplacement);  // half a unit at the end
  return text;
}

// Strict UTF-8; every byte that starts no valid sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  size_t i = 0;
  auto cont = [&](size_t k) {
    return k < bytes.size() && (static_cast<unsigned char>(bytes[k]) & 0xC0) == 0x80;
  };
  while (i < bytes.size()) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    uint32_t cp = 0;
    size_t n = 0;
    uint32_t min = 0;
    if (b < 0x80) {
      cp = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      cp = b & 0x1F, n = 1, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      cp = b & 0x0F, n = 2, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      cp = b & 0x07, n = 3, min = 0x10000;
    } else {
      text.push_back(kReplacement);
      ++i;
      continue;
    }
    bool ok = true;
    for (size_t k = 1; k <= n; ++k) {
      if (!cont(i + k)) {
        ok = false;
        break;
      }
      cp = cp << 6 | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      text.push_back(kReplacement);
      ++i;
      continue;
    }
    i += n + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 | cp >> 10));
      text.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(cp));
    }
  }
  return text;
}

std::string ErrorText(const char* what, const std::u16string& path, int error) {
  return std::string(what) + " \"" + platform::ToUtf8(path) + "\". " + std::strerror(error);
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}


}  // namespace

const std::u16string& TStringList::Get(int32_t index) const {
  CheckIndex(index, Count());
  return lines_[index];
}

void TStringList::Put(int32_t index, std::u16string text) {
  CheckIndex(index, Count());
  lines_[index] = std::move(text);
}

int32_t TStringList::Add(std::u16string text) {
  lines_.push_back(std::move(text));
  return Count() - 1;
}

int32_t TStringList::IndexOfName(std::u16string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    size_t eq = lines_[i].find(u'=');
    if (eq != std::u16string::npos &&
        SameText(std::u16string_view(lines_[i]).substr(0, eq), name)) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

std::u16string TStringList::Values(std::u16string_view name) const {
  int32_t i = IndexOfName(name);
  if (i < 0) return std::u16string();
  return lines_[i].substr(lines_[i].find(u'=') + 1);
}

std::vector<std::u16string> TStringList::DecodeLines(std::string_view bytes) {
  std::u16string text;
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    text = FromUtf16(bytes.substr(2), false);
  } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
    text = FromUtf16(bytes.substr(2), true);
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text = FromUtf8(bytes.substr(3));
  } else {
    text = platform::FromAnsi(bytes);
  }
  std::vector<std::u16string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      lines.emplace_back(text, start, i - start);
      ++i;
      if (c == u'\r' && i < text.size() && text[i] == u'\n') ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text, start, std::u16string::npos);
  return lines;
}

void TStringList::LoadFromFile(const std::u16string& path) {
  std::string name;
  if (!platform::ToFileName(path, name)) throw EFOpenError(ErrorText("Cannot open file", path, ENOENT));
  int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError(ErrorText("Cannot open file", path, errno));
  std::string bytes;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int error = errno;
      close(fd);
      throw EFOpenError(ErrorText("Cannot open file", path, error));
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  lines_ = DecodeLines(bytes);
}

void TStringList::SaveToFile(const std::u16string& path) const {
  std::string bytes = "\xFF\xFE";
  for (const std::u16string& line : lines_) {
    for (char16_t c : line) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
    bytes.append("\r\0\n\0", 4);
  }

  std::string target;
  if (!platform::ToFileName(path, target)) {
    throw EFCreateError(ErrorText("Cannot create file", path, EINVAL));
  }
  // Through a symbolic link the file it names is replaced, not the link.
  struct stat st;
  if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(target.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  // The new file takes the old one's permissions and owner; a folder, device
  // or pipe is never replaced by a file.
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    throw EFCreateError(ErrorText("Cannot create file", path, error));
  }
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  std::string folder = Folder(target);
  std::string temp = folder + "/.save-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) throw EFCreateError(ErrorText("Cannot create file", path, errno));
  if (exists && fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Only a privileged process can give a file away; keep our own then.
  }
  if (fchmod(fd, mode) != 0 || !platform::WriteAll(fd, bytes.data(), bytes.size()) || fsync(fd) != 0) {
    int error = errno;
    close(fd);
    unlink(temp.c_str());
    throw EFCreateError(ErrorText("Cannot create file", path, error));
  }
  if (close(fd) != 0 || rename(temp.c_str(), target.c_str()) != 0) {
    int error = errno;
    unlink(temp.c_str());
    throw EFCreateError(ErrorText("Cannot create file", path, error));
  }
  // The rename itself reaches the disk with the folder's entry.
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}
