// A long run of the game objects and the brick grid together, driven by random mouse input and
// random tick lengths, checking after every tick what must never happen. (The particle systems'
// own bounds under such a load are the effects suite's.)
#include <gtest/gtest.h>

#include <set>

#include "../assets/ImageTestSupport.h"
#include "ObjectsTestSupport.h"
#include "effects/FireworkPool.h"
#include "scene/Camera.h"
#include "shell/Random.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

// The pictures the effects load and the bonus models, as small stand-ins.
bool InstallEffectsArchive() {
  std::vector<OArchiveEntry> entries;
  for (const char* name : {"Particle.Tga", "pLight.Tga", "CoDSmoke2.Tga", "ParticleBit.Tga"}) {
    entries.push_back(Entry(std::string("Data/Textures/") + name, CheckerTga(8, 8)));
  }
  entries.push_back(Entry("Data/Textures/RExpl.Tga", CheckerTga(128, 128)));
  const std::vector<u8> rgb(16 * 16 * 3, 200);
  const std::string jpeg = image_test::MakeJpeg(16, 16, 3, rgb);
  entries.push_back(Entry("Data/Textures/xFlame2x2.jpg", std::vector<unsigned char>(jpeg.begin(), jpeg.end())));
  for (const char* name : {"Life.zmod", "MoreBalls.zmod", "Gun.Zmod", "Slow.Zmod", "HavyBall.Zmod",
                           "Score.Zmod", "TNT.Zmod", "Big.Zmod", "Small.Zmod", "NextLevel.Zmod"}) {
    entries.push_back(Entry(std::string("Data/Models/Bonus/") + name, CubeBytes()));
  }
  return InstallArchive(entries);
}

// A grid filled with a 5 x 5 x 3 block of cube bricks (some unbreakable), as a level would be.
void FillBricks(OVoxelMap& grid, const OBlock& breakable, const OBlock& solid) {
  for (int layer = 0; layer < 3; ++layer) {
    for (int k = 0; k < 25; ++k) {
      const OBlock& from = (k % 7 == 3) ? solid : breakable;
      OBlock* b = new OBlock(from);
      b->SetPosition(static_cast<f32>(k % 5 - 2) * 3.0f, static_cast<f32>(k / 5 - 2) * 3.0f,
                     40.0f - static_cast<f32>(layer) * 3.0f);
      b->ComputeBounds();
      grid.blocks.push_back(b);
    }
  }
}

}  // namespace

TEST(ObjectsRun, ThousandsOfRandomTicksKeepEveryInvariant) {
  if (!HaveDisplay()) GTEST_SKIP() << "needs the virtual display";
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  ASSERT_TRUE(InstallEffectsArchive());
  GetParticleList().Clear();
  GetFireworkPool().Clear();

  GridWorld w;
  w.bonuses.Load();
  for (OBonus* b : w.bonuses.templates) b->radius = 0.5f;
  w.ballSet.Load();
  w.bullets.Load();
  w.bullets.bonusSet = &w.bonuses;
  ASSERT_NE(w.bonuses.fireworkTemplate, nullptr);
  OCamera camera(640, 480, 45, 1, 1024);
  camera.SetPosition(0.0f, 0.0f, -14.4f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  w.bat.camera = &camera;
  OVoxelMap& grid = w.grid;
  FillBricks(grid, w.breakable, w.solid);
  w.ballSet.Clear();
  w.ballSet.AddBall({0.0f, 0.0f, 0.0f});

  OVector fieldMin, fieldMax;
  grid.GetFieldBox(fieldMin, fieldMax);
  SeedRandom(1234);
  std::set<i32> taken;  // bonus types caught (TNT: hit by a ball)
  int levels = 0, games = 0;
  for (int tick = 0; tick < 40000; ++tick) {
    // 0..40 ms, zero-length ticks included, and now and then a hitch of up to 1.5 s.
    u32 t = static_cast<u32>(Random() % 41);
    if (Random() % 400 == 0) t = 250 + static_cast<u32>(Random() % 1251);
    // The mouse: half of the time anywhere in the window, otherwise under the first ball, as a
    // player would follow it.
    if (tick % 25 == 0) {
      if (Random() % 2 == 0) {
        w.bat.SetTarget(Random() % 640, Random() % 480);
      } else {
        const OVector b = w.ballSet.balls[0]->Position();
        w.bat.target = {-b.x, -b.y, w.bat.target.z};
      }
    }
    if (Random() % 60 == 0) {
      w.ballSet.Launch();
      w.bat.Fire();
    }
    // Every type in turn comes down onto the bat; TNT is put in a ball's way.
    if (tick % 100 == 50 && w.ballSet.launched == 1) {
      const i32 type = (tick / 100) % BONUS_TYPES;
      const OVector goal = -w.bat.target;
      const OVector at = type == BONUS_TNT ? w.ballSet.balls[0]->Position()
                                           : OVector(goal.x, goal.y, 4.0f);
      w.bonuses.Spawn(type, at);
    }
    // The flags the head-up display sets each frame.
    w.bat.ClearActiveBonuses();
    if (w.bat.gunAmmo > 0) w.bat.SetActiveBonus(BONUS_GUN);
    if (w.ballSet.FirstBallHeavy()) w.bat.SetActiveBonus(BONUS_HEAVY);
    if (w.bat.slowTime > 0) w.bat.SetActiveBonus(BONUS_SLOW);

    // One game tick, in the game screen's order.
    grid.Update(t);
    const bool tntInPlay = w.bonuses.IsActive(w.bonuses.templates[BONUS_TNT]);
    w.bonuses.speed = 1.25f;
    w.bonuses.Update(t);
    if (tntInPlay && !w.bonuses.IsActive(w.bonuses.templates[BONUS_TNT])) taken.insert(BONUS_TNT);
    if (w.bat.caughtBonus != nullptr) taken.insert(w.bat.caughtBonus->type);
    GetFireworkPool().Update(t);
    GetParticleList().Update(t);
    w.bullets.Update(t);
    w.ballSet.speed = 1.25f;
    w.ballSet.Update(t);
    w.bat.Update(t);
    w.bullets.Update(t);
    w.sprites.Update(t);

    // What must hold after every tick.
    SCOPED_TRACE("tick " + std::to_string(tick));
    ASSERT_TRUE(w.ballSet.balls.size() >= 1u && w.ballSet.balls.size() <= 3u);
    for (const OBall* b : w.ballSet.balls) {
      const OVector p = b->Position();
      ASSERT_TRUE(Finite(p) && Finite(b->velocity) && Finite(b->drift));
      ASSERT_TRUE(p.x >= fieldMin.x && p.x <= fieldMax.x && p.y >= fieldMin.y && p.y <= fieldMax.y);
      ASSERT_LE(p.z, fieldMax.z);
      // Out at the near end only behind the bat, and then it is gone on its next move.
      if (p.z < fieldMin.z) {
        ASSERT_LT(p.z, w.bat.boxMax.z);
      }
    }
    ASSERT_TRUE(Finite(w.bat.Position()) && Finite(w.bat.velocity));
    for (const OBonus* b : w.bonuses.active) ASSERT_TRUE(Finite(b->Position()));
    for (const OBullet* b : w.bullets.bullets) {
      ASSERT_TRUE(Finite(b->Position()) && b->Position().z <= fieldMax.z + 1.0f);
    }
    // What the game screen does with the grid's status: a new level, or a new game.
    if (grid.status == MAP_LEVEL_DONE || grid.status == MAP_GAME_OVER) {
      if (grid.status == MAP_LEVEL_DONE) {
        ++levels;
        w.bonuses.Release();
      } else {
        ++games;
        w.bat.lives = 5;
      }
      for (OBlock* b : grid.blocks) delete b;
      grid.blocks.clear();
      FillBricks(grid, w.breakable, w.solid);
      w.bonuses.released = 0;
      grid.status = MAP_PLAYING;
    }
  }
  for (i32 type = 0; type < BONUS_TYPES; ++type) {
    EXPECT_EQ(taken.count(type), 1u) << "bonus type " << type << " never taken";
  }
  EXPECT_GT(levels + games, 0);  // the run met the level's end it is meant to check
  for (OBlock* b : grid.blocks) delete b;
  grid.blocks.clear();
  w.ballSet.Clear();
  w.bullets.Clear();
  GetFireworkPool().Clear();
}
