#pragma once
// The one program-wide random generator. Its values run 0..RANDOM_MAX (32767), the range every
// game formula divides by; the C library's rand() has a far larger range on Linux and is never used.
#include "core/Types.h"

constexpr int RANDOM_MAX = 32767;

// Next value, 0..32767.
int Random();
// Restarts the sequence; the same seed gives the same sequence.
void SeedRandom(u32 seed);
