// wbsub: the run context, one per run of one text.
#pragma once

#include "interpreter/wbexe.h"
#include "interpreter/wword.h"

class wbsub : public GlobalHeapObject {
public:
  wbexe* block;
  wword* lexer;        // owned
  wvar value;          // value of the last expression
  wcell* ref;          // the cell that the last expression denotes, or null
  int32_t frameBase;
  int32_t breakFlag;
  int32_t returnFlag;
  wvar subName;
  wcell* thisCell;     // THIS of a sub run; null in a text run
  int32_t sideEffect;  // 1 once an expression has assigned or called
  wcell literal;       // receives an array literal

  wbsub(wbexe* block, const char16_t* text);
  ~wbsub();
  wbsub(const wbsub&) = delete;
  wbsub& operator=(const wbsub&) = delete;
};
