#include "Playtest.h"

#include <algorithm>

#include "game/GameWindow.h"
#include "objects/Bonus.h"
#include "objects/Player.h"
#include "playfield/Block.h"
#include "playfield/Levels.h"
#include "playfield/ModVoxelMap.h"
#include "playfield/VoxelMap.h"
#include "core/Config.h"
#include "shell/Application.h"
#include "shell/RenderWindow.h"

namespace {

constexpr u32 TICK_MS = 16;
// Ticks allowed for the crossfade or the corridor's advance before play (it takes about 40).
constexpr int SETTLE_TICKS = 2000;

// Hits the breakable bricks of the grid still take before all are gone: a dying brick none. In
// a corridor the whole corridor counts, since a ball may reach past the stage.
i64 HitsLeft(const OVoxelMap& grid) {
  i64 left = 0;
  for (const OBlock* b : grid.blocks) {
    if (!b->IsBreakable() || b->IsDying() || b->life < 0) continue;
    left += static_cast<i64>(b->ObjectCount()) - b->damageStage;
  }
  return left;
}

i32 BreakableLeft(const OGameWindow& game) {
  if (game.IsModern()) return static_cast<const OModVoxelMap&>(*game.grid).CountFrontBreakable();
  return game.grid->CountBreakable();
}

}  // namespace

const char* SkillName(OAutoPlayer::Skill skill) {
  return skill == OAutoPlayer::Skill::casual ? "casual" : "skilled";
}

OPlayResult PlayLevel(OApplication& app, OGameWindow& game, i32 episode, i32 level, u32 seed,
                      OAutoPlayer::Skill skill) {
  OPlayResult r;
  r.episode = episode;
  r.level = level;
  r.seed = seed;
  r.skill = skill;

  // From the menu, as the player would: level 0 is a new game, any other level the game the
  // menu resumes there.
  app.SwitchScreen(SCREEN_MENU);
  game.episodeIndex = episode;
  OConfig& config = GetConfig();
  config.savedEpisode = static_cast<u32>(episode);
  config.savedLevel = static_cast<u32>(level);
  config.savedScore = 0;
  config.savedLives = START_LIVES;
  app.gameRequest = level == 0 ? GAME_REQUEST_NEW : GAME_REQUEST_RESUME;
  app.SwitchScreen(SCREEN_GAME);
  if (!game.HasGame() || game.levelIndex != level) return r;

  // The next-level bonus would end a level at random before it is played out: it is taken out
  // of the measured game (it still falls and is caught, with no effect).
  if (OBonus* next = game.bonusSet->templates[BONUS_NEXT_LEVEL]) next->nextLevel = 0;

  OAutoPlayer player(game, seed * 100000u + static_cast<u32>(episode) * 1000u + static_cast<u32>(level),
                     false);
  player.tickMs = TICK_MS;
  player.skill = skill;
  for (int i = 0; i < SETTLE_TICKS && game.grid->transition; ++i) player.Tick();

  const bool modern = game.IsModern();
  const u32 hits0 = game.grid->brickHits;
  const u32 bonuses0 = game.bat->bonusesCaught;
  const i64 left0 = HitsLeft(*game.grid);
  i32 lives = game.bat->lives;
  u32 lastHits = hits0;
  i64 stretch = 0;
  while (true) {
    // One tick as the player's own, with the end of the level read between the update and the
    // frame: the corridor's advance starts in the frame and fades the stage's remaining bricks.
    player.Steer();
    game.Update(TICK_MS);
    r.timeMs += TICK_MS;
    if (game.bat->lives < lives) r.ballsLost += static_cast<u32>(lives - game.bat->lives);
    lives = game.bat->lives;
    if (game.grid->brickHits != lastHits) {
      lastHits = game.grid->brickHits;
      stretch = 0;
    } else if (BreakableLeft(game) > 0) {
      stretch += TICK_MS;
      r.longestNoHitMs = std::max(r.longestNoHitMs, stretch);
    }
    const bool done = game.levelIndex != level || game.episodeComplete;
    const bool lost = game.grid->status == MAP_GAME_OVER;
    if (done || lost || (!modern && r.timeMs >= PLAYTEST_LEVEL_CAP_MS)) {
      r.breakableLeft = BreakableLeft(game);
      r.cleared = done && r.breakableLeft == 0;
      break;
    }
    game.UndrawnFrame();
  }
  r.hits = game.grid->brickHits - hits0;
  r.bonuses = game.bat->bonusesCaught - bonuses0;
  r.brickHits = left0 - HitsLeft(*game.grid);
  app.SwitchScreen(SCREEN_MENU);
  return r;
}
