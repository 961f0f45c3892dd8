#pragma once
// The millisecond clock of the main loop. Tests replace it to drive the loop through exact times.
#include "core/Types.h"

using OClockFn = u32 (*)();

// Milliseconds of a monotonic clock (its start is arbitrary); wraps after 49 days like any 32-bit
// tick counter.
u32 GetTicks();
// Replaces the clock; nullptr restores the monotonic one.
void SetClock(OClockFn clock);
