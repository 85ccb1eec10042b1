// wini: the line list and the button lines of a calculator file.
#include "calculator/wini.h"

#include <bit>
#include <cstring>
#include <string>

#include "calculator/stringlist.h"
#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

std::u16string TextOf(const wvar& v) {
  if (v.type == vtString) return v.Chars();
  wvar copy(v);
  return copy.AsString();
}

bool IsStringWithText(const wvar& v) { return v.type == vtString && v.Length() > 0; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The first `len` units of s read as the wide-text base-16 reading does:
// leading blanks, a sign, an optional 0x, then hex digits as far as they go.
long ReadHex(const char16_t* s, int len) {
  int i = 0;
  while (i < len && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < len && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  if (i + 2 < len && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X') &&
      HexDigit(s[i + 2]) >= 0) {
    i += 2;
  }
  long value = 0;
  for (; i < len && HexDigit(s[i]) >= 0; ++i) value = value * 16 + HexDigit(s[i]);
  return negative ? -value : value;
}

// A zero-filled block of the global heap for one coding, freed however the
// coding ends.
class ScratchBuffer {
public:
  explicit ScratchBuffer(size_t bytes) : block_(GlobalAlloc(GMEM_ZEROINIT, bytes)) {
    if (block_ == nullptr) throw EOutOfMemory();
  }
  ~ScratchBuffer() { GlobalFree(block_); }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;
  void* get() const { return GlobalLock(block_); }

private:
  HGLOBAL block_;
};

}  // namespace

wini::wini() : list(new TStringList) {}

wini::~wini() { delete list; }

int32_t wini::LoadFile(const wvar& path) {
  std::u16string name = TextOf(path);
  if (!FileExists(name)) return 0;
  list->LoadFromFile(name);
  return 1;
}

int32_t wini::SaveFile(const wvar& path) {
  list->SaveToFile(TextOf(path));
  return 1;
}

wvar& wini::ReadValue(const wvar& name) {
  label = list->Values(TextOf(name)).c_str();
  return label;
}

wvar& wini::ReadValueDef(const wvar& name, const wvar& def) {
  ReadValue(name);
  if (label.Length() == 0) label = def;
  return label;
}

void wini::WriteValue(const wvar& name, const wvar& value) {
  std::u16string key = TextOf(name);
  std::u16string line = key + u"=" + TextOf(value);
  int32_t index = list->IndexOfName(key);
  if (index < 0) {
    list->Add(std::move(line));
  } else {
    list->Put(index, std::move(line));
  }
}

void wini::AddLine(const wvar& text) { list->Add(TextOf(text)); }

wvar& wini::GetLine(int32_t index) {
  label = list->Get(index).c_str();
  return label;
}

void wini::SetLine(int32_t index, const wvar& text) { list->Put(index, TextOf(text)); }

wvar& wini::GetField(int32_t index, int32_t n) {
  wvar line(list->Get(index).c_str());
  ParseLine(line);
  HexDecode(program);
  HexDecode(extra);
  switch (n) {
    case 1: return label;
    case 2: return textColor;
    case 3: return backColor;
    case 4: return source;
    case 5: return program;
    case 6: return extra;
    default:
      label = u"";
      return label;
  }
}

void wini::SetField(int32_t index, int32_t n, const wvar& value) {
  wvar line(list->Get(index).c_str());
  wvar copy(value);  // value may be one of the fields the parse resets
  ParseLine(line);
  HexDecode(program);
  HexDecode(extra);
  switch (n) {
    case 1: label = copy; break;
    case 2: textColor = copy; break;
    case 3: backColor = copy; break;
    case 5: program = copy; break;
    case 6: extra = copy; break;
    default: break;  // field 4 is never stored; the line is still rebuilt
  }
  list->Put(index, Rebuild(true).Chars());
}

void wini::NormalizeLine(wvar& text) {
  ParseLine(text);
  text = Rebuild(false);
}

wvar wini::Rebuild(bool code) {
  wvar out(u"");
  const wvar* plain[] = {&label, &textColor, &backColor};
  const char16_t* plainMarkers[] = {u"\\1", u"\\2", u"\\3"};
  for (int i = 0; i < 3; ++i) {
    if (IsStringWithText(*plain[i])) {
      out.Append(plainMarkers[i]);
      out.Append(plain[i]->Chars());
    }
  }
  const wvar* coded[] = {&program, &extra};
  const char16_t* codedMarkers[] = {u"\\5", u"\\6"};
  for (int i = 0; i < 2; ++i) {
    if (IsStringWithText(*coded[i])) {
      wvar digits(*coded[i]);
      if (code) HexEncode(digits);
      out.Append(codedMarkers[i]);
      out.Append(digits.Chars());
    }
  }
  return out;
}

wvar* wini::Field(char16_t marker) {
  switch (marker) {
    case u'1': case u'\'': return &label;
    case u'2': case u'c': case u'C': return &textColor;
    case u'3': case u'b': case u'B': return &backColor;
    case u'4': case u'/': case u'=': return &source;
    case u'5': return &program;
    case u'6': return &extra;
    default: return nullptr;
  }
}

char16_t wini::MarkerAt(const char16_t* p) {
  if (p[0] == 0) return u'#';
  if (p[0] != u'\\') return 0;
  static const char16_t kFieldChars[] = u"123456'cbCB/=";
  for (const char16_t* f = kFieldChars; *f != 0; ++f) {
    if (p[1] == *f) return *f;
  }
  return 0;
}

void wini::ParseLine(const wvar& text) {
  std::u16string s = TextOf(text);  // text may be one of the fields
  wvar* fields[] = {&label, &textColor, &backColor, &source, &program, &extra};
  for (wvar* f : fields) *f = u"";
  const size_t n = s.size();
  const char16_t* t = s.c_str();
  char16_t open = 0;
  size_t start = 0;
  size_t p = 0;
  while (p <= n) {
    char16_t marker = MarkerAt(t + p);
    if (marker == 0) {
      ++p;
      continue;
    }
    if (open != 0) {
      wvar* field = Field(open);
      if (p > start) *field = std::u16string(t + start, p - start).c_str();
      if (field == &source) {
        source.ReplaceAll(wvar(u"\\y\\n"), wvar(u"\r\n"));
        program = source;
        HexEncode(program);
      }
    }
    open = marker;
    start = p + 2;
    p += 2;
  }
}

void wini::BytesToHex(const uint8_t* bytes, char16_t* out, int32_t count) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  for (int32_t k = 0; k < count; ++k) {
    out[2 * k] = kDigits[bytes[k] >> 4];
    out[2 * k + 1] = kDigits[bytes[k] & 15];
  }
}

void wini::HexToBytes(uint8_t* out, const char16_t* hex, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    const char16_t* pair = hex + 2 * k;
    if (pair[0] == 0) {
      out[k] = 0;
      out[k + 1] = 0;
      return;
    }
    if (pair[1] == 0) {  // an odd digit count: the last digit alone
      out[k] = static_cast<uint8_t>(ReadHex(pair, 1));
      return;
    }
    out[k] = static_cast<uint8_t>(ReadHex(pair, 2));
  }
}

// The coding is of the units' bytes low byte first, as they lie in memory.
static_assert(std::endian::native == std::endian::little);

void wini::HexEncode(wvar& text) {
  if (text.type != vtString) return;
  const int32_t n = text.Length();
  if (n == 0) return;
  ScratchBuffer scratch(8 * static_cast<size_t>(n) + 2);
  auto* buffer = static_cast<char16_t*>(scratch.get());
  BytesToHex(reinterpret_cast<const uint8_t*>(text.Chars()), buffer, 2 * n);
  text = buffer;
}

void wini::HexDecode(wvar& text) {
  if (text.type != vtString) return;
  const int32_t n = text.Length();
  if (n == 0) return;
  const size_t bytes = 2 * static_cast<size_t>(n) + 2;
  ScratchBuffer scratch(bytes);
  auto* buffer = static_cast<uint8_t*>(scratch.get());
  HexToBytes(buffer, text.Chars(), n);
  std::u16string decoded;
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    char16_t unit;
    std::memcpy(&unit, buffer + i, sizeof unit);
    if (unit == 0) break;
    decoded.push_back(unit);
  }
  text = decoded.c_str();
}
