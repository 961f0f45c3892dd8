// The three particle systems and the particle list without a window: emission timing and
// capacity, particle births, ageing and removal, debris bounces, and who deletes what when.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "effects/BallTrail.h"
#include "effects/BloxExpl.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "shell/Random.h"

namespace {

// A system that counts its deletions and updates.
struct CountingSystem : TkBaseBound {
  explicit CountingSystem(int* deleted, int* updated = nullptr)
      : deleted(deleted), updated(updated) {}
  ~CountingSystem() override { ++*deleted; }
  void Update(double) override {
    if (updated) ++*updated;
  }
  int* deleted;
  int* updated;
};

void ExpectNear(const OVector& v, const OVector& centre, f32 within) {
  EXPECT_LE(std::fabs(v.x - centre.x), within);
  EXPECT_LE(std::fabs(v.y - centre.y), within);
  EXPECT_LE(std::fabs(v.z - centre.z), within);
}

}  // namespace

TEST(BallTrail, EmitsOneFlameWhenTheTimerPasses20Ms) {
  SeedRandom(1);
  OBallTrail trail;
  trail.emitter = OVector(1.0f, 2.0f, 3.0f);
  // Exactly 20 ms is not yet past the interval.
  trail.Update(20.0);
  EXPECT_EQ(trail.flameCount, 0);
  trail.Update(1.0);
  EXPECT_EQ(trail.flameCount, 1);
  EXPECT_EQ(trail.emitTimer, 0.0);
  // A long tick still gives one puff, not one per 20 ms.
  trail.Update(200.0);
  EXPECT_EQ(trail.flameCount, 2);

  // The newest flame: near the emitter, a quarter to half a second to live, shrinking by half a
  // unit over its life and darkening to black at half alpha.
  const OParticle& p = trail.flames[1];
  ExpectNear(p.position, trail.emitter, 0.125f);
  EXPECT_GE(p.life, 250.0);
  EXPECT_LE(p.life, 500.0);
  EXPECT_GE(p.size, 0.75);
  EXPECT_LE(p.size, 1.0);
  EXPECT_NEAR(p.sizeRate * p.life, -0.5, 1e-9);
  EXPECT_FLOAT_EQ(p.colour[0], 0.8f);
  EXPECT_NEAR(p.colour[0] + p.colourRate[0] * p.life, 0.0, 1e-5);
  EXPECT_NEAR(p.colour[3] + p.colourRate[3] * p.life, 0.5, 1e-5);
  const OAtlasCell cell = trail.flameCells[1];
  EXPECT_TRUE(cell.u == 0.0f || cell.u == 0.5f);
  EXPECT_TRUE(cell.v == 0.0f || cell.v == 0.5f);
}

TEST(BallTrail, StillTrailNeverFillsAndBurnsOutWhenFinished) {
  SeedRandom(7);
  OBallTrail trail;
  trail.emitter = OVector(0.0f, 0.0f, 5.0f);
  // A ball that never moves, 17 ms frames for 20 s: lives of at most 500 ms at one birth per
  // two ticks keep the array far from full.
  i32 most = 0;
  for (int tick = 0; tick < 1200; ++tick) {
    trail.Update(17.0);
    most = std::max(most, trail.flameCount);
    for (i32 i = 0; i < trail.flameCount; ++i) ASSERT_GT(trail.flames[i].life, 0.0);
  }
  EXPECT_GT(most, 5);
  EXPECT_LT(most, BALL_TRAIL_MAX_FLAMES / 2);

  trail.finished = 1;
  int ticks = 0;
  while (trail.alive && ticks < 100) {
    trail.Update(17.0);
    ++ticks;
  }
  EXPECT_EQ(trail.alive, 0);
  EXPECT_EQ(trail.flameCount, 0);
  // The last flames were at most 500 ms old.
  EXPECT_LE(ticks, 500 / 17 + 2);
}

TEST(BallTrail, FullArrayDropsTheRest) {
  OBallTrail trail;
  trail.EmitFlames(100);
  EXPECT_EQ(trail.flameCount, 100);
  trail.EmitFlames(100);  // only 28 fit
  EXPECT_EQ(trail.flameCount, BALL_TRAIL_MAX_FLAMES);
  trail.EmitFlames(1);
  EXPECT_EQ(trail.flameCount, BALL_TRAIL_MAX_FLAMES);
  trail.Update(21.0);  // the timed emission also finds no room
  EXPECT_EQ(trail.flameCount, BALL_TRAIL_MAX_FLAMES);
}

TEST(BallTrail, DeadParticleIsReplacedByTheLast) {
  OBallTrail trail;
  trail.finished = 1;
  trail.EmitFlames(4);
  const double lives[4] = {10.0, 100.0, 10.0, 90.0};
  for (int i = 0; i < 4; ++i) {
    trail.flames[i].life = lives[i];
    trail.flameCells[i] = OAtlasCell{static_cast<f32>(i), 0.0f};
  }
  trail.Update(20.0);
  // Slot 0 took the last particle, which waits a tick for its ageing; slot 2 died as the last.
  ASSERT_EQ(trail.flameCount, 2);
  EXPECT_EQ(trail.flames[0].life, 90.0);
  EXPECT_EQ(trail.flameCells[0].u, 3.0f);  // the atlas cell moved with it
  EXPECT_EQ(trail.flames[1].life, 80.0);
  EXPECT_EQ(trail.flameCells[1].u, 1.0f);
  EXPECT_EQ(trail.alive, 1);
  trail.Update(20.0);
  EXPECT_EQ(trail.flames[0].life, 70.0);
}

TEST(BallTrail, CopyIsAFreshWorkingSystem) {
  OBallTrail prototype;
  prototype.EmitFlames(5);
  prototype.finished = 1;
  prototype.alive = 0;
  prototype.emitTimer = 15.0;
  std::unique_ptr<TkBaseBound> copy(prototype.Clone());
  auto* trail = dynamic_cast<OBallTrail*>(copy.get());
  ASSERT_NE(trail, nullptr);
  EXPECT_EQ(trail->flameCount, 0);
  EXPECT_EQ(trail->alive, 1);
  EXPECT_EQ(trail->finished, 0);
  EXPECT_EQ(trail->emitTimer, 0.0);
  EXPECT_EQ(trail->emitRate, 8);
}

TEST(HellTrail, TwoSmokeAndOneFlamePerPuffAndDiesWithItsFlames) {
  SeedRandom(3);
  OHellTrail trail;
  trail.emitter = OVector(0.0f, 1.0f, 4.0f);
  trail.Update(21.0);
  EXPECT_EQ(trail.smokeCount, 2);
  EXPECT_EQ(trail.flameCount, 1);
  const OParticle& smoke = trail.smoke[0];
  EXPECT_GE(smoke.life, 1500.0);
  EXPECT_LE(smoke.life, 2000.0);
  EXPECT_EQ(smoke.size, 0.25);
  EXPECT_GT(smoke.sizeRate, 0.0);  // smoke swells
  EXPECT_NEAR(smoke.colour[3] + smoke.colourRate[3] * smoke.life, 0.0, 1e-5);  // fades out
  const OParticle& flame = trail.flames[0];
  EXPECT_GE(flame.life, 500.0);
  EXPECT_LE(flame.life, 750.0);
  EXPECT_NEAR(flame.sizeRate * flame.life, 0.25 / 0.75, 1e-9);

  // Fly for 3 s: the smoke array (2 per 21 ms, up to 2 s each) stays within its 256 slots.
  for (int tick = 0; tick < 150; ++tick) {
    trail.Update(21.0);
    ASSERT_LE(trail.smokeCount, HELL_TRAIL_MAX_SMOKE);
    ASSERT_LE(trail.flameCount, HELL_TRAIL_MAX_FLAMES);
  }
  // At most one puff per 21 ms with lives up to 2 s: about 170 smoke particles at a time.
  EXPECT_GT(trail.smokeCount, 140);

  trail.finished = 1;
  while (trail.alive) trail.Update(21.0);
  // The flames went first; the longer-lived smoke goes with the system.
  EXPECT_EQ(trail.flameCount, 0);
  EXPECT_GT(trail.smokeCount, 0);
}

TEST(BloxExpl, BurstOfEightInOneColour) {
  SeedRandom(11);
  OBloxExpl expl;
  expl.emitter = OVector(2.0f, 3.0f, 7.0f);
  expl.Start();
  ASSERT_EQ(expl.debrisCount, BLOX_EXPL_BURST);
  const OParticle& first = expl.debris[0];
  bool inRing = false;
  for (const auto& rgb : DEBRIS_COLOURS)
    inRing |= rgb[0] == first.colour[0] && rgb[1] == first.colour[1] && rgb[2] == first.colour[2];
  EXPECT_TRUE(inRing);
  for (i32 i = 0; i < expl.debrisCount; ++i) {
    const OParticle& p = expl.debris[i];
    for (int c = 0; c < 3; ++c) EXPECT_EQ(p.colour[c], first.colour[c]);
    EXPECT_EQ(p.colour[3], 1.0f);
    EXPECT_NEAR(p.colour[3] + p.colourRate[3] * p.life, 0.5, 1e-5);
    ExpectNear(p.position, expl.emitter, 0.125f);
    EXPECT_LE(std::fabs(p.velocity.x), 0.005f);
    EXPECT_LE(std::fabs(p.velocity.y), 0.005f);
    EXPECT_EQ(p.velocity.z, 0.0f);  // thrown within the brick's XY plane
    EXPECT_LT(p.acceleration.y, 0.0f);
    EXPECT_GE(p.life, 500.0);
    EXPECT_LE(p.life, 4000.0);
  }
  // A colour index outside the ring wraps instead of reading past it.
  OBloxExpl other;
  other.EmitDebris(1, 12 * 3 + 2);
  EXPECT_EQ(other.debris[0].colour[1], DEBRIS_COLOURS[2][1]);
  other.EmitDebris(1, -1);
  EXPECT_EQ(other.debris[1].colour[2], DEBRIS_COLOURS[11][2]);
}

TEST(BloxExpl, BouncesOffFloorAndWallsAt75Percent) {
  OBloxExpl expl;
  expl.SetField(OVector(-5.0f, -4.0f, 0.0f), OVector(5.0f, 4.0f, 20.0f));
  expl.EmitDebris(3, 0);
  for (i32 i = 0; i < 3; ++i) {
    OParticle& p = expl.debris[i];
    p.life = 1000.0;
    p.size = 0.2;
    p.sizeRate = 0.0;
    p.acceleration = OVector(0.0f, -0.0001f, 0.0f);
  }
  // 0: falling through the floor; 1: at the left wall moving left; 2: at the right wall.
  expl.debris[0].position = OVector(0.0f, -4.5f, 5.0f);
  expl.debris[0].velocity = OVector(0.0f, -0.004f, 0.0f);
  expl.debris[1].position = OVector(-4.9f, 0.0f, 5.0f);
  expl.debris[1].velocity = OVector(-0.004f, 0.0f, 0.0f);
  expl.debris[2].position = OVector(4.9f, 0.0f, 5.0f);
  expl.debris[2].velocity = OVector(0.004f, 0.0f, 0.0f);
  expl.Update(10.0);
  // The gravity of the tick is added before the bounce.
  EXPECT_NEAR(expl.debris[0].velocity.y, (0.004f + 0.0001f) * 0.75f, 1e-7);
  EXPECT_NEAR(expl.debris[1].velocity.x, 0.003f, 1e-7);
  EXPECT_NEAR(expl.debris[2].velocity.x, -0.003f, 1e-7);
  // Still below the floor: it bounces again on the next tick.
  EXPECT_LT(expl.debris[0].position.y + 0.2f, -4.0f);
  expl.Update(10.0);
  EXPECT_NEAR(expl.debris[0].velocity.y, -(0.0030750f - 0.0001f) * 0.75f, 1e-7);
  // Inside the box nothing bounces: gravity only.
  OBloxExpl free;
  free.SetField(OVector(-5.0f, -4.0f, 0.0f), OVector(5.0f, 4.0f, 20.0f));
  free.EmitDebris(1, 0);
  free.debris[0].position = OVector(0.0f, 0.0f, 5.0f);
  free.debris[0].velocity = OVector(0.001f, -0.001f, 0.0f);
  const f32 ay = free.debris[0].acceleration.y;
  free.Update(10.0);
  EXPECT_FLOAT_EQ(free.debris[0].velocity.x, 0.001f);
  EXPECT_FLOAT_EQ(free.debris[0].velocity.y, -0.001f + ay);
  EXPECT_NEAR(free.debris[0].position.y, -0.01f, 1e-5);
}

TEST(BloxExpl, DiesWhenTheLastBitIsGone) {
  SeedRandom(5);
  OBloxExpl expl;
  expl.SetField(OVector(-5.0f, -4.0f, 0.0f), OVector(5.0f, 4.0f, 20.0f));
  expl.Start();
  int ms = 0;
  while (expl.alive && ms < 10000) {
    expl.Update(16.0);
    ms += 16;
    for (i32 i = 0; i < expl.debrisCount; ++i) {
      ASSERT_TRUE(std::isfinite(expl.debris[i].position.y));
      ASSERT_GE(expl.debris[i].size, 0.0);  // shrinks to a quarter, never below nothing
    }
  }
  EXPECT_EQ(expl.alive, 0);
  EXPECT_EQ(expl.debrisCount, 0);
  EXPECT_LE(ms, 4000 + 32);  // the longest life is 4 s
  // A working copy keeps the field box.
  OBloxExpl copy(expl);
  EXPECT_EQ(copy.fieldMin.y, -4.0f);
  EXPECT_EQ(copy.alive, 1);
}

TEST(ParticleList, OwnsUpdatesAndDeletesDeadSystems) {
  int deleted = 0, updatedA = 0, updatedB = 0;
  {
    OParticleList list;
    auto* a = new CountingSystem(&deleted, &updatedA);
    auto* b = new CountingSystem(&deleted, &updatedB);
    list.Add(a);
    list.Add(a);        // a second registration would mean a double delete
    list.Add(nullptr);  // ignored
    list.Add(b);
    ASSERT_EQ(list.Count(), 2u);
    list.Update(16);
    EXPECT_EQ(updatedA, 1);
    EXPECT_EQ(updatedB, 1);
    // alive = 0 removes a system at the next update, without updating it; the others go on.
    a->alive = 0;
    EXPECT_EQ(deleted, 0);
    list.Update(16);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(updatedA, 1);
    EXPECT_EQ(updatedB, 2);
    EXPECT_EQ(list.Count(), 1u);
  }
  EXPECT_EQ(deleted, 2);  // the list's end deletes what it holds
}

TEST(ParticleList, RocketTrailGoesWithItsSmokeAtTheNextUpdate) {
  OParticleList list;
  OHellTrail prototype;
  auto* trail = static_cast<OHellTrail*>(prototype.Clone());
  list.Add(trail);
  trail->emitter = OVector(0.0f, 0.0f, 3.0f);
  for (int i = 0; i < 10; ++i) list.Update(21);
  EXPECT_EQ(list.ParticleCount(), 30);
  trail->alive = 0;  // the rocket exploded
  list.Update(21);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.ParticleCount(), 0);
}
