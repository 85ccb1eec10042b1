// wbsub: the run context, one per run of one text.
#pragma once

#include <memory>

#include "interpreter/scanned.h"
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
  // The run's text as the lexer scans it: a copy taken when the run starts,
  // so that the run goes on unchanged whatever happens to the text it came
  // from (a sub redefining itself).
  std::shared_ptr<ScannedText> scanned;
  uintptr_t stackLimit;  // the thread's, noted once (see guard.h)

  wbsub(wbexe* block, const char16_t* text, uint64_t version = 0);
  ~wbsub();

  // A context for a new run, as the constructor makes it: one left by a
  // finished run when there is one, so that sub calls allocate nothing.
  static wbsub* Make(wbexe* block, const char16_t* text, uint64_t version = 0);
  // The end of a run: the context is kept for a later one, or freed.
  static void Release(wbsub* context);
  wbsub(const wbsub&) = delete;
  wbsub& operator=(const wbsub&) = delete;

private:
  void Start(wbexe* block, const char16_t* text, uint64_t version);
};

// StackExhausted (guard.h) within a run, from the limit its context noted.
inline bool StackExhausted(wbsub* context) {
  const uintptr_t frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  if (frame >= context->stackLimit) return false;
  context->block->errorCode = erOverflow;
  return true;
}
