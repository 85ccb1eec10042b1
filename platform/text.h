// text: code-page conversion, case mapping and UTF-16 helpers.
// Code-page conversion (the ANSI code page is CP932), per-unit case mapping
// and the UTF-16 helpers that stand for the wide-character C library.
#pragma once

#include <string>
#include <string_view>

#include "platform/api.h"

constexpr UINT CP_ACP = 0;
constexpr DWORD MB_PRECOMPOSED = 0x00000001;

extern "C" {
// Windows' counting rules: a length of -1 means NUL-terminated and the count
// then includes the terminator; an output size of 0 asks for the size needed;
// an output too small gives 0. Bytes that do not convert become U+FFFD.
PLATFORM_API int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcBytes,
                                     char16_t* dst, int dstUnits);
// Units that have no CP932 form become "?" (usedDefault, when given, is set).
PLATFORM_API int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* src, int srcUnits,
                                     char* dst, int dstBytes, const char* defaultChar,
                                     BOOL* usedDefault);
// In place, per UTF-16 unit, by the Unicode simple case mapping; no locale.
PLATFORM_API char16_t* CharLowerW(char16_t* text);
PLATFORM_API char16_t* CharUpperW(char16_t* text);
}

namespace platform {
PLATFORM_API char16_t ToLowerUnit(char16_t c);
PLATFORM_API char16_t ToUpperUnit(char16_t c);

PLATFORM_API size_t u16len(const char16_t* s);
// Copies with the terminator; returns dst.
PLATFORM_API char16_t* u16cpy(char16_t* dst, const char16_t* src);
// Ordinal comparison of unsigned units: <0, 0, >0.
PLATFORM_API int u16cmp(const char16_t* a, const char16_t* b);
PLATFORM_API bool IsBlankUnit(char16_t c);
// Leading white space, an optional sign, decimal digits up to the first other
// unit; no digits gives 0; accumulates in 32 bits and wraps.
PLATFORM_API int32_t u16toi(const char16_t* s);
// Leading white space, sign, digits, one point, exponent: the longest decimal
// number at the start of s; none gives 0.0. `end` (optional) receives the
// offset behind the number (0 when there is none).
PLATFORM_API double u16tod(const char16_t* s, size_t* end = nullptr);
// The text printf's "%.15g" gives, in the C locale, written as 8-bit text into
// out (at least 32 bytes); returns the length.
PLATFORM_API int FormatReal15(double value, char* out);

// UTF-8 edges (file names, terminals, Qt-free diagnostics).
PLATFORM_API std::string ToUtf8(std::u16string_view text);
PLATFORM_API std::u16string FromUtf8(std::string_view text);
// File names. A name on disk is bytes, a name in a script UTF-16; the two
// map one to one, so that no two names meet in one file:
// - well-formed UTF-8 is its characters;
// - every other byte 0x80-0xFF stands alone as the unit U+DC80-U+DCFF;
// - a lone surrogate is the three-byte form UTF-8 would give it, and such a
//   form on disk comes back as the lone surrogate, unless it would then pair
//   with its neighbour or meet a byte's unit (then its bytes stand alone).
// FromFileName never fails, and ToFileName gives back the very bytes. A text
// whose lone U+DC80-U+DCFF units spell well-formed UTF-8 would name another
// file: ToFileName refuses it (false), as it refuses an embedded NUL.
PLATFORM_API std::u16string FromFileName(std::string_view bytes);
PLATFORM_API bool ToFileName(std::u16string_view text, std::string& bytes);
// ToFileName of a NUL-terminated path; false for null as well.
PLATFORM_API bool ToFileName(const char16_t* text, std::string& bytes);
// CP932 edges for 8-bit texts held in std::string.
PLATFORM_API std::u16string FromAnsi(std::string_view bytes);
PLATFORM_API std::string ToAnsi(std::u16string_view text);
}  // namespace platform
