#pragma once
// One measured play of a level or stage: the real game screen, undrawn, started at the level the
// way the menu resumes a game (five lives, score 0), played by the computer player through its
// input at the default game speed until the level ends, the game is lost or the time cap passes.
#include <string>

#include "game/AutoPlayer.h"
#include "core/Types.h"

class OApplication;
class OGameWindow;

// A classic level still going after this much game time counts as not cleared (ms).
constexpr i64 PLAYTEST_LEVEL_CAP_MS = 15 * 60 * 1000;

struct OPlayResult {
  i32 episode = 0;
  i32 level = 0;
  u32 seed = 0;
  OAutoPlayer::Skill skill = OAutoPlayer::Skill::skilled;
  bool cleared = false;     // no breakable brick left (a stage: before its timer ran out)
  i64 timeMs = 0;           // game time from the level's start to its end (or the cap)
  u32 hits = 0;             // hits that damaged or destroyed a brick
  u32 ballsLost = 0;        // lives lost
  u32 bonuses = 0;          // bonuses caught
  i64 longestNoHitMs = 0;   // longest stretch without a brick hit while breakable bricks stood
  // The bricks' own account, taken apart from the counters above: the hits the breakable bricks
  // show as taken (damage stages and destructions since the start), and the breakable bricks
  // still standing at the end (of the stage, for a corridor).
  i64 brickHits = 0;
  i32 breakableLeft = 0;
};

const char* SkillName(OAutoPlayer::Skill skill);

// Plays one level. The application must be loaded with the game screen; the game in memory is
// replaced. `seed` picks the player's decisions and the game's random events.
OPlayResult PlayLevel(OApplication& app, OGameWindow& game, i32 episode, i32 level, u32 seed,
                      OAutoPlayer::Skill skill);
