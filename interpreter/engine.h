// The run engine, the host requests and error reports, and the evaluator:
// the operations that statements and built-ins are written against.
#pragma once

#include "interpreter/wbsub.h"

// Run engine (s01).
int32_t ExecProgram(wbexe* block, const char16_t* text);
int32_t ExecText(wbexe* block, wbsub* caller, const char16_t* text);
int32_t RunBlock(wbexe* block, const char16_t* text, int32_t frameBase);
int32_t ExecStatement(wbsub* context);
void ResetInterpreter(wbexe* block);
// Frees a cell's element table, or removes one element of it (1 when there
// was one). A cell that a run in progress still holds (an assignment's
// target, an argument, a loop variable, a THIS object) is only unlinked and
// freed once the outermost run has ended, so nothing is freed under its user.
void ReleaseElements(wbexe* block, wcell* cell);
int32_t RemoveElement(wbexe* block, wcell* array, const char16_t* key);

// Keyword table, host requests and error reports (s02).
int32_t RegisterKeywords(wbexe* block);
int32_t NotifyHost(wbexe* block);
int32_t ReportError(wbsub* context);

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
int32_t CallBuiltin(wbsub* context);
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
