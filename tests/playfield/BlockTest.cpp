#include <gtest/gtest.h>

#include <cmath>

#include "GridTestSupport.h"
#include "assets/ModelData.h"
#include "playfield/Block.h"
#include "shell/Random.h"
#include "support/TestSupport.h"

namespace {

// A prototype cube of half width 1 with `stages` model objects.
void MakePrototype(OBlock& p, int stages, i32 kind) {
  p.data->SetGeometry(CubeFile(0, stages));
  p.SetupPrototype(kind == BRICK_SOLID ? 0 : 10, kind, 1.0f);
}

}  // namespace

// A breakable brick shows its stages one after the other, is destroyed by the hit after the
// last, and gives nothing while it fades; an unbreakable one only spins.
TEST(Block, HitsRunThroughTheStages) {
  ScratchDir dir;
  OBlock proto;
  MakePrototype(proto, 3, BRICK_BREAKABLE);
  OBlock brick(proto);
  EXPECT_EQ(HIT_DAMAGED, brick.Hit());
  EXPECT_EQ(1, brick.damageStage);
  EXPECT_EQ(1, brick.visible[1]);  // stage 1 shown alone
  EXPECT_EQ(0, brick.visible[0]);
  EXPECT_EQ(HIT_DAMAGED, brick.Hit());
  EXPECT_EQ(HIT_DESTROYED, brick.Hit());
  EXPECT_EQ(1.0f, brick.alpha);
  EXPECT_EQ(BRICK_FADE_RATE, brick.fadeRate);
  // Dying: further hits give nothing.
  EXPECT_EQ(HIT_NOTHING, brick.Hit());
  EXPECT_EQ(1.0f, brick.alpha);

  // A one-stage brick goes at the first hit.
  OBlock single;
  MakePrototype(single, 1, BRICK_BREAKABLE);
  OBlock one(single);
  EXPECT_EQ(HIT_DESTROYED, one.Hit());

  OBlock solidProto;
  MakePrototype(solidProto, 1, BRICK_SOLID);
  OBlock solid(solidProto);
  EXPECT_EQ(HIT_NOTHING, solid.Hit());
  EXPECT_EQ(1, solid.spinning);
  EXPECT_EQ(0.0f, solid.alpha);  // never destroyed
  const f32 target = solid.spinTarget;
  EXPECT_EQ(HIT_NOTHING, solid.Hit());  // a running spin is not restarted
  EXPECT_EQ(target, solid.spinTarget);
}

// A copy takes what the prototype defines but starts its own damage and spin from scratch.
TEST(Block, CopyFromPrototype) {
  ScratchDir dir;
  OBlock proto;
  MakePrototype(proto, 2, BRICK_BREAKABLE);
  proto.layerIndex = 7;
  proto.code10 = 10;
  proto.Hit();  // the prototype itself shows stage 1 now
  proto.spinAngle = 1.0f;
  OBlock brick(proto);
  EXPECT_EQ(10, brick.points);
  EXPECT_EQ(BRICK_BREAKABLE, brick.kind);
  EXPECT_EQ(7, brick.layerIndex);
  EXPECT_EQ(10, brick.code10);
  EXPECT_EQ(BRICK_LIFE, brick.life);
  EXPECT_EQ(0, brick.damageStage);
  EXPECT_EQ(0.0f, brick.spinAngle);
  EXPECT_EQ(proto.data, brick.data);  // geometry shared
  // The half width given to the prototype is the brick's reach along x.
  EXPECT_FLOAT_EQ(1.0f, brick.localMax.x);
  EXPECT_FLOAT_EQ(-1.0f, brick.localMin.x);
}

// The fade: the brick swells while it fades and is dead after 800 ms, also when one tick lands
// the fade exactly on zero (a brick that looked alive again could be scored twice).
TEST(Block, FadeSwellsAndEndsInDeath) {
  ScratchDir dir;
  OBlock proto;
  MakePrototype(proto, 1, BRICK_BREAKABLE);

  OBlock brick(proto);
  brick.Hit();
  brick.Update(400);
  EXPECT_NEAR(0.5f, brick.alpha, 1e-6);
  EXPECT_NEAR(1.25f, brick.drawScale[0], 1e-6);  // halfway from 1.0 to 1.5
  EXPECT_EQ(BRICK_LIFE, brick.life);
  brick.Update(399);
  EXPECT_EQ(BRICK_LIFE, brick.life);
  brick.Update(2);
  EXPECT_EQ(-1, brick.life);

  OBlock exact(proto);
  exact.Hit();
  exact.Update(800);
  EXPECT_EQ(-1, exact.life);
  EXPECT_EQ(HIT_NOTHING, exact.Hit());

  // A live brick is untouched by time, and a dead one no longer moves.
  OBlock still(proto);
  still.Update(5000);
  EXPECT_EQ(0.0f, still.alpha);
  EXPECT_EQ(0, still.scaled);
  exact.velocity = OVector(0, 0, 1);
  const OVector before = exact.Position();
  exact.Update(10);
  EXPECT_EQ(before, exact.Position());
}

// A hit unbreakable brick turns exactly a quarter round about the depth axis, whatever the ticks.
TEST(Block, SpinStopsAtAQuarterTurn) {
  ScratchDir dir;
  OBlock proto;
  MakePrototype(proto, 1, BRICK_SOLID);
  for (u32 seed = 1; seed <= 2; ++seed) {
    SeedRandom(seed * 7);
    OBlock brick(proto);
    brick.StartSpin();
    EXPECT_EQ(0.0f, std::fabs(brick.spinAxis.x) + std::fabs(brick.spinAxis.y));
    EXPECT_EQ(1.0f, std::fabs(brick.spinAxis.z));
    int ticks = 0;
    while (brick.spinning && ticks < 1000) {
      brick.Update(17);
      ++ticks;
    }
    EXPECT_FALSE(brick.spinning);
    EXPECT_NEAR(1.5707963f, brick.spinAngle, 1e-5);
    // The X axis now lies along +-Y.
    EXPECT_NEAR(0.0f, brick.matrix.m[0], 1e-5);
    EXPECT_NEAR(1.0f, std::fabs(brick.matrix.m[1]), 1e-5);
    // pi/2 at pi/32 per 20 ms takes 320 ms.
    EXPECT_EQ(19, ticks);
    // The next spin turns on from there.
    brick.StartSpin();
    EXPECT_NEAR(3.1415927f, brick.spinTarget, 1e-5);
  }
}
