// The prelude: the subs that name the host commands, and Ans, sent at every
// interpreter reset so that they exist in every run.
#pragma once

#include <string>

inline constexpr int kPreludeTextCount = 33;
extern const char16_t* const kPreludeTexts[kPreludeTextCount];

// The 33 texts joined, nothing between them.
std::u16string PreludeText();
