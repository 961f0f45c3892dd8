#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "support/TestSupport.h"
#include "playfield/LevelCheck.h"
#include "playfield/Levels.h"

namespace {

std::vector<i32> BrickHits() {
  std::vector<i32> hits;
  std::string error;
  EXPECT_TRUE(ParseBrickHits(ReadFile(BRIKON_SOURCE_DIR "/content/bricks.txt"), hits, error))
      << error;
  return hits;
}

// The bricks of level k of an episode: the whole level (classic) or the stage's six layers.
OLevelStats LevelStats(i32 episode, i32 level, const std::vector<i32>& hits) {
  const LevelSpan span = GetLevelBytes(episode, level);
  const u32 step = LevelStepBytes(episode);
  return MeasureCells(span.data, static_cast<i32>(span.size < step ? span.size : step), hits);
}

}  // namespace

// Every level and stage passed the playability check when levelc compiled it. A played corridor
// stage also starts with more breakable bricks than the hurry-up count (8, 10, 12), or its timer
// would be cut the moment it begins.
TEST(Levels, CorridorStagesStartAboveTheHurryUpCount) {
  const std::vector<i32> hits = BrickHits();
  for (i32 e = 0; e < EPISODE_COUNT; ++e) {
    if (!IsModernEpisode(e)) continue;
    for (i32 k = 0; k < GetEpisodeInfo(e).levelCount && GetLevelBytes(e, k).size > 0; ++k)
      EXPECT_GT(LevelStats(e, k, hits).breakable, e * 2 + 2) << "episode " << e << " stage " << k;
  }
}

// Difficulty, measured as the hits it takes to clear a level, rises through every episode (its last
// third asks for more than its first) and from demo to hard. How long a level takes to play is
// measured by brikon-playtest, which orders the levels; the hits only follow that order roughly.
TEST(Levels, DifficultyRises) {
  const std::vector<i32> hits = BrickHits();
  double mean[EPISODE_COUNT] = {};
  for (i32 e = 0; e < EPISODE_COUNT; ++e) {
    const EpisodeInfo& info = GetEpisodeInfo(e);
    // The stages the corridor has room for (the modern demo runs out before its stage count).
    i32 count = info.levelCount;
    while (GetLevelBytes(e, count - 1).size == 0) --count;
    const i32 third = count / 3;
    double first = 0, last = 0, all = 0;
    for (i32 k = 0; k < count; ++k) {
      const i32 h = LevelStats(e, k, hits).hits;
      if (k < third) first += h;
      if (k >= count - third) last += h;
      all += h;
    }
    EXPECT_LT(first / third, last / third) << "episode " << e;
    mean[e] = all / count;
  }
  EXPECT_LT(mean[0], mean[1]);
  EXPECT_LT(mean[1], mean[2]);
  EXPECT_LT(mean[3], mean[4]);
  EXPECT_LT(mean[4], mean[5]);
}

// Looking up a level never gives bytes outside the episode's table; a corridor resumed at stage
// k reads from layer 6k to the end of the table and no further.
TEST(Levels, LookUpStaysInsideTheTable) {
  // An unknown episode has no levels and no cells rather than someone else's.
  for (i32 e : {-1, 6, INT_MAX}) {
    EXPECT_EQ(GetEpisodeInfo(e).levelCount, 0);
    EXPECT_EQ(GetEpisodeBytes(e).size, 0u);
    EXPECT_EQ(GetLevelBytes(e, 0).size, 0u);
  }
  // Where level k starts in its episode's table, in bytes, and how much is left from there. The
  // tables hold 3750, 9000, 20580, 2800, 11232 and 10878 bytes.
  struct Case {
    i32 episode, level;
    u32 offset, size;
    const char* what;
  } cases[] = {
      {0, 0, 0, 3750, "the first level: the whole table"},
      {0, 1, 250, 3500, "classic levels are 5 x 5 x 10 cells"},
      {0, 14, 3500, 250, "the last classic demo level"},
      {0, 15, 3750, 0, "past the last level: empty, at the end"},
      {1, 24, 8640, 360, "classic normal: 6 x 6 x 10"},
      {2, 34, 19992, 588, "classic hard: 7 x 7 x 12"},
      {3, 1, 150, 2650, "a stage is six corridor layers: 5 x 5 x 6"},
      {3, 18, 2700, 100, "the modern demo's corridor runs out during stage 18"},
      {3, 19, 2800, 0, "a stage beyond the corridor: empty"},
      {4, 24, 5184, 6048, "modern normal: 6 x 6 x 6 a stage"},
      {5, 34, 9996, 882, "modern hard: 7 x 7 x 6 a stage"},
      {5, 37, 10878, 0, "a stage starting exactly at the end"},
  };
  for (const Case& c : cases) {
    const LevelSpan table = GetEpisodeBytes(c.episode);
    const LevelSpan span = GetLevelBytes(c.episode, c.level);
    EXPECT_EQ(span.data - table.data, static_cast<i64>(c.offset)) << c.what;
    EXPECT_EQ(span.size, c.size) << c.what;
  }
  // Levels no game reaches, and numbers that would wrap round in 32 bits.
  for (i32 e = 0; e < EPISODE_COUNT; ++e) {
    const LevelSpan table = GetEpisodeBytes(e);
    for (i32 k : {-1, INT_MIN, INT_MAX, 0x40000000, 0x7FFFFFF}) {
      EXPECT_EQ(GetLevelBytes(e, k).size, 0u) << "episode " << e << " level " << k;
      EXPECT_EQ(GetLevelBytes(e, k).data, table.data + table.size);
    }
  }
}

// A level designer's tool may put a table of the same size in place of an episode's compiled one;
// nothing else fits, and null brings the compiled table back.
TEST(Levels, ATableUnderDesignReplacesTheCompiledOneUntilRestored) {
  const LevelSpan compiled = GetEpisodeBytes(0);
  const u8* other = GetEpisodeBytes(1).data;
  std::vector<u8> design(compiled.data, compiled.data + compiled.size);
  design[0] = design[0] == 1 ? 2 : 1;
  std::vector<u8> shorter(compiled.size - 1, 1);
  EXPECT_FALSE(UseLevelBytes(0, shorter.data(), static_cast<u32>(shorter.size())))
      << "a table of another size";
  EXPECT_FALSE(UseLevelBytes(EPISODE_COUNT, design.data(), static_cast<u32>(design.size())))
      << "an unknown episode";
  EXPECT_EQ(GetEpisodeBytes(0).data, compiled.data);
  ASSERT_TRUE(UseLevelBytes(0, design.data(), static_cast<u32>(design.size())));
  EXPECT_EQ(GetLevelBytes(0, 0).data, design.data()) << "levels are read from the design";
  EXPECT_EQ(GetEpisodeBytes(1).data, other) << "other episodes untouched";
  EXPECT_TRUE(UseLevelBytes(0, nullptr, 0));
  EXPECT_EQ(GetEpisodeBytes(0).data, compiled.data) << "restored";
}
