// The bat: following the mouse, the size animation, bonus effects, resets, and its gun's rockets.
#include <gtest/gtest.h>

#include <cmath>

#include "ObjectsTestSupport.h"
#include "effects/HellTrail.h"

namespace {

f32 Width(const OPlayer& bat) { return bat.boxMax.x - bat.boxMin.x; }

// Runs the rockets the way the game does (twice per tick) until none is left.
void FlyAll(GridWorld& w) {
  for (int ticks = 0; !w.bullets.bullets.empty() && ticks < 10000; ++ticks) {
    w.bullets.Update(16);
    w.bullets.Update(16);
    GetParticleList().Update(16);
  }
}

}  // namespace

// A still mouse brings the bat to rest without overshoot; caught bonuses take effect.
TEST(Bat, ComesToRestAndTakesItsBonuses) {
  ObjectsWorld w;
  w.bat.target = {-4.0f, 2.0f, 0.0f};  // the bat heads for (4, -2, 0)
  f32 lastDistance = 1e9f;
  for (int i = 0; i < 400; ++i) {
    w.bat.Update(16);
    const f32 d = (w.bat.Position() - OVector(4.0f, -2.0f, 0.0f)).Length();
    EXPECT_LE(d, lastDistance);
    lastDistance = d;
  }
  EXPECT_LT(lastDistance, 1e-3f);
  EXPECT_NEAR(w.bat.boxMin.x, 2.5f, 1e-3f);  // the world box follows

  // A very long tick reaches the goal but never swings past it.
  w.bat.target = {4.0f, 0.0f, 0.0f};
  w.bat.Update(1000);
  w.bat.Update(1000);
  EXPECT_NEAR(w.bat.Position().x, -4.0f, 1e-4f);
  EXPECT_LT(w.bat.velocity.Length(), 1.0f);  // finite, and not flung

  // Every bonus a caught one carries takes effect; the big one widens and shrinks back, and a lost
  // life at any point of it restores size and timers.
  w.ballSet.launched = 1;
  OBonus all;
  all.extraLife = 1;
  all.points = 100;
  all.gunValue = 15000;
  all.slowValue = 15000;
  all.heavyValue = 25000;
  all.moreBalls = 1;
  w.bat.caughtBonus = &all;
  w.bat.Update(10);
  EXPECT_EQ(w.bat.lives, 6);
  EXPECT_EQ(w.bat.score, 100);
  EXPECT_EQ(w.bat.gunAmmo, 15000);
  EXPECT_EQ(w.ballSet.balls.size(), 3u);
  // More balls comes first, so the heavy time is shared by three.
  EXPECT_EQ(w.ballSet.balls[0]->heavyTime, 10000);

  // Slowed: the bat follows at an eighth of its speed, and returns to normal when it ends.
  w.bat.Update(10);
  EXPECT_FLOAT_EQ(w.bat.followFactor, 0.001875f);
  w.bat.slowTime = 5;
  w.bat.Update(10);
  w.bat.Update(10);
  EXPECT_FLOAT_EQ(w.bat.followFactor, 0.015f);

  const f32 normal = Width(w.bat);
  OBonus big;
  big.bigValue = 30000;
  w.bat.caughtBonus = &big;
  for (int i = 0; i < 31; ++i) w.bat.Update(10);
  EXPECT_EQ(CountSound(7), 1);
  EXPECT_NEAR(Width(w.bat) / normal, std::pow(1.0125f, 25.0f), 1e-3f);  // 25 steps of 1.0125
  while (w.bat.bigTime > 0) w.bat.Update(100);
  for (int i = 0; i < 30; ++i) w.bat.Update(10);
  EXPECT_NEAR(Width(w.bat), normal, 1e-3f);

  // A lost life mid-grow, holding or mid-shrink, widened or narrowed: back to normal.
  for (int ticks : {5, 100, 200 + 10000 / 10 + 3}) {
    for (int small = 0; small < 2; ++small) {
      ObjectsWorld v;
      OBonus b;
      (small != 0 ? b.smallValue : b.bigValue) = 30000;
      v.bat.caughtBonus = &b;
      for (int i = 0; i < ticks; ++i) v.bat.Update(10);
      v.bat.gunAmmo = 5000;
      v.bat.slowTime = 400;
      v.bat.SetActiveBonus(2);
      v.bat.SetPosition(3.0f, 1.0f, 0.0f);
      v.bat.Reset();
      EXPECT_NEAR(Width(v.bat), normal, 1e-3f) << "ticks " << ticks << " small " << small;
      EXPECT_EQ(v.bat.Position(), OVector());
      for (i32 timer : {v.bat.gunAmmo, v.bat.slowTime, v.bat.bigTime, v.bat.smallTime}) EXPECT_EQ(timer, -1);
      EXPECT_FALSE(v.bat.IsBonusActive(2));
      EXPECT_FLOAT_EQ(v.bat.followFactor, 0.015f);
    }
  }
}

// The gun fires one rocket a shot, none once the game is lost. A rocket passes through breakable
// bricks to the far wall and stops at an unbreakable one; a new game that clears the effects
// first leaves rockets and balls safe.
TEST(Rocket, TheGunItsRocketsWayAndANewGame) {
  GridWorld g;
  g.bat.Fire();  // no gun: nothing
  EXPECT_TRUE(g.bullets.bullets.empty());
  // A gun bonus is six shots of 2500; each comes from the bat.
  g.bat.gunAmmo = 15000;
  g.bat.SetPosition(1.0f, 2.0f, 0.0f);
  for (int i = 0; i < 8; ++i) g.bat.Fire();
  ASSERT_EQ(g.bullets.bullets.size(), 6u);
  EXPECT_EQ(g.bat.gunAmmo, 0);
  EXPECT_EQ(g.bullets.bullets[0]->Position(), OVector(1.0f, 2.0f, 0.0f));
  // After the game is lost a shot spends its charge but makes no rocket and no sound.
  g.bullets.Clear();
  PlayedSounds().clear();
  g.grid.status = MAP_GAME_OVER;
  g.bat.gunAmmo = 5000;
  g.bat.Fire();
  EXPECT_EQ(g.bat.gunAmmo, 2500);
  EXPECT_TRUE(g.bullets.bullets.empty());
  EXPECT_TRUE(PlayedSounds().empty());

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

  // An unbreakable brick stops it after spinning it.
  GridWorld u;
  OBlock* front = u.AddBrick(u.breakable, 0.0f, 10.0f);
  OBlock* wall = u.AddBrick(u.solid, 0.0f, 20.0f);
  OBlock* behind = u.AddBrick(u.breakable, 0.0f, 30.0f);
  u.grid.blocks = {behind, wall, front};  // in layer order, far first, as a level builds it
  u.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  FlyAll(u);
  EXPECT_FLOAT_EQ(front->alpha, 1.0f);
  EXPECT_EQ(wall->spinning, 1);
  EXPECT_EQ(behind->alpha, 0.0f);
  ASSERT_EQ(u.sprites.Count(), 1u);
  EXPECT_LT(u.sprites.members[0]->Position().z, 20.0f);

  // Bricks beyond the corridor's reach are not looked at.
  GridWorld c;
  OBlock* deep = c.AddBrick(c.breakable, 0.0f, 30.0f);
  deep->layerIndex = 20;
  c.grid.frontLayer = 0;
  c.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  FlyAll(c);
  EXPECT_EQ(deep->alpha, 0.0f);

  // A new game: the game screen clears the particle list before the rockets and balls.
  GridWorld n;
  n.bullets.Fire({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  n.PlayBall({0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, 1.0f});
  n.ballSet.MakeHeavy();
  GetParticleList().Clear();
  n.bullets.Update(16);
  n.ballSet.Update(16);
  EXPECT_EQ(n.bullets.bullets[0]->trail, nullptr);
  EXPECT_EQ(n.ballSet.balls[0]->trail, nullptr);
  n.bullets.Clear();
  n.ballSet.Clear();
  EXPECT_EQ(GetParticleList().Count(), 0u);
}
