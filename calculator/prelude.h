// prelude: the host-command subs and Ans, sent at every interpreter reset.
// The prelude: the subs that name the host commands, and Ans, sent at every
// interpreter reset so that they exist in every run.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kPreludeTextCount = 33;
extern const char16_t* const kPreludeTexts[kPreludeTextCount];

// The 33 texts joined, nothing between them.
std::u16string PreludeText();

class wbexe;

// Runs the prelude on the block (at every interpreter reset) and returns the
// run's status.
int32_t SendPrelude(wbexe& block);
