#pragma once
// What a soak run keeps: a CSV row of the game's progress and the process's resident memory every
// few game-seconds, the counts the summary reports, and the verdict on memory.
#include <cstdio>
#include <string>
#include <vector>

#include "core/Types.h"

// Resident memory of this process (VmRSS of /proc/self/status), kB; 0 when it cannot be read.
i64 ResidentKb();

// The C library's heap, kB: the blocks in use (mapped ones included) and the free space the heap
// keeps without giving it back. Both 0 where the library does not tell.
void HeapKb(i64& inUseKb, i64& freeKb);

// Memory counts as flat when the end is within 5 MB or 5 % of the start, whichever is larger:
// allocators and the driver keep a little slack that comes and goes.
bool MemoryFlat(i64 startKb, i64 endKb);

// One point of the run.
struct OSoakSample {
  double gameSeconds = 0.0;
  double wallSeconds = 0.0;
  i32 episode = 0;
  i32 level = 0;  // 0-based, as the game counts
  i64 ticks = 0;
  bool drawing = false;
  i64 residentKb = 0;
  i64 heapInUseKb = 0;  // at episode ends only: what is alive, and free space the heap holds
  i64 heapFreeKb = 0;
};

class OSoakRecord {
public:
  // Opens (truncates) the CSV file and writes its header; `ok` tells whether it could.
  explicit OSoakRecord(const std::string& csvPath);
  ~OSoakRecord();
  OSoakRecord(const OSoakRecord&) = delete;
  OSoakRecord& operator=(const OSoakRecord&) = delete;

  void Add(const OSoakSample& sample);
  // Records a fault the run met; printed at once and counted in the summary.
  void Error(const std::string& what);
  // The summary: times, episodes, levels, errors, memory from the first level's end to the end
  // of the run, and the memory at the end of each episode. True when there was no error and the
  // memory stayed flat.
  bool Summary(std::FILE* out) const;

  bool ok = false;
  // Counts of the run.
  double gameSeconds = 0.0;
  double wallSeconds = 0.0;
  i64 ticks = 0;
  i64 drawnTicks = 0;
  i32 episodesStarted = 0;
  i32 episodesCompleted = 0;
  i32 levelsPlayed = 0;    // levels (or corridor stages) started
  i32 levelsEndedInPlay = 0;  // cleared by the autoplayer, or a corridor stage whose time ran out
  i32 levelsMovedOn = 0;   // ended by the soak with the next-level bonus
  i32 gamesLost = 0;
  i32 namesEntered = 0;    // high-score names typed
  std::vector<std::string> errors;
  i64 startKb = 0;  // the memory the end is judged against, and when it was taken
  std::string startWhen = "after the first level";
  i64 endKb = 0;
  std::vector<OSoakSample> episodeEnds;  // memory curve, one point per episode played

private:
  std::FILE* csv = nullptr;
};
