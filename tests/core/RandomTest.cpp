#include <gtest/gtest.h>

#include "core/Random.h"

// The generator is the standard one (state * 214013 + 2531011, bits 16..30): the bonus bag, the
// playlist and every game formula are made for its sequence, not only for its range (which the
// sequence's bits 16..30 keep within 0..RANDOM_MAX).
TEST(Random, StandardSequence) {
  SeedRandom(1);
  for (int expected : {41, 18467, 6334, 26500, 19169, 15724}) EXPECT_EQ(Random(), expected);
  SeedRandom(12345);
  for (int expected : {7584, 19164, 25795, 22125, 5828, 23405}) EXPECT_EQ(Random(), expected);
}
