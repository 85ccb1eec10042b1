// fonts: font substitutes for the names the forms use.
// The forms name fonts that this machine does not have; each is mapped onto
// an installed face of the same kind, Japanese ones onto a Japanese face, so
// that captions show no empty boxes.
#pragma once

// Call once at start, after the application object exists.
void RegisterFontSubstitutes();
