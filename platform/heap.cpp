// heap: the global heap.
// Every block carries a small header with its size, so that
// GlobalSize works and a block can be freed by whichever binary holds it.
#include "platform/heap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// 16 bytes keep the payload as aligned as malloc's own result.
struct alignas(16) BlockHeader {
  size_t bytes;
  uint64_t tag;
};
static_assert(sizeof(BlockHeader) == 16);

constexpr uint64_t kLiveTag = 0x5a494d524f484541ull;
constexpr SIZE_T kLargestBlock = 0x7FFFFFFF;

std::atomic<long> allocationsBeforeFailure{-1};
std::atomic<uint64_t> lastTextVersion{0};


BlockHeader* HeaderOf(HGLOBAL block) {
  return reinterpret_cast<BlockHeader*>(static_cast<unsigned char*>(block) - sizeof(BlockHeader));
}

bool InjectedFailure() {
  long left = allocationsBeforeFailure.load(std::memory_order_relaxed);
  while (left >= 0) {
    if (left == 0) return true;
    if (allocationsBeforeFailure.compare_exchange_weak(left, left - 1, std::memory_order_relaxed))
      return false;
  }
  return false;
}

}  // namespace

extern "C" {

HGLOBAL GlobalAlloc(UINT /*flags*/, SIZE_T bytes) {
  // Every block is zero-filled, whatever the flags: callers that ask for
  // GMEM_FIXED alone still never see stale bytes.
  // No block beyond what a 32-bit process could ever hold: a script that
  // asks for more (an array index in the billions) gets the out-of-memory
  // failure instead of a lazily mapped block it would then walk page by page.
  if (bytes > kLargestBlock) return nullptr;
  if (InjectedFailure()) return nullptr;
  void* raw = std::calloc(1, sizeof(BlockHeader) + bytes);
  if (raw == nullptr) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->bytes = bytes;
  header->tag = kLiveTag;
  return header + 1;
}

void* GlobalLock(HGLOBAL block) { return block; }

BOOL GlobalUnlock(HGLOBAL /*block*/) {
  // Blocks are never movable, so there is no lock count: always unlocked.
  return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL block) {
  if (block == nullptr) return nullptr;
  BlockHeader* header = HeaderOf(block);
  if (header->tag != kLiveTag) return block;  // not one of ours, or freed twice
  header->tag = 0;
  std::free(header);
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL block) {
  if (block == nullptr) return 0;
  BlockHeader* header = HeaderOf(block);
  return header->tag == kLiveTag ? header->bytes : 0;
}

}  // extern "C"

namespace platform {

uint64_t NextTextVersion() { return lastTextVersion.fetch_add(1, std::memory_order_relaxed) + 1; }

std::atomic<uint64_t> tableChanges{0};

void FailGlobalAllocAfter(long n) {
  allocationsBeforeFailure.store(n < 0 ? -1 : n, std::memory_order_relaxed);
}

}  // namespace platform
