// keymap: the characters of a text that the keyboard map of an X display
// lacks, bound to spare keys before the text is typed.
#pragma once

#include <string>

namespace e2e {

// Binds every character of the UTF-8 text that no key of the display's map
// gives to a key that has no symbol yet, for the rest of the server's life.
// False when the display cannot be opened or no spare key is left.
bool BindMissingCharacters(const std::string& display, const std::string& text);

}  // namespace e2e
