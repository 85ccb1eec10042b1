// stringlist: a list of UTF-16 lines, loaded from and saved to files.
#include "calculator/stringlist.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "calculator/errors.h"
#include "platform/replace.h"
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

std::string ErrorText(const char* what, const std::u16string& path, int error) {
  return std::string(what) + " \"" + platform::ToUtf8(path) + "\". " + std::strerror(error);
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

std::u16string TStringList::DecodeText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return FromUtf16(bytes.substr(2), false);
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return FromUtf16(bytes.substr(2), true);
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return platform::FromUtf8(bytes.substr(3));
  }
  return platform::FromAnsi(bytes);
}

std::vector<std::u16string> TStringList::DecodeLines(std::string_view bytes) {
  const std::u16string text = DecodeText(bytes);
  std::vector<std::u16string> lines;
  ForEachLine(text, [&](std::u16string_view line) {
    lines.emplace_back(line);
    return true;
  });
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

std::string TStringList::Bytes() const {
  size_t units = 1;
  for (const std::u16string& line : lines_) units += line.size() + 2;
  std::string bytes;
  bytes.reserve(units * 2);
  bytes = "\xFF\xFE";
  for (const std::u16string& line : lines_) {
    for (char16_t c : line) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
    bytes.append("\r\0\n\0", 4);
  }
  return bytes;
}

void TStringList::SaveToFile(const std::u16string& path, const platform::ReplaceCheck& mayReplace) const {
  std::string target;
  if (!platform::ToFileName(path, target)) {
    throw EFCreateError(ErrorText("Cannot create file", path, EINVAL));
  }
  if (!platform::ReplaceFileContents(target, {Bytes()}, mayReplace)) {
    throw EFCreateError(ErrorText("Cannot create file", path, errno));
  }
}

bool FileExists(const std::u16string& path) {
  std::string name;
  struct stat st;
  return platform::ToFileName(path, name) && stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
