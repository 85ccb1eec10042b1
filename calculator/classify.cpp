// classify: the input classifier of button programs and display lines.
#include "calculator/classify.h"

#include "platform/text.h"

namespace {

std::u16string_view UpToNul(std::u16string_view text) {
  size_t nul = text.find(u'\0');
  return nul == std::u16string_view::npos ? text : text.substr(0, nul);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool IsFieldMarker(char16_t c) {
  return (c >= u'1' && c <= u'6') || c == u'\'' || c == u'c' || c == u'C' || c == u'b' ||
         c == u'B' || c == u'/' || c == u'=';
}

bool StartsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

int32_t IsNumberText(std::u16string_view text) {
  text = UpToNul(text);
  bool digit = false;
  bool point = false;
  int exponent = 0;  // 0 none, 1 after the E, 2 after its sign
  bool exponentDigit = false;
  for (size_t k = 0; k < text.size(); ++k) {
    char16_t c = text[k];
    if (c == u'-' && k == 0) continue;
    if (c >= u'0' && c <= u'9') {
      digit = true;
      if (exponent == 1) exponentDigit = true;
      continue;
    }
    if (c == u'.' && !point) {
      point = true;
      continue;
    }
    if ((c == u'E' || c == u'e') && digit && exponent == 0) {
      exponent = 1;
      continue;
    }
    if ((c == u'+' || c == u'-') && exponent == 1 && !exponentDigit) {
      exponent = 2;
      continue;
    }
    return (c == u'\r' || c == u'\n') ? 1 : 0;
  }
  return 1;
}

int32_t IsStatementText(std::u16string_view upper) {
  upper = UpToNul(upper);
  if (upper.find(u'=') != std::u16string_view::npos) return 1;
  static constexpr std::u16string_view kHeads[] = {
      u"'",     u"REM",   u"DIM",    u"LET", u"IF",     u"WHILE", u"FOR", u"BREAK",
      u"SUB",   u"RETURN", u"PRINT", u"INPUT", u"NEW", u"END",   u"STOP"};
  for (std::u16string_view head : kHeads) {
    if (StartsWith(upper, head)) return 1;
  }
  return 0;
}

int32_t ClassifyText(std::u16string_view text) {
  text = UpToNul(text);
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size()) return tkBlank;
  if (text[i] == u'\\') {
    ++i;
    if (i < text.size() && IsFieldMarker(text[i])) return tkButtonRecord;
  }
  if (IsNumberText(text)) return tkNumber;
  std::u16string u(text.substr(i));
  CharUpperW(u.data());
  if (StartsWith(u, u"EXECLINE")) return tkExecLine;
  return IsStatementText(u) ? tkStatement : tkExpression;
}

std::u16string TypingScript(std::u16string_view text) {
  std::u16string script = u"PRINT \"";
  script += UpToNul(text);
  script += u'"';
  return script;
}

std::u16string LineScript(int32_t kind, std::u16string_view line) {
  if (kind == tkStatement) return std::u16string(line);
  return u"PRINT " + std::u16string(line);
}

std::u16string NumberLineScript(std::u16string_view line) {
  return u"Let Ans =" + std::u16string(line);
}

std::u16string ResultToAnsScript(std::u16string_view line) {
  return u"Let Ans = " + std::u16string(line);
}
