// guard: stack limit, run depth and held cells of the runs on this thread.
// Safety state of the runs on this thread: how much machine stack is left,
// how deeply runs are nested, and which cells operations in progress hold,
// so that nothing they hold is freed under them.
#pragma once

#include <cstdint>

class wbexe;
class wbsub;
class wcell;

struct RunGuard {
  uintptr_t stackLimit;  // below this frame address the stack counts as exhausted
  int32_t runDepth;      // RunBlock calls in progress
  int32_t holding;       // operations in progress that hold cells or stack slots
  uint32_t resets;       // counts interpreter resets
};

RunGuard& Guard();

// True when the machine stack is too close to its end for another level of
// recursion.
bool StackLow();

// StackLow, and then sets erOverflow into the block's error code.
bool StackExhausted(wbexe* block);
// The same within a run, from the limit its context noted when it was made
// (wbsub.h).

// Frees a cell's element table, or removes one element of it (1 when there
// was one). A cell that a run in progress still holds (an assignment's
// target, an argument, a loop variable, a THIS object) is only unlinked and
// freed once the outermost run has ended, so nothing is freed under its user.
void ReleaseElements(wbexe* block, wcell* cell);
int32_t RemoveElement(wbexe* block, wcell* array, const char16_t* key);

// The contexts of the runs in progress, whose THIS objects are held. Leaving
// a context that is not the innermost one does nothing.
void EnterContext(wbsub* context);
void LeaveContext(wbsub* context);

// One RunBlock in progress, for the depth that NEW checks; tables that could
// not be freed while held go when the outermost level ends.
class RunLevel {
public:
  RunLevel();
  ~RunLevel();
  RunLevel(const RunLevel&) = delete;
  RunLevel& operator=(const RunLevel&) = delete;

private:
  RunGuard& guard_;
};

// Holds a cell (or only marks a hold when it is null) for its lifetime; NEW
// refuses to run while anything is held.
class HoldCells {
public:
  explicit HoldCells(wcell* cell = nullptr);
  ~HoldCells();
  HoldCells(const HoldCells&) = delete;
  HoldCells& operator=(const HoldCells&) = delete;

private:
  RunGuard& guard_;
  bool pushed_;
};
