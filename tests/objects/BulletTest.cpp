// Rockets: flight, brick hits with debris, the far wall and unbreakable bricks.
#include <gtest/gtest.h>

#include "ObjectsTestSupport.h"
#include "effects/HellTrail.h"
#include "playfield/VoxelMap.h"
#include "scene/ObjectList.h"

namespace {

struct RocketWorld : ObjectsWorld {
  RocketWorld() {
    grid.status = MAP_PLAYING;
    grid.ballSet = &ballSet;
    grid.spriteList = &sprites;
    bullets.grid = &grid;
    prototype.data->SetGeometry(CubeFile());
    prototype.SetupPrototype(10, BRICK_BREAKABLE, 1.0f);
    solid.data->SetGeometry(CubeFile());
    solid.SetupPrototype(0, BRICK_SOLID, 1.0f);
  }
  OBlock* AddBrick(const OBlock& from, f32 z) {
    OBlock* b = new OBlock(from);
    b->SetPosition(0.0f, 0.0f, z);
    b->ComputeBounds();
    grid.blocks.push_back(b);
    return b;
  }
  // Runs the rockets the way the game does (twice per tick) until none is left.
  int FlyAll() {
    int ticks = 0;
    while (!bullets.bullets.empty() && ticks < 10000) {
      bullets.Update(16);
      bullets.Update(16);
      GetParticleList().Update(16);
      ++ticks;
    }
    return ticks;
  }
  OVoxelMap grid;
  OObjectList sprites;
  OBlock prototype;
  OBlock solid;
};

}  // namespace

TEST(Rocket, PassesThroughBreakableBricksAndExplodesAtTheFarWall) {
  RocketWorld w;
  OBlock* bricks[3] = {w.AddBrick(w.prototype, 36.0f), w.AddBrick(w.prototype, 24.0f),
                       w.AddBrick(w.prototype, 12.0f)};
  OBullet* rocket = w.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  TkBaseBound* trail = rocket->trail;
  ASSERT_NE(trail, nullptr);

  w.FlyAll();
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
  RocketWorld w;
  OBlock* front = w.AddBrick(w.prototype, 10.0f);
  OBlock* wall = w.AddBrick(w.solid, 20.0f);
  OBlock* behind = w.AddBrick(w.prototype, 30.0f);
  // The list is in layer order, far first, as a level builds it.
  w.grid.blocks = {behind, wall, front};
  w.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  w.FlyAll();
  EXPECT_FLOAT_EQ(front->alpha, 1.0f);
  EXPECT_EQ(wall->spinning, 1);
  EXPECT_EQ(behind->alpha, 0.0f);
  ASSERT_EQ(w.sprites.Count(), 1u);
  EXPECT_LT(w.sprites.members[0]->Position().z, 20.0f);

  // Bricks beyond the corridor's reach are not looked at.
  RocketWorld c;
  OBlock* deep = c.AddBrick(c.prototype, 30.0f);
  deep->layerIndex = 20;
  c.grid.frontLayer = 0;
  c.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  c.FlyAll();
  EXPECT_EQ(deep->alpha, 0.0f);
}

TEST(Rocket, FiringAfterTheGameIsLostSpendsChargeButMakesNoRocket) {
  RocketWorld w;
  w.grid.status = MAP_GAME_OVER;
  w.bat.gunAmmo = 5000;
  w.bat.Fire();
  EXPECT_EQ(w.bat.gunAmmo, 2500);
  EXPECT_TRUE(w.bullets.bullets.empty());
  EXPECT_TRUE(PlayedSounds().empty());
}

TEST(Rocket, ANewGameClearingTheEffectsFirstLeavesRocketsAndBallsSafe) {
  RocketWorld w;
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
