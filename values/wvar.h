// wvar: the script value.
// A 32-bit integer, a real, a UTF-16 string or a pointer.
// Both deliverables compile this unit and share objects of it, so the field
// order and the allocation on the global heap must not change.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/heap.h"

enum TWVarType : int32_t {
  vtInt = 0,
  vtReal = 1,
  vtString = 2,
  vtPointer = 3,
};

class wvar : public GlobalHeapObject {
public:
  int32_t type;
  void* data;             // the inline buffer or a global-heap block
  int32_t capacity;       // payload bytes, terminator not counted; 8 while inline
  unsigned char buffer[12];
  wvar* conv;             // conversion temp, made on first need
  void* pval;             // payload of a pointer value

  wvar();  // the integer 0
  wvar(int32_t value);
  wvar(double value);
  wvar(const char16_t* text);
  explicit wvar(void* pointer);
  wvar(const wvar& other);
  ~wvar();

  void Reserve(int32_t bytes);

  // Numbers are copied here at once; everything else in Assign.
  wvar& operator=(const wvar& other) {
    if ((other.type == vtReal || other.type == vtInt) && this != &other) {
      __builtin_memcpy(data, other.data, 8);
      type = other.type;
      return *this;
    }
    return Assign(other);
  }
  wvar& Assign(const wvar& other);
  wvar& operator=(int32_t value);
  wvar& operator=(double value);
  wvar& operator=(const char16_t* text);
  wvar& operator=(const char* ansi);
  void SetInt(int32_t value);
  void SetReal(double value);
  void SetString(const char16_t* text);
  void SetAnsi(const char* ansi);
  void SetPointer(void* pointer);
  void Append(const char16_t* text);

  wvar& Convert(int32_t t);
  void ChangeType(int32_t t);
  int32_t AsInt() const;
  double AsReal() const;
  const char16_t* AsString();
  const char* AsAnsi();
  void* AsPointer() const { return pval; }

  wvar& Add(const wvar& right);
  wvar& Sub(const wvar& right);
  wvar& Mul(const wvar& right);
  wvar& Div(const wvar& right);
  int Eq(const wvar& right);
  int Ne(const wvar& right);
  int Gt(const wvar& right);
  int Lt(const wvar& right);
  int Ge(const wvar& right);
  int Le(const wvar& right);

  int32_t Length() const;
  // The version of a text on the heap: two values of one version hold the
  // same text. 0 when not known (a short text, or not a text).
  uint64_t Version() const;
  void Lower();
  void Upper();
  wvar& Mid(int32_t index, int32_t count);
  wvar& Right(int32_t n);
  wvar& FirstLine(int32_t n);
  void AssignLeft(const wvar& source, int32_t n);
  void AssignMid(const wvar& source, int32_t start, int32_t count);
  void Delete(int32_t index, int32_t count);
  void Insert(const wvar& text, int32_t index);
  int32_t Find(const wvar& text, int32_t start) const;
  int32_t FindFirst(const wvar& text) const;
  void ReplaceAll(const wvar& search, const wvar& replacement);

  // The string payload; meaningful only while type is vtString.
  const char16_t* Chars() const { return static_cast<const char16_t*>(data); }
  char16_t* Chars() { return static_cast<char16_t*>(data); }
};
