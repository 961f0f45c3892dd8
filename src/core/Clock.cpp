#include "core/Clock.h"

#include <chrono>

namespace {
OClockFn current = nullptr;

// The process's own monotonic clock, counted from the first time anyone asked: only differences
// between two readings mean anything, so the epoch is free.
u32 SteadyTicks() {
  using namespace std::chrono;
  static const steady_clock::time_point start = steady_clock::now();
  return static_cast<u32>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}
}  // namespace

u32 GetTicks() { return current ? current() : SteadyTicks(); }

void SetClock(OClockFn clock) { current = clock; }
