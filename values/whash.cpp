// whash: the chained hash table of cells.
#include "values/whash.h"

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

wcell** NewBuckets(int64_t n) {
  if (n < 1) n = 1;
  if (n > std::numeric_limits<int32_t>::max()) throw EOutOfMemory();
  void* p = GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(n) * sizeof(wcell*));
  if (p == nullptr) throw EOutOfMemory();
  return static_cast<wcell**>(p);
}

bool SameKey(const char16_t* a, const char16_t* b) {
  while (*a == *b) {
    if (*a == 0) return true;
    ++a;
    ++b;
  }
  return false;
}

// Unlinks every cell of a table into one list (through `next`) and leaves
// the table empty.
wcell* TakeCells(whash* table) {
  wcell* list = nullptr;
  for (int32_t b = 0; b < table->size; ++b) {
    wcell* c = table->buckets[b];
    table->buckets[b] = nullptr;
    while (c != nullptr) {
      wcell* following = c->next;
      c->next = list;
      list = c;
      c = following;
    }
  }
  table->count = 0;
  return list;
}

}  // namespace

// Every change to the chains is counted (platform::TableChanges), so that
// the interpreter can remember the results of searches.
whash::whash(int32_t n) : buckets(NewBuckets(n)), size(n < 1 ? 1 : n), count(0) {
  platform::NoteTableChange();
}

whash::~whash() {
  Clear();
  GlobalFree(buckets);
  platform::NoteTableChange();
}

int32_t whash::Index(const char16_t* key) const {
  if (key == nullptr) return 0;
  // Most keys are names: a first unit that cannot begin a number (digit,
  // sign or blank) skips the number reading.
  char16_t first = *key;
  if (first >= u'0' && first <= u'9') {
    // Digits first, as array keys are: read here, as u16toi would.
    uint32_t number = 0;
    for (const char16_t* p = key; *p >= u'0' && *p <= u'9'; ++p) number = number * 10u + (*p - u'0');
    if (static_cast<int32_t>(number) >= 1) return static_cast<int32_t>(number) % size;
  } else if (first <= u'9' || first == 0x3000) {
    int32_t number = platform::u16toi(key);
    if (number >= 1) return number % size;
  }
  // Summed in 64 bits: no key is long enough to overflow that, and the
  // remainder is always a bucket of this table.
  uint64_t sum = 0;
  for (const char16_t* p = key; *p != 0; ++p) sum += *p;
  return static_cast<int32_t>(sum % static_cast<uint64_t>(size));
}

wcell* whash::Find(const char16_t* key) const {
  if (key == nullptr) key = u"";
  for (wcell* c = buckets[Index(key)]; c != nullptr; c = c->next)
    if (SameKey(c->name.Chars(), key)) return c;
  return nullptr;
}

wcell* whash::Add(const char16_t* key, const wvar& value, int32_t kind) {
  Grow(0);
  wcell* cell = new wcell;
  try {
    cell->kind = kind;
    cell->name = key != nullptr ? key : u"";
    cell->value = value;
  } catch (...) {
    delete cell;
    throw;
  }
  int32_t i = Index(cell->name.Chars());
  cell->next = buckets[i];
  buckets[i] = cell;
  ++count;
  platform::NoteTableChange();
  return cell;
}

int whash::Remove(const char16_t* key) {
  if (key == nullptr) key = u"";
  wcell** link = &buckets[Index(key)];
  for (wcell* c = *link; c != nullptr; link = &c->next, c = c->next) {
    if (SameKey(c->name.Chars(), key)) {
      *link = c->next;
      FreeCell(c);
      --count;
      platform::NoteTableChange();
      return 1;
    }
  }
  return 0;
}

void whash::CopyCell(wcell* target, const wcell* source) {
  if (target == source) return;
  // The source may sit in the target's own element table: copy first.
  whash* copy = source->elements != nullptr ? Clone(source->elements) : nullptr;
  try {
    target->value = source->value;
  } catch (...) {
    delete copy;
    throw;
  }
  target->kind = source->kind;
  target->ref = source->ref;
  target->pos = source->pos;
  whash* old = target->elements;
  target->elements = copy;
  delete old;
}

whash* whash::Clone(const whash* source) {
  // Nested tables wait on a work list instead of a recursion, so structures
  // of any depth can be copied. Each table is walked in its own order, so
  // every chain of the copy runs in the reverse order of the source's.
  struct Pending {
    const whash* from;
    whash* to;
  };
  whash* copy = new whash(source->size);
  try {
    std::vector<Pending> work{{source, copy}};
    while (!work.empty()) {
      const Pending p = work.back();
      work.pop_back();
      for (int32_t b = 0; b < p.from->size; ++b) {
        for (const wcell* c = p.from->buckets[b]; c != nullptr; c = c->next) {
          wcell* added = p.to->Add(c->name.Chars(), c->value, c->kind);
          added->ref = c->ref;
          added->pos = c->pos;
          if (c->elements != nullptr) {
            added->elements = new whash(c->elements->size);
            work.push_back({c->elements, added->elements});
          }
        }
      }
    }
  } catch (const std::bad_alloc&) {
    delete copy;
    throw EOutOfMemory();
  } catch (...) {
    delete copy;
    throw;
  }
  return copy;
}

void whash::Grow(int32_t n) {
  int64_t target;
  if (n > 0) {
    target = static_cast<int64_t>(n) * 110 / 100 + 5;
    if (size >= target) return;
  } else {
    if (static_cast<int64_t>(size) * 110 / 100 + 5 >= count) return;
    target = count;
  }
  wcell** fresh = NewBuckets(target);
  platform::NoteTableChange();
  wcell** old = buckets;
  int32_t oldSize = size;
  buckets = fresh;
  size = static_cast<int32_t>(target);
  count = 0;
  for (int32_t b = 0; b < oldSize; ++b) {
    wcell* c = old[b];
    while (c != nullptr) {
      wcell* following = c->next;
      int32_t i = Index(c->name.Chars());
      c->next = buckets[i];
      buckets[i] = c;
      ++count;
      c = following;
    }
  }
  GlobalFree(old);
}

void whash::Clear() {
  // Nested tables are emptied into one work list of cells instead of being
  // freed by recursion, so structures of any depth can go; nothing here
  // allocates.
  platform::NoteTableChange();
  wcell* todo = TakeCells(this);
  while (todo != nullptr) {
    wcell* c = todo;
    todo = c->next;
    if (whash* nested = c->elements) {
      c->elements = nullptr;
      wcell* more = TakeCells(nested);
      if (more != nullptr) {
        wcell* last = more;
        while (last->next != nullptr) last = last->next;
        last->next = todo;
        todo = more;
      }
      delete nested;
    }
    delete c;
  }
}
