// One picture of the objects as the game draws them, from the game's own data: a heavy ball with
// its flame trail, a rocket with its smoke and falling bonuses in the classic cage. Written as
// <build>/screenshots/objects.png to be looked at; the test checks that something was drawn.
// Skipped without the game's archive or a display.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "ObjectsTestSupport.h"
#include "assets/Resource.h"
#include "playfield/VoxelMap.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/ObjectList.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int W = 640, H = 480;

bool CopyGameArchive() {
  const std::string source = std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr";
  if (!FileExists(source)) return false;
  WriteFile("Data/Resource.Tkr", ReadFile(source));
  return GetResource().Open();
}

}  // namespace

TEST(ObjectsPicture, HeavyBallRocketAndBonusesAsTheGameDrawsThem) {
  if (!HaveDisplay()) GTEST_SKIP() << "needs the virtual display";
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  if (!CopyGameArchive()) GTEST_SKIP() << "no game archive in " << BRIKON_GAME_DIR;
  GetParticleList().Clear();

  // The cage of the normal classic episode.
  OVoxelMap grid;
  grid.SetLevel(1, 0);
  grid.Init(1);
  OObjectList sprites;
  grid.spriteList = &sprites;

  OPlayer bat(nullptr);
  bat.Load("Player.Zmod");
  bat.SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  bat.ScaleUniform(0.0064285714f);
  bat.BuildLists();
  bat.alpha = 1.0f;
  bat.UpdateBounds();
  OBall templates[3];
  const char* models[3] = {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod"};
  OBallSet balls;
  for (int i = 0; i < 3; ++i) {
    templates[i].LoadTemplate(models[i]);
    balls.ballTemplates[i] = &templates[i];
  }
  balls.bat = &bat;
  balls.grid = &grid;
  balls.Load();
  balls.Clear();
  balls.AddBall({0.0f, 0.0f, 0.0f});
  // Rockets share the gun bonus's geometry, which the bonus set scales when it loads.
  OBonusSet bonuses;
  bonuses.Load();
  OBulletSet::loadModels = true;
  OBulletSet bullets;
  bullets.Load();
  bullets.grid = &grid;

  // A heavy ball coming back from the upper right, a rocket from the bat, and bonuses falling.
  balls.Update(16);
  balls.Launch();
  balls.MakeHeavy();
  balls.balls[0]->SetPosition(0.0f, 0.0f, 24.0f);
  balls.balls[0]->velocity = {0.45f, 0.3f, -1.0f};
  bullets.Fire({1.0f, -2.0f, 0.0f}, {0.0f, 0.0f, 0.25f});
  for (i32 type : {BONUS_GUN, BONUS_HEAVY, BONUS_LIFE, BONUS_TNT}) {
    bonuses.Spawn(type, {static_cast<f32>(type % 5) * 2.5f - 4.0f, 2.0f, 8.0f + static_cast<f32>(type)});
  }
  for (int i = 0; i < 40; ++i) {
    balls.Update(16);
    bullets.Update(16);
    bullets.Update(16);
    bonuses.Update(16);
    GetParticleList().Update(16);
  }
  bat.SetPosition(-4.0f, -4.0f, 0.0f);  // low on the left, out of the picture's way

  // The game's view: camera 14.4 in front of the bat, looking into the field, light at the bat.
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  OCamera camera(W, H, 45, 1, 1024);
  camera.SetPosition(0.0f, 0.0f, -14.4f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  camera.Apply(W, H);
  OLight light(1);
  light.localViewer = 1;
  light.SetColor(GL_AMBIENT, 1, 1, 1, 1);
  light.SetPosition(0.0f, 0.0f, -4.0f);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
  grid.Draw();
  balls.Draw();
  bullets.Draw();
  bonuses.Draw();
  bat.Draw();
  GetParticleList().Draw();

  const std::vector<u8> pixels = ReadBackBuffer(W, H);
  SavePicture("screenshots", "objects", W, H, pixels);
  int lit = 0;
  for (size_t i = 0; i + 2 < pixels.size(); i += 3) lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) > 16 ? 1 : 0;
  EXPECT_GT(lit, 1000);
  balls.Clear();
  bullets.Clear();
  GetParticleList().Clear();
}
