// Long games played by the autoplayer without drawing, checking after every tick what must never
// happen.
#include <gtest/gtest.h>

#include <cmath>

#include "GameTestSupport.h"
#include "game/AutoPlayer.h"
#include "objects/Bonus.h"
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
    return "";
  }

  OGameWindow& game;
  i32 lastScore = 0;
  i32 lastLives = START_LIVES;
  i32 earned = START_LIVES;
};

// Game after game of one episode for ten minutes of game time, checking every tick. `uneven`
// ticks last 0 to 40 ms and now and then a hitch of up to 1.5 s instead of 16 ms.
void PlaySession(GameRig& rig, i32 episode, u32 seed, bool uneven) {
  constexpr i64 TEN_MINUTES = 10 * 60 * 1000;
  i64 played = 0;
  for (u32 games = 0; played < TEN_MINUTES && !::testing::Test::HasFailure(); ++games) {
    rig.NewGame(episode);
    EXPECT_EQ(rig.Current(), SCREEN_GAME);
    OAutoPlayer player(*rig.game, seed + games, false);
    Watch watch(*rig.game);
    while (player.gameMs < TEN_MINUTES - played && !player.GameEnded()) {
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
  }
}

}  // namespace

// A corridor episode, and a classic one on the uneven ticks of a loaded machine.
TEST(AutoPlay, TenMinutesOfACorridorAndOfAClassicEpisodeOnUnevenTicks) {
  GameRig rig;
  if (!rig.Open()) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  PlaySession(rig, 3, 2002, false);
  PlaySession(rig, 1, 77, true);
}
