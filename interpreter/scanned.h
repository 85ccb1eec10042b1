// scanned: the tokens already scanned in a text, kept per position, so that
// a loop body or a sub called again is not scanned again. A token depends
// only on the text and the position the lexer looks from, so a kept one is
// exactly what a new scan would give. Texts are found by their content: a
// text edited or a sub redefined is another text.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class wcell;
class whash;

class ScannedText {
public:
  struct Token {
    int32_t start;         // where the token begins, after blanks and comments
    int32_t end;           // the scan position behind it
    int32_t code;
    int32_t commentStart;  // start of the last comment passed over, or -1
    int32_t textAt;        // a longer token's text in the pool, with its terminator
    int32_t length;
    // A number literal's value, once the evaluator has read it.
    bool numberKnown;
    double number;
    // A word's cell in a name table, as found while the count of table
    // changes (platform::TableChanges) was `tableState`.
    const whash* table;
    uint64_t tableState;
    wcell* cell;
    char16_t shortText[8];  // a token of up to 7 units, zero-filled
    // A "{" skipped with its block: pos and start before the matching "}"
    // was read; closeFrom is -1 until then.
    int32_t closeFrom;
    int32_t closeStart;
  };

  explicit ScannedText(std::u16string text);

  // The text's own copy, which the lexer scans.
  const char16_t* Text() const { return text_.c_str(); }
  // Bytes held, roughly.
  size_t Bytes() const {
    return text_.size() * 2 + index_.size() * sizeof(Token*) + tokens_.size() * sizeof(Token) +
           pool_.size() * 2;
  }

  // The token scanned from `pos`, or null while none has been.
  Token* Find(int32_t pos) {
    return pos >= 0 && static_cast<size_t>(pos) < index_.size() ? index_[pos] : nullptr;
  }
  const char16_t* TextOf(const Token& token) const {
    return token.length < kShort ? token.shortText : pool_.data() + token.textAt;
  }
  static constexpr int32_t kShort = sizeof(Token::shortText) / sizeof(char16_t);
  // Keeps the token scanned from `pos`; returns the record, or null when
  // it is not kept.
  Token* Keep(int32_t pos, const Token& token, const char16_t* text);

private:
  std::u16string text_;
  std::vector<Token*> index_;  // by position: the token scanned from there, or null
  std::deque<Token> tokens_;  // a deque: records stay put while more are kept
  std::u16string pool_;
};

// The scanned text of this content: one kept from an earlier run, or a new
// one. The most recently used texts are kept, up to a bounded total size.
// `version`, when not 0, is the text's wvar::Version.
std::shared_ptr<ScannedText> ScannedTextOf(const char16_t* text, uint64_t version = 0);
