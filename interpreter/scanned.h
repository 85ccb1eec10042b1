// Tokens already scanned in a text, kept so that a loop body or a sub called
// again is not scanned again. A token depends only on the text and the
// position the lexer looks from, so a kept one is exactly what a new scan
// would give. Texts are found by their content: a text edited or a sub
// redefined is another text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ScannedText {
public:
  struct Token {
    int32_t start;         // where the token begins, after blanks and comments
    int32_t end;           // the scan position behind it
    int32_t code;
    int32_t commentStart;  // start of the last comment passed over, or -1
    int32_t textAt;        // its text in the pool
    int32_t length;
  };

  explicit ScannedText(std::u16string text);

  // The text's own copy, which the lexer scans.
  const char16_t* Text() const { return text_.c_str(); }
  // Bytes held, roughly.
  size_t Bytes() const {
    return text_.size() * 2 + index_.size() * sizeof(int32_t) + tokens_.size() * sizeof(Token) +
           pool_.size() * 2;
  }

  // The token scanned from `pos`, or null while none has been.
  const Token* Find(int32_t pos) const {
    const int32_t n = pos >= 0 && static_cast<size_t>(pos) < index_.size() ? index_[pos] : 0;
    return n != 0 ? &tokens_[n - 1] : nullptr;
  }
  const char16_t* TextOf(const Token& token) const { return pool_.data() + token.textAt; }
  void Keep(int32_t pos, const Token& token, const char16_t* text);

private:
  std::u16string text_;
  std::vector<int32_t> index_;  // by position: 1 + the token's number, 0 for none
  std::vector<Token> tokens_;
  std::u16string pool_;
};

// The scanned text of this content: one kept from an earlier run, or a new
// one. The most recently used texts are kept, up to a bounded total size.
std::shared_ptr<ScannedText> ScannedTextOf(const char16_t* text);
