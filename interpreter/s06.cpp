// s06: the string built-ins.
#include <climits>
#include <cstdint>

#include "interpreter/builtin.h"
#include "interpreter/engine.h"
#include "interpreter/handlers.h"
#include "interpreter/wlike.h"
#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/lcmap.h"
#include "platform/text.h"

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The digits after "0x" as a 32-bit long reads them: the largest value stands
// for anything above it.
int32_t HexValue(const char16_t* digits) {
  int64_t value = 0;
  for (int d; (d = HexDigit(*digits)) >= 0; ++digits) {
    value = value * 16 + d;
    if (value > INT32_MAX) value = INT32_MAX + int64_t{1};
  }
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

}  // namespace

// LEN(text)
VEK_HANDLER(FnLen) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(call.Arg(0).Convert(vtString).Length());
}

// MID(text, start, count)
VEK_HANDLER(FnMid) {
  BuiltinCall call(context, 3);
  if (!call.ok()) return stFailed;
  const int32_t start = call.Int(1);
  const int32_t count = call.Int(2);
  wvar& part = call.Arg(0).Mid(start, count);
  return call.Return<const wvar&>(part);
}

// LEFT(text, n)
VEK_HANDLER(FnLeft) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const int32_t n = call.Int(1);
  wvar& part = call.Arg(0).Mid(0, n);
  return call.Return<const wvar&>(part);
}

// RIGHT(text, n)
VEK_HANDLER(FnRight) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const int32_t n = call.Int(1);
  wvar& part = call.Arg(0).Right(n);
  return call.Return<const wvar&>(part);
}

// LOWER(text)
VEK_HANDLER(FnLower) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  call.Arg(0).Lower();
  return call.Return<const wvar&>(call.Arg(0));
}

// UPPER(text)
VEK_HANDLER(FnUpper) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  call.Arg(0).Upper();
  return call.Return<const wvar&>(call.Arg(0));
}

// STR(value)
VEK_HANDLER(FnStr) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(call.Arg(0).AsString());
}

// VAL(text)
VEK_HANDLER(FnVal) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const char16_t* text = call.Arg(0).AsString();
  if (text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    return call.Return(HexValue(text + 2));
  }
  return call.Return(platform::u16tod(text));
}

// ASC(text)
VEK_HANDLER(FnAsc) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(static_cast<int32_t>(call.Arg(0).AsString()[0]));
}

// CHR(code)
VEK_HANDLER(FnChr) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const char16_t text[2] = {static_cast<char16_t>(call.Int(0) & 0xFFFF), 0};
  return call.Return(static_cast<const char16_t*>(text));
}

// HEX(n)
VEK_HANDLER(FnHex) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  uint32_t n = static_cast<uint32_t>(call.Int(0));
  char16_t text[9];
  int i = 8;
  text[i] = 0;
  do {
    text[--i] = u"0123456789abcdef"[n % 16];
    n /= 16;
  } while (n != 0);
  return call.Return(static_cast<const char16_t*>(text + i));
}

// INSTR(text, part [, start])
VEK_HANDLER(FnInStr) {
  wstack& stack = context->block->stack;
  const int32_t base = stack.depth;
  const int32_t count = ParseArgs(context);
  // Fewer than two arguments fail without a code of their own.
  if (count < 2) return stFailed;
  if (count <= 3) {
    const wvar sub(stack.At(base + 1).AsString());
    const int32_t start = count == 3 ? stack.At(base + 2).AsInt() : 0;
    context->value = stack.At(base).Find(sub, start);
  }
  // With more arguments nothing is searched: the value stays the last argument's.
  context->ref = nullptr;
  stack.depth = base;
  return stDone;
}

// REPLACE(text, search, replacement)
VEK_HANDLER(FnReplace) {
  BuiltinCall call(context, 3);
  if (!call.ok()) return stFailed;
  // Both as texts: a number as the new text is inserted, not lost.
  const wvar search(call.Arg(1).AsString());
  const wvar replacement(call.Arg(2).AsString());
  wvar& s = call.Arg(0);
  s.ReplaceAll(search, replacement);
  return call.Return(s.AsString());
}

// STRCONV(text, flags)
VEK_HANDLER(FnStrConv) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  wvar& s = call.Arg(0);
  s.ChangeType(vtString);
  const int32_t n = s.Length();
  const SIZE_T units = 2 * static_cast<SIZE_T>(n) + 2;
  auto* buffer = static_cast<char16_t*>(GlobalAlloc(GMEM_ZEROINIT, units * sizeof(char16_t)));
  if (buffer == nullptr) throw EOutOfMemory();
  struct Release {
    char16_t* block;
    ~Release() { GlobalFree(block); }
  } release{buffer};

  const int32_t f = call.Int(1);
  DWORD flags = 0;
  if (f & 1) flags = LCMAP_UPPERCASE;
  if (f & 2) flags = LCMAP_LOWERCASE;
  if (f & 4) flags |= LCMAP_FULLWIDTH;
  if (f & 8) flags |= LCMAP_HALFWIDTH;
  if (f & 16) flags |= LCMAP_KATAKANA;
  if (f & 32) flags |= LCMAP_HIRAGANA;
  // A failed mapping writes nothing and leaves the zero-filled buffer empty.
  LCMapStringW(LOCALE_SYSTEM_DEFAULT, flags, s.Chars(), n, buffer, static_cast<int>(units));

  return call.Return(static_cast<const char16_t*>(buffer));
}

// LIKE(text, pattern)
VEK_HANDLER(FnLike) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  wlike matcher(nullptr);
  const int32_t answer = matcher.Like(call.Arg(0).AsString(), call.Arg(1).AsString());
  if (matcher.overflow != 0) return Fail(context, erOverflow);
  return call.Return(answer);
}
