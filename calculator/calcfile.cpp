// calcfile: the calculator file, its button lines and settings keys, read and written.
#include "calculator/calcfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "platform/replace.h"
#include "platform/text.h"

namespace {

constexpr int32_t kLineCount = 71;

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

bool IsBlankLine(std::u16string_view line) {
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

// The bytes of the regular file `name` (in the folder `folder`, or the
// current one for AT_FDCWD), read once. The path is looked at before it is
// opened, so that no device is opened at all; the descriptor is looked at
// again, since the path may name something else by then. With `expected`,
// a file other than that one counts as missing.
CalcFileStatus ReadBytes(int folder, const std::string& name, std::string& bytes, int& error,
                         const struct stat* expected = nullptr) {
  struct stat st;
  if (fstatat(folder, name.c_str(), &st, 0) != 0) {
    error = errno;
    return error == ENOENT || error == ENOTDIR ? CalcFileStatus::kMissing
                                               : CalcFileStatus::kUnreadable;
  }
  if (CalcFileStatus kind = StatusOfKind(st); kind != CalcFileStatus::kRead) return kind;
  Descriptor file;
  // Without O_NONBLOCK the open of a pipe put in the file's place would
  // wait for a writer that may never come.
  file.fd = openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file.fd < 0) {
    error = errno;
    return error == ENOENT ? CalcFileStatus::kMissing : CalcFileStatus::kUnreadable;
  }
  if (fstat(file.fd, &st) != 0) {
    error = errno;
    return CalcFileStatus::kUnreadable;
  }
  if (expected != nullptr && (st.st_dev != expected->st_dev || st.st_ino != expected->st_ino)) {
    return CalcFileStatus::kMissing;
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

// Whether a file's lines, given one by one, are a calculator file's.
class Recognition {
public:
  // False once the answer is known.
  bool Line(std::u16string_view line) {
    if (IsBlankLine(line)) return true;
    const size_t eq = line.find(u'=');
    const std::u16string_view name = eq == std::u16string_view::npos ? std::u16string_view()
                                                                      : line.substr(0, eq);
    // A file the calculator saved starts with its version line, and may
    // hold lines without "=" (a label's line break) further on.
    if (!text_ && SameName(name, kVersionKey)) {
      version_ = true;
      return false;
    }
    text_ = true;
    if (name.empty()) {
      onlyPairs_ = false;
      return false;
    }
    if (IsButtonKey(name) || FindCalcFileKey(name) != nullptr) aKey_ = true;
    return true;
  }
  bool IsCalcFile() const { return version_ || !text_ || (onlyPairs_ && aKey_); }

private:
  bool text_ = false;
  bool onlyPairs_ = true;
  bool aKey_ = false;
  bool version_ = false;
};

// What a load takes from a file: for each button line and each setting
// the value of its first line ("" for none), cut at a NUL as the line list
// reads values.
struct FileValues {
  std::array<std::u16string, kLineCount> buttons;
  std::vector<std::u16string> settings = std::vector<std::u16string>(kKeys.size());
};

std::u16string ValueText(std::u16string_view value) {
  return std::u16string(value.substr(0, value.find(u'\0')));
}

FileValues ValuesOf(std::u16string_view text) {
  FileValues values;
  std::array<bool, kLineCount> button{};
  std::vector<bool> setting(kKeys.size());
  TStringList::ForEachLine(text, [&](std::u16string_view line) {
    const size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) return true;
    const std::u16string_view name = line.substr(0, eq);
    const std::u16string_view value = line.substr(eq + 1);
    if (IsButtonKey(name)) {
      int32_t n = 0;
      for (char16_t d : name.substr(1)) n = n * 10 + (d - u'0');
      if (!button[n]) values.buttons[n] = ValueText(value);
      button[n] = true;
    } else if (const CalcFileKey* key = FindCalcFileKey(name)) {
      const size_t k = static_cast<size_t>(key - kKeys.data());
      if (!setting[k]) values.settings[k] = ValueText(value);
      setting[k] = true;
    }
    return true;
  });
  return values;
}

// Units of a button line as the file holds it: key, "=", the line, CR LF.
int64_t LineUnits(int32_t i, size_t units) {
  return static_cast<int64_t>(ButtonKey(i).size() + 1 + units + 2);
}

// The bytes of the mark, the version line and the settings, each setting
// at its longest text: an integer of 11 characters, a real of 31.
int64_t FixedBytes() {
  constexpr int64_t kLongestInteger = 11, kLongestReal = 31;
  int64_t units = 1 + static_cast<int64_t>(std::char_traits<char16_t>::length(kVersionKey) + 1 +
                                           std::char_traits<char16_t>::length(kVersionText) + 2);
  for (const CalcFileKey& key : kKeys) {
    units += static_cast<int64_t>(std::char_traits<char16_t>::length(key.name)) + 1 +
             (key.real != nullptr ? kLongestReal : kLongestInteger) + 2;
  }
  return 2 * units;
}

template <class Units>
int64_t BytesOf(Units unitsOf) {
  int64_t bytes = FixedBytes();
  for (int32_t i = 0; i < kLineCount; ++i) {
    const size_t units = unitsOf(i);
    if (units > 0) bytes += 2 * LineUnits(i, units);
  }
  return bytes;
}

// The bytes of a save of the table with line `index` replaced by `line`.
int64_t SavedBytes(const wini& table, int32_t index, std::u16string_view line) {
  return BytesOf([&](int32_t i) {
    if (i == index) return line.size();
    return i < table.list->Count() ? table.list->Get(i).size() : size_t{0};
  });
}

// Fills the table and the settings from what a file gave (nothing for a
// missing one).
void LoadValues(FileValues values, wsetting& s, wini& table, CalcWindowPos& pos) {
  table.list->Clear();
  // Moved, not copied: a file's lines may be most of its size.
  for (std::u16string& line : values.buttons) table.list->Add(std::move(line));
  for (size_t k = 0; k < kKeys.size(); ++k) {
    const CalcFileKey& key = kKeys[k];
    wvar value(values.settings[k].c_str());
    if (key.real != nullptr) {
      s.*key.real = value.Length() == 0 ? key.byDefault : value.AsReal();
      continue;
    }
    const int32_t number = value.Length() == 0 ? static_cast<int32_t>(key.byDefault) : value.AsInt();
    if (key.position != nullptr) {
      pos.*key.position = number;
    } else {
      s.*key.number = number;
    }
  }
  KeepSettingsInRange(s);
}

// Why a save leaves alone what stands at its path; "" when it may replace it.
std::string ReasonNotToReplace(CalcFileStatus status) {
  switch (status) {
    case CalcFileStatus::kNotRegular: return "通常のファイルではないため置き換えません。";
    case CalcFileStatus::kTooLarge: return "電卓ファイルとしては大きすぎるため置き換えません。";
    case CalcFileStatus::kNotCalcFile: return "電卓ファイルではないため置き換えません。";
    default: return std::string();
  }
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

bool IsCalcFileText(std::u16string_view text) {
  Recognition recognition;
  TStringList::ForEachLine(text, [&](std::u16string_view line) { return recognition.Line(line); });
  return recognition.IsCalcFile();
}

int64_t CalcFileBytes(const wini& table) { return SavedBytes(table, -1, {}); }

bool FitsCalcFile(const wini& table, int32_t index, std::u16string_view line) {
  return SavedBytes(table, index, line) <= kMaxCalcFileBytes;
}

bool ChangeButtonLine(wini& table, int32_t index, const std::function<void(wini& line)>& change) {
  wini one;
  one.list->Add(table.list->Get(index));
  change(one);
  if (!FitsCalcFile(table, index, one.list->Get(0))) return false;
  table.list->Put(index, one.list->Get(0));
  return true;
}

CalcFileRead ReadCalcFile(const std::u16string& path, wsetting& s, wini& table,
                          CalcWindowPos& pos, IfMissing missing) {
  CalcFileRead read;
  read.path = AbsolutePath(path);
  std::string name;
  std::string bytes;
  int error = 0;
  // A text that names no file is no file.
  read.status = platform::ToFileName(read.path, name) ? ReadBytes(AT_FDCWD, name, bytes, error)
                                                      : CalcFileStatus::kMissing;
  if (read.status == CalcFileStatus::kUnreadable) read.error = OpenErrorText(read.path, error);
  if (read.status == CalcFileStatus::kMissing && missing == IfMissing::kLoadEmpty) {
    LoadValues(FileValues(), s, table, pos);
    read.loaded = true;
  } else if (read.status == CalcFileStatus::kRead) {
    std::u16string text = TStringList::DecodeText(bytes);
    bytes = std::string();
    if (!IsCalcFileText(text)) {
      read.status = CalcFileStatus::kNotCalcFile;
      return read;
    }
    FileValues values = ValuesOf(text);
    text = std::u16string();
    // What is loaded must save again within the limit: a file of 8-bit text
    // takes twice its size once saved.
    if (BytesOf([&](int32_t i) { return values.buttons[i].size(); }) > kMaxCalcFileBytes) {
      read.status = CalcFileStatus::kTooLarge;
      return read;
    }
    LoadValues(std::move(values), s, table, pos);
    read.loaded = true;
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
    LoadValues(FileValues(), s, table, pos);
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
  const std::string shown = platform::ToUtf8(path);
  std::string fileName;
  const bool named = platform::ToFileName(path, fileName);
  // Every change to the lines is held to the limit; this is the last guard
  // against a file that would not open again.
  if (CalcFileBytes(table) > kMaxCalcFileBytes) {
    throw EFCreateError("Cannot create file \"" + shown +
                        "\". 電卓ファイルとしては大きすぎるため保存できません。");
  }
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
  // Only a calculator file is replaced, by the rule that opens one, also
  // when a link put at the path since names another file.
  std::string refusal;
  const platform::ReplaceCheck onlyCalcFile = [&](const std::string& target, int folder,
                                                  const std::string& name,
                                                  const struct stat* existing) {
    if (existing == nullptr) return true;
    std::string bytes;
    int error = 0;
    CalcFileStatus status = ReadBytes(folder, name, bytes, error, existing);
    if (status == CalcFileStatus::kRead && !IsCalcFileText(TStringList::DecodeText(bytes))) {
      status = CalcFileStatus::kNotCalcFile;
    }
    if (status == CalcFileStatus::kRead || status == CalcFileStatus::kMissing) return true;
    const std::string why = ReasonNotToReplace(status);
    if (!why.empty()) {
      refusal = "Cannot create file \"" + shown + "\". " +
                (target == fileName ? std::string() : "「" + target + "」は") + why;
    }
    errno = error != 0 ? error : EEXIST;
    return false;
  };
  try {
    file->list->SaveToFile(path, onlyCalcFile);
  } catch (const EFCreateError&) {
    if (!refusal.empty()) throw EFCreateError(refusal);
    throw;
  }
  if (named) platform::RemoveLeftTempsBeside(fileName);
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
