// engine: the interpreter's inner interface: the run engine, the host
// requests and error reports, and the evaluator, which statements and
// built-ins are written against. The run guard has guard.h.
#pragma once

#include "interpreter/wbsub.h"

// Sets the block's error code and gives the failed status.
inline int32_t Fail(wbsub* context, int32_t code) {
  context->block->errorCode = code;
  return stFailed;
}

// Run engine (s01).
int32_t ExecProgram(wbexe* block, const char16_t* text);
int32_t ExecText(wbexe* block, wbsub* caller, const char16_t* text);
// `version`: the text's wvar::Version when it is known, which spares the
// comparison that finds its scanned tokens.
int32_t RunBlock(wbexe* block, const char16_t* text, int32_t frameBase, uint64_t version = 0);
int32_t ExecStatement(wbsub* context);
void ResetInterpreter(wbexe* block);

// Keyword table, host requests and error reports (s02).
void RegisterKeywords(wbexe* block);
void NotifyHost(wbexe* block);

// One request to the host: the code goes into request cell 0, the values
// into cells 1, 2, ... in order, and the host serves them before this
// returns. The reply is cell 0 (a message's answer, an input's line); a
// host command leaves its result in cell 2.
template <typename... Values>
wvar& AskHost(wbexe* block, int32_t code, const Values&... values) {
  static_assert(sizeof...(Values) < 10, "there are ten request cells");
  block->request[0].value = code;
  [[maybe_unused]] int32_t cell = 0;
  ((block->request[++cell].value = values), ...);
  NotifyHost(block);
  return block->request[0].value;
}
void ReportError(wbsub* context);

// Evaluator, name lookup and calls (s03).
int32_t Eval(wbsub* context);
wcell* LookupName(wbsub* context);
// The global table's cell of the last token's name, or null.
wcell* FindGlobal(wbsub* context);
int32_t ResolveRef(wbsub* context, wcell* start);
int32_t ReadOrCall(wbsub* context);
int32_t ParseDeclName(wbsub* context);
int IsNameStart(char16_t unit);
int32_t CallSub(wbsub* context, wcell* cell);
// The arguments of a call, "(" expr {"," expr} ")" or none, pushed onto the
// value stack: their count, or kArgsFailed.
constexpr int32_t kArgsFailed = -1;
int32_t ParseArgs(wbsub* context);
int32_t ParseArgsMin(wbsub* context, int32_t minimum);
int32_t BindParams(wbsub* context);
int32_t SkipParamList(wbsub* context);
int32_t SkipToToken(wbsub* context, int32_t target);

// Statements (s04).
int32_t ExecWordStatement(wbsub* context);

// Array literals (s08).
int32_t ParseArrayList(wbsub* context, wcell* cell, int32_t first);
int32_t ParseArrayItem(wbsub* context, wcell* cell, int32_t index);

// Text files (wfile), also used by CALL.
int ReadTextFile(const char16_t* path, wvar& out);
int WriteTextFileW(const char16_t* path, const char16_t* text);
int WriteTextFileA(const char16_t* path, const char16_t* text);
