#pragma once
// The six episodes of the game and their levels: the episode table (how many levels, how large
// the brick grid) and the constant byte tables in which every byte is one cell of a grid.
#include "core/Types.h"

// Episodes 0..2 are classic (demo, normal, hard), 3..5 modern (demo, normal, hard).
constexpr i32 EPISODE_COUNT = 6;
constexpr i32 FIRST_MODERN_EPISODE = 3;
// A modern stage is this many corridor layers; the corridor advances by one stage at a time.
constexpr i32 STAGE_LAYERS = 6;

// One row of the episode table.
struct EpisodeInfo {
  i32 levelCount;  // levels (classic) or stages (modern) that complete the episode
  i32 n;           // bricks per row and per column of a layer
  i32 layers;      // layers of one classic level, or of the whole modern corridor
};

// The row of an episode; an episode outside 0..5 gets a row of zeros (no levels, no cells).
const EpisodeInfo& GetEpisodeInfo(i32 episode);
bool IsModernEpisode(i32 episode);

// Bytes of one level step: n x n x layers (classic) or n x n x 6 (a modern stage).
u32 LevelStepBytes(i32 episode);

// The bytes of an episode's table from some point to the table's end. A grid reads sequentially
// from `data` and must stop after `size` bytes.
struct LevelSpan {
  const u8* data;
  u32 size;
};

// The whole table of an episode (empty for an episode outside 0..5).
LevelSpan GetEpisodeBytes(i32 episode);

// From the start of level k to the end of the episode's table: level k starts at byte
// k x LevelStepBytes. A level that starts at or past the table's end (a negative one, one of an
// unknown episode, or a modern stage beyond the corridor's last layer) gets an empty span at the
// table's end, so a grid built from it holds no bricks and never reads outside the table.
LevelSpan GetLevelBytes(i32 episode, i32 level);

// Puts another table of the same size in place of an episode's compiled one, for the rest of the
// run or until called with null (which restores the compiled table): a level designer's tool
// plays level files under design without rebuilding the game. The bytes must outlive their use.
// False for an unknown episode or a table of another size.
bool UseLevelBytes(i32 episode, const u8* data, u32 size);
