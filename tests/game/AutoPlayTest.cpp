// Long games played by the autoplayer without drawing, checking after every tick what must never
// happen, and across the runs that the game's big moments are reached: levels done and corridor
// stages cleared and timed out.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "GameTestSupport.h"
#include "game/AutoPlayer.h"
#include "objects/Bonus.h"
#include "playfield/Levels.h"
#include "playfield/ModVoxelMap.h"

namespace {

bool Finite(const OVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// What holds after every tick of a game, and what happened over the run.
struct Watch {
  explicit Watch(OGameWindow& g) : game(g) {}

  // Returns a description of the first broken rule, or "".
  std::string Check() {
    const OBallSet& set = *game.ballSet;
    const OPlayer& bat = *game.bat;
    if (set.balls.empty() || set.balls.size() > 3) return "ball count";
    for (const OBall* b : set.balls) {
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
    const bool ended = game.grid->status == MAP_IDLE;
    if (bat.score < lastScore && !ended) return "score fell";
    // A life bonus adds one; a lost ball takes one.
    if (bat.lives > lastLives) earned += bat.lives - lastLives;
    if (bat.lives < 0 || bat.lives > earned) return "lives out of range";
    lastScore = bat.score;
    lastLives = bat.lives;
    maxBricks = std::max(maxBricks, game.grid->blocks.size());
    if (game.grid->status == MAP_LEVEL_DONE && game.levelIndex != lastLevel) {
      if (game.IsModern()) {
        const auto& corridor = static_cast<const OModVoxelMap&>(*game.grid);
        if (corridor.CountFrontBreakable() == 0) {
          ++stagesCleared;
        } else {
          ++stagesTimedOut;
        }
      }
    }
    if (game.levelIndex > lastLevel) levelsDone += game.levelIndex - lastLevel;
    lastLevel = game.levelIndex;
    return "";
  }

  OGameWindow& game;
  i32 lastScore = 0;
  i32 lastLives = START_LIVES;
  i32 earned = START_LIVES;
  i32 lastLevel = 0;
  int levelsDone = 0;
  int stagesCleared = 0;
  int stagesTimedOut = 0;
  size_t maxBricks = 0;
};

// Plays up to `ms` of game time, checking every tick. Returns the wall time in seconds.
double PlayChecked(OAutoPlayer& player, Watch& watch, u32 ms) {
  const auto start = std::chrono::steady_clock::now();
  const i64 end = player.gameMs + ms;
  while (player.gameMs < end && !player.GameEnded()) {
    player.Tick();
    const std::string broken = watch.Check();
    if (!broken.empty()) {
      ADD_FAILURE() << broken << " at tick " << player.ticks << ", level " << watch.game.levelIndex;
      break;
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

constexpr u32 TEN_MINUTES = 10 * 60 * 1000;

// Game after game of one episode until `ms` of game time are played.
struct Session {
  int games = 0;
  int levelsDone = 0;
  int stagesCleared = 0;
  int stagesTimedOut = 0;
  i64 gameMs = 0;
  double wall = 0.0;
};

// Plays at least `ms`, and on up to `maxMs` until `enough` says the session has shown what it
// should.
template <typename Enough>
Session PlaySession(GameRig& rig, i32 episode, u32 seed, u32 ms, u32 maxMs, Enough enough) {
  Session s;
  while ((s.gameMs < ms || (!enough(s) && s.gameMs < maxMs)) && !::testing::Test::HasFailure()) {
    rig.NewGame(episode);
    EXPECT_EQ(rig.Current(), SCREEN_GAME);
    OAutoPlayer player(*rig.game, seed + static_cast<u32>(s.games), false);
    Watch watch(*rig.game);
    const u32 left = static_cast<u32>((s.gameMs < ms ? ms : maxMs) - s.gameMs);
    s.wall += PlayChecked(player, watch, left);
    s.gameMs += player.gameMs;
    s.levelsDone += watch.levelsDone;
    s.stagesCleared += watch.stagesCleared;
    s.stagesTimedOut += watch.stagesTimedOut;
    ++s.games;
  }
  return s;
}

}  // namespace

TEST(AutoPlay, ClassicEpisodeTenMinutes) {
  GameRig rig;
  if (!rig.Open()) GTEST_SKIP() << "needs the virtual display and the game's archive";
  const Session s =
      PlaySession(rig, 1, 1001, TEN_MINUTES, TEN_MINUTES, [](const Session&) { return true; });
  std::printf("classic: %.1f s of game in %.2f s of wall time, %d games, %d levels done\n",
              s.gameMs / 1000.0, s.wall, s.games, s.levelsDone);
  EXPECT_GE(s.gameMs, TEN_MINUTES);
  EXPECT_GE(s.levelsDone, 2);
}

TEST(AutoPlay, ModernEpisodeTenMinutes) {
  GameRig rig;
  if (!rig.Open()) GTEST_SKIP() << "needs the virtual display and the game's archive";
  // A stage is cleared only when its last few bricks fall before the hurry-up time runs out,
  // which the autoplayer manages about once in a hundred stages: it plays on (up to an hour of
  // game time, a few seconds of wall time) until it has.
  const Session s = PlaySession(rig, 3, 2002, TEN_MINUTES, 6 * TEN_MINUTES,
                                [](const Session& x) { return x.stagesCleared > 0; });
  std::printf("modern: %.1f s of game in %.2f s of wall time, %d games, %d stages cleared, "
              "%d timed out\n",
              s.gameMs / 1000.0, s.wall, s.games, s.stagesCleared, s.stagesTimedOut);
  EXPECT_GE(s.gameMs, TEN_MINUTES);
  EXPECT_GE(s.stagesCleared, 1);
  EXPECT_GE(s.stagesTimedOut, 1);
}
