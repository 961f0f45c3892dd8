#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GridTestSupport.h"
#include "assets/ImageTestSupport.h"
#include "assets/ModelTestSupport.h"
#include "assets/Resource.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

// Everything Init loads: cube bricks in both detail folders (code 1 with three stages), a cage for
// each episode, the skin, the flare sheet and the debris.
std::vector<OArchiveEntry> SmallArchive() {
  std::vector<OArchiveEntry> entries;
  const int codes[BRICK_PROTOTYPES] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14};
  for (int code : codes) {
    for (const char* detail : {"Hi/", "Low/"}) {
      entries.push_back(Entry("Data/Models/" + std::string(detail) + "Block/" +
                                  std::to_string(code) + ".Zmod",
                              CubeBytes(0, code == 1 ? 3 : 1)));
    }
  }
  for (const char* box : {"CDBox", "CNBox", "CHBox", "MDBox", "MNBox", "MHBox"}) {
    entries.push_back(Entry("Data/Models/" + std::string(box) + ".Zmod",
                            WriteZmod(ShapedCube({32, 32, 96}, {0, 0, 96}))));
  }
  for (const char* tex : {"Bricks.Tga", "Flare.Tga", "ParticleBit.Tga"}) {
    entries.push_back(Entry(std::string("Data/Textures/") + tex, CheckerTga(128, 64)));
  }
  return entries;
}

// One frame of the game screen's view with the grid drawn: the camera 14.4 units in front of the
// field, the light near the bat.
void DrawFrame(OVoxelMap& grid, OCamera& camera, OLight& light) {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  camera.fieldOfView = 45.0f;
  camera.SetPosition(0.0f, 0.0f, -14.4f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  camera.Apply(WIDTH, HEIGHT);
  light.SetColor(GL_AMBIENT, 1, 1, 1, 1);
  light.SetPosition(0.0f, 0.0f, -4.0f);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
  grid.Draw();
}

std::vector<unsigned char> ReadBack() { return ReadBackBuffer(WIDTH, HEIGHT); }

// Draws frames until the crossfade or the advance has ended, then one more; returns the frames
// the transition took.
int DrawUntilSettled(OVoxelMap& grid, OCamera& camera, OLight& light) {
  int frames = 0;
  for (; frames < 400 && grid.transition; ++frames) DrawFrame(grid, camera, light);
  DrawFrame(grid, camera, light);
  return frames;
}

// A grid of episode 0 with its content loaded (Init), wired as the game wires it.
struct GridScene {
  bool Open(const std::vector<OArchiveEntry>& entries) {
    if (!window.Open() || !InstallArchive(entries)) return false;
    balls.bat = &bat;
    grid.ballSet = &balls;
    grid.SetLevel(0, 0);
    grid.Init(0);
    return true;
  }

  ScratchDir dir;
  TestGLWindow window;
  OCamera camera{WIDTH, HEIGHT, 60.0f, 1.0f, 1024.0f};
  OLight light{1};
  OPlayer bat{&camera};
  OBallSet balls;
  OVoxelMap grid;
};

}  // namespace

// A level fades in over 25 drawn frames. A fading brick, which writes no depth, is drawn after the
// cage: blended over the far wall, not painted over by it, and with the skin, not the cage's
// texture. Drawing leaves culling and fog off, with no GL error.
TEST(GridGL, FadeInAndFadingBricksOverTheCage) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  std::vector<OArchiveEntry> entries = SmallArchive();
  OModelFile cage = ShapedCube({32, 32, 96}, {0, 0, 96});
  cage.texture = "White.Tga";
  for (OArchiveEntry& e : entries) {
    if (e.name == "Data/Models/CDBox.Zmod") e.bytes = WriteZmod(cage);
    if (e.name == "Data/Textures/Bricks.Tga") e.bytes = image_test::SolidTga(8, 8, 0, 0, 255);
  }
  entries.push_back(Entry("Data/Textures/White.Tga", image_test::SolidTga(8, 8, 255, 255, 255)));
  GridScene scene;
  ASSERT_TRUE(scene.Open(entries));
  OVoxelMap& grid = scene.grid;
  ASSERT_NE(nullptr, grid.skin.image);
  grid.StartLevel(0);
  EXPECT_EQ(25, DrawUntilSettled(grid, scene.camera, scene.light));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  ASSERT_FALSE(grid.blocks.empty());

  std::vector<OBlock*> bricks;  // the cage alone, then every brick half faded in front of it
  bricks.swap(grid.blocks);
  DrawFrame(grid, scene.camera, scene.light);
  const std::vector<unsigned char> cageOnly = ReadBack();
  bricks.swap(grid.blocks);
  for (OBlock* b : grid.blocks) b->SetAlpha(0.5f);
  DrawFrame(grid, scene.camera, scene.light);
  const std::vector<unsigned char> faded = ReadBack();
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());

  int changed = 0, blue = 0;
  for (size_t i = 0; i + 2 < faded.size(); i += 3) {
    changed += cageOnly[i] != faded[i] || cageOnly[i + 2] != faded[i + 2];
    blue += faded[i + 2] > faded[i] + 30;
  }
  EXPECT_GT(changed, 1000) << "the fading bricks were painted over";
  EXPECT_GT(blue, 1000) << "the fading bricks lost their skin";
  for (OBlock* b : grid.blocks) b->SetAlpha(0.0f);

  // The corridor plays in its fog and leaves it off after drawing.
  OModVoxelMap corridor;
  corridor.ballSet = &scene.balls;
  corridor.SetLevel(3, 0);
  corridor.Init(3);
  corridor.StartLevel(0);
  DrawUntilSettled(corridor, scene.camera, scene.light);
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  const std::vector<unsigned char> drawn = ReadBack();
  EXPECT_GT(drawn.size() - std::count(drawn.begin(), drawn.end(), 0), drawn.size() / 4);
}

// The cage and the still bricks come back from their pictures as drawn in full, depth included,
// and a new picture is taken whenever the view, the state, the textures or a brick change.
TEST(GridGL, FieldFromItsPicture) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  GridScene scene;
  ASSERT_TRUE(scene.Open(SmallArchive()));
  OCamera& camera = scene.camera;
  OLight& light = scene.light;
  OVoxelMap& grid = scene.grid;
  grid.StartLevel(0);
  DrawUntilSettled(grid, camera, light);
  ASSERT_FALSE(grid.blocks.empty());

  // `extra` drawn over the field with every picture dropped, and once the pictures are in use.
  auto full = [&](const std::function<void()>& extra) {
    grid.cagePicture.Forget();
    grid.fieldPicture.Forget();
    grid.steadyFrames = 0;
    DrawFrame(grid, camera, light);
    if (extra) extra();
    return ReadBack();
  };
  auto kept = [&](const std::function<void()>& extra) {
    for (int i = 0; i < 5; ++i) DrawFrame(grid, camera, light);
    if (extra) extra();
    return ReadBack();
  };
  EXPECT_TRUE(full({}) == kept({})) << "the pictures differ from the field drawn";

  // White sheets through the bricks and behind the far wall: what stands in front still covers.
  const f32 middle = grid.blocks[0]->Position().z;  // the level's one layer
  auto sheets = [middle] {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (f32 z : {middle, 60.0f}) {
      glPushMatrix();
      glTranslatef(0.0f, 0.0f, z);
      glRectf(-100.0f, -100.0f, 100.0f, 100.0f);
      glPopMatrix();
    }
    glEnable(GL_LIGHTING);
  };
  const std::vector<unsigned char> covered = full(sheets);
  EXPECT_TRUE(covered == kept(sheets)) << "the walls or the bricks lost their depth";
  EXPECT_FALSE(covered == full({})) << "the sheet shows nowhere: the check proves nothing";

  // A colour left behind after each frame (the fading captions) keeps the pictures stale.
  kept({});
  const u32 steady = grid.steadyFrames;
  for (int i = 0; i < 3; ++i) {
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f * static_cast<f32>(i + 1));
    DrawFrame(grid, camera, light);
  }
  EXPECT_EQ(grid.steadyFrames, steady) << "a colour left behind stales the pictures";

  // A brick turning every frame keeps the bricks from their picture, not the walls.
  std::vector<unsigned char> turning;
  for (int i = 0; i < 4; ++i) {
    grid.blocks[2]->RotateY(0.01f);
    DrawFrame(grid, camera, light);
    turning = ReadBack();
  }
  grid.cagePicture.Forget();
  DrawFrame(grid, camera, light);
  EXPECT_TRUE(turning == ReadBack()) << "the walls from their picture differ under a turning brick";

  grid.blocks[0]->HideAll();
  EXPECT_TRUE(full({}) == kept({})) << "a hit brick kept the old picture";
  grid.blocks[1]->SetAlpha(0.5f);
  EXPECT_TRUE(full({}) == kept({})) << "a fading brick kept the old picture";
  grid.blocks[1]->SetAlpha(0.0f);
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogf(GL_FOG_START, 10.0f);
  glFogf(GL_FOG_END, 40.0f);
  EXPECT_TRUE(full({}) == kept({})) << "fog kept the old picture";
  glDisable(GL_FOG);
  GetTextureCache().SetFilterAll(0);
  EXPECT_TRUE(full({}) == kept({})) << "new filters kept the old picture";
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}
