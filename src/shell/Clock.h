#pragma once
// The millisecond clock of the main loop. Tests replace it to drive the loop through exact times.
#include "shell/Types.h"

using OClockFn = u32 (*)();

// Milliseconds since the platform started; wraps after 49 days like any 32-bit tick counter.
u32 GetTicks();
// Replaces the clock; nullptr restores the platform's.
void SetClock(OClockFn clock);
