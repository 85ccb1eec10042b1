// wword: the lexer, which cuts a UTF-16 script text into tokens on demand.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interpreter/tokens.h"
#include "platform/heap.h"

#include "interpreter/scanned.h"

class wword : public GlobalHeapObject {
public:
  const char16_t* text;   // not owned; must outlive the lexer
  char16_t token[256];    // last token, at most 255 units
  int32_t pos;            // where the next token is looked for
  int32_t start;          // where the last token starts
  int32_t prevStart;      // where the token before the last started
  int32_t upper;          // 1: fold a-z in words to A-Z
  // The last scanned token, so that reading it again after Back needs no
  // second scan: where it starts (-1: nothing kept), where it ends, its code.
  // Whoever writes `token` or `text` directly must call Forget().
  int32_t keptStart;
  int32_t keptEnd;
  int32_t keptCode;
  // Tokens scanned before in this very text, shared by the runs of it, or
  // null; whoever sets it makes `text` its copy.
  ScannedText* scanned;
  // The kept record of the last token, or null when it was not kept.
  ScannedText::Token* known;

  explicit wword(const char16_t* text);
  void SetText(const char16_t* text);
  void Forget() {
    keptStart = -1;
    known = nullptr;
  }

  // The next token; the last one again, after Back, costs no scan. The
  // positions are read and written one field at a time (the empty asm
  // statements keep the compiler from joining them): a wide load of fields
  // just stored one by one would stall at every step.
  int32_t Next() {
    if (pos != keptStart) return Advance();
    prevStart = start;
    __asm__ volatile("" ::: "memory");
    start = pos;
    pos = keptEnd;
    return keptCode;
  }
  void Back() {
    pos = start;
    __asm__ volatile("" ::: "memory");
    start = prevStart;
  }
  int32_t Advance();
  __attribute__((noinline)) int32_t ScanAndKeep();
  int32_t SkipItem();
  int32_t SkipBlock(int32_t* closeFrom = nullptr, int32_t* closeStart = nullptr);
  int32_t SkipLine();

  int32_t Scan();
  void SkipBlanks();
  int32_t ScanSymbol();
  int32_t ScanHex();
  int32_t ScanNumber();
  int32_t ScanString();
  int32_t ScanWord();
  int32_t ScanWide();
  int32_t ScanChar();
};
