// vkmap: virtual-key codes as X key symbols, and normalised mouse coordinates as
// pixels: the pure half of synthetic input on X11.
#pragma once

#include <cstdint>

namespace platform {

// The key symbol of the key that carries the virtual key on a US keyboard
// (letters as their lower-case symbol, the OEM keys as their unshifted
// character); 0 for codes without a key.
unsigned long KeySymForVirtualKey(int vk);

// A normalised coordinate (0 to 65535 across the screen) as a pixel of a
// screen `extent` pixels wide, rounded to the nearest and kept on the screen
// (read as a signed number: negative values give 0).
// Rounding makes a pixel that a script converted with a factor of 65537 come
// back as itself.
int NormalisedToPixel(uint32_t normalised, int extent);

}  // namespace platform
