#include <gtest/gtest.h>

#include <cstring>

#include "platform/heap.h"

namespace {

class GlobalHeap : public ::testing::Test {
protected:
  void TearDown() override { platform::FailGlobalAllocAfter(-1); }
};

TEST_F(GlobalHeap, BlocksAreZeroFilledEvenWhenMemoryIsReused) {
  for (int round = 0; round < 3; ++round) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 64);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_EQ(bytes, block);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(bytes[i], 0) << "round " << round << " byte " << i;
    std::memset(bytes, 0xAB, 64);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
  }
}

TEST_F(GlobalHeap, SizeIsWhatWasAskedFor) {
  for (SIZE_T n : {SIZE_T{0}, SIZE_T{1}, SIZE_T{12}, SIZE_T{4096}}) {
    HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT | GMEM_DDESHARE, n);
    ASSERT_NE(block, nullptr) << n;
    EXPECT_EQ(GlobalSize(block), n);
    GlobalFree(block);
  }
}

TEST_F(GlobalHeap, NullIsHarmlessEverywhere) {
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
}

TEST_F(GlobalHeap, ImpossibleSizeFailsWithNull) {
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(-1)), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, SIZE_T{0x80000000}), nullptr);
}

TEST_F(GlobalHeap, FailureHookCountsSuccessesThenFailsUntilReset) {
  platform::FailGlobalAllocAfter(2);
  HGLOBAL a = GlobalAlloc(GMEM_ZEROINIT, 8);
  HGLOBAL b = GlobalAlloc(GMEM_ZEROINIT, 8);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, 8), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, 8), nullptr);
  platform::FailGlobalAllocAfter(-1);
  HGLOBAL c = GlobalAlloc(GMEM_ZEROINIT, 8);
  EXPECT_NE(c, nullptr);
  for (HGLOBAL h : {a, b, c}) GlobalFree(h);
}

}  // namespace
