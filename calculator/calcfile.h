// calcfile: the calculator file, its button lines and settings keys, read and written.
// The calculator file: 71 button lines under B0 to B70 and the settings keys,
// UTF-16LE with a byte-order mark. Reading and writing only; the window side
// (layout, title, automatic program) applies what these give.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/wini.h"
#include "calculator/wsetting.h"

// The default calculator file beside the program, and the template read
// (never written) when it is missing.
inline constexpr char16_t kCalcFileName[] = u"zimro.ini";
inline constexpr char16_t kTemplateFileName[] = u"zimro.si";

// The name of the version line, written first and never read.
inline constexpr char16_t kVersionKey[] = u"Zimro";
inline constexpr char16_t kVersionText[] = u"1.30";

// No calculator file is larger: the interpreter refuses script files above
// this size too. What the calculator holds is kept within it (FitsCalcFile),
// so that every file it saves opens again.
inline constexpr int64_t kMaxCalcFileBytes = int64_t{64} << 20;

// The main window's edges, kept in the file as Top and Left.
inline constexpr int32_t kDefaultTop = 100;
inline constexpr int32_t kDefaultLeft = 200;
struct CalcWindowPos {
  int32_t top = kDefaultTop;
  int32_t left = kDefaultLeft;
};

// One setting of the file: its key, the field a load fills, the value a
// missing or empty key gives, and the values SetOption accepts (its option
// number, 0 for none). The button rows are also brought into their range by
// every load, so that no layout reaches past the buttons that exist; no
// other value is limited at load.
struct CalcFileKey {
  const char16_t* name;
  int32_t CalcWindowPos::*position = nullptr;  // Top and Left
  int32_t wsetting::*number = nullptr;         // the integer settings
  double wsetting::*real = nullptr;            // Mix1 to Mix3
  double byDefault = 0;
  int32_t option = 0;
  int32_t low = INT32_MIN;
  int32_t high = INT32_MAX;
  bool rangeAtLoad = false;
};

// The settings keys in the order the file holds them, after the version
// line and the button lines.
const std::vector<CalcFileKey>& CalcFileKeys();
// The key of SetOption's option number; nullptr for a number without one.
const CalcFileKey* OptionKey(int32_t option);
// The key of that name, matched without regard to case; nullptr for none.
const CalcFileKey* FindCalcFileKey(std::u16string_view name);

// Whether a file's text (as it decodes) is a calculator file's: the
// version line first, or only name=value lines at least one of which is a
// key of the file; also no text at all. Any other file is another
// program's (its settings, notes, a picture) and is never loaded, so no
// save replaces it.
bool IsCalcFileText(std::u16string_view text);

// The most bytes a save of the table writes: its button lines, and the
// version line and the settings at their longest, wherever the window
// stands and whatever the settings are.
int64_t CalcFileBytes(const wini& buttonTable);
// Whether a save stays within kMaxCalcFileBytes with line `index` of the
// table replaced by `line`.
bool FitsCalcFile(const wini& buttonTable, int32_t index, std::u16string_view line);
// Changes line `index` as `change` changes line 0 of a one-line list that
// holds it, and keeps the change when the file still fits; false, the line
// unchanged, when it would not.
bool ChangeButtonLine(wini& buttonTable, int32_t index,
                      const std::function<void(wini& line)>& change);
// What the warning box says when a change to a button would not fit.
inline constexpr char16_t kButtonTooLargeText[] =
    u"電卓ファイルが 64 MiB を超えてしまうため、このボタンには入れられません。";

// What opening a file came to.
enum class CalcFileStatus {
  kRead,         // read and loaded
  kMissing,      // no such file
  kNotRegular,   // a folder, pipe, device or socket: refused
  kTooLarge,     // larger than kMaxCalcFileBytes: refused
  kUnreadable,   // refused; error says why
  kNotCalcFile,  // another kind of file: refused
};

struct CalcFileRead {
  CalcFileStatus status = CalcFileStatus::kMissing;
  bool loaded = false;  // the table and the settings hold the file's
  std::u16string path;  // made absolute
  std::string error;    // for kUnreadable: "Cannot open file ..." and the reason
};

// What a read does when there is no file: load an empty one, or leave
// everything as it is (a command-line argument that names no file).
enum class IfMissing { kLoadEmpty, kLeave };

// The one way a calculator file is opened. A relative path is taken in the
// current folder now. Only a regular file of at most kMaxCalcFileBytes is
// read (opened without blocking, so a pipe or a device never holds it up),
// once; those bytes are recognised (IsCalcFileText) and loaded, in memory of
// a small multiple of their size, unless what they hold would save larger
// than kMaxCalcFileBytes (kTooLarge). A missing
// file loads as an empty one (71 empty lines and every default) unless
// told to leave things. Unless `loaded`, buttonTable, setting and pos are as
// they were. Otherwise buttonTable holds exactly 71 lines, the settings
// fields a load owns are set (the rows kept within their ranges) and pos
// holds Top and Left as the file gives them.
CalcFileRead ReadCalcFile(const std::u16string& path, wsetting& setting, wini& buttonTable,
                          CalcWindowPos& pos, IfMissing missing = IfMissing::kLoadEmpty);

// What start-up reads from the program's folder exeDir: zimro.ini, which
// becomes the current file; when it is missing the template zimro.si in its
// place, zimro.ini staying current so that the first save creates it. A
// zimro.ini that is refused is left alone: the template is read and no file
// is current, so nothing replaces it. A template that is refused gives an
// empty calculator.
struct StartupRead {
  std::vector<CalcFileRead> refused;  // to report, in this order
  std::u16string currentPath;         // "" for none
  std::u16string shownPath;           // the file whose name the title shows
};
StartupRead ReadStartupCalcFile(const std::u16string& exeDir, wsetting& setting,
                                wini& buttonTable, CalcWindowPos& pos);

// The warning box's text for a refused file: why, a line break, the path.
// "" for a file that was loaded or is unreadable (reported by its error).
std::u16string RefusalText(const CalcFileRead& read);

// Writes the version line, the non-empty button lines and the settings to
// path, replacing the file as a whole (platform::ReplaceFileContents), and
// removes what earlier saves of it that were killed left beside it. What
// stands at the path, once its links are followed, is replaced only when it
// is missing or a calculator file by the rule that opens one. Raises
// EFCreateError, naming the file and why, when it cannot be written; the old
// file is then left as it was.
void WriteCalcFile(const std::u16string& path, const wsetting& setting, wini& buttonTable,
                   const CalcWindowPos& pos);

// path taken in the current folder: unchanged when absolute or empty.
std::u16string AbsolutePath(const std::u16string& path);

// The title strip's text for a file: its name without folder and extension.
std::u16string CalcFileTitle(const std::u16string& path);

