// wcell: a named slot: variable, array element, stack entry, keyword or sub.
#pragma once

#include "values/wvar.h"

enum TWCellKind : int32_t {
  ckNone = 0,
  ckVar = 3,
  ckMarker = 4,     // a top-level DIM on the stack; name lookup passes over it
  ckSub = 5,
  ckStatement = 7,
  ckFunction = 8,
};

class whash;

class wcell : public GlobalHeapObject {
public:
  wcell* next;       // bucket chain
  int32_t kind;
  wvar name;
  wvar value;
  whash* elements;   // element table, made on first use
  wcell* ref;        // the cell a by-reference argument stands for; not owned
  int32_t pos;       // a sub's text offset in the text that defined it

  wcell();
  ~wcell();  // releases name and value only, never the element table

  void Assign(const wcell& source);
  void SetValue(const wvar& v);
  void ClearElements();
  wcell* Element(const char16_t* key, int32_t minSize);
  int32_t AsInt() const { return value.AsInt(); }
  double AsReal() const { return value.AsReal(); }
  const char16_t* AsString() { return value.AsString(); }
};

// Frees a cell that a table or the stack owns, its element table first.
void FreeCell(wcell* cell);
