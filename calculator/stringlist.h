// stringlist: a list of UTF-16 lines with name=value access.
// A list of UTF-16 lines, with name=value access and file loading and saving,
// as the line list and the calculator file use it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/replace.h"

class TStringList {
public:
  int32_t Count() const { return static_cast<int32_t>(lines_.size()); }
  // An index outside 0 .. Count() - 1 raises EListError.
  const std::u16string& Get(int32_t index) const;
  void Put(int32_t index, std::u16string text);
  // Returns the new line's index.
  int32_t Add(std::u16string text);
  void Clear() { lines_.clear(); }

  // The first line whose name (the text before its first "=") equals name
  // without regard to case; -1 when there is none. Lines without "=" have no
  // name.
  int32_t IndexOfName(std::u16string_view name) const;
  // The text after the first "=" of that line; "" when there is none.
  std::u16string Values(std::u16string_view name) const;

  // Replaces the lines by the file's. The encoding follows the byte-order
  // mark (UTF-16LE, UTF-16BE, UTF-8; without one CP932); lines end at CR, LF
  // or CR LF. Raises EFOpenError, leaving the list as it was.
  void LoadFromFile(const std::u16string& path);
  // Writes UTF-16LE with FF FE, CR LF after every line, replacing the file
  // as a whole as platform::ReplaceFileContents does: a failed save, or one
  // of a file that may not be written or that mayReplace refuses, raises
  // EFCreateError and leaves the old file as it was.
  void SaveToFile(const std::u16string& path, const platform::ReplaceCheck& mayReplace = {}) const;

  // A file's bytes as text, decoded as LoadFromFile does, and its lines.
  static std::u16string DecodeText(std::string_view bytes);
  static std::vector<std::u16string> DecodeLines(std::string_view bytes);
  // Calls line(view) for each line of a text, as the list splits a file: a
  // line ends at CR, LF or CR LF, and text after the last end is a line.
  // Nothing is copied. A line() that returns false ends the walk.
  template <class Line>
  static void ForEachLine(std::u16string_view text, Line line) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c != u'\r' && c != u'\n') continue;
      if (!line(text.substr(start, i - start))) return;
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      start = i + 1;
    }
    if (start < text.size()) line(text.substr(start));
  }

private:
  std::string Bytes() const;

  std::vector<std::u16string> lines_;
};

// Whether path names a regular file (through symbolic links). A folder, a
// pipe or a device is no file to load.
bool FileExists(const std::u16string& path);
