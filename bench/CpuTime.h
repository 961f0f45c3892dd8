#pragma once
// The benches' steadier clock.
#include <ctime>

// CPU time of the whole process so far, the renderer's threads included, ms. Unlike wall time it
// hardly depends on what else the machine runs, so it compares two builds on a busy machine.
inline double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}
