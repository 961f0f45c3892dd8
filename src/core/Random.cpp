#include "core/Random.h"

namespace {
u32 state = 1;
}

int Random() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

void SeedRandom(u32 seed) { state = seed; }
