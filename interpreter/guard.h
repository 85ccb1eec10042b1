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
// The same within a run, from the limit its context noted when it was made.
bool StackExhausted(wbsub* context);

// The contexts of the runs in progress, whose THIS objects are held.
void EnterContext(wbsub* context);
void LeaveContext();

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
