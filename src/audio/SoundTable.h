#pragma once
// The game's sound effects: every id the game plays and the file it plays. Several ids share a
// file where a sound must overlap itself; callers cycle through them.
#include <cstddef>

#include "core/Types.h"

class OSoundPlayer;

enum : i32 {
  SND_HIT_BLOCK = 0,
  SND_NEXT_LEVEL = 2,
  SND_CLICK_MENU = 3,
  SND_HIT_WALL = 4,
  SND_GET_BONUS = 5,
  SND_SMALL_PLAYER = 6,
  SND_EXPAND_PLAYER = 7,
  SND_BALL_LOST = 8,
  SND_GAME_OVER = 9,
  SND_BOMB_FIRST = 10,    // then 15..21: eight copies of the bomb blast
  SND_BOMB_MORE = 15,
  SND_BOMB_LAST = 21,
  SND_ROCKET_FIRST = 22,  // 22..31: ten copies of the rocket launch
  SND_ROCKET_LAST = 31,
  SND_BAT_FIRST = 50,     // 50..52: the three ball-on-bat sounds
  SND_BAT_LAST = 52,
  SND_STAGE_CLEAR = 60,   // a corridor stage cleared
  SND_TIME_UP = 61,       // a corridor stage's time ran out
  SND_HEAVY_FIRST = 101,  // 101..106: six copies of the heavy-ball hit
  SND_HEAVY_LAST = 106,
};

struct OSoundFile {
  i32 id;
  const char* file;  // a loose file, relative to the working directory
};

extern const OSoundFile SOUND_FILES[];
extern const size_t SOUND_FILE_COUNT;

// Registers every entry of the table; returns how many files could be read.
size_t RegisterGameSounds(OSoundPlayer& player);
