// wword: the lexer.
// Scanning never allocates: every token is copied once into the
// fixed buffer, and a token too long for it is cut there while the scan still
// moves over the whole of it, so the position always ends behind the token.
#include "interpreter/wword.h"

#include <cstring>


#include "platform/exceptions.h"
#include "platform/heap.h"

namespace {

constexpr int32_t kTokenMax = 255;

inline bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\x3000';
}
inline bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
inline bool IsWordStart(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u'$' ||
         c == u'#';
}
inline bool IsWordPart(char16_t c) { return IsWordStart(c) || IsDigit(c); }
inline bool IsWide(char16_t c) { return c >= 0x80 && c != u'\x3000'; }

// Appends one unit to the token unless the buffer is full.
inline void Put(char16_t* token, int32_t& n, char16_t c) {
  if (n < kTokenMax) token[n++] = c;
}

bool Equals(const char16_t* a, const char16_t* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

}  // namespace

wword::wword(const char16_t* t)
    : text(t),
      pos(0),
      start(0),
      prevStart(0),
      upper(1),
      keptStart(-1),
      keptEnd(0),
      keptCode(0),
      scanned(nullptr),
      known(nullptr) {
  token[0] = 0;
  token[kTokenMax] = 0;
  if (text == nullptr) text = u"";
}

void wword::SetText(const char16_t* t) {
  text = t != nullptr ? t : u"";
  scanned = nullptr;
  known = nullptr;
  token[0] = 0;
  pos = start = prevStart = 0;
  keptStart = -1;
}

// The token at `pos`: the kept one when this text has been scanned from
// here before, else a new scan.
int32_t wword::Advance() {
  known = scanned != nullptr ? scanned->Find(pos) : nullptr;
  if (known == nullptr) return ScanAndKeep();
  prevStart = known->commentStart >= 0 ? known->commentStart : start;
  start = known->start;
  pos = known->end;
  if (known->length < ScannedText::kShort) {
    std::memcpy(token, known->shortText, sizeof known->shortText);
  } else {
    const char16_t* from = scanned->TextOf(*known);
    for (int32_t i = 0; i <= known->length; ++i) token[i] = from[i];
  }
  keptStart = start;
  keptEnd = pos;
  keptCode = known->code;
  return keptCode;
}

// A new scan from `pos`, past comments, kept for the next time.
int32_t wword::ScanAndKeep() {
  const int32_t from = pos;
  bool comment = false;
  int32_t code = Scan();
  while (code == tkComment) {
    comment = true;
    SkipLine();
    code = Scan();
  }
  if (scanned != nullptr) {
    int32_t length = 0;
    while (token[length] != 0) ++length;
    const ScannedText::Token scannedToken{
        start, pos, code, comment ? prevStart : -1, 0, length, false, 0.0, nullptr, 0, nullptr, {}, -1, 0};
    known = scanned->Keep(from, scannedToken, token);
  }
  keptStart = start;
  keptEnd = pos;
  keptCode = code;
  return code;
}

// A block skipped once is skipped again at once: its "{" keeps where the
// scan stood before the matching "}", and only that "}" is read again, which
// leaves every position as the whole skip would.
int32_t wword::SkipItem() {
  const int32_t code = Next();
  if (code != tkLBrace) return code;
  ScannedText::Token* const brace = known;
  if (brace != nullptr && brace->closeFrom >= 0) {
    start = brace->closeStart;
    pos = brace->closeFrom;
    Next();
    return tkWord;
  }
  int32_t closeFrom = 0, closeStart = 0;
  if (SkipBlock(&closeFrom, &closeStart) != tkRBrace) return tkError;
  if (brace != nullptr) {
    brace->closeFrom = closeFrom;
    brace->closeStart = closeStart;
  }
  return tkWord;
}

// Counted rather than recursive, so that a text of many nested braces cannot
// exhaust the machine stack; the result is the same. `closeFrom` and
// `closeStart`, when given, receive pos and start as they were before the
// closing "}" was read.
int32_t wword::SkipBlock(int32_t* closeFrom, int32_t* closeStart) {
  int32_t depth = 1;
  for (;;) {
    const int32_t from = pos;
    const int32_t before = start;
    const int32_t code = Next();
    if (code == tkLBrace) {
      ++depth;
    } else if (code == tkRBrace) {
      if (--depth == 0) {
        if (closeFrom != nullptr) *closeFrom = from;
        if (closeStart != nullptr) *closeStart = before;
        return tkRBrace;
      }
    } else if (code == tkEnd) {
      return tkError;
    }
  }
}

int32_t wword::SkipLine() {
  Forget();
  while (text[pos] != 0) {
    if (text[pos++] == u'\n') {
      token[0] = u'\n';
      token[1] = 0;
      return tkNewLine;
    }
  }
  token[0] = 0;
  return tkEnd;
}

int32_t wword::Scan() {
  Forget();
  SkipBlanks();
  prevStart = start;
  start = pos;
  token[0] = 0;
  int32_t code = ScanSymbol();
  if (code == 0) code = ScanHex();
  if (code == 0) code = ScanNumber();
  if (code == 0) code = ScanString();
  if (code == 0) code = ScanWord();
  if (code == 0) code = ScanWide();
  if (code == 0) code = ScanChar();
  return code;
}

void wword::SkipBlanks() {
  while (IsBlank(text[pos])) ++pos;
}

// symbol = "==" | ">=" | "<=" | "!=" | one of = > < ( ) * + , - . / : [ ] { }; "'" opens a comment
int32_t wword::ScanSymbol() {
  const char16_t c = text[pos];
  int32_t code = 0;
  int32_t length = 1;
  switch (c) {
    case 0:
      return tkEnd;
    case u'=':
      if (text[pos + 1] == u'=') {
        code = tkEq;
        length = 2;
      } else {
        code = tkAssign;
      }
      break;
    case u'>':
      if (text[pos + 1] == u'=') {
        code = tkGe;
        length = 2;
      } else {
        code = tkGt;
      }
      break;
    case u'<':
      if (text[pos + 1] == u'=') {
        code = tkLe;
        length = 2;
      } else {
        code = tkLt;
      }
      break;
    case u'!':
      if (text[pos + 1] != u'=') return 0;
      code = tkNe;
      length = 2;
      break;
    case u'\'': code = tkComment; break;
    case u'(': code = tkLParen; break;
    case u')': code = tkRParen; break;
    case u'*': code = tkStar; break;
    case u'+': code = tkPlus; break;
    case u',': code = tkComma; break;
    case u'-': code = tkMinus; break;
    case u'.': code = tkDot; break;
    case u'/': code = tkSlash; break;
    case u':': code = tkColon; break;
    case u'[': code = tkLBracket; break;
    case u']': code = tkRBracket; break;
    case u'{': code = tkLBrace; break;
    case u'}': code = tkRBrace; break;
    default:
      return 0;
  }
  for (int32_t i = 0; i < length; ++i) token[i] = text[pos + i];
  token[length] = 0;
  pos += length;
  return code;
}

// hex = "0" ("x" | "X") {hex digit}
int32_t wword::ScanHex() {
  if (text[pos] != u'0' || (text[pos + 1] != u'x' && text[pos + 1] != u'X')) return 0;
  int32_t n = 0;
  Put(token, n, text[pos++]);
  Put(token, n, text[pos++]);
  while (IsHexDigit(text[pos])) Put(token, n, text[pos++]);
  token[n] = 0;
  return tkHex;
}

// number = digit {digit | "." once | ("E" | "e") once [("+" | "-") before its digits]}
int32_t wword::ScanNumber() {
  if (!IsDigit(text[pos])) return 0;
  bool dot = false, exponent = false, sign = false, exponentDigit = false;
  int32_t n = 0;
  for (;;) {
    const char16_t c = text[pos];
    if (IsDigit(c)) {
      if (exponent) exponentDigit = true;
    } else if (c == u'.' && !dot) {
      dot = true;
    } else if ((c == u'E' || c == u'e') && !exponent) {
      exponent = true;
    } else if ((c == u'+' || c == u'-') && exponent && !sign && !exponentDigit) {
      sign = true;
    } else {
      break;
    }
    Put(token, n, c);
    ++pos;
  }
  token[n] = 0;
  return tkNumber;
}

// string = '"' {unit | "\" unit} ['"'], where \r \n \f \t are escapes
// A string that the text ends inside takes the rest of the text.
int32_t wword::ScanString() {
  if (text[pos] != u'"') return 0;
  ++pos;
  int32_t n = 0;
  for (;;) {
    char16_t c = text[pos];
    if (c == 0) break;
    ++pos;
    if (c == u'"') break;
    if (c == u'\\') {
      const char16_t e = text[pos];
      if (e == 0) break;
      ++pos;
      switch (e) {
        case u'r': c = u'\r'; break;
        case u'n': c = u'\n'; break;
        case u'f': c = u'\f'; break;
        case u't': c = u'\t'; break;
        default: c = e; break;
      }
    }
    Put(token, n, c);
  }
  token[n] = 0;
  return tkString;
}

// word = (A-Z | a-z | "_" | "$" | "#") {A-Z | a-z | 0-9 | "_" | "$" | "#"}
int32_t wword::ScanWord() {
  if (!IsWordStart(text[pos])) return 0;
  int32_t n = 0;
  while (IsWordPart(text[pos])) {
    char16_t c = text[pos++];
    if (upper != 0 && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    Put(token, n, c);
  }
  token[n] = 0;
  if (n == 3 && Equals(token, u"AND")) return tkAnd;
  if (n == 2 && Equals(token, u"OR")) return tkOr;
  if (n == 3 && Equals(token, u"NOT")) return tkNot;
  if (n == 3 && Equals(token, u"XOR")) return tkXor;
  return tkWord;
}

// wide = a run of units from U+0080 up (U+3000 excepted), one word
int32_t wword::ScanWide() {
  if (!IsWide(text[pos])) return 0;
  int32_t n = 0;
  while (IsWide(text[pos])) Put(token, n, text[pos++]);
  token[n] = 0;
  return tkWord;
}

// any other unit is a word of its own
int32_t wword::ScanChar() {
  token[0] = text[pos++];
  token[1] = 0;
  return tkWord;
}
