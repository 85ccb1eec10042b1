// guard: stack limit, run depth and held cells of the runs on this thread.
#include "interpreter/guard.h"

#include <pthread.h>

#include <algorithm>
#include <vector>

#include "interpreter/engine.h"
#include "platform/heap.h"

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

void LeaveContext(wbsub* context) {
  if (!tContexts.empty() && tContexts.back() == context) tContexts.pop_back();
}

RunLevel::RunLevel() : guard_(Guard()) { ++guard_.runDepth; }

RunLevel::~RunLevel() {
  if (--guard_.runDepth == 0 && (!tRetired.empty() || !tRetiredCells.empty())) FreeRetired();
}

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

