// wvar: the script value.
// Payloads are read and written with memcpy: the inline
// buffer sits at an offset that is not 8-byte aligned.
#include "values/wvar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <string_view>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

constexpr int32_t kInline = 8;
constexpr int32_t kTextReserve = 80;
constexpr int64_t kMaxPayload = std::numeric_limits<int32_t>::max() - 2;

int32_t ReadInt(const void* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

double ReadReal(const void* p) {
  double v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void WriteInt(void* p, int32_t v) { std::memcpy(p, &v, sizeof v); }
void WriteReal(void* p, double v) { std::memcpy(p, &v, sizeof v); }

// Truncation through 64 bits, keeping the low 32: values beyond 32 bits
// wrap, NaN and values beyond 64 bits give 0.
int32_t RealToInt(double v) {
  if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) return 0;
  auto wide = static_cast<int64_t>(v);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(wide)));
}

int32_t UnitLength(const char16_t* s) { return static_cast<int32_t>(platform::u16len(s)); }

// A string on a heap block keeps two facts about its text in the inline
// buffer, which it does not use then: the text's length in units, and its
// version, a number drawn afresh whenever the text changes and copied along
// with it. Two values of one version hold the same text, so assigning one to
// the other needs no copy. Version 0 means "not known": the length is then
// counted. Every write of a string payload ends in Track or Untrack.
struct TextFacts {
  int32_t length;
  uint64_t version;
};
static_assert(sizeof(int32_t) + sizeof(uint64_t) <= sizeof(wvar::buffer));

bool OnHeap(const wvar& v) { return v.capacity > kInline; }

TextFacts FactsOf(const wvar& v) {
  TextFacts facts{0, 0};
  if (v.type != vtString || !OnHeap(v)) return facts;
  std::memcpy(&facts.length, v.buffer, sizeof facts.length);
  std::memcpy(&facts.version, v.buffer + sizeof facts.length, sizeof facts.version);
  return facts;
}

void SetFacts(wvar& v, int32_t length, uint64_t version) {
  if (!OnHeap(v)) return;
  std::memcpy(v.buffer, &length, sizeof length);
  std::memcpy(v.buffer + sizeof length, &version, sizeof version);
}

// The text now has `length` units and is a new version.
void Track(wvar& v, int32_t length) {
  if (OnHeap(v)) SetFacts(v, length, platform::NextTextVersion());
}

// The text changed in a way not worth counting.
void Untrack(wvar& v) { SetFacts(v, 0, 0); }

// The last append, which made version `to` from version `from` by adding
// units behind its first `prefix`: a value still holding `from` becomes a
// copy of `to` by the same append. Scripts run on one thread.
struct AppendRecord {
  uint64_t from;
  uint64_t to;
  int32_t prefix;
};
AppendRecord lastAppend{0, 0, 0};

int32_t PayloadBytes(int64_t units) {
  int64_t bytes = units * 2;
  if (bytes > kMaxPayload) throw EOutOfMemory();
  return static_cast<int32_t>(bytes);
}

void* AllocPayload(int32_t bytes) {
  void* block = GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(bytes) + 2);
  if (block == nullptr) throw EOutOfMemory();
  return block;
}

// The difference of the first pair of differing units, read unsigned; the
// end of the shorter text counts as unit 0.
int32_t UnitDifference(const char16_t* a, const char16_t* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<int32_t>(*a) - static_cast<int32_t>(*b);
}

void WriteEmpty(wvar& v) {
  v.type = vtString;
  v.Chars()[0] = 0;
  Track(v, 0);
}

void WriteIntText(wvar& target, int32_t n) {
  target.Reserve(kTextReserve);
  char digits[16];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
  (void)ec;
  char16_t* out = target.Chars();
  for (const char* p = digits; p != end; ++p) *out++ = static_cast<char16_t>(*p);
  *out = 0;
  target.type = vtString;
  Track(target, static_cast<int32_t>(end - digits));
}

void WriteRealText(wvar& target, double r) {
  target.Reserve(kTextReserve);
  char text[40];
  platform::FormatReal15(r, text);
  int n = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, target.Chars(), 40);
  if (n == 0) target.Chars()[0] = 0;
  target.type = vtString;
  Track(target, n == 0 ? 0 : n - 1);
}

// `version`: the version of the text copied, or 0 for a new one.
void WriteUnits(wvar& target, const char16_t* src, int32_t units, uint64_t version = 0) {
  target.Reserve(PayloadBytes(units));
  std::memmove(target.Chars(), src, static_cast<size_t>(units) * 2);
  target.Chars()[units] = 0;
  target.type = vtString;
  if (version != 0) {
    SetFacts(target, units, version);
  } else {
    Track(target, units);
  }
}

// Puts a finished text in place of the payload; a new block, when one is
// needed, is had before the old one goes, so a failure changes nothing.
void AdoptText(wvar& v, const std::u16string& text) {
  int32_t bytes = PayloadBytes(static_cast<int64_t>(text.size()));
  if (v.capacity < bytes) {
    void* block = AllocPayload(bytes);
    if (v.capacity > kInline) GlobalFree(v.data);
    v.data = block;
    v.capacity = bytes;
  }
  std::memcpy(v.data, text.c_str(), (text.size() + 1) * 2);
  v.type = vtString;
  Track(v, static_cast<int32_t>(text.size()));
}

// Room for `bytes` with the text kept: a new block, when one is needed, is
// had before the old one goes. A heap text grows by half again at least, so
// that a text built piece by piece is copied a bounded number of times.
void GrowKeeping(wvar& v, int32_t bytes, int32_t length) {
  if (v.capacity >= bytes) return;
  int64_t room = bytes;
  if (OnHeap(v)) room = std::min<int64_t>(std::max<int64_t>(room, v.capacity + v.capacity / 2), kMaxPayload);
  char16_t* block = static_cast<char16_t*>(AllocPayload(static_cast<int32_t>(room)));
  std::memcpy(block, v.Chars(), (static_cast<size_t>(length) + 1) * 2);
  if (OnHeap(v)) GlobalFree(v.data);
  v.data = block;
  v.capacity = static_cast<int32_t>(room);
}

// Units behind the text; `from` may lie inside the text itself. Returns the
// new length.
int32_t AppendUnits(wvar& v, const char16_t* from, int32_t units) {
  const int32_t a = v.Length();
  const int32_t bytes = PayloadBytes(static_cast<int64_t>(a) + units);
  if (v.capacity < bytes) {
    // Copied apart first: growing frees the block `from` may point into.
    std::u16string piece;
    try {
      piece.assign(from, static_cast<size_t>(units));
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory();
    }
    GrowKeeping(v, bytes, a);
    std::memcpy(v.Chars() + a, piece.data(), static_cast<size_t>(units) * 2);
  } else {
    std::memmove(v.Chars() + a, from, static_cast<size_t>(units) * 2);
  }
  v.Chars()[a + units] = 0;
  return a + units;
}

// target = source for a string source, copying no more than it must.
void CopyText(wvar& target, const wvar& source) {
  const TextFacts from = FactsOf(source);
  if (from.version != 0 && target.type == vtString) {
    const uint64_t have = FactsOf(target).version;
    if (have == from.version) return;
    if (have != 0 && have == lastAppend.from && from.version == lastAppend.to) {
      AppendUnits(target, source.Chars() + lastAppend.prefix, from.length - lastAppend.prefix);
      SetFacts(target, from.length, from.version);
      return;
    }
  }
  WriteUnits(target, source.Chars(), source.Length(), from.version);
}

}  // namespace

wvar::wvar() : type(vtInt), data(buffer), capacity(kInline), buffer{}, conv(nullptr), pval(nullptr) {}

wvar::wvar(int32_t value) : wvar() { WriteInt(data, value); }

wvar::wvar(double value) : wvar() {
  type = vtReal;
  WriteReal(data, value);
}

wvar::wvar(const char16_t* text) : wvar() { SetString(text); }

wvar::wvar(void* pointer) : wvar() {
  type = vtPointer;
  pval = pointer;
}

wvar::wvar(const wvar& other) : wvar() {
  switch (other.type) {
    case vtInt:
      WriteInt(data, ReadInt(other.data));
      break;
    case vtReal:
      type = vtReal;
      WriteReal(data, ReadReal(other.data));
      break;
    case vtString:
      CopyText(*this, other);
      break;
    case vtPointer:
      type = vtPointer;
      pval = other.pval;
      break;
    default:
      break;
  }
}

wvar::~wvar() {
  if (capacity > kInline) GlobalFree(data);
  delete conv;
}

void wvar::Reserve(int32_t bytes) {
  if (capacity >= bytes) return;
  // Back to the empty inline buffer first: should the allocation fail, the
  // value is still whole (an empty payload) and can be assigned or freed.
  if (capacity > kInline) GlobalFree(data);
  data = buffer;
  capacity = kInline;
  std::memset(buffer, 0, sizeof buffer);
  void* block = AllocPayload(bytes);
  data = block;
  capacity = bytes;
}

wvar& wvar::Assign(const wvar& other) {
  if (this == &other) return *this;
  switch (other.type) {
    case vtInt:
      WriteInt(data, ReadInt(other.data));
      type = vtInt;
      break;
    case vtReal:
      WriteReal(data, ReadReal(other.data));
      type = vtReal;
      break;
    case vtString:
      CopyText(*this, other);
      break;
    case vtPointer:
      pval = other.pval;
      type = vtPointer;
      break;
    default:
      break;
  }
  return *this;
}

wvar& wvar::operator=(int32_t value) {
  SetInt(value);
  return *this;
}

wvar& wvar::operator=(double value) {
  SetReal(value);
  return *this;
}

wvar& wvar::operator=(const char16_t* text) {
  SetString(text);
  return *this;
}

wvar& wvar::operator=(const char* ansi) {
  SetAnsi(ansi);
  return *this;
}

void wvar::SetInt(int32_t value) {
  type = vtInt;
  WriteInt(data, value);
}

void wvar::SetReal(double value) {
  type = vtReal;
  WriteReal(data, value);
}

void wvar::SetString(const char16_t* text) {
  type = vtString;
  if (text == nullptr || *text == 0) {
    Chars()[0] = 0;
    Track(*this, 0);
    return;
  }
  // A text taken from this very payload always fits, so Reserve keeps the
  // block and memmove copies it down safely.
  WriteUnits(*this, text, UnitLength(text));
}

void wvar::SetAnsi(const char* ansi) {
  type = vtString;
  if (ansi == nullptr || *ansi == 0) {
    Chars()[0] = 0;
    Track(*this, 0);
    return;
  }
  size_t bytes = std::strlen(ansi);
  Reserve(PayloadBytes(static_cast<int64_t>(bytes)));
  // No byte gives more than one unit, so the payload always has room.
  int n = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, ansi, -1, Chars(), capacity / 2 + 1);
  if (n == 0) Chars()[0] = 0;
  Track(*this, n == 0 ? 0 : n - 1);
}

void wvar::SetPointer(void* pointer) {
  type = vtPointer;
  pval = pointer;
}

void wvar::Append(const char16_t* text) {
  if (text == nullptr) return;
  if (type != vtString) ChangeType(vtString);
  const uint64_t before = FactsOf(*this).version;
  const int32_t a = Length();
  Track(*this, AppendUnits(*this, text, UnitLength(text)));
  if (before != 0) lastAppend = {before, FactsOf(*this).version, a};
}

wvar& wvar::Convert(int32_t t) {
  if (conv == nullptr) conv = new wvar();
  wvar& c = *conv;
  switch (type) {
    case vtInt: {
      int32_t v = ReadInt(data);
      if (t == vtInt) c.SetInt(v);
      else if (t == vtReal) c.SetReal(v);
      else if (t == vtString) WriteIntText(c, v);
      else if (t == vtPointer) c.SetPointer(nullptr);
      break;
    }
    case vtReal: {
      double v = ReadReal(data);
      if (t == vtInt) c.SetInt(RealToInt(v));
      else if (t == vtReal) c.SetReal(v);
      else if (t == vtString) WriteRealText(c, v);
      else if (t == vtPointer) c.SetPointer(nullptr);
      break;
    }
    case vtString:
      if (t == vtInt) c.SetInt(platform::u16toi(Chars()));
      else if (t == vtReal) c.SetReal(platform::u16tod(Chars()));
      else if (t == vtString) CopyText(c, *this);
      else if (t == vtPointer) c.SetPointer(nullptr);
      break;
    case vtPointer:
      // A pointer has no number or text: it reads as 0, 0.0 or "".
      if (t == vtInt) c.SetInt(0);
      else if (t == vtReal) c.SetReal(0.0);
      else if (t == vtString) WriteEmpty(c);
      else if (t == vtPointer) c.SetPointer(pval);
      break;
    default:
      break;
  }
  return c;
}

void wvar::ChangeType(int32_t t) {
  if (type == t) return;
  switch (type) {
    case vtInt: {
      int32_t v = ReadInt(data);
      if (t == vtReal) SetReal(v);
      else if (t == vtString) WriteIntText(*this, v);
      else if (t == vtPointer) SetPointer(nullptr);
      break;
    }
    case vtReal: {
      double v = ReadReal(data);
      if (t == vtInt) SetInt(RealToInt(v));
      else if (t == vtString) WriteRealText(*this, v);
      else if (t == vtPointer) SetPointer(nullptr);
      break;
    }
    case vtString:
      if (t == vtInt) SetInt(platform::u16toi(Chars()));
      else if (t == vtReal) SetReal(platform::u16tod(Chars()));
      else if (t == vtPointer) SetPointer(nullptr);
      break;
    case vtPointer:
      if (t == vtInt) SetInt(0);
      else if (t == vtReal) SetReal(0.0);
      else if (t == vtString) WriteEmpty(*this);
      break;
    default:
      break;
  }
}

int32_t wvar::AsInt() const {
  switch (type) {
    case vtInt:
      return ReadInt(data);
    case vtReal:
      return RealToInt(ReadReal(data));
    case vtString:
      return platform::u16toi(Chars());
    default:
      return 0;
  }
}

double wvar::AsReal() const {
  switch (type) {
    case vtInt:
      return ReadInt(data);
    case vtReal:
      return ReadReal(data);
    case vtString:
      return platform::u16tod(Chars());
    default:
      return 0.0;
  }
}

const char16_t* wvar::AsString() { return Convert(vtString).Chars(); }

const char* wvar::AsAnsi() {
  if (conv == nullptr) conv = new wvar();
  wvar& c = *conv;
  int32_t bytes = 0;
  switch (type) {
    case vtInt: {
      c.Reserve(kTextReserve);
      auto [end, ec] = std::to_chars(static_cast<char*>(c.data), static_cast<char*>(c.data) + 16,
                                     ReadInt(data));
      (void)ec;
      bytes = static_cast<int32_t>(end - static_cast<char*>(c.data));
      break;
    }
    case vtReal:
      c.Reserve(kTextReserve);
      bytes = platform::FormatReal15(ReadReal(data), static_cast<char*>(c.data));
      break;
    case vtString: {
      c.Reserve(PayloadBytes(Length()));
      // Two bytes a unit at most, so the payload and its spare two bytes
      // always hold the text and its terminator.
      int n = WideCharToMultiByte(CP_ACP, 0, Chars(), -1, static_cast<char*>(c.data), c.capacity + 1,
                                  nullptr, nullptr);
      // The output always has room, so 0 can only mean the conversion ran
      // out of memory.
      if (n == 0) throw EOutOfMemory();
      bytes = n - 1;
      break;
    }
    default:
      break;
  }
  // Terminate as 8-bit text and, padding with one or two more zeros, as
  // UTF-16 text too, so the temp stays a well-formed string.
  auto* out = static_cast<unsigned char*>(c.data);
  int32_t limit = c.capacity + 2;
  for (int32_t i = bytes; i < bytes + 3 && i < limit; ++i) out[i] = 0;
  c.type = vtString;
  Untrack(c);
  return static_cast<const char*>(c.data);
}

namespace {

// Integer arithmetic wraps at 32 bits.
template <typename Op>
int32_t Wrapping(int32_t a, int32_t b, Op op) {
  return static_cast<int32_t>(op(static_cast<uint32_t>(a), static_cast<uint32_t>(b)));
}

// left op right: left is converted to right's type in its temp, which takes
// the result and is returned. A pointer on the right leaves left as it is.
template <typename IntOp, typename RealOp, typename TextOp>
wvar& Arithmetic(wvar& left, const wvar& right, IntOp ints, RealOp reals, TextOp texts) {
  wvar& c = left.Convert(right.type);
  switch (right.type) {
    case vtInt:
      c.SetInt(ints(ReadInt(c.data), ReadInt(right.data)));
      return c;
    case vtReal:
      c.SetReal(reals(ReadReal(c.data), ReadReal(right.data)));
      return c;
    case vtString:
      texts(c, right);
      return c;
    default:
      return left;
  }
}

}  // namespace

wvar& wvar::Add(const wvar& right) {
  return Arithmetic(
      *this, right, [](int32_t a, int32_t b) { return Wrapping(a, b, std::plus<>()); },
      std::plus<double>(), [](wvar& c, const wvar& r) { c.Append(r.Chars()); });
}

// Text minus text is the difference of the first differing units.
wvar& wvar::Sub(const wvar& right) {
  return Arithmetic(
      *this, right, [](int32_t a, int32_t b) { return Wrapping(a, b, std::minus<>()); },
      std::minus<double>(),
      [](wvar& c, const wvar& r) { c.SetInt(UnitDifference(c.Chars(), r.Chars())); });
}

// Text times or divided by text is the empty text.
wvar& wvar::Mul(const wvar& right) {
  return Arithmetic(
      *this, right, [](int32_t a, int32_t b) { return Wrapping(a, b, std::multiplies<>()); },
      std::multiplies<double>(), [](wvar& c, const wvar&) { WriteEmpty(c); });
}

wvar& wvar::Div(const wvar& right) {
  return Arithmetic(
      *this, right,
      [](int32_t a, int32_t b) {
        // The evaluator refuses a zero divisor; should one arrive anyway it
        // gives 0, and the one quotient without a 32-bit value wraps.
        if (b == 0) return 0;
        if (b == -1) return Wrapping(0, a, std::minus<>());
        return a / b;
      },
      std::divides<double>(), [](wvar& c, const wvar&) { WriteEmpty(c); });
}

namespace {

// Compares left, converted to right's type, with right. A value already of
// that type is compared as it is: comparisons leave nothing in the temp.
template <typename Op>
int CompareValues(wvar& left, const wvar& right, Op op) {
  const wvar* l = &left;
  if (left.type != right.type) l = &left.Convert(right.type);
  switch (right.type) {
    case vtInt:
      return op(ReadInt(l->data), ReadInt(right.data)) ? 1 : 0;
    case vtReal:
      return op(ReadReal(l->data), ReadReal(right.data)) ? 1 : 0;
    case vtString:
      return op(UnitDifference(l->Chars(), right.Chars()), 0) ? 1 : 0;
    case vtPointer: {
      // A value of another type stands for the null pointer.
      auto a = reinterpret_cast<uintptr_t>(l->pval);
      auto b = reinterpret_cast<uintptr_t>(right.pval);
      return op(a, b) ? 1 : 0;
    }
    default:
      return 0;
  }
}

}  // namespace

int wvar::Eq(const wvar& right) {
  return CompareValues(*this, right, [](auto a, auto b) { return a == b; });
}
int wvar::Ne(const wvar& right) {
  return CompareValues(*this, right, [](auto a, auto b) { return a != b; });
}
int wvar::Gt(const wvar& right) {
  return CompareValues(*this, right, [](auto a, auto b) { return a > b; });
}
int wvar::Lt(const wvar& right) {
  return CompareValues(*this, right, [](auto a, auto b) { return a < b; });
}
int wvar::Ge(const wvar& right) {
  return CompareValues(*this, right, [](auto a, auto b) { return a >= b; });
}
int wvar::Le(const wvar& right) {
  return CompareValues(*this, right, [](auto a, auto b) { return a <= b; });
}

int32_t wvar::Length() const {
  if (type != vtString) return 0;
  const TextFacts facts = FactsOf(*this);
  return facts.version != 0 ? facts.length : UnitLength(Chars());
}

uint64_t wvar::Version() const { return FactsOf(*this).version; }

void wvar::Lower() {
  if (type != vtString) return;
  CharLowerW(Chars());
  Track(*this, UnitLength(Chars()));
}

void wvar::Upper() {
  if (type != vtString) return;
  CharUpperW(Chars());
  Track(*this, UnitLength(Chars()));
}

wvar& wvar::Mid(int32_t index, int32_t count) {
  if (type != vtString) return *this;
  if (conv == nullptr) conv = new wvar();
  wvar& c = *conv;
  int32_t length = Length();
  if (index < 0 || index > length || count < 1) {
    WriteEmpty(c);
    return c;
  }
  if (count > length - index) count = length - index;
  WriteUnits(c, Chars() + index, count);
  return c;
}

wvar& wvar::Right(int32_t n) {
  if (type != vtString) return *this;
  if (n < 1) return Mid(0, 0);
  int32_t length = Length();
  return Mid(n >= length ? 0 : length - n, n);
}

wvar& wvar::FirstLine(int32_t n) {
  if (type != vtString) return *this;
  if (conv == nullptr) conv = new wvar();
  wvar& c = *conv;
  const char16_t* text = Chars();
  int32_t k = 0;
  while (k < n && text[k] != 0 && text[k] != 13 && text[k] != 10) ++k;
  WriteUnits(c, text, k);
  return c;
}

void wvar::AssignLeft(const wvar& source, int32_t n) { AssignMid(source, 0, n); }

void wvar::AssignMid(const wvar& source, int32_t start, int32_t count) {
  if (source.type != vtString || start < 0 || count <= 0) return;
  int32_t length = source.Length();
  if (start >= length) return;
  if (count > length - start) count = length - start;
  // From this value itself the payload already fits and is moved down.
  WriteUnits(*this, source.Chars() + start, count);
}

void wvar::Delete(int32_t index, int32_t count) {
  if (type != vtString || index < 0 || count < 0) return;
  int32_t length = Length();
  if (index >= length) return;
  if (count > length - index) count = length - index;
  char16_t* text = Chars();
  std::memmove(text + index, text + index + count, static_cast<size_t>(length - index - count + 1) * 2);
  Track(*this, length - count);
}

void wvar::Insert(const wvar& text, int32_t index) {
  if (type != vtString || text.type != vtString) return;
  int32_t b = text.Length();
  if (b == 0) return;
  int32_t a = Length();
  if (index < 0) index = 0;
  if (index > a) index = a;
  int32_t bytes = PayloadBytes(static_cast<int64_t>(a) + b);
  const char16_t* inserted = text.Chars();
  std::u16string own;  // a text inserted into itself is read before it moves
  if (&text == this) {
    try {
      own.assign(inserted, static_cast<size_t>(b));
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory();
    }
    inserted = own.c_str();
  }
  if (capacity < bytes) {
    // Built in a new block, so that a failure leaves the value as it was.
    char16_t* block = static_cast<char16_t*>(AllocPayload(bytes));
    std::memcpy(block, Chars(), static_cast<size_t>(index) * 2);
    std::memcpy(block + index, inserted, static_cast<size_t>(b) * 2);
    std::memcpy(block + index + b, Chars() + index, static_cast<size_t>(a - index) * 2);
    block[a + b] = 0;
    if (capacity > kInline) GlobalFree(data);
    data = block;
    capacity = bytes;
    Track(*this, a + b);
    return;
  }
  char16_t* out = Chars();
  std::memmove(out + index + b, out + index, static_cast<size_t>(a - index) * 2);
  std::memcpy(out + index, inserted, static_cast<size_t>(b) * 2);
  out[a + b] = 0;
  Track(*this, a + b);
}

int32_t wvar::Find(const wvar& text, int32_t start) const {
  if (type != vtString || text.type != vtString) return -1;
  std::u16string_view hay(Chars());
  std::u16string_view needle(text.Chars());
  if (hay.empty() || needle.empty() || start < 0 || static_cast<size_t>(start) > hay.size()) return -1;
  size_t p = hay.find(needle, static_cast<size_t>(start));
  return p == std::u16string_view::npos ? -1 : static_cast<int32_t>(p);
}

int32_t wvar::FindFirst(const wvar& text) const { return Find(text, 0); }

void wvar::ReplaceAll(const wvar& search, const wvar& replacement) {
  if (type != vtString || search.type != vtString) return;
  std::u16string_view text(Chars());
  std::u16string_view needle(search.Chars());
  if (text.empty() || needle.empty()) return;
  size_t p = text.find(needle);
  if (p == std::u16string_view::npos) return;
  std::u16string_view with = replacement.type == vtString ? std::u16string_view(replacement.Chars())
                                                          : std::u16string_view();
  // One pass: the text after each match is searched on, the inserted text
  // never is. The result is built apart, so search and replacement may be
  // this value itself.
  std::u16string out;
  try {
    size_t from = 0;
    while (p != std::u16string_view::npos) {
      out.append(text.substr(from, p - from));
      out.append(with);
      from = p + needle.size();
      p = text.find(needle, from);
    }
    out.append(text.substr(from));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  AdoptText(*this, out);
}
