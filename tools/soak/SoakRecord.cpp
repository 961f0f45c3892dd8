#include "SoakRecord.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

i64 ResidentKb() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return 0;
  char line[256];
  i64 kb = 0;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, "VmRSS:", 6) == 0) {
      kb = std::atoll(line + 6);
      break;
    }
  }
  std::fclose(f);
  return kb;
}

void HeapKb(i64& inUseKb, i64& freeKb) {
  inUseKb = 0;
  freeKb = 0;
#if defined(__GLIBC__)
  const struct mallinfo2 heap = mallinfo2();
  inUseKb = static_cast<i64>((heap.uordblks + heap.hblkhd) / 1024);
  freeKb = static_cast<i64>(heap.fordblks / 1024);
#endif
}

bool MemoryFlat(i64 startKb, i64 endKb) {
  const i64 slack = std::max<i64>(5 * 1024, startKb / 20);
  return endKb - startKb <= slack;
}

OSoakRecord::OSoakRecord(const std::string& csvPath) {
  csv = std::fopen(csvPath.c_str(), "w");
  ok = csv != nullptr;
  if (ok) std::fprintf(csv, "game_s,wall_s,episode,level,ticks,drawing,rss_kb\n");
}

OSoakRecord::~OSoakRecord() {
  if (csv != nullptr) std::fclose(csv);
}

void OSoakRecord::Add(const OSoakSample& s) {
  if (csv == nullptr) return;
  // Levels are written 1-based, as the game shows them.
  std::fprintf(csv, "%.1f,%.1f,%d,%d,%lld,%d,%lld\n", s.gameSeconds, s.wallSeconds, s.episode,
               s.level + 1, static_cast<long long>(s.ticks), s.drawing ? 1 : 0,
               static_cast<long long>(s.residentKb));
  std::fflush(csv);
}

void OSoakRecord::Error(const std::string& what) {
  errors.push_back(what);
  std::fprintf(stderr, "soak: ERROR at %.1f s of game: %s\n", gameSeconds, what.c_str());
}

bool OSoakRecord::Summary(std::FILE* out) const {
  const bool flat = MemoryFlat(startKb, endKb);
  std::fprintf(out, "game time      %.1f s (%.1f min) in %.1f s of wall time; %lld ticks, %lld drawn\n",
               gameSeconds, gameSeconds / 60.0, wallSeconds, static_cast<long long>(ticks),
               static_cast<long long>(drawnTicks));
  std::fprintf(out, "episodes       %d started, %d completed\n", episodesStarted, episodesCompleted);
  std::fprintf(out, "levels played  %d (%d ended in play, %d moved on by the soak); %d games lost, "
               "%d high-score names entered\n",
               levelsPlayed, levelsEndedInPlay, levelsMovedOn, gamesLost, namesEntered);
  std::fprintf(out, "errors         %zu\n", errors.size());
  for (const std::string& e : errors) std::fprintf(out, "  %s\n", e.c_str());
  const i64 change = endKb - startKb;
  std::fprintf(out, "resident       %.1f MB %s, %.1f MB at the end (%+.1f MB, %+.1f %%): %s\n",
               startKb / 1024.0, startWhen.c_str(), endKb / 1024.0, change / 1024.0,
               startKb > 0 ? 100.0 * static_cast<double>(change) / static_cast<double>(startKb) : 0.0,
               flat ? "flat" : "NOT flat");
  for (const OSoakSample& s : episodeEnds) {
    std::fprintf(out,
                 "  after episode %d at %7.1f s of game: level %2d, %.1f MB (heap: %.1f MB in use, "
                 "%.1f MB free)\n",
                 s.episode, s.gameSeconds, s.level + 1, s.residentKb / 1024.0,
                 s.heapInUseKb / 1024.0, s.heapFreeKb / 1024.0);
  }
  return errors.empty() && flat;
}
