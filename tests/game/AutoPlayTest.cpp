// Long games played by the autoplayer without drawing, checking after every tick what must never
// happen, and that the corridor's stages are both cleared and timed out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "GameTestSupport.h"
#include "game/AutoPlayer.h"
#include "objects/Bonus.h"
#include "playfield/ModVoxelMap.h"
#include "core/Random.h"

namespace {

bool Finite(const OVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// What holds after every tick of a game, and what happened over the run.
struct Watch {
  explicit Watch(OGameWindow& g) : game(g) {}

  // Returns a description of the first broken rule, or "".
  std::string Check() {
    const OPlayer& bat = *game.bat;
    if (game.ballSet->balls.empty() || game.ballSet->balls.size() > 3) return "ball count";
    for (const OBall* b : game.ballSet->balls) {
      const OVector p = b->Position();
      if (!Finite(p) || !Finite(b->velocity) || !Finite(b->drift)) return "ball not finite";
      if (p.x < b->fieldMin.x || p.x > b->fieldMax.x || p.y < b->fieldMin.y ||
          p.y > b->fieldMax.y || p.z > b->fieldMax.z) {
        return "ball outside the field";
      }
      if (p.z < b->fieldMin.z && p.z >= bat.boxMax.z) return "ball out at the front, beside the bat";
    }
    if (!Finite(bat.Position()) || !Finite(bat.velocity)) return "bat not finite";
    for (const OBonus* b : game.bonusSet->active) {
      if (!Finite(b->Position())) return "bonus not finite";
    }
    if (bat.score < lastScore && game.grid->status != MAP_IDLE) return "score fell";
    // A life bonus adds one; a lost ball takes one.
    if (bat.lives > lastLives) earned += bat.lives - lastLives;
    if (bat.lives < 0 || bat.lives > earned) return "lives out of range";
    lastScore = bat.score;
    lastLives = bat.lives;
    if (game.grid->status == MAP_LEVEL_DONE && game.levelIndex != lastLevel && game.IsModern()) {
      const auto& corridor = static_cast<const OModVoxelMap&>(*game.grid);
      ++(corridor.CountFrontBreakable() == 0 ? stagesCleared : stagesTimedOut);
    }
    lastLevel = game.levelIndex;
    return "";
  }

  OGameWindow& game;
  i32 lastScore = 0;
  i32 lastLives = START_LIVES;
  i32 earned = START_LIVES;
  i32 lastLevel = 0;
  int stagesCleared = 0;
  int stagesTimedOut = 0;
};

constexpr i64 TEN_MINUTES = 10 * 60 * 1000;

// Game after game of one episode, checking every tick, for at least ten minutes of game time; a
// corridor plays on (up to an hour of game time, a few seconds of wall time) until a stage has
// been cleared, which the autoplayer manages in about half the stages. `uneven` ticks last 0 to
// 40 ms and now and then a hitch of up to 1.5 s instead of 16 ms. Returns the watches' totals.
Watch PlaySession(GameRig& rig, i32 episode, u32 seed, bool uneven) {
  Watch total(*rig.game);
  const i64 maxMs = episode >= 3 ? 6 * TEN_MINUTES : TEN_MINUTES;
  i64 played = 0;
  int games = 0;
  while ((played < TEN_MINUTES || (total.stagesCleared == 0 && played < maxMs)) &&
         !::testing::Test::HasFailure()) {
    rig.NewGame(episode);
    EXPECT_EQ(rig.Current(), SCREEN_GAME);
    OAutoPlayer player(*rig.game, seed + static_cast<u32>(games++), false);
    Watch watch(*rig.game);
    const i64 end = (played < TEN_MINUTES ? TEN_MINUTES : maxMs) - played;
    while (player.gameMs < end && !player.GameEnded()) {
      if (uneven) {
        player.tickMs = static_cast<u32>(Random() % 41);
        if (Random() % 400 == 0) player.tickMs = 250 + static_cast<u32>(Random() % 1251);
      }
      player.Tick();
      const std::string broken = watch.Check();
      if (!broken.empty()) {
        ADD_FAILURE() << broken << " at tick " << player.ticks << ", level " << rig.game->levelIndex;
        break;
      }
    }
    played += player.gameMs;
    total.stagesCleared += watch.stagesCleared;
    total.stagesTimedOut += watch.stagesTimedOut;
  }
  EXPECT_GE(played, TEN_MINUTES);
  std::printf("episode %d: %.1f s of game, %d games, %d stages cleared, %d timed out\n", episode,
              played / 1000.0, games, total.stagesCleared, total.stagesTimedOut);
  return total;
}

}  // namespace

// A corridor episode reaches both of its big moments; a classic one runs on uneven ticks.
TEST(AutoPlay, TenMinutesOfACorridorAndOfAClassicEpisodeOnUnevenTicks) {
  GameRig rig;
  if (!rig.Open()) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  const Watch w = PlaySession(rig, 3, 2002, false);
  EXPECT_GE(w.stagesCleared, 1);
  EXPECT_GE(w.stagesTimedOut, 1);
  PlaySession(rig, 1, 77, true);
}
