// Rockets: flight, brick hits with debris, the far wall and unbreakable bricks.
#include <gtest/gtest.h>

#include "ObjectsTestSupport.h"
#include "effects/HellTrail.h"

namespace {

// Runs the rockets the way the game does (twice per tick) until none is left.
void FlyAll(GridWorld& w) {
  for (int ticks = 0; !w.bullets.bullets.empty() && ticks < 10000; ++ticks) {
    w.bullets.Update(16);
    w.bullets.Update(16);
    GetParticleList().Update(16);
  }
}

}  // namespace

TEST(Rocket, PassesThroughBreakableBricksAndExplodesAtTheFarWall) {
  GridWorld w;
  OBlock* bricks[3] = {w.AddBrick(w.breakable, 0.0f, 36.0f), w.AddBrick(w.breakable, 0.0f, 24.0f),
                       w.AddBrick(w.breakable, 0.0f, 12.0f)};
  OBullet* rocket = w.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  TkBaseBound* trail = rocket->trail;
  ASSERT_NE(trail, nullptr);

  FlyAll(w);
  EXPECT_TRUE(w.bullets.bullets.empty());
  // One hit each destroys a single-stage brick, which fades.
  for (OBlock* b : bricks) EXPECT_FLOAT_EQ(b->alpha, 1.0f);
  EXPECT_EQ(w.bat.score, 30);
  // One explosion, just in front of the far wall.
  ASSERT_EQ(w.sprites.Count(), 1u);
  EXPECT_NEAR(w.sprites.members[0]->Position().z, 48.0f - 0.1f - 1.5f, 1e-4f);
  // The trail went at the particle list's next update; debris bursts remain.
  for (TkBaseBound* s : GetParticleList().systems) EXPECT_NE(s, trail);
}

TEST(Rocket, StopsAtAnUnbreakableBrickAfterSpinningIt) {
  GridWorld w;
  OBlock* front = w.AddBrick(w.breakable, 0.0f, 10.0f);
  OBlock* wall = w.AddBrick(w.solid, 0.0f, 20.0f);
  OBlock* behind = w.AddBrick(w.breakable, 0.0f, 30.0f);
  // The list is in layer order, far first, as a level builds it.
  w.grid.blocks = {behind, wall, front};
  w.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  FlyAll(w);
  EXPECT_FLOAT_EQ(front->alpha, 1.0f);
  EXPECT_EQ(wall->spinning, 1);
  EXPECT_EQ(behind->alpha, 0.0f);
  ASSERT_EQ(w.sprites.Count(), 1u);
  EXPECT_LT(w.sprites.members[0]->Position().z, 20.0f);

  // Bricks beyond the corridor's reach are not looked at.
  GridWorld c;
  OBlock* deep = c.AddBrick(c.breakable, 0.0f, 30.0f);
  deep->layerIndex = 20;
  c.grid.frontLayer = 0;
  c.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  FlyAll(c);
  EXPECT_EQ(deep->alpha, 0.0f);
}

TEST(Rocket, ANewGameClearingTheEffectsFirstLeavesRocketsAndBallsSafe) {
  GridWorld w;
  w.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  w.PlayBall({0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, 1.0f});
  w.ballSet.MakeHeavy();
  // The game screen clears the particle list before the rockets and balls.
  GetParticleList().Clear();
  w.bullets.Update(16);
  w.ballSet.Update(16);
  EXPECT_EQ(w.bullets.bullets[0]->trail, nullptr);
  EXPECT_EQ(w.ballSet.balls[0]->trail, nullptr);
  w.bullets.Clear();
  w.ballSet.Clear();
  EXPECT_EQ(GetParticleList().Count(), 0u);
}
