// The ball rules: launch, flight, walls, the bat, lost balls and the two ball bonuses.
#include <gtest/gtest.h>

#include "ObjectsTestSupport.h"
#include "effects/BallTrail.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

TEST(Ball, WaitsOnTheBatAndLaunchesStraightIntoTheField) {
  ObjectsWorld w;
  w.bat.SetPosition(2.0f, -1.0f, 0.0f);
  w.bat.UpdateBounds();
  w.ballSet.Update(16);
  OBall* ball = w.ballSet.balls[0];
  // Riding on the bat: at its position, resting on its front face.
  EXPECT_FLOAT_EQ(ball->Position().x, 2.0f);
  EXPECT_FLOAT_EQ(ball->Position().y, -1.0f);
  EXPECT_FLOAT_EQ(ball->Position().z, w.bat.boxMax.z + TEST_BALL_RADIUS);

  w.ballSet.Launch();
  EXPECT_EQ(w.ballSet.launched, 1);
  EXPECT_EQ(ball->velocity, OVector(0.0f, 0.0f, 1.0f));
  const OVector start = ball->Position();
  w.ballSet.Update(100);
  // Straight along +Z at 17.5 units per second at speed 1.
  EXPECT_FLOAT_EQ(ball->Position().x, start.x);
  EXPECT_FLOAT_EQ(ball->Position().y, start.y);
  EXPECT_NEAR(ball->Position().z - start.z, 1.75f, 1e-4f);
  EXPECT_EQ(ball->previousPosition, start);

  // A second press changes nothing.
  ball->velocity = {0.2f, 0.0f, 1.0f};
  w.ballSet.Launch();
  EXPECT_EQ(ball->velocity, OVector(0.2f, 0.0f, 1.0f));
}

TEST(Ball, StillBatReturnsTheBallWithTheSameDepthSpeedAndNoSwerve) {
  ObjectsWorld w;
  w.bat.velocity = {0.0f, 0.0f, 0.0f};
  OBall* ball = w.PlayBall({0.5f, 0.0f, 0.4f}, {0.3f, -0.2f, -0.8f});
  w.ballSet.Update(0);
  // The depth speed keeps its size and now points away from the bat.
  EXPECT_FLOAT_EQ(ball->velocity.z, 0.8f);
  // Sideways direction is the renormalised old one, inside the 0.45 clamp.
  const OVector n = OVector(0.3f, -0.2f, -0.8f).Normalized();
  EXPECT_NEAR(ball->velocity.x, n.x, 1e-5f);
  EXPECT_NEAR(ball->velocity.y, n.y, 1e-5f);
  EXPECT_EQ(ball->drift.x, 0.0f);
  EXPECT_EQ(ball->drift.y, 0.0f);
  EXPECT_FLOAT_EQ(ball->Position().z, w.bat.boxMax.z + TEST_BALL_RADIUS);
  EXPECT_EQ(ball->spinAxis, ball->velocity);
  // Flash and one of the three bat sounds.
  EXPECT_FLOAT_EQ(w.bat.alpha, 0.75f);
  EXPECT_EQ(CountSound(50) + CountSound(51) + CountSound(52), 1);

  // A steep ball is clamped to 0.45 sideways.
  ball = w.PlayBall({0.0f, 0.0f, 0.4f}, {1.2f, 0.0f, -0.1f});
  w.ballSet.Update(16);
  EXPECT_FLOAT_EQ(ball->velocity.x, 0.45f);
  EXPECT_FLOAT_EQ(ball->velocity.z, 0.1f + 0.0f);
}

TEST(Ball, MovingBatSwervesTheBallAndAZeroTickStaysFinite) {
  ObjectsWorld w;
  w.bat.velocity = {0.02f, -0.01f, 0.0f};
  OBall* ball = w.PlayBall({0.0f, 0.0f, 0.4f}, {0.0f, 0.0f, -1.0f});
  w.ballSet.Update(10);
  // Swerve (100 / t) * bat speed * 0.5; the moving bat also bends the direction.
  EXPECT_NEAR(ball->drift.x, 0.1f, 1e-6f);
  EXPECT_NEAR(ball->drift.y, -0.05f, 1e-6f);
  EXPECT_GT(ball->velocity.x, 0.0f);

  // The same hit in a tick of no time gives no swerve instead of dividing by zero.
  ball = w.PlayBall({0.0f, 0.0f, 0.4f}, {0.0f, 0.0f, -1.0f});
  w.ballSet.Update(0);
  EXPECT_EQ(ball->drift.x, 0.0f);
  EXPECT_EQ(ball->drift.y, 0.0f);
  for (int i = 0; i < 50; ++i) w.ballSet.Update(0);
  EXPECT_TRUE(Finite(ball->velocity));
  EXPECT_TRUE(Finite(ball->Position()));
}

TEST(Ball, SpeedRulesPullComponentsBackToCruisingSpeed) {
  OBall ball;
  ball.SetField({-8, -8, 0}, {8, 8, 48});
  ball.radius = 0.5f;
  ball.SetPosition(0.0f, 0.0f, 20.0f);

  // |vx| above 1 is tamed to 0.55 when the update sees it, and keeps a drift of its sign.
  ball.velocity = {1.2f, -1.3f, 1.0f};
  ball.Update(0);
  EXPECT_FLOAT_EQ(ball.velocity.x, 0.55f);
  EXPECT_FLOAT_EQ(ball.velocity.y, -0.55f);
  EXPECT_FLOAT_EQ(ball.drift.x, 0.01f);
  EXPECT_FLOAT_EQ(ball.drift.y, -0.01f);

  // A slow depth speed grows by 0.01 per tick until it reaches 1, in its own direction.
  ball.velocity = {0.0f, 0.0f, -0.5f};
  ball.drift = {};
  ball.Update(10);
  EXPECT_FLOAT_EQ(ball.drift.z, -0.01f);
  ball.Update(10);
  EXPECT_FLOAT_EQ(ball.velocity.z, -0.51f);
  ball.velocity.z = 1.0f;
  ball.drift.z = 0.0f;
  ball.Update(10);
  EXPECT_EQ(ball.drift.z, 0.0f);
}

TEST(Ball, WallsReflectOnlyPastTheirLimit) {
  OBall ball;
  ball.radius = 0.5f;
  ball.SetField({-8, -8, 0}, {8, 8, 48});

  // Exactly at fieldMin.x + r: no bounce (the test is strict).
  ball.SetPosition(-7.5f, 0.0f, 10.0f);
  ball.velocity = {-0.3f, 0.0f, 1.0f};
  ball.drift = {0.2f, 0.2f, 0.0f};
  EXPECT_FALSE(ball.BounceWalls());
  EXPECT_FLOAT_EQ(ball.velocity.x, -0.3f);

  // Past it: reflected, swerve dropped, clamped back inside.
  ball.SetPosition(-7.8f, 0.0f, 10.0f);
  EXPECT_TRUE(ball.BounceWalls());
  EXPECT_FLOAT_EQ(ball.velocity.x, 0.3f);
  EXPECT_EQ(ball.drift.x, 0.0f);
  EXPECT_EQ(ball.drift.y, 0.0f);
  EXPECT_FLOAT_EQ(ball.Position().x, -7.5f);

  // Top and far walls point the velocity back in, and a ball a long tick carried into a wall
  // is put back in front of it.
  ball.SetPosition(0.0f, 7.9f, 49.0f);
  ball.velocity = {0.0f, 0.4f, 1.0f};
  EXPECT_TRUE(ball.BounceWalls());
  EXPECT_FLOAT_EQ(ball.velocity.y, -0.4f);
  EXPECT_FLOAT_EQ(ball.velocity.z, -1.0f);
  EXPECT_FLOAT_EQ(ball.Position().y, 7.5f);
  EXPECT_FLOAT_EQ(ball.Position().z, 47.5f);

  // No wall on the bat side.
  ball.SetPosition(0.0f, 0.0f, -30.0f);
  ball.velocity = {0.0f, 0.0f, -1.0f};
  EXPECT_FALSE(ball.BounceWalls());
  EXPECT_FLOAT_EQ(ball.velocity.z, -1.0f);
}

TEST(Ball, LosingTheLastBallCostsALifeAndPutsANewBallOnAResetBat) {
  ObjectsWorld w;
  w.ballSet.launched = 1;
  w.ballSet.AddBall({0.0f, 0.0f, -1.0f});
  // Both balls far behind the bat: the first lost costs nothing, the second a life.
  w.ballSet.balls[0]->SetPosition(0.0f, 0.0f, 30.0f);
  w.ballSet.balls[0]->velocity = {0.0f, 0.0f, 1.0f};
  w.ballSet.balls[1]->SetPosition(0.0f, 0.0f, -10.0f);
  w.bat.gunAmmo = 5000;
  w.bat.SetPosition(3.0f, 3.0f, 0.0f);
  w.ballSet.Update(10);
  EXPECT_EQ(w.ballSet.balls.size(), 1u);
  EXPECT_EQ(w.bat.lives, 5);
  EXPECT_EQ(CountSound(8), 0);

  w.ballSet.balls[0]->SetPosition(0.0f, 0.0f, -10.0f);
  w.ballSet.balls[0]->velocity = {0.0f, 0.0f, -1.0f};
  w.ballSet.Update(10);
  EXPECT_EQ(w.bat.lives, 4);
  EXPECT_EQ(CountSound(8), 1);
  EXPECT_EQ(w.ballSet.launched, 0);
  ASSERT_EQ(w.ballSet.balls.size(), 1u);
  // The new ball is a red template-0 ball at rest, and the bat is back in its start state.
  EXPECT_EQ(w.ballSet.balls[0]->colourIndex, 0);
  EXPECT_EQ(w.ballSet.balls[0]->velocity, OVector());
  EXPECT_EQ(w.bat.Position(), OVector());
  EXPECT_EQ(w.bat.gunAmmo, -1);
  // Within 8 radii behind the bat a ball is still in play.
  w.ballSet.Launch();
  w.ballSet.balls[0]->SetPosition(0.0f, 0.0f, -3.9f);
  w.ballSet.balls[0]->velocity = {0.0f, 0.0f, 0.0f};
  w.ballSet.Update(0);
  EXPECT_EQ(w.bat.lives, 4);
}

TEST(Ball, MoreBallsAddsTheTwoOtherColoursOnlyToASingleBallInPlay) {
  ObjectsWorld w;
  // Not before launch.
  w.ballSet.AddMoreBalls();
  EXPECT_EQ(w.ballSet.balls.size(), 1u);

  OBall* first = w.PlayBall({1.0f, 2.0f, 20.0f}, {0.0f, 0.0f, 1.0f});
  first->colourIndex = 1;
  w.ballSet.AddMoreBalls();
  ASSERT_EQ(w.ballSet.balls.size(), 3u);
  EXPECT_EQ(w.ballSet.balls[1]->colourIndex, 0);
  EXPECT_EQ(w.ballSet.balls[2]->colourIndex, 2);
  for (size_t i = 1; i < 3; ++i) {
    const OBall& b = *w.ballSet.balls[i];
    EXPECT_EQ(b.Position(), first->Position());
    EXPECT_LE(std::fabs(b.velocity.x), 0.75f);
    EXPECT_LE(std::fabs(b.velocity.y), 0.75f);
    EXPECT_GE(b.velocity.z, 0.25f);
    EXPECT_LE(b.velocity.z, 0.75f);
    EXPECT_EQ(b.fieldMax, OVector(8, 8, 48));
  }
  // With three balls nothing more comes.
  w.ballSet.AddMoreBalls();
  EXPECT_EQ(w.ballSet.balls.size(), 3u);
}

TEST(Ball, HeavyTimeIsSharedAndTrailsComeAndGoWithIt) {
  {
    ObjectsWorld w;
    w.ballSet.MakeHeavy();  // before launch: nothing
    EXPECT_EQ(w.ballSet.balls[0]->heavyTime, 0);

    w.PlayBall({0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, 1.0f});
    w.ballSet.AddMoreBalls();
    w.ballSet.MakeHeavy();
    ASSERT_EQ(w.ballSet.balls.size(), 3u);
    for (OBall* b : w.ballSet.balls) {
      EXPECT_EQ(b->heavyTime, 10000);
      ASSERT_NE(b->trail, nullptr);
    }
    EXPECT_EQ(GetParticleList().Count(), 3u);
  }

  // A heavy single ball shares its state with the two new ones.
  ObjectsWorld v;
  v.PlayBall({0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, 1.0f});
  v.ballSet.MakeHeavy();
  EXPECT_EQ(v.ballSet.balls[0]->heavyTime, 30000);
  v.ballSet.AddMoreBalls();
  for (OBall* b : v.ballSet.balls) {
    EXPECT_EQ(b->heavyTime, 30000);
    EXPECT_NE(b->trail, nullptr);
  }

  // When the heavy time runs out the trail is left to burn out.
  OBall* ball = v.ballSet.balls[0];
  TkBaseBound* trail = ball->trail;
  ball->heavyTime = 5;
  ball->Update(10);
  ball->Update(10);
  EXPECT_EQ(ball->trail, nullptr);
  EXPECT_EQ(trail->finished, 1);
  EXPECT_EQ(trail->alive, 1);

  // A ball that is lost takes its trail with it at once.
  TkBaseBound* lostTrail = v.ballSet.balls[1]->trail;
  v.ballSet.balls[1]->SetPosition(0.0f, 0.0f, -20.0f);
  v.ballSet.balls[1]->velocity = {0.0f, 0.0f, -1.0f};
  v.ballSet.Update(1);
  EXPECT_EQ(v.ballSet.balls.size(), 2u);
  EXPECT_EQ(lostTrail->alive, 0);
}

TEST(Ball, TemplatesLoadedAgainKeepTheirSizeWhileOldBallsShareTheGeometry) {
  if (!HaveDisplay()) GTEST_SKIP() << "needs the virtual display";
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
