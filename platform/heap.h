// heap: the global heap, and GlobalHeapObject for classes that live on it.
// Zero-filling allocations that every binary of the process
// can grow and free, whichever of them made the block.
#pragma once

#include <cstddef>

#include <atomic>

#include "platform/api.h"
#include "platform/exceptions.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;

extern "C" {
// Returns null when the block cannot be had, and for any block above
// 2 GiB - 1 bytes.
PLATFORM_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
PLATFORM_API void* GlobalLock(HGLOBAL block);
PLATFORM_API BOOL GlobalUnlock(HGLOBAL block);
// Returns null on success, the block when it could not be freed.
PLATFORM_API HGLOBAL GlobalFree(HGLOBAL block);
PLATFORM_API SIZE_T GlobalSize(HGLOBAL block);
}

namespace platform {
// A number never handed out before in this process, shared by every binary:
// script values mark each version of a text with one.
PLATFORM_API uint64_t NextTextVersion();

// Counts the changes to which cells the name tables of scripts hold, in
// every binary: a search remembered together with this count still holds
// while the count stays the same.
PLATFORM_API extern std::atomic<uint64_t> tableChanges;
inline void NoteTableChange() { tableChanges.fetch_add(1, std::memory_order_relaxed); }
inline uint64_t TableChanges() { return tableChanges.load(std::memory_order_relaxed); }

// Test hook: after `n` more successful allocations every GlobalAlloc fails,
// until it is called again with a negative n (the default: never fail).
PLATFORM_API void FailGlobalAllocAfter(long n);
}

// A class derived from this one is allocated on the global heap, zero-filled,
// so that any binary of the process may free it; an allocation that fails
// raises EOutOfMemory.
struct GlobalHeapObject {
  static void* operator new(size_t size) { return Allocate(size); }
  static void* operator new[](size_t size) { return Allocate(size); }
  static void operator delete(void* p) noexcept { GlobalFree(p); }
  static void operator delete[](void* p) noexcept { GlobalFree(p); }

private:
  static void* Allocate(size_t size) {
    void* p = GlobalAlloc(GMEM_ZEROINIT, size);
    if (p == nullptr) throw EOutOfMemory();
    return p;
  }
};
