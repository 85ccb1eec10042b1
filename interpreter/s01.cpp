// s01: the run engine: whole programs, text runs, the statement loop, the
// reset of the interpreter, and the library's two exports WBExec and WBSub.
#include <unistd.h>

#include <cstdlib>

#include "interpreter/engine.h"
#include "interpreter/guard.h"
#include "platform/dialogs.h"
#include "platform/text.h"

int32_t ExecProgram(wbexe* block, const char16_t* text) {
  std::srand(static_cast<unsigned>(block->seed));
  block->seed = std::rand();
  block->subName = u"";
  block->state = rsRunning;
  ResetInterpreter(block);
  if (block->curDir[0] != 0) {
    std::string dir;
    if (platform::ToFileName(block->curDir, dir)) (void)chdir(dir.c_str());
  }
  ExecText(block, nullptr, text);
  AskHost(block, rqEnd);
  block->state = rsFinished;
  return 0;
}

void ResetInterpreter(wbexe* block) {
  ++Guard().resets;
  block->names.Clear();
  block->stack.Clear();
  RegisterKeywords(block);
  AskHost(block, rqControl, ccReset);
  block->thisCell = nullptr;
}

int32_t ExecText(wbexe* block, wbsub* caller, const char16_t* text) {
  if (text == nullptr) text = u"";
  block->abort = 0;
  block->errorCode = erNone;
  const char16_t* const savedText = block->programText;
  wcell* const savedThis = block->thisCell;
  const int32_t savedOffset = block->subOffset;
  const int32_t savedState = block->state;
  const int32_t savedDepth = block->stack.depth;
  const int32_t savedSide = caller != nullptr ? caller->sideEffect : 0;
  const uint32_t resets = Guard().resets;

  block->programText = text;
  block->thisCell = nullptr;
  block->subOffset = 0;
  block->state = rsRunning;
  const int32_t status = RunBlock(block, text, savedDepth);
  if (caller != nullptr) {
    caller->value = block->result;
    caller->ref = block->resultRef;
    caller->sideEffect = savedSide;
  }
  block->programText = savedText;
  block->subOffset = savedOffset;
  block->state = savedState;
  if (Guard().resets == resets) {
    block->thisCell = savedThis;
    block->stack.depth = savedDepth;
  } else {
    // A reset during the run freed what the saved object and depth named.
    block->thisCell = nullptr;
    block->stack.depth = 0;
  }
  return status;
}

// text = ["(" params ")"] {item}
int32_t RunBlock(wbexe* block, const char16_t* text, int32_t frameBase, uint64_t version) {
  if (StackExhausted(block)) return stFailed;
  RunLevel level;
  wbsub* context = nullptr;
  try {
    context = wbsub::Make(block, text, version);
    EnterContext(context);
    context->subName = block->subName;
    context->frameBase = frameBase;
    context->breakFlag = 0;
    context->returnFlag = 0;
    context->thisCell = block->thisCell;
    context->ref = nullptr;
    // A failure has set its code; the first statement's check stops the run.
    BindParams(context);
    int32_t status;
    for (;;) {
      status = ExecStatement(context);
      if (block->abort != 0) break;
      if (status == stEndOfText) break;
      if (status == stFailed) {
        block->abort = 1;
        ReportError(context);
        break;
      }
      if (context->breakFlag != 0 || context->returnFlag != 0) break;
    }
    if (context->ref == &context->literal) {
      // An array literal handed back would die with its context: it moves
      // to a slot above the frame, which outlives the pop like a returned
      // local does.
      wcell* carrier = block->stack.Push(context->literal.kind, u"", nullptr, context->value);
      ReleaseElements(block, carrier);
      carrier->elements = context->literal.elements;
      carrier->pos = 0;
      context->literal.elements = nullptr;
      context->ref = carrier;
    }
    block->result = context->value;
    block->resultRef = context->ref;
    LeaveContext(context);
    wbsub::Release(context);
    return status;
  } catch (...) {
    MessageBoxA(0, "WB SYSTEM ERROR ", "WB", 0x30);
    LeaveContext(context);
    try {
      delete context;
    } catch (...) {
    }
    block->abort = 1;
    return stFailed;
  }
}

// item = "{" {item} "}" | statement
int32_t ExecStatement(wbsub* context) {
  wbexe* const block = context->block;
  AskHost(block, rqStep);
  if (block->errorCode != erNone) return stFailed;
  if (context->breakFlag != 0 || context->returnFlag != 0) return stClosed;
  if (StackExhausted(context)) return stFailed;
  switch (context->lexer->Next()) {
    case tkEnd:
      return stEndOfText;
    case tkRBrace:
      return stClosed;
    case tkLBrace:
      for (;;) {
        const int32_t status = ExecStatement(context);
        if (status == stClosed) return stDone;
        if (status == stEndOfText || status == stFailed) {
          if (block->errorCode == erNone) block->errorCode = erParenthesis;
          return stFailed;
        }
      }
    case tkWord:
      return ExecWordStatement(context) == stFailed ? stFailed : stDone;
    default:
      return Fail(context, erSyntax);
  }
}

extern "C" __attribute__((visibility("default"))) int32_t WBExec(wbexe* block,
                                                                const char16_t* text) {
  return ExecProgram(block, text);
}

extern "C" __attribute__((visibility("default"))) int32_t WBSub(wbexe* block,
                                                               const char16_t* text) {
  return ExecText(block, nullptr, text);
}
