// wlike: the wildcard matcher behind LIKE.
// "?" any unit, "*" any run, "#" a digit, "[...]" a set with ranges and "!"
// negation, "<c>" the character c itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interpreter/tokens.h"
#include "platform/heap.h"

// One cursor over a NUL-terminated text; a match runs one over the subject
// and one over the pattern. Every unit read at or past the end counts as 0.
class wlike : public GlobalHeapObject {
public:
  const char16_t* text;  // not owned
  int32_t pos;           // next unit to read
  int32_t mark;          // where the last pattern token began
  char16_t ch;           // character of the last pattern token; 0 at the end
  int32_t negate;        // 1 inside a set that began with "[!"
  int32_t result;        // verdict so far: -1 matched, 0 not
  int32_t length;        // length of the text
  int32_t overflow;      // 1 when a match ran out of machine stack

  explicit wlike(const char16_t* text = nullptr);

  // -1 when the subject matches the pattern, else 0. Text left over after the
  // matched part does not count against the match. A pattern whose stars nest
  // deeper than the machine stack allows gives 0 and sets `overflow`.
  int32_t Like(const char16_t* subject, const char16_t* pattern);

  static int32_t MatchItem(wlike& subject, wlike& pattern);
  static int32_t MatchSetItem(wlike& subject, wlike& pattern);
  int32_t NextToken();
  int32_t SkipItem();
  int32_t SkipSet();

private:
  static int32_t MatchStar(wlike& subject, wlike& pattern);
  char16_t At(int32_t i) const { return i >= 0 && i < length ? text[i] : 0; }
};
