// Safety state of the runs on this thread: how much machine stack is left,
// how deeply runs are nested, and whether an operation in progress holds
// cells that a reset of the interpreter would free.
#pragma once

#include <cstdint>

struct RunGuard {
  uintptr_t stackLimit;  // below this frame address the stack counts as exhausted
  int32_t runDepth;      // RunBlock calls in progress
  int32_t holding;       // operations in progress that hold cells or stack slots
  uint32_t resets;       // counts interpreter resets
};

RunGuard& Guard();

// True when the machine stack is too close to its end for another level of
// recursion; sets erOverflow into the block's error code then.
class wbexe;
bool StackExhausted(wbexe* block);

// Marks a stretch in which cells are held, so that NEW refuses to run.
class HoldCells {
public:
  HoldCells() : guard_(Guard()) { ++guard_.holding; }
  ~HoldCells() { --guard_.holding; }
  HoldCells(const HoldCells&) = delete;
  HoldCells& operator=(const HoldCells&) = delete;

private:
  RunGuard& guard_;
};
