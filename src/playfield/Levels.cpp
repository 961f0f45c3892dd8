#include "playfield/Levels.h"

#include "playfield/LevelData.h"

namespace {

const EpisodeInfo EPISODES[EPISODE_COUNT] = {
    {15, 5, 10},   // classic demo
    {25, 6, 10},   // classic normal
    {35, 7, 12},   // classic hard
    {20, 5, 112},  // modern demo: the corridor runs out during stage 18 (see GetLevelBytes)
    {25, 6, 312},  // modern normal
    {35, 7, 222},  // modern hard
};
const EpisodeInfo NO_EPISODE = {0, 0, 0};

const u8* const COMPILED[EPISODE_COUNT] = {LEVEL_BYTES_0, LEVEL_BYTES_1, LEVEL_BYTES_2,
                                           LEVEL_BYTES_3, LEVEL_BYTES_4, LEVEL_BYTES_5};
const u32 TABLE_SIZES[EPISODE_COUNT] = {sizeof(LEVEL_BYTES_0), sizeof(LEVEL_BYTES_1),
                                        sizeof(LEVEL_BYTES_2), sizeof(LEVEL_BYTES_3),
                                        sizeof(LEVEL_BYTES_4), sizeof(LEVEL_BYTES_5)};

// The level files must fill each table exactly: a classic episode holds all its levels, a
// corridor all its layers.
static_assert(sizeof(LEVEL_BYTES_0) == 15 * 5 * 5 * 10, "classic demo levels: 15 of 5x5x10");
static_assert(sizeof(LEVEL_BYTES_1) == 25 * 6 * 6 * 10, "classic normal levels: 25 of 6x6x10");
static_assert(sizeof(LEVEL_BYTES_2) == 35 * 7 * 7 * 12, "classic hard levels: 35 of 7x7x12");
static_assert(sizeof(LEVEL_BYTES_3) == 112 * 5 * 5, "modern demo corridor: 112 layers of 5x5");
static_assert(sizeof(LEVEL_BYTES_4) == 312 * 6 * 6, "modern normal corridor: 312 layers of 6x6");
static_assert(sizeof(LEVEL_BYTES_5) == 222 * 7 * 7, "modern hard corridor: 222 layers of 7x7");

// The tables in use: the compiled ones unless a level designer's tool put others in their place.
const u8* tables[EPISODE_COUNT] = {COMPILED[0], COMPILED[1], COMPILED[2],
                                   COMPILED[3], COMPILED[4], COMPILED[5]};

bool IsEpisode(i32 episode) { return episode >= 0 && episode < EPISODE_COUNT; }

}  // namespace

const EpisodeInfo& GetEpisodeInfo(i32 episode) {
  return IsEpisode(episode) ? EPISODES[episode] : NO_EPISODE;
}

bool IsModernEpisode(i32 episode) {
  return IsEpisode(episode) && episode >= FIRST_MODERN_EPISODE;
}

u32 LevelStepBytes(i32 episode) {
  const EpisodeInfo& info = GetEpisodeInfo(episode);
  const i32 layers = IsModernEpisode(episode) ? STAGE_LAYERS : info.layers;
  return static_cast<u32>(info.n * info.n * layers);
}

LevelSpan GetEpisodeBytes(i32 episode) {
  if (!IsEpisode(episode)) return {nullptr, 0};
  return {tables[episode], TABLE_SIZES[episode]};
}

LevelSpan GetLevelBytes(i32 episode, i32 level) {
  const LevelSpan table = GetEpisodeBytes(episode);
  if (!table.data) return table;
  // 64-bit so that no level number can wrap around to a start inside the table.
  const i64 start = static_cast<i64>(level) * LevelStepBytes(episode);
  if (level < 0 || start >= table.size) return {table.data + table.size, 0};
  return {table.data + start, table.size - static_cast<u32>(start)};
}

bool UseLevelBytes(i32 episode, const u8* data, u32 size) {
  if (!IsEpisode(episode)) return false;
  if (data == nullptr) {
    tables[episode] = COMPILED[episode];
    return true;
  }
  if (size != TABLE_SIZES[episode]) return false;
  tables[episode] = data;
  return true;
}
