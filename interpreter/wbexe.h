// wbexe: the interpreter block, all interpreter state.
// Allocated and constructed by the host and handed to every library call.
// Both deliverables compile this layout, so the field order must not change.
#pragma once

#include "platform/api.h"
#include "values/whash.h"
#include "values/wstack.h"

class wbsub;
using TWHandler = int32_t (*)(wbsub* context);

enum TWRunState : int32_t {
  rsIdle = 0,
  rsRunning = 1,
  rsPaused = 2,
  rsFinished = 3,
};

enum TWError : int32_t {
  erNone = 0,
  erMemory = 1,
  erVariable = 2,
  erOverflow = 3,
  erValueType = 4,
  erUndefined = 5,
  erFile = 6,
  erSyntax = 7,
  erParenthesis = 8,
  erArithmetic = 9,
  erExit = 11,
  erStop = 12,
};

enum TWRequest : int32_t {
  rqPrint = 1,
  rqMessage = 2,
  rqInput = 3,
  rqCommand = 4,
  rqControl = 5,
  rqStep = 8,
  rqEnd = 9,
};

enum TWControlCode : int32_t {
  ccScreen = 1,
  ccDispProgram = 2,
  ccErrorPos = 3,
  ccReset = 4,
};

class wbexe : public GlobalHeapObject {
public:
  int32_t abort;
  int32_t errorCode;
  wvar result;
  wcell* resultRef;
  whash names;
  wstack stack;
  HWND hostWindow;
  wcell request[10];
  int32_t state;
  wcell* thisCell;
  wvar subName;
  int32_t seed;
  wcell cmdLine[10];
  int32_t subOffset;
  const char16_t* programText;
  char16_t curDir[256];
  TWHandler handlerSlot;
  HMODULE library;

  // The host side: the library never constructs, copies or frees a block.
  explicit wbexe(HWND host);
  ~wbexe();
  wbexe(const wbexe&) = delete;
  wbexe& operator=(const wbexe&) = delete;

  int32_t Exec(const char16_t* text);
  int32_t Sub(const char16_t* text);
};

// The library's file, loaded by its bare name.
inline constexpr const char* kLibraryName = "libvek.so";
