#include <gtest/gtest.h>

#include <algorithm>

#include "core/Random.h"

// The generator is the standard one (state * 214013 + 2531011, bits 16..30): the bonus bag, the
// playlist and every game formula are made for its sequence, not only for its range.
TEST(Random, StandardSequenceAndRange) {
  SeedRandom(1);
  for (int expected : {41, 18467, 6334, 26500, 19169, 15724}) EXPECT_EQ(Random(), expected);
  // The whole range 0..32767 is reached and never exceeded.
  SeedRandom(12345);
  int lo = RANDOM_MAX, hi = 0;
  for (int i = 0; i < 100000; ++i) {
    const int v = Random();
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, RANDOM_MAX);
}
