// The three particle systems and the particle list without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "effects/BallTrail.h"
#include "effects/BloxExpl.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "core/Random.h"

namespace {
// A system that counts its deletions and updates.
struct CountingSystem : TkBaseBound {
  CountingSystem(int* deleted, int* updated) : deleted(deleted), updated(updated) {}
  ~CountingSystem() override { ++*deleted; }
  void Update(double) override { ++*updated; }
  int* deleted;
  int* updated;
};
}  // namespace

TEST(BallTrail, EmissionTimingAndBurningOut) {
  SeedRandom(1);
  OBallTrail prototype;
  prototype.finished = 1;
  auto* trail = static_cast<OBallTrail*>(prototype.Clone());  // a fresh, emitting copy
  std::unique_ptr<TkBaseBound> owner(trail);
  EXPECT_EQ(trail->finished, 0);
  trail->emitter = OVector(1.0f, 2.0f, 3.0f);
  trail->Update(21.0);
  EXPECT_EQ(trail->flameCount, 1);
  trail->Update(200.0);  // a long tick still gives one puff
  EXPECT_EQ(trail->flameCount, 2);
  EXPECT_LE(std::fabs(trail->flames[1].position.x - 1.0f), 0.125f);  // near the emitter

  // A ball that never moves for 20 s of 17 ms frames: the array never fills.
  i32 most = 0;
  for (int tick = 0; tick < 1200; ++tick) {
    trail->Update(17.0);
    most = std::max(most, trail->flameCount);
  }
  EXPECT_GT(most, 5);
  EXPECT_LT(most, BALL_TRAIL_MAX_FLAMES / 2);
  // Finished: no births, alive drops once the last flame (at most 500 ms to live, plus the
  // ticks a particle moved into a hole waits) is gone.
  trail->finished = 1;
  int ticks = 0;
  for (; trail->alive && ticks < 100; ++ticks) trail->Update(17.0);
  EXPECT_EQ(trail->alive, 0);
  EXPECT_EQ(trail->flameCount, 0);
  EXPECT_LT(ticks, 50);
}

// Every emitter stops at the end of its array, however many a call asks for.
TEST(ParticleSystems, EmittersStopAtTheEndOfTheirArrays) {
  OBallTrail ball;
  OHellTrail rocket;
  OBloxExpl debris;
  ball.EmitFlames(1000);
  rocket.EmitFlames(1000);
  rocket.EmitSmoke(1000);
  debris.EmitDebris(1000, 0);
  EXPECT_EQ(ball.flameCount, BALL_TRAIL_MAX_FLAMES);
  EXPECT_EQ(rocket.flameCount, HELL_TRAIL_MAX_FLAMES);
  EXPECT_EQ(rocket.smokeCount, HELL_TRAIL_MAX_SMOKE);
  EXPECT_EQ(debris.debrisCount, BLOX_EXPL_MAX_DEBRIS);
}

TEST(HellTrail, TwoSmokeAndOneFlamePerPuffAndDiesWithItsFlames) {
  SeedRandom(3);
  OHellTrail trail;
  trail.Update(21.0);
  EXPECT_EQ(trail.smokeCount, 2);
  EXPECT_EQ(trail.flameCount, 1);
  for (int tick = 0; tick < 150; ++tick) trail.Update(21.0);  // 3 s of flight
  trail.finished = 1;
  while (trail.alive) trail.Update(21.0);
  // The flames went first; the longer-lived smoke goes with the system.
  EXPECT_EQ(trail.flameCount, 0);
  EXPECT_GT(trail.smokeCount, 0);
}

TEST(BloxExpl, BurstOfEightInOneColourThatDiesWithItsLastBit) {
  SeedRandom(11);
  OBloxExpl prototype;
  prototype.SetField(OVector(-5.0f, -4.0f, 0.0f), OVector(5.0f, 4.0f, 20.0f));
  OBloxExpl expl(prototype);
  expl.Start();
  ASSERT_EQ(expl.debrisCount, BLOX_EXPL_BURST);
  for (i32 i = 0; i < expl.debrisCount; ++i) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(expl.debris[i].colour[c], expl.debris[0].colour[c]);
    EXPECT_EQ(expl.debris[i].velocity.z, 0.0f);  // thrown within the brick's XY plane
  }
  // A colour index outside the ring wraps instead of reading past it.
  OBloxExpl other;
  other.EmitDebris(1, 12 * 3 + 2);
  other.EmitDebris(1, -1);
  EXPECT_EQ(other.debris[0].colour[1], DEBRIS_COLOURS[2][1]);
  EXPECT_EQ(other.debris[1].colour[2], DEBRIS_COLOURS[11][2]);

  int ms = 0;
  for (; expl.alive && ms < 10000; ms += 16) expl.Update(16.0);
  EXPECT_EQ(expl.debrisCount, 0);
  EXPECT_LE(ms, 4000 + 32);  // the longest life is 4 s
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
    // alive = 0 removes a system at the next update, without updating it; the others go on.
    a->alive = 0;
    list.Update(16);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(updatedA, 1);
    EXPECT_EQ(updatedB, 2);
  }
  EXPECT_EQ(deleted, 2);  // the list's end deletes what it holds
}
