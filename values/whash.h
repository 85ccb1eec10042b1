// whash: the chained hash table of cells.
// Chained hash table of cells keyed by case-sensitive name. Walks go through
// buckets 0 upward and each chain from its newest entry; scripts see that order.
#pragma once

#include "values/wcell.h"

class whash : public GlobalHeapObject {
public:
  wcell** buckets;
  int32_t size;
  int32_t count;

  explicit whash(int32_t n);
  ~whash();

  int32_t Index(const char16_t* key) const;
  wcell* Find(const char16_t* key) const;
  wcell* Add(const char16_t* key, const wvar& value, int32_t kind);
  int Remove(const char16_t* key);
  static void CopyCell(wcell* target, const wcell* source);
  static whash* Clone(const whash* source);
  void Grow(int32_t n);
  void Clear();
};
