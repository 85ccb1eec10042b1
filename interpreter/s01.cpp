// The run engine: whole programs, text runs, the statement loop, the reset of
// the interpreter, and the library's two exports.
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "interpreter/engine.h"
#include "interpreter/guard.h"
#include "platform/dialogs.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

// Kept free for the error report, the host's serving of it and built-ins
// with large frames; AddressSanitizer's frames need much of it.
constexpr size_t kStackMarginMin = 512 * 1024;
constexpr size_t kStackMarginMax = 4 * 1024 * 1024;

thread_local RunGuard tGuard = {0, 0, 0, 0};
thread_local bool tGuardReady = false;
thread_local std::vector<wcell*> tHeld;        // cells held by operations
thread_local std::vector<wbsub*> tContexts;    // runs in progress
thread_local std::vector<whash*> tRetired;     // tables waiting for the end of the runs
thread_local std::vector<wcell*> tRetiredCells;
thread_local std::vector<const wcell*> tScratch;

void InitGuard(RunGuard& guard) {
  tGuardReady = true;
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
  void* base = nullptr;
  size_t size = 0;
  if (pthread_attr_getstack(&attr, &base, &size) == 0 && base != nullptr && size != 0) {
    // A small stack keeps half of itself.
    const size_t margin = std::min(std::clamp(size / 4, kStackMarginMin, kStackMarginMax), size / 2);
    guard.stackLimit = reinterpret_cast<uintptr_t>(base) + margin;
  }
  pthread_attr_destroy(&attr);
}

// Walked with a list of its own rather than recursion: tables can nest as
// deeply as a loop makes them.
bool TableHolds(const whash* table, const std::vector<const wcell*>& held) {
  std::vector<const whash*> pending{table};
  while (!pending.empty()) {
    const whash* t = pending.back();
    pending.pop_back();
    for (int32_t b = 0; b < t->size; ++b) {
      for (const wcell* e = t->buckets[b]; e != nullptr; e = e->next) {
        if (std::binary_search(held.begin(), held.end(), e)) return true;
        if (e->elements != nullptr) pending.push_back(e->elements);
      }
    }
  }
  return false;
}

void FreeRetired() {
  std::vector<whash*> tables;
  tables.swap(tRetired);
  for (whash* table : tables) delete table;
  std::vector<wcell*> cells;
  cells.swap(tRetiredCells);
  for (wcell* cell : cells) FreeCell(cell);
}

// Keeps the depth of nested runs for the reset's safety check; tables that
// could not be freed while held go once the outermost run has ended.
class RunLevel {
public:
  RunLevel() : guard_(Guard()) { ++guard_.runDepth; }
  ~RunLevel() {
    if (--guard_.runDepth == 0 && (!tRetired.empty() || !tRetiredCells.empty())) FreeRetired();
  }
  RunLevel(const RunLevel&) = delete;
  RunLevel& operator=(const RunLevel&) = delete;

private:
  RunGuard& guard_;
};

}  // namespace

RunGuard& Guard() {
  if (!tGuardReady) InitGuard(tGuard);
  return tGuard;
}

HoldCells::HoldCells(wcell* cell) : guard_(Guard()), pushed_(cell != nullptr) {
  ++guard_.holding;
  if (pushed_) tHeld.push_back(cell);
}

HoldCells::~HoldCells() {
  if (pushed_) tHeld.pop_back();
  --guard_.holding;
}

void EnterContext(wbsub* context) { tContexts.push_back(context); }
void LeaveContext() { tContexts.pop_back(); }

namespace {

// Every cell that a run in progress holds, sorted: the explicit holds, the
// runs' THIS objects and the cells that stack slots stand for.
const std::vector<const wcell*>& HeldCells(wbexe* block) {
  std::vector<const wcell*>& held = tScratch;
  held.assign(tHeld.begin(), tHeld.end());
  for (const wbsub* context : tContexts) {
    if (context->thisCell != nullptr) held.push_back(context->thisCell);
  }
  const wstack& stack = block->stack;
  for (int32_t i = 0; i < stack.depth; ++i) {
    const wcell* slot = stack.slots[i];
    if (slot != nullptr && slot->ref != nullptr) held.push_back(slot->ref);
  }
  std::sort(held.begin(), held.end());
  return held;
}

}  // namespace

void ReleaseElements(wbexe* block, wcell* cell) {
  whash* const table = cell->elements;
  if (table == nullptr) return;
  if (table->count > 0) {
    const std::vector<const wcell*>& held = HeldCells(block);
    if (!held.empty() && TableHolds(table, held)) {
      cell->elements = nullptr;
      tRetired.push_back(table);
      return;
    }
  }
  cell->ClearElements();
}

int32_t RemoveElement(wbexe* block, wcell* array, const char16_t* key) {
  whash* const table = array->elements;
  if (table == nullptr) return 0;
  wcell* const element = table->Find(key);
  if (element == nullptr) return 0;
  const std::vector<const wcell*>& held = HeldCells(block);
  const bool isHeld = std::binary_search(held.begin(), held.end(), element) ||
                      (element->elements != nullptr && TableHolds(element->elements, held));
  if (!isHeld) return table->Remove(key);
  wcell** link = &table->buckets[table->Index(key)];
  while (*link != element) link = &(*link)->next;
  *link = element->next;
  element->next = nullptr;
  --table->count;
  platform::NoteTableChange();
  tRetiredCells.push_back(element);
  return 1;
}

bool StackLow() {
  const uintptr_t frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  return frame < Guard().stackLimit;
}

bool StackExhausted(wbexe* block) {
  if (!StackLow()) return false;
  block->errorCode = erOverflow;
  return true;
}

bool StackExhausted(wbsub* context) {
  const uintptr_t frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  if (frame >= context->stackLimit) return false;
  context->block->errorCode = erOverflow;
  return true;
}

int32_t ExecProgram(wbexe* block, const char16_t* text) {
  std::srand(static_cast<unsigned>(block->seed));
  block->seed = std::rand();
  block->subName = u"";
  block->state = rsRunning;
  ResetInterpreter(block);
  if (block->curDir[0] != 0) {
    const std::string dir = platform::ToUtf8(block->curDir);
    (void)chdir(dir.c_str());
  }
  ExecText(block, nullptr, text);
  block->request[0].value = rqEnd;
  NotifyHost(block);
  block->state = rsFinished;
  return 0;
}

void ResetInterpreter(wbexe* block) {
  ++Guard().resets;
  block->names.Clear();
  block->stack.Clear();
  RegisterKeywords(block);
  block->request[0].value = rqControl;
  block->request[1].value = ccReset;
  NotifyHost(block);
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

int32_t RunBlock(wbexe* block, const char16_t* text, int32_t frameBase) {
  if (StackExhausted(block)) return tkError;
  RunLevel level;
  wbsub* context = nullptr;
  try {
    context = new wbsub(block, text);
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
      if (status == tkEnd) break;
      if (status == tkError) {
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
    LeaveContext();
    delete context;
    return status;
  } catch (...) {
    MessageBoxA(0, "WB SYSTEM ERROR ", "WB", 0x30);
    if (context != nullptr && !tContexts.empty() && tContexts.back() == context) LeaveContext();
    try {
      delete context;
    } catch (...) {
    }
    block->abort = 1;
    return tkError;
  }
}

int32_t ExecStatement(wbsub* context) {
  wbexe* const block = context->block;
  block->request[0].value = rqStep;
  NotifyHost(block);
  if (block->errorCode != erNone) return tkError;
  if (context->breakFlag != 0 || context->returnFlag != 0) return tkRBrace;
  if (StackExhausted(context)) return tkError;
  switch (context->lexer->Next()) {
    case tkEnd:
      return tkEnd;
    case tkRBrace:
      return tkRBrace;
    case tkLBrace:
      for (;;) {
        const int32_t status = ExecStatement(context);
        if (status == tkRBrace) return tkWord;
        if (status == tkEnd || status == tkError) {
          if (block->errorCode == erNone) block->errorCode = erParenthesis;
          return tkError;
        }
      }
    case tkWord:
      return ExecWordStatement(context) == tkError ? tkError : tkWord;
    default:
      block->errorCode = erSyntax;
      return tkError;
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
