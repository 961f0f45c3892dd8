// No endless loops: a ball launched from a still bat, or one flying exactly along the field's
// axis, finds a brick in a level whose bricks all stand off that axis. The bat follows the ball
// as a player holding still under it would, so the ball gets no swerve from the bat.
#include <gtest/gtest.h>

#include <cmath>

#include "GameTestSupport.h"
#include "core/Input.h"

namespace {

// Game time of a run without a brick hit that the rule must not allow (ms).
constexpr u32 FIND_A_BRICK_MS = 20000;

// The first level of the classic demo with its centre brick taken out: the ring and the core
// around the axis stay, one cell off it, and nothing stands on the axis itself.
void ClearTheAxis(GameRig& rig) {
  rig.NewGame(0);
  rig.SettleLevel();
  OVoxelMap& grid = *rig.game->grid;
  for (size_t i = 0; i < grid.blocks.size();) {
    OBlock* b = grid.blocks[i];
    if (std::fabs(b->Position().x) < grid.cellWidth * 0.5f &&
        std::fabs(b->Position().y) < grid.cellHeight * 0.5f) {
      delete b;
      grid.blocks.erase(grid.blocks.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
}

// Ticks until a brick is hit or `ms` have passed, the bat kept under the ball; the ms taken.
u32 TicksToFirstHit(GameRig& rig, u32 ms) {
  OGameWindow& game = *rig.game;
  const u32 hits = game.grid->brickHits;
  u32 t = 0;
  for (; t < ms && game.grid->brickHits == hits; t += 16) {
    const OVector p = game.ballSet->balls[0]->Position();
    // The bat heads for minus its target.
    game.bat->target = OVector(-p.x, -p.y, game.bat->target.z);
    rig.Run(1);
    EXPECT_EQ(game.bat->lives, START_LIVES) << "the ball was lost at " << t << " ms";
  }
  return t;
}

}  // namespace

TEST(LoopRule, ABallOnTheAxisFindsABrickWithinTwentySeconds) {
  GameRig rig;
  if (!rig.Open()) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  struct Case {
    const char* what;
    bool forceStraight;  // after the launch, the ball is put exactly on the axis
  };
  const Case cases[] = {
      {"a launch from a still bat is turned off the axis", false},
      {"a ball exactly on the axis is turned at the bat after 10 s", true},
  };
  for (const Case& c : cases) {
    ClearTheAxis(rig);
    OGameWindow& game = *rig.game;
    // The bat still in the middle, then the button, as the player gives it.
    for (int i = 0; i < 100; ++i) {
      game.bat->target = OVector(0.0f, 0.0f, game.bat->target.z);
      rig.Run(1);
    }
    OInputEvent press;
    press.type = EV_BUTTONDOWN;
    press.keyFlags = MK_LBUTTON;
    game.HandleInput(press);
    ASSERT_EQ(game.ballSet->launched, 1) << c.what;
    OBall& ball = *game.ballSet->balls[0];
    if (c.forceStraight) {
      ball.velocity = OVector(0.0f, 0.0f, 1.0f);
      ball.SetPosition(0.0f, 0.0f, ball.Position().z);
    } else {
      EXPECT_NE(ball.velocity, OVector(0.0f, 0.0f, 1.0f)) << c.what;
    }
    EXPECT_LT(TicksToFirstHit(rig, FIND_A_BRICK_MS), FIND_A_BRICK_MS) << c.what;
  }
}
