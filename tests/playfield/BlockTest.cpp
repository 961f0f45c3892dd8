#include <gtest/gtest.h>

#include <cmath>

#include "GridTestSupport.h"
#include "support/TestSupport.h"

namespace {
void MakePrototype(OBlock& p, int stages, i32 kind) {
  p.data->SetGeometry(CubeFile(0, stages));
  p.SetupPrototype(kind == BRICK_SOLID ? 0 : 10, kind, 1.0f);
}
}  // namespace

// A breakable brick shows its stages one after the other, is destroyed by the next hit, gives
// nothing while it fades and is dead 800 ms later, also when one tick lands the fade exactly on
// zero (it must not look alive again and be scored twice). An unbreakable brick only turns a
// quarter round, and a running turn is not restarted.
TEST(Block, HitsFadeAndSpin) {
  ScratchDir dir;
  OBlock proto;
  MakePrototype(proto, 3, BRICK_BREAKABLE);
  OBlock brick(proto);
  EXPECT_EQ(HIT_DAMAGED, brick.Hit());
  EXPECT_EQ(1, brick.visible[1]);
  EXPECT_EQ(0, brick.visible[0]);  // one stage shown at a time
  EXPECT_EQ(HIT_DAMAGED, brick.Hit());
  EXPECT_EQ(HIT_DESTROYED, brick.Hit());
  EXPECT_EQ(HIT_NOTHING, brick.Hit());
  brick.Update(400);
  EXPECT_NEAR(1.25f, brick.drawScale[0], 1e-6);  // swelling toward 1.5
  brick.Update(401);
  EXPECT_EQ(-1, brick.life);

  OBlock exact(proto);
  exact.damageStage = 2;
  exact.Hit();
  exact.Update(800);
  EXPECT_EQ(-1, exact.life);
  EXPECT_EQ(HIT_NOTHING, exact.Hit());

  OBlock solidProto;
  MakePrototype(solidProto, 1, BRICK_SOLID);
  OBlock solid(solidProto);
  EXPECT_EQ(HIT_NOTHING, solid.Hit());
  EXPECT_EQ(HIT_NOTHING, solid.Hit());
  EXPECT_NEAR(1.5707963f, solid.spinTarget, 1e-6);
  for (int ticks = 0; solid.spinning && ticks < 100; ++ticks) solid.Update(17);
  EXPECT_NEAR(1.5707963f, solid.spinAngle, 1e-5);
  EXPECT_NEAR(1.0f, std::fabs(solid.matrix.XAxis().y), 1e-5);
}
