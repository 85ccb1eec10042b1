// wstack: the value stack.
#include "values/wstack.h"

#include <limits>
#include <utility>
#include <vector>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "values/whash.h"

namespace {

wcell** NewSlots(int64_t n) {
  if (n < 0) n = 0;
  if (n > std::numeric_limits<int32_t>::max()) throw EOutOfMemory();
  void* p = GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(n) * sizeof(wcell*));
  if (p == nullptr) throw EOutOfMemory();
  return static_cast<wcell**>(p);
}

bool SameName(const char16_t* a, const char16_t* b) {
  while (*a == *b) {
    if (*a == 0) return true;
    ++a;
    ++b;
  }
  return false;
}

// Whether target is one of the cells of table, at any depth.
// Walks nested tables from a work list, not by recursion, so any depth is fine.
bool Holds(const whash* table, const wcell* target) {
  std::vector<const whash*> work{table};
  while (!work.empty()) {
    const whash* t = work.back();
    work.pop_back();
    for (int32_t b = 0; b < t->size; ++b) {
      for (const wcell* c = t->buckets[b]; c != nullptr; c = c->next) {
        if (c == target) return true;
        if (c->elements != nullptr) work.push_back(c->elements);
      }
    }
  }
  return false;
}

}  // namespace

wstack::wstack(int32_t n) : slots(NewSlots(n)), capacity(n < 0 ? 0 : n), depth(0) {}

wstack::~wstack() {
  Clear();
  GlobalFree(slots);
}

wcell* wstack::Push(int32_t kind, const char16_t* name, wcell* ref, const wvar& value) {
  if (capacity < depth + 1) Grow(0);
  wcell* cell = slots[depth];
  bool reused = cell != nullptr;
  if (!reused) {
    cell = new wcell;
    slots[depth] = cell;
  }
  cell->kind = kind;
  cell->name = name != nullptr ? name : u"";
  cell->value = value;
  cell->ref = ref;
  // A reused cell keeps its elements only for an argument that names this
  // very cell (a local array handed straight on); any other entry starts
  // bare. The value is taken first: it may be one of those elements. An
  // argument that names one of those elements keeps them too, or its
  // reference would point into freed cells.
  if (reused && ref != cell) {
    if (ref == nullptr || cell->elements == nullptr || !Holds(cell->elements, ref)) cell->ClearElements();
    cell->pos = 0;
  }
  ++depth;
  return cell;
}

wvar& wstack::At(int32_t i) { return Cell(i)->value; }

wcell* wstack::Cell(int32_t i) {
  if (i < 0 || i >= depth) throw EOutOfMemory();
  return slots[i];
}

wcell* wstack::FindName(int32_t base, const char16_t* name) {
  if (name == nullptr) name = u"";
  for (int32_t i = base < 0 ? 0 : base; i < depth; ++i)
    if (SameName(slots[i]->name.Chars(), name)) return slots[i];
  return nullptr;
}

int wstack::SetName(int32_t i, const char16_t* name) {
  if (i < 0 || i >= depth) return 0;
  slots[i]->name = name != nullptr ? name : u"";
  return 1;
}

void wstack::KeepAtBase(int32_t base, const wcell* ref) {
  // The slot just above the frame is searched too: a result that a nested
  // call handed back sits there, kept at that call's base.
  const int32_t end = depth < capacity ? depth + 1 : depth;
  if (ref == nullptr || base < 0 || base >= end) return;
  int32_t owner = -1;
  for (int32_t i = base; i < end && owner < 0; ++i) {
    if (slots[i] == ref) owner = i;
  }
  for (int32_t i = base; i < end && owner < 0; ++i) {
    if (slots[i] != nullptr && slots[i]->elements != nullptr && Holds(slots[i]->elements, ref)) owner = i;
  }
  if (owner > base) std::swap(slots[base], slots[owner]);
}

void wstack::Grow(int32_t extra) {
  if (depth < capacity) return;
  int64_t more = 10 + (extra > 0 ? extra : 0);
  wcell** fresh = NewSlots(static_cast<int64_t>(capacity) + more);
  for (int32_t i = 0; i < capacity; ++i) fresh[i] = slots[i];
  GlobalFree(slots);
  slots = fresh;
  capacity = static_cast<int32_t>(capacity + more);
}

void wstack::Clear() {
  for (int32_t i = 0; i < capacity; ++i) {
    FreeCell(slots[i]);
    slots[i] = nullptr;
  }
  depth = 0;
}
