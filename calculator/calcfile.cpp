// calcfile: the calculator file, its button lines and settings keys, read and written.
#include "calculator/calcfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

constexpr int32_t kLineCount = 71;

// Temporary files of saves older than this were left by an earlier run that
// was killed while saving; newer ones may belong to another window's save.
const timespec kProgramStart = [] {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now;
}();

const std::vector<CalcFileKey> kKeys = {
    {.name = u"Top", .position = &CalcWindowPos::top, .byDefault = kDefaultTop},
    {.name = u"Left", .position = &CalcWindowPos::left, .byDefault = kDefaultLeft},
    {.name = u"ButtonEditMode", .number = &wsetting::buttonEditMode, .byDefault = 1, .option = 1,
     .low = 0, .high = 1},
    {.name = u"StayOnTop", .number = &wsetting::stayOnTop, .byDefault = 0, .option = 2, .low = 0,
     .high = 1},
    {.name = u"ButtonDispLine1", .number = &wsetting::buttonDispLine1, .byDefault = 0,
     .option = 3, .low = 0, .high = kMaxDispLine1, .rangeAtLoad = true},
    {.name = u"ButtonDispLine2", .number = &wsetting::buttonDispLine2, .byDefault = 2,
     .option = 4, .low = 0, .high = kMaxDispLineBlock, .rangeAtLoad = true},
    {.name = u"ButtonDispLine3", .number = &wsetting::buttonDispLine3, .byDefault = 0,
     .option = 5, .low = 0, .high = kMaxDispLineBlock, .rangeAtLoad = true},
    {.name = u"ButtonDispLine4", .number = &wsetting::buttonDispLine4, .byDefault = 4,
     .option = 6, .low = 0, .high = kMaxDispLineBlock, .rangeAtLoad = true},
    {.name = u"DispWidth", .number = &wsetting::dispWidth, .byDefault = 150, .option = 7,
     .low = kMinOptionDispWidth},
    {.name = u"DispHeight", .number = &wsetting::dispHeight, .byDefault = 60, .option = 8,
     .low = kMinOptionDispHeight},
    {.name = u"DispFontSize", .number = &wsetting::dispFontSize, .byDefault = 11, .option = 9,
     .low = kMinDispFontSize, .high = kMaxDispFontSize},
    {.name = u"FormColor", .number = &wsetting::formColor, .byDefault = 0x984E00, .option = 10},
    {.name = u"TitleColor", .number = &wsetting::titleColor, .byDefault = 0xFFFFFF},
    {.name = u"TextColor", .number = &wsetting::textColor, .byDefault = 0},
    // After TextColor in the file, although the record holds it first.
    {.name = u"ButtonColor", .number = &wsetting::buttonColor, .byDefault = 0xC0C0C0},
    {.name = u"Mix1", .real = &wsetting::mix1, .byDefault = 25},
    {.name = u"Mix2", .real = &wsetting::mix2, .byDefault = 50},
    {.name = u"Mix3", .real = &wsetting::mix3, .byDefault = 75},
};

std::u16string ButtonKey(int32_t i) {
  std::u16string key(1, u'B');
  for (char d : std::to_string(i)) key += static_cast<char16_t>(d);
  return key;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (platform::ToLowerUnit(a[i]) != platform::ToLowerUnit(b[i])) return false;
  }
  return true;
}

// B0 to B70, as written: no leading zero.
bool IsButtonKey(std::u16string_view name) {
  if (name.size() < 2 || name.size() > 3 || (name[0] != u'B' && name[0] != u'b')) return false;
  if (name.size() == 3 && name[1] == u'0') return false;
  int32_t n = 0;
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] < u'0' || name[i] > u'9') return false;
    n = n * 10 + (name[i] - u'0');
  }
  return n < kLineCount;
}

bool IsBlankLine(const std::u16string& line) {
  for (char16_t c : line) {
    if (!platform::IsBlankUnit(c)) return false;
  }
  return true;
}

std::string OpenErrorText(const std::u16string& path, int error) {
  return "Cannot open file \"" + platform::ToUtf8(path) + "\". " + std::strerror(error);
}

// Closes the descriptor however the read ends.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

// Why a file of this kind and size is refused; kRead when it may be read.
CalcFileStatus StatusOfKind(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return CalcFileStatus::kNotRegular;
  if (st.st_size > kMaxCalcFileBytes) return CalcFileStatus::kTooLarge;
  return CalcFileStatus::kRead;
}

// The bytes of the regular file `name`, read once. The path is looked at
// before it is opened, so that no device is opened at all; the descriptor
// is looked at again, since the path may name something else by then.
CalcFileStatus ReadBytes(const std::string& name, std::string& bytes, int& error) {
  struct stat st;
  if (stat(name.c_str(), &st) != 0) {
    error = errno;
    return error == ENOENT || error == ENOTDIR ? CalcFileStatus::kMissing
                                               : CalcFileStatus::kUnreadable;
  }
  if (CalcFileStatus kind = StatusOfKind(st); kind != CalcFileStatus::kRead) return kind;
  Descriptor file;
  // Without O_NONBLOCK the open of a pipe put in the file's place would
  // wait for a writer that may never come.
  file.fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file.fd < 0) {
    error = errno;
    return error == ENOENT ? CalcFileStatus::kMissing : CalcFileStatus::kUnreadable;
  }
  if (fstat(file.fd, &st) != 0) {
    error = errno;
    return CalcFileStatus::kUnreadable;
  }
  if (CalcFileStatus kind = StatusOfKind(st); kind != CalcFileStatus::kRead) return kind;
  // One byte past the limit tells a file that grew since.
  const size_t most = static_cast<size_t>(kMaxCalcFileBytes) + 1;
  bytes.resize(std::min(static_cast<size_t>(st.st_size) + 1, most));
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got >= most) return CalcFileStatus::kTooLarge;
      bytes.resize(std::min(got * 2 + 4096, most));
    }
    const ssize_t n = read(file.fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      return CalcFileStatus::kUnreadable;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return CalcFileStatus::kRead;
}

// Fills the table and the settings from the lines of a file (none for a
// missing one).
void LoadLines(std::vector<std::u16string> lines, wsetting& s, wini& table, CalcWindowPos& pos) {
  auto file = std::make_unique<wini>();
  for (std::u16string& line : lines) file->list->Add(std::move(line));

  table.list->Clear();
  for (int32_t i = 0; i < kLineCount; ++i) {
    table.AddLine(wvar(file->ReadValue(wvar(ButtonKey(i).c_str()))));
  }
  for (const CalcFileKey& key : kKeys) {
    const wvar name(key.name);
    if (key.real != nullptr) {
      s.*key.real = file->ReadValueDef(name, wvar(key.byDefault)).AsReal();
      continue;
    }
    const int32_t value =
        file->ReadValueDef(name, wvar(static_cast<int32_t>(key.byDefault))).AsInt();
    if (key.position != nullptr) {
      pos.*key.position = value;
    } else {
      s.*key.number = value;
    }
  }
  KeepSettingsInRange(s);
}

}  // namespace

const std::vector<CalcFileKey>& CalcFileKeys() { return kKeys; }

const CalcFileKey* OptionKey(int32_t option) {
  if (option <= 0) return nullptr;
  for (const CalcFileKey& key : kKeys) {
    if (key.option == option) return &key;
  }
  return nullptr;
}

const CalcFileKey* FindCalcFileKey(std::u16string_view name) {
  for (const CalcFileKey& key : kKeys) {
    if (SameName(name, key.name)) return &key;
  }
  return nullptr;
}

bool IsCalcFileText(const std::vector<std::u16string>& lines) {
  bool text = false;
  bool onlyPairs = true;
  bool aKey = false;
  for (const std::u16string& line : lines) {
    if (IsBlankLine(line)) continue;
    const size_t eq = line.find(u'=');
    const std::u16string_view name =
        eq == std::u16string::npos ? std::u16string_view() : std::u16string_view(line).substr(0, eq);
    // A file the calculator saved starts with its version line, and may
    // hold lines without "=" (a label's line break) further on.
    if (!text && SameName(name, kVersionKey)) return true;
    text = true;
    if (name.empty()) {
      onlyPairs = false;
      break;
    }
    if (IsButtonKey(name) || FindCalcFileKey(name) != nullptr) aKey = true;
  }
  return !text || (onlyPairs && aKey);
}

CalcFileRead ReadCalcFile(const std::u16string& path, wsetting& s, wini& table,
                          CalcWindowPos& pos, IfMissing missing) {
  CalcFileRead read;
  read.path = AbsolutePath(path);
  std::string name;
  std::string bytes;
  int error = 0;
  // A text that names no file is no file.
  read.status = platform::ToFileName(read.path, name) ? ReadBytes(name, bytes, error)
                                                      : CalcFileStatus::kMissing;
  if (read.status == CalcFileStatus::kUnreadable) read.error = OpenErrorText(read.path, error);
  if (read.status == CalcFileStatus::kMissing && missing == IfMissing::kLoadEmpty) {
    LoadLines({}, s, table, pos);
    read.loaded = true;
  } else if (read.status == CalcFileStatus::kRead) {
    std::vector<std::u16string> lines = TStringList::DecodeLines(bytes);
    bytes = std::string();
    if (!IsCalcFileText(lines)) {
      read.status = CalcFileStatus::kNotCalcFile;
    } else {
      LoadLines(std::move(lines), s, table, pos);
      read.loaded = true;
    }
  }
  return read;
}

StartupRead ReadStartupCalcFile(const std::u16string& exeDir, wsetting& s, wini& table,
                                CalcWindowPos& pos) {
  StartupRead start;
  const CalcFileRead current =
      ReadCalcFile(exeDir + u"/" + kCalcFileName, s, table, pos, IfMissing::kLeave);
  start.shownPath = current.path;
  if (current.loaded) {
    start.currentPath = current.path;
    return start;
  }
  if (current.status == CalcFileStatus::kMissing) {
    start.currentPath = current.path;
  } else {
    start.refused.push_back(current);
  }
  const CalcFileRead templateFile =
      ReadCalcFile(exeDir + u"/" + kTemplateFileName, s, table, pos);
  if (!templateFile.loaded) {
    start.refused.push_back(templateFile);
    LoadLines({}, s, table, pos);
  }
  start.shownPath = templateFile.path;
  return start;
}

std::u16string RefusalText(const CalcFileRead& read) {
  const char16_t* why = nullptr;
  switch (read.status) {
    case CalcFileStatus::kNotRegular: why = u"通常のファイルではないため開きません。"; break;
    case CalcFileStatus::kTooLarge: why = u"電卓ファイルとしては大きすぎるため開きません。"; break;
    case CalcFileStatus::kNotCalcFile: why = u"電卓ファイルではないため開きません。"; break;
    default: return std::u16string();
  }
  return why + (u"\n" + read.path);
}

void WriteCalcFile(const std::u16string& path, const wsetting& s, wini& table,
                   const CalcWindowPos& pos) {
  auto file = std::make_unique<wini>();
  file->WriteValue(wvar(kVersionKey), wvar(kVersionText));
  for (int32_t i = 0; i < kLineCount && i < table.list->Count(); ++i) {
    const std::u16string& line = table.list->Get(i);
    if (!line.empty()) file->WriteValue(wvar(ButtonKey(i).c_str()), wvar(line.c_str()));
  }
  for (const CalcFileKey& key : kKeys) {
    const wvar name(key.name);
    if (key.real != nullptr) {
      file->WriteValue(name, wvar(s.*key.real));
    } else {
      file->WriteValue(name, wvar(key.position != nullptr ? pos.*key.position : s.*key.number));
    }
  }
  file->SaveFile(wvar(path.c_str()));
  std::string name;
  if (platform::ToFileName(path, name)) platform::RemoveOldTempsBeside(name, kProgramStart);
}

std::u16string AbsolutePath(const std::u16string& path) {
  if (path.empty() || path[0] == u'/') return path;
  std::unique_ptr<char, decltype(&free)> folder(getcwd(nullptr, 0), &free);
  // Without a current folder the path stays as it is: the open or save
  // then fails as it would have.
  if (folder == nullptr) return path;
  std::u16string full = platform::FromFileName(folder.get());
  if (full.empty() || full.back() != u'/') full += u'/';
  return full + path;
}

std::u16string CalcFileTitle(const std::u16string& path) {
  size_t slash = path.rfind(u'/');
  std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos && dot > 0) name.resize(dot);
  return name;
}
