// lcmap: locale text mapping: case, character width and kana, for the Japanese locale.
#pragma once

#include "platform/api.h"

constexpr DWORD LOCALE_SYSTEM_DEFAULT = 0x0800;

constexpr DWORD LCMAP_LOWERCASE = 0x00000100;
constexpr DWORD LCMAP_UPPERCASE = 0x00000200;
constexpr DWORD LCMAP_HIRAGANA = 0x00100000;
constexpr DWORD LCMAP_KATAKANA = 0x00200000;
constexpr DWORD LCMAP_HALFWIDTH = 0x00400000;
constexpr DWORD LCMAP_FULLWIDTH = 0x00800000;

extern "C" {
// Maps srcUnits units of src (-1: up to and including its terminator) into
// dst and returns the units written; dstUnits 0 asks for the units needed.
// Returns 0 for an empty source, a destination too small, no flag, a flag
// other than the six above, or a contradictory pair (upper with lower case,
// full with half width, katakana with hiragana).
// Full width applies first (so half-width katakana take part in the kana
// mapping), then kana, then half width, then case.
PLATFORM_API int LCMapStringW(DWORD locale, DWORD flags, const char16_t* src, int srcUnits,
                              char16_t* dst, int dstUnits);
}
