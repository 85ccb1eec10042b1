// wcell: a named slot: variable, array element, stack entry, keyword or sub.
#include "values/wcell.h"

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "values/whash.h"

wcell::wcell()
    : next(nullptr), kind(ckNone), name(u""), value(u""), elements(nullptr), ref(nullptr), pos(0) {}

wcell::~wcell() = default;

void wcell::Assign(const wcell& source) {
  if (&source == this) return;
  // The source may live inside this cell's own element table (a cell
  // assigned one of its elements), so everything is copied before the old
  // table goes.
  whash* copy = source.elements != nullptr ? whash::Clone(source.elements) : nullptr;
  try {
    name = source.name;
    value = source.value;
  } catch (...) {
    delete copy;
    throw;
  }
  kind = source.kind;
  ref = source.ref;
  pos = source.pos;
  whash* old = elements;
  elements = copy;
  delete old;
}

void wcell::SetValue(const wvar& v) { value = v; }

void wcell::ClearElements() {
  whash* old = elements;
  elements = nullptr;
  delete old;
}

// The size hint comes from a script's index: a[200000000] must not claim
// gigabytes of buckets for one element. Tables still grow by their entries.
constexpr int32_t kMaxSizeHint = 65536;

wcell* wcell::Element(const char16_t* key, int32_t minSize) {
  int32_t m = minSize > 1 ? minSize : 1;
  if (m > kMaxSizeHint) m = kMaxSizeHint;
  if (elements == nullptr) elements = new whash(m);
  if (elements->size < m) elements->Grow(m);
  wcell* cell = elements->Find(key);
  if (cell == nullptr) cell = elements->Add(key, wvar(u""), ckVar);
  return cell;
}

void FreeCell(wcell* cell) {
  if (cell == nullptr) return;
  cell->ClearElements();
  delete cell;
}
