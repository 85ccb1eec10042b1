// wstack: the value stack.
// The value stack of arguments, parameters, locals and DIM markers. Popping
// only sets `depth` back: a popped slot keeps its cell for the next push.
#pragma once

#include "values/wcell.h"

class wstack {
public:
  wcell** slots;
  int32_t capacity;
  int32_t depth;

  explicit wstack(int32_t n);
  ~wstack();

  wcell* Push(int32_t kind, const char16_t* name, wcell* ref, const wvar& value);
  // The value of slot i; outside 0 .. depth-1 raises EOutOfMemory.
  wvar& At(int32_t i);
  // The cell of slot i, under the same rule as At.
  wcell* Cell(int32_t i);
  wcell* FindName(int32_t base, const char16_t* name);
  int SetName(int32_t i, const char16_t* name);
  // Called while slots base .. depth-1 still hold a frame that is about to
  // be popped: the slot whose cell is `ref`, or holds it among its elements
  // (searched from base to the first slot above the frame), trades places
  // with slot base, so the push that hands `ref` on lands on that very cell,
  // and no later push reuses it while `ref` lives.
  void KeepAtBase(int32_t base, const wcell* ref);
  void Grow(int32_t extra);
  void Clear();
};
