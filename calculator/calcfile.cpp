// calcfile: the calculator file, its button lines and settings keys, read and written.
#include "calculator/calcfile.h"

#include <sys/stat.h>
#include <time.h>

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

std::u16string ButtonKey(int32_t i) {
  std::u16string key(1, u'B');
  for (char d : std::to_string(i)) key += static_cast<char16_t>(d);
  return key;
}

int32_t ReadInt(wini& file, const char16_t* key, int32_t def) {
  return file.ReadValueDef(wvar(key), wvar(def)).AsInt();
}

double ReadReal(wini& file, const char16_t* key, double def) {
  return file.ReadValueDef(wvar(key), wvar(def)).AsReal();
}

void WriteInt(wini& file, const char16_t* key, int32_t value) {
  file.WriteValue(wvar(key), wvar(value));
}

void WriteReal(wini& file, const char16_t* key, double value) {
  file.WriteValue(wvar(key), wvar(value));
}

// The names of a calculator file's lines besides B0 to B70.
constexpr const char16_t* kOtherKeys[] = {
    u"Zimro",           u"Top",             u"Left",            u"ButtonEditMode",
    u"StayOnTop",       u"ButtonDispLine1", u"ButtonDispLine2", u"ButtonDispLine3",
    u"ButtonDispLine4", u"DispWidth",       u"DispHeight",      u"DispFontSize",
    u"FormColor",       u"TitleColor",      u"TextColor",       u"ButtonColor",
    u"Mix1",            u"Mix2",            u"Mix3"};

bool FileExists(const std::u16string& path) {
  std::string name;
  struct stat st;
  return platform::ToFileName(path, name) && stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

void ReadCalcFile(const std::u16string& path, wsetting& s, wini& table, CalcWindowPos& pos) {
  using namespace calcdefaults;
  // The whole file is read before anything changes, so a file that cannot
  // be read leaves the calculator as it was.
  auto file = std::make_unique<wini>();
  file->LoadFile(wvar(path.c_str()));

  table.list->Clear();
  for (int32_t i = 0; i < kLineCount; ++i) {
    table.AddLine(wvar(file->ReadValue(wvar(ButtonKey(i).c_str()))));
  }

  pos.top = ReadInt(*file, u"Top", kTop);
  pos.left = ReadInt(*file, u"Left", kLeft);
  s.buttonEditMode = ReadInt(*file, u"ButtonEditMode", kButtonEditMode);
  s.stayOnTop = ReadInt(*file, u"StayOnTop", kStayOnTop);
  s.buttonDispLine1 = ReadInt(*file, u"ButtonDispLine1", kButtonDispLine1);
  s.buttonDispLine2 = ReadInt(*file, u"ButtonDispLine2", kButtonDispLine2);
  s.buttonDispLine3 = ReadInt(*file, u"ButtonDispLine3", kButtonDispLine3);
  s.buttonDispLine4 = ReadInt(*file, u"ButtonDispLine4", kButtonDispLine4);
  s.dispWidth = ReadInt(*file, u"DispWidth", kDispWidth);
  s.dispHeight = ReadInt(*file, u"DispHeight", kDispHeight);
  s.dispFontSize = ReadInt(*file, u"DispFontSize", kDispFontSize);
  s.formColor = ReadInt(*file, u"FormColor", kFormColor);
  s.titleColor = ReadInt(*file, u"TitleColor", kTitleColor);
  s.textColor = ReadInt(*file, u"TextColor", kTextColor);
  s.buttonColor = ReadInt(*file, u"ButtonColor", kButtonColor);
  s.mix1 = ReadReal(*file, u"Mix1", kMix1);
  s.mix2 = ReadReal(*file, u"Mix2", kMix2);
  s.mix3 = ReadReal(*file, u"Mix3", kMix3);

  KeepSettingsInRange(s);
}

void WriteCalcFile(const std::u16string& path, const wsetting& s, wini& table,
                   const CalcWindowPos& pos) {
  auto file = std::make_unique<wini>();
  file->WriteValue(wvar(u"Zimro"), wvar(u"1.30"));
  for (int32_t i = 0; i < kLineCount && i < table.list->Count(); ++i) {
    const std::u16string& line = table.list->Get(i);
    if (!line.empty()) file->WriteValue(wvar(ButtonKey(i).c_str()), wvar(line.c_str()));
  }
  WriteInt(*file, u"Top", pos.top);
  WriteInt(*file, u"Left", pos.left);
  WriteInt(*file, u"ButtonEditMode", s.buttonEditMode);
  WriteInt(*file, u"StayOnTop", s.stayOnTop);
  WriteInt(*file, u"ButtonDispLine1", s.buttonDispLine1);
  WriteInt(*file, u"ButtonDispLine2", s.buttonDispLine2);
  WriteInt(*file, u"ButtonDispLine3", s.buttonDispLine3);
  WriteInt(*file, u"ButtonDispLine4", s.buttonDispLine4);
  WriteInt(*file, u"DispWidth", s.dispWidth);
  WriteInt(*file, u"DispHeight", s.dispHeight);
  WriteInt(*file, u"DispFontSize", s.dispFontSize);
  WriteInt(*file, u"FormColor", s.formColor);
  WriteInt(*file, u"TitleColor", s.titleColor);
  WriteInt(*file, u"TextColor", s.textColor);
  WriteInt(*file, u"ButtonColor", s.buttonColor);
  WriteReal(*file, u"Mix1", s.mix1);
  WriteReal(*file, u"Mix2", s.mix2);
  WriteReal(*file, u"Mix3", s.mix3);
  file->SaveFile(wvar(path.c_str()));
  std::string name;
  if (platform::ToFileName(path, name)) platform::RemoveOldTempsBeside(name, kProgramStart);
}

bool IsCalcFile(const std::u16string& path) {
  if (!FileExists(path)) return true;
  TStringList list;
  try {
    list.LoadFromFile(path);
  } catch (const EFileError&) {
    return true;  // the load itself reports it
  }
  // A key found as the load finds it, in any case.
  for (int32_t i = 0; i < kLineCount; ++i) {
    if (list.IndexOfName(ButtonKey(i)) >= 0) return true;
  }
  for (const char16_t* key : kOtherKeys) {
    if (list.IndexOfName(key) >= 0) return true;
  }
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (!list.Get(i).empty()) return false;
  }
  return true;
}

std::u16string CalcFileTitle(const std::u16string& path) {
  size_t slash = path.rfind(u'/');
  std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos && dot > 0) name.resize(dot);
  return name;
}

std::u16string CurrentCalcFilePath(const std::u16string& exeDir) {
  return exeDir + u"/" + kCalcFileName;
}

std::u16string StartupCalcFileToRead(const std::u16string& exeDir) {
  std::u16string current = CurrentCalcFilePath(exeDir);
  if (FileExists(current)) return current;
  return exeDir + u"/" + kTemplateFileName;
}
