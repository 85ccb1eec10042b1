// scanned: the cache of scanned texts, bounded, found by content.
#include "interpreter/scanned.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <string_view>
#include <unordered_map>

#include "platform/exceptions.h"

namespace {

// What the cache keeps across runs: far more than any set of button
// programs, far less than the memory a script may use.
constexpr size_t kKeptBytes = 16 * 1024 * 1024;
constexpr size_t kKeptTexts = 256;
// Bytes of a text's own copy, index and tokens for each of its units.
constexpr size_t kBytesPerUnit = 2 + sizeof(void*);

struct Kept {
  std::shared_ptr<ScannedText> scanned;
  uint64_t lastUse;
};

// Keyed by a view of each text's own copy. Scripts run on one thread.
std::unordered_map<std::u16string_view, Kept> kept;
uint64_t uses = 0;

size_t KeptBytes() {
  size_t bytes = 0;
  for (const auto& [text, entry] : kept) bytes += entry.scanned->Bytes();
  return bytes;
}

// Drops the least recently used texts until there is room for `more`
// bytes; runs in progress keep their own.
void MakeRoom(size_t more) {
  while (!kept.empty() && (kept.size() >= kKeptTexts || KeptBytes() + more > kKeptBytes)) {
    auto oldest = kept.begin();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    kept.erase(oldest);
  }
}

}  // namespace

ScannedText::ScannedText(std::u16string text)
    : text_(std::move(text)), index_(text_.size() + 1, nullptr) {}

ScannedText::Token* ScannedText::Keep(int32_t pos, const Token& token, const char16_t* text) {
  if (pos < 0 || static_cast<size_t>(pos) >= index_.size()) return nullptr;
  if (index_[pos] != nullptr) return index_[pos];
  // Token texts beyond a few times the text itself (positions met inside
  // long strings) are scanned again instead.
  if (pool_.size() + static_cast<size_t>(token.length) > 4 * text_.size() + 4096) return nullptr;
  try {
    Token stored = token;
    std::fill(std::begin(stored.shortText), std::end(stored.shortText), u'\0');
    if (token.length < kShort) {
      std::copy(text, text + token.length, stored.shortText);
    } else {
      stored.textAt = static_cast<int32_t>(pool_.size());
      pool_.append(text, static_cast<size_t>(token.length) + 1);
    }
    stored.numberKnown = false;
    stored.number = 0.0;
    stored.table = nullptr;
    stored.closeFrom = -1;
    tokens_.push_back(stored);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  index_[pos] = &tokens_.back();
  return index_[pos];
}

namespace {

// The texts asked for last, by where they were: a sub called again and again
// asks from the same place, and then its text needs only to be compared.
struct Recent {
  const char16_t* asked;
  uint64_t version;
  std::shared_ptr<ScannedText> scanned;
};
Recent recent[4];
size_t nextRecent = 0;

bool SameText(const char16_t* a, const char16_t* b) {
  while (*a == *b && *a != 0) {
    ++a;
    ++b;
  }
  return *a == *b;
}

std::shared_ptr<ScannedText> Found(const char16_t* asked, uint64_t version,
                                   const std::shared_ptr<ScannedText>& scanned) {
  recent[nextRecent] = {asked, version, scanned};
  nextRecent = (nextRecent + 1) % std::size(recent);
  return scanned;
}

}  // namespace

std::shared_ptr<ScannedText> ScannedTextOf(const char16_t* text, uint64_t version) {
  try {
    for (const Recent& r : recent) {
      if (version != 0 && r.version == version) return r.scanned;
    }
    for (Recent& r : recent) {
      if (r.asked == text && SameText(text, r.scanned->Text())) {
        if (version != 0) r.version = version;
        return r.scanned;
      }
    }
    const std::u16string_view content(text);
    if (auto it = kept.find(content); it != kept.end()) {
      it->second.lastUse = ++uses;
      return Found(text, version, it->second.scanned);
    }
    auto scanned = std::make_shared<ScannedText>(std::u16string(content));
    // A text too large to keep is scanned for its own run only.
    const size_t bytes = content.size() * 2 * kBytesPerUnit;
    if (bytes <= kKeptBytes / 4) {
      MakeRoom(bytes);
      kept.emplace(std::u16string_view(scanned->Text(), content.size()), Kept{scanned, ++uses});
    }
    return Found(text, version, scanned);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
}
