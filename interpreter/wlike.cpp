// wlike: the wildcard matcher behind LIKE.
#include "interpreter/wlike.h"

#include "interpreter/guard.h"
#include "platform/heap.h"
#include "platform/text.h"

wlike::wlike(const char16_t* t)
    : text(t), pos(0), mark(0), ch(0), negate(0), result(0),
      length(t != nullptr ? static_cast<int32_t>(platform::u16len(t)) : 0), overflow(0) {}

int32_t wlike::Like(const char16_t* subject, const char16_t* pattern) {
  wlike s(subject);
  wlike p(pattern);
  if (s.length == 0 && p.length == 0) return -1;
  p.result = 0;
  int32_t r;
  do {
    r = MatchItem(s, p);
  } while (r != tkEnd && r != tkError);
  overflow = p.overflow;
  return overflow != 0 ? 0 : p.result;
}

int32_t wlike::NextToken() {
  mark = pos;
  const char16_t c = At(pos);
  ch = c;
  if (c == 0) return tkEnd;
  ++pos;
  switch (c) {
    case u'?': return tkQuestion;
    case u'*': return tkStar;
    case u'#': return tkDigit;
    case u'[': return tkLBracket;
    case u']': return tkRBracket;
    case u'!': return tkBang;
    case u'-': return tkMinus;
    case u'<':
      if (At(pos) != 0 && At(pos + 1) == u'>') {
        ch = At(pos);
        pos += 2;
        return tkWord;
      }
      return tkError;
    default: return tkWord;
  }
}

int32_t wlike::SkipSet() {
  for (;;) {
    const int32_t t = NextToken();
    if (t == tkEnd || t == tkRBracket) return t;
    if (t == tkLBracket) SkipSet();
  }
}

int32_t wlike::SkipItem() {
  const int32_t t = NextToken();
  if (t == tkLBracket) return SkipSet();
  return t;
}

int32_t wlike::MatchItem(wlike& s, wlike& p) {
  const int32_t t = p.NextToken();
  const char16_t c = s.At(s.pos);
  switch (t) {
    case tkEnd: return tkEnd;
    case tkWord:
      if (c == p.ch) {
        ++s.pos;
        p.result = -1;
        return tkWord;
      }
      p.result = 0;
      return tkError;
    case tkQuestion:
      if (s.pos < s.length) {
        ++s.pos;
        p.result = -1;
        return tkWord;
      }
      p.result = 0;
      return tkError;
    case tkDigit:
      if (c >= u'0' && c <= u'9') {
        ++s.pos;
        p.result = -1;
        return tkWord;
      }
      p.result = 0;
      return tkError;
    case tkLBracket: {
      const int32_t open = p.mark;
      p.result = 0;
      p.negate = 0;
      int32_t r;
      do {
        r = MatchSetItem(s, p);
      } while (r != tkRBracket && r != tkEnd && r != tkError);
      if (p.result == 0) return tkError;
      p.pos = open;
      p.SkipItem();
      return r;
    }
    case tkStar: return MatchStar(s, p);
    default:
      // A stray "]", "!", "-" or a bad escape ends the match with the verdict so far.
      return tkError;
  }
}

int32_t wlike::MatchSetItem(wlike& s, wlike& p) {
  const int32_t t = p.NextToken();
  const char16_t c = s.At(s.pos);
  switch (t) {
    case tkError: return tkError;
    case tkEnd: return tkEnd;
    case tkRBracket:
      if (p.negate == 1 && p.result == 0) {
        ++s.pos;
        p.result = -1;
      }
      if (p.At(p.mark - 1) == u'[' && s.pos >= s.length) {
        ++s.pos;
        p.result = -1;
      }
      return tkRBracket;
    case tkBang:
      if (p.At(p.mark - 1) == u'[') {
        p.negate = 1;
        return tkBang;
      }
      break;
    case tkMinus: {
      if (p.At(p.mark - 1) == u'[' || p.At(p.pos) == u']') break;
      const char16_t low = p.At(p.mark - 1);
      const int32_t next = p.NextToken();
      if (next == tkError) return tkError;
      const char16_t high = p.ch;
      if (c >= low && c <= high) {
        if (p.negate == 1) {
          p.result = 0;
          return tkError;
        }
        ++s.pos;
        p.result = -1;
        return tkRBracket;
      }
      return next;
    }
    default: break;
  }
  // Any other token is the character itself.
  if (c == p.ch && s.pos < s.length) {
    if (p.negate == 1) {
      p.result = 0;
      return tkError;
    }
    ++s.pos;
    p.result = -1;
    return tkRBracket;
  }
  return tkWord;
}

// Tries the rest of the pattern at each start from the star's position to the
// end of the subject, nearest first. Every element but a star covers exactly
// one unit, so once a later star has tried every start left to it, later
// starts of this one cannot do better: giving up then keeps the work
// proportional to subject times pattern instead of growing with each star.
int32_t wlike::MatchStar(wlike& s, wlike& p) {
  // Each star that matches nests one level deeper.
  if (p.overflow != 0 || StackLow()) {
    p.overflow = 1;
    p.result = 0;
    return tkError;
  }
  while (p.At(p.pos) == u'*') ++p.pos;  // "**" is "*"
  const int32_t rest = p.pos;
  const int32_t first = s.pos;
  for (int32_t start = first; start <= s.length || start == first; ++start) {
    s.pos = start;
    p.pos = rest;
    p.result = start == first ? -1 : 0;
    int32_t r;
    do {
      const bool star = p.At(p.pos) == u'*';
      r = MatchItem(s, p);
      if (star && r == tkError) {
        p.result = 0;
        return tkError;
      }
    } while (r != tkEnd && r != tkError);
    if (r == tkEnd) {
      p.result = -1;
      return tkEnd;
    }
  }
  p.result = 0;
  return tkError;
}
