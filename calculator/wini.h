// wini: the line list and the button lines of a calculator file.
// name=value lines of a calculator file, and button lines that
// pack a button's label, colours and program into one line, field by field.
#pragma once

#include <cstdint>

#include "values/wvar.h"

class TStringList;

class wini {
public:
  TStringList* list;
  // The fields of the last parsed button line; also the result slot of the
  // operations that return a text. Results are references into the object,
  // overwritten by the next operation on it.
  wvar label;      // 1
  wvar textColor;  // 2, six hex digits of 0x00BBGGRR, "" for the default
  wvar backColor;  // 3
  wvar source;     // 4, the program as plain text
  wvar program;    // 5, hex-coded in the line
  wvar extra;      // 6, hex-coded in the line; only carried along

  wini();
  ~wini();
  wini(const wini&) = delete;
  wini& operator=(const wini&) = delete;

  // 1 when the file existed and was loaded, 0 (list unchanged) when there is
  // no such file (FileExists). A file that cannot be read raises EFOpenError.
  int32_t LoadFile(const wvar& path);
  // Always 1; a file that cannot be written raises EFCreateError.
  int32_t SaveFile(const wvar& path);

  wvar& ReadValue(const wvar& name);
  wvar& ReadValueDef(const wvar& name, const wvar& def);
  void WriteValue(const wvar& name, const wvar& value);

  // Line indexes outside the list raise EListError.
  void AddLine(const wvar& text);
  wvar& GetLine(int32_t index);
  void SetLine(int32_t index, const wvar& text);
  wvar& GetField(int32_t index, int32_t n);
  void SetField(int32_t index, int32_t n, const wvar& value);

  void NormalizeLine(wvar& text);
  void ParseLine(const wvar& text);
  // The field character when a marker starts at p, '#' at the end of the
  // text, else 0.
  static char16_t MarkerAt(const char16_t* p);

  static void HexEncode(wvar& text);
  static void HexDecode(wvar& text);
  static void BytesToHex(const uint8_t* bytes, char16_t* out, int32_t count);
  static void HexToBytes(uint8_t* out, const char16_t* hex, int32_t count);

private:
  wvar* Field(char16_t marker);
  // The canonical line of the six fields; fields 5 and 6 coded when `code`.
  wvar Rebuild(bool code);
};
