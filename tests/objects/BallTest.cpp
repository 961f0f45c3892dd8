// The ball rules: launch, the bat, walls, lost balls and the two ball bonuses.
#include <gtest/gtest.h>

#include <cmath>

#include "ObjectsTestSupport.h"
#include "effects/BallTrail.h"
#include "support/GLContext.h"

// A ball waits on the bat, is launched slightly off the field's axis, comes back off the bat,
// swerved by a moving one, and is lost behind it.
TEST(Ball, WaitsOnTheBatLeavesItSlightlyOffTheAxisComesBackOffItAndIsLostBehindIt) {
  ObjectsWorld w;
  w.bat.SetPosition(2.0f, -1.0f, 0.0f);
  w.bat.UpdateBounds();
  w.ballSet.Update(16);
  OBall* ball = w.ballSet.balls[0];
  // Riding on the bat's front face.
  EXPECT_EQ(ball->Position(), OVector(2.0f, -1.0f, w.bat.boxMax.z + TEST_BALL_RADIUS));

  w.ballSet.Launch();
  const OVector start = ball->Position();
  // Along +Z turned by 2 to 3 degrees: never exactly along the field's axis, speed 1 kept.
  const f32 degrees = std::acos(ball->velocity.z) * 180.0f / 3.14159265f;
  EXPECT_GE(degrees, DEVIATION_MIN_DEGREES - 0.01f);
  EXPECT_LE(degrees, DEVIATION_MAX_DEGREES + 0.01f);
  EXPECT_NEAR(ball->velocity.Length(), 1.0f, 1e-5f);
  w.ballSet.Update(100);
  // 17.5 units per second at speed 1, nearly all of it in depth.
  EXPECT_NEAR((ball->Position() - start).Length(), 1.75f, 1e-4f);
  EXPECT_GT(ball->Position().z - start.z, 1.74f);

  // Still bat: same depth speed pointing away, sideways direction kept, no swerve, a sound.
  ball = w.PlayBall({2.5f, -1.0f, 0.4f}, {0.3f, -0.2f, -0.8f});
  w.ballSet.Update(0);
  EXPECT_FLOAT_EQ(ball->velocity.z, 0.8f);
  EXPECT_NEAR(ball->velocity.x, OVector(0.3f, -0.2f, -0.8f).Normalized().x, 1e-5f);
  EXPECT_EQ(ball->drift.x, 0.0f);
  EXPECT_FLOAT_EQ(ball->Position().z, w.bat.boxMax.z + TEST_BALL_RADIUS);
  EXPECT_EQ(CountSound(50) + CountSound(51) + CountSound(52), 1);

  // Moving bat: swerve (100 / t) * bat speed * 0.5.
  w.bat.velocity = {0.02f, -0.01f, 0.0f};
  ball = w.PlayBall({2.0f, -1.0f, 0.4f}, {0.0f, 0.0f, -1.0f});
  w.ballSet.Update(10);
  EXPECT_NEAR(ball->drift.x, 0.1f, 1e-6f);
  EXPECT_NEAR(ball->drift.y, -0.05f, 1e-6f);

  // Within 8 radii behind the bat a ball is still in play; the last one lost costs a life and puts
  // a new ball on a reset bat (losing one of several is the extra balls' case).
  w.bat.gunAmmo = 5000;
  w.PlayBall({0.0f, 0.0f, -3.9f}, {0.0f, 0.0f, 0.0f});
  w.ballSet.Update(0);
  EXPECT_EQ(w.bat.lives, 5);
  w.PlayBall({0.0f, 0.0f, -10.0f}, {0.0f, 0.0f, -1.0f});
  w.ballSet.Update(10);
  EXPECT_EQ(w.bat.lives, 4);
  EXPECT_EQ(CountSound(8), 1);
  EXPECT_EQ(w.ballSet.launched, 0);
  ASSERT_EQ(w.ballSet.balls.size(), 1u);
  EXPECT_EQ(w.ballSet.balls[0]->velocity, OVector());
  EXPECT_EQ(w.bat.gunAmmo, -1);  // the bat is reset
}

// The loop rule: a ball that has touched no breakable brick, bonus or the bat's rim for 10 s
// leaves the bat turned by a few degrees; otherwise a still bat returns it unturned. A ball that
// has struck no brick for GUIDE_AFTER_MS is aimed at one instead, here a lone brick off the axis,
// and leaves metal on a flight that gets it back to the bat.
TEST(Ball, ALongFlightWithoutContactIsTurnedAtTheBat) {
  enum Outcome { straight, turned, aimed, home };
  struct Case {
    const char* what;
    i32 flightMs;
    i32 searchMs;
    Outcome outcome;
  };
  const Case cases[] = {
      {"a ball that touched something lately comes back straight", LOOP_FLIGHT_MS - 100, 0,
       straight},
      {"after 10 s without a contact it is turned", LOOP_FLIGHT_MS, 0, turned},
      {"a touch on the bat's rim counts as a contact", LOOP_FLIGHT_MS + 5000, 0, straight},
      {"a ball that struck a brick lately is not aimed", 0, GUIDE_AFTER_MS - 100, straight},
      {"one that has not is aimed at the brick its plain rebound misses", 0, GUIDE_AFTER_MS,
       aimed},
      {"caught between a metal bar and the far wall, it leaves the bar on a way out", 0,
       GUIDE_AFTER_MS, home},
  };
  for (const Case& c : cases) {
    GridWorld w;
    w.AddBrick(w.breakable, 6.0f, 24.0f);
    OVector at(0.0f, 0.0f, 0.4f);
    // The rim case meets the bat just beyond its side face; the last one flies onto the back of
    // a bar on the axis, where its plain bounce would come back for ever.
    if (&c == &cases[2]) at.x = w.bat.boxMax.x + TEST_BALL_RADIUS * 0.5f;
    if (c.outcome == home) {
      w.AddBrick(w.solid, 0.0f, 40.0f);
      at.z = 41.4f;
    }
    OBall* ball = w.PlayBall(at, {0.0f, 0.0f, -1.0f});
    ball->flightMs = c.flightMs;
    ball->searchMs = c.searchMs;
    w.ballSet.Update(0);
    const f32 side = std::hypot(ball->velocity.x, ball->velocity.y);
    if (c.outcome == turned) {
      EXPECT_GT(side, std::sin(DEVIATION_MIN_DEGREES * 3.14159265f / 180.0f) * 0.99f) << c.what;
      EXPECT_LT(side, std::sin(DEVIATION_MAX_DEGREES * 3.14159265f / 180.0f) * 1.01f) << c.what;
    } else if (c.outcome == straight) {
      EXPECT_EQ(side, 0.0f) << c.what;
    }
    if (c.outcome != home) {
      EXPECT_GT(ball->velocity.z, 0.99f) << c.what;
    }
    if (c.outcome == turned || c.outcome == aimed || &c == &cases[2]) {
      EXPECT_EQ(ball->flightMs, 0) << c.what;
    }
    // Flown on: only the aimed ball strikes the brick before it is back at the bat.
    for (int tick = 0; tick < 400 && (ball->velocity.z > 0.0f || ball->Position().z > 3.0f);
         ++tick) {
      w.ballSet.Update(16);
      w.grid.Collide();
    }
    if (c.outcome == home) {
      EXPECT_LT(ball->Position().z, 3.0f) << c.what;
    } else {
      EXPECT_EQ(w.grid.brickHits, c.outcome == aimed ? 1u : 0u) << c.what;
    }
  }
}

TEST(Ball, MoreBallsAndHeavyTimeAreSharedAndTrailsComeAndGo) {
  ObjectsWorld w;
  // Neither before launch.
  w.ballSet.AddMoreBalls();
  w.ballSet.MakeHeavy();
  EXPECT_EQ(w.ballSet.balls.size(), 1u);
  EXPECT_EQ(w.ballSet.balls[0]->heavyTime, 0);

  // A heavy single ball shares its state with the two other colours.
  OBall* first = w.PlayBall({1.0f, 2.0f, 20.0f}, {0.0f, 0.0f, 1.0f});
  first->colourIndex = 1;
  w.ballSet.MakeHeavy();
  w.ballSet.AddMoreBalls();
  ASSERT_EQ(w.ballSet.balls.size(), 3u);
  for (OBall* b : w.ballSet.balls) {
    EXPECT_EQ(b->Position(), first->Position());
    EXPECT_GE(b->velocity.z, 0.25f);
    EXPECT_EQ(b->heavyTime, 30000);
    EXPECT_NE(b->trail, nullptr);
  }
  // With three balls nothing more comes.
  w.ballSet.AddMoreBalls();
  EXPECT_EQ(w.ballSet.balls.size(), 3u);

  // When the heavy time runs out the trail is left to burn out.
  OBall* ball = w.ballSet.balls[0];
  TkBaseBound* trail = ball->trail;
  ball->heavyTime = 5;
  ball->Update(10);
  ball->Update(10);
  EXPECT_EQ(ball->trail, nullptr);
  EXPECT_EQ(trail->finished, 1);
  EXPECT_EQ(trail->alive, 1);

  // A ball that is lost takes its trail with it at once, and costs nothing while others remain.
  TkBaseBound* lostTrail = w.ballSet.balls[1]->trail;
  w.ballSet.balls[1]->SetPosition(0.0f, 0.0f, -20.0f);
  w.ballSet.balls[1]->velocity = {0.0f, 0.0f, -1.0f};
  w.ballSet.Update(1);
  EXPECT_EQ(w.ballSet.balls.size(), 2u);
  EXPECT_EQ(lostTrail->alive, 0);
  EXPECT_EQ(w.bat.lives, 5);
}

TEST(Ball, TemplatesLoadedAgainKeepTheirSizeWhileOldBallsShareTheGeometry) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs the virtual display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  ASSERT_TRUE(InstallArchive({Entry("Data/Models/Ball.Zmod", CubeBytes())}));
  auto* first = new OBall();
  first->LoadTemplate("Ball.Zmod");
  const f32 radius = first->radius;
  EXPECT_NEAR(radius, 1.0f / 96.0f, 1e-6f);
  // A ball of the old game still holds the geometry when the new game loads its templates.
  OBall inPlay(*first);
  delete first;
  OBall again;
  again.LoadTemplate("Ball.Zmod");
  EXPECT_NEAR(again.radius, radius, 1e-6f);
  EXPECT_NEAR(inPlay.data->vertices[0], -1.0f / 96.0f, 1e-6f);
}
