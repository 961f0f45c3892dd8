#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <vector>

#include "core/Heap.h"

namespace {
void* volatile keep;  // the blocks go through here so that the compiler keeps them
}  // namespace

// With glibc's own rule, freeing a mapped 8 MB block lets every later block under 8 MB into the
// main heap, where each new episode's short-lived sizes left holes and the heap kept growing.
// A frame's worth of the rasteriser's 64 KB blocks, though, stays in the heap for the next frame.
TEST(Heap, LargeBlocksKeepTheirOwnMappingAndAFramesSmallBlocksStayInTheHeap) {
  if (!KeepLargeBlocksMapped()) GTEST_SKIP() << "the C library does not take the setting";
  void* larger = std::malloc(8u << 20);
  ASSERT_NE(larger, nullptr);
  keep = larger;
  std::free(larger);

  // A 1 MB block (a decoded picture) gets a mapping of its own, given back when freed.
  const struct mallinfo2 before = mallinfo2();
  void* block = std::malloc(1u << 20);
  ASSERT_NE(block, nullptr);
  keep = block;
  const struct mallinfo2 held = mallinfo2();
  EXPECT_GE(held.hblkhd, before.hblkhd + (1u << 20));
  EXPECT_EQ(held.arena, before.arena);
  std::free(block);
  EXPECT_EQ(mallinfo2().hblkhd, before.hblkhd);

  std::vector<void*> blocks;
  for (int i = 0; i < 64; ++i) {  // 4 MB
    blocks.push_back(std::malloc(64 * 1024));
    ASSERT_NE(blocks.back(), nullptr);
  }
  keep = blocks.back();
  const struct mallinfo2 full = mallinfo2();
  EXPECT_EQ(full.hblkhd, before.hblkhd);  // none of them mapped
  for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) std::free(*it);
  EXPECT_EQ(mallinfo2().arena, full.arena);
}
