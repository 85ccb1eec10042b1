// colors: colour values and their texts in the calculator file.
// Colours as the calculator keeps them: 0x00BBGGRR, or 0x80000000 | index
// for a system colour that follows the desktop's scheme.
#pragma once

#include <cstdint>
#include <string_view>

using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);

// Decimal, "$" or "0x" hexadecimal (leading blanks and a sign allowed), or
// a colour name such as clBlack or clBtnFace in any case. Raises
// EConvertError for any other text.
TColor StringToColor(std::u16string_view text);

// A system colour becomes its RGB value in the standard scheme; any other
// colour is returned unchanged.
TColor ColorToRGB(TColor color);
