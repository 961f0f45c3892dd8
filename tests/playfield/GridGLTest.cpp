#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GridTestSupport.h"
#include "assets/ModelTestSupport.h"
#include "assets/Resource.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

// An archive with everything Init loads: cube bricks in both detail folders (code 1 with three
// stages), a 64 x 64 x 192 cage for each episode, the three skins, the flare sheet and the debris.
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

// One frame of the game screen's view with the grid drawn (back buffer): camera 14.4 units in
// front of the field looking in, the light near the bat, texturing on.
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

// Pixels that are not the black background.
int LitPixels(const std::vector<unsigned char>& rgb) {
  int lit = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) lit += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
  return lit;
}

// Draws frames until the crossfade or the advance has ended, then one more; returns the frames
// the transition took.
int DrawUntilSettled(OVoxelMap& grid, OCamera& camera, OLight& light) {
  int frames = 0;
  for (; frames < 400 && grid.transition; ++frames) DrawFrame(grid, camera, light);
  DrawFrame(grid, camera, light);
  return frames;
}

// A grid of episode 0, level 0 set and the episode's content loaded (Init), wired as the game
// wires it: window, game camera, light, bat and ball set.
struct GridScene {
  // Opens the window and installs the archive first: false when either fails.
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

// Init loads the episode's content from the archive; a level fades in over 25 drawn frames;
// drawing leaves culling and fog off and raises no GL error.
TEST(GridGL, InitAndDraw) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  GridScene scene;
  ASSERT_TRUE(scene.Open(SmallArchive()));
  OVoxelMap& grid = scene.grid;
  ASSERT_NE(nullptr, grid.skin.image);
  grid.StartLevel(0);
  EXPECT_EQ(25, DrawUntilSettled(grid, scene.camera, scene.light));
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));

  // The corridor plays in its fog and leaves it off after drawing.
  OModVoxelMap corridor;
  corridor.ballSet = &scene.balls;
  corridor.SetLevel(3, 0);
  corridor.Init(3);
  corridor.StartLevel(0);
  DrawUntilSettled(corridor, scene.camera, scene.light);
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  EXPECT_GT(LitPixels(ReadBack()), WIDTH * HEIGHT / 4);
}

// The opaque bricks go before the cage (so that the walls they cover are never shaded), and the
// fading bricks still after it: a fading brick, which writes no depth, must blend over the far
// wall rather than be painted over by it, and must be drawn with the skin, not the cage's texture.
TEST(GridGL, FadingBricksOverTheCage) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  std::vector<OArchiveEntry> entries = SmallArchive();
  // A cage that names a texture of its own (plain white), unlike the bricks.
  OModelFile cage = ShapedCube({32, 32, 96}, {0, 0, 96});
  cage.texture = "White.Tga";
  // Plain pictures (TGA pixels are blue, green, red): a white wall and a pure blue skin.
  auto plain = [](unsigned char b, unsigned char g, unsigned char r) {
    std::vector<unsigned char> t = CheckerTga(8, 8);
    for (size_t i = 18; i + 2 < t.size(); i += 3) {
      t[i] = b;
      t[i + 1] = g;
      t[i + 2] = r;
    }
    return t;
  };
  for (OArchiveEntry& e : entries) {
    if (e.name == "Data/Models/CDBox.Zmod") e.bytes = WriteZmod(cage);
    if (e.name == "Data/Textures/Bricks.Tga") e.bytes = plain(255, 0, 0);
  }
  entries.push_back(Entry("Data/Textures/White.Tga", plain(255, 255, 255)));
  GridScene scene;
  ASSERT_TRUE(scene.Open(entries));
  OVoxelMap& grid = scene.grid;
  grid.StartLevel(0);
  DrawUntilSettled(grid, scene.camera, scene.light);
  ASSERT_FALSE(grid.blocks.empty());

  // The cage alone, then every brick half faded in front of it.
  std::vector<OBlock*> bricks;
  bricks.swap(grid.blocks);
  DrawFrame(grid, scene.camera, scene.light);
  const std::vector<unsigned char> cageOnly = ReadBack();
  bricks.swap(grid.blocks);
  for (OBlock* b : grid.blocks) b->SetAlpha(0.5f);
  DrawFrame(grid, scene.camera, scene.light);
  const std::vector<unsigned char> faded = ReadBack();
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());

  // Where the bricks stand the blue skin shows, blended over the grey walls.
  int changed = 0, blue = 0;
  for (size_t i = 0; i + 2 < faded.size(); i += 3) {
    changed += cageOnly[i] != faded[i] || cageOnly[i + 2] != faded[i + 2];
    blue += faded[i + 2] > faded[i] + 30;
  }
  EXPECT_GT(changed, 1000) << "the fading bricks were painted over";
  EXPECT_GT(blue, 1000) << "the fading bricks lost their skin";
  for (OBlock* b : grid.blocks) b->SetAlpha(0.0f);
}

// The cage, and the bricks standing still, come back from their pictures on later frames: the
// same pixels as drawing them in full, the depth of walls and bricks still hiding what lies behind
// them, and a new picture whenever the view, the textures or a brick change.
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

  // `extra` drawn over the field, after every picture is dropped (all drawn in full) and then
  // after frames enough for the pictures to be taken and used.
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

  // A white sheet through the middle of the bricks and another behind the far wall: the bricks
  // in front of the first and the walls in front of both still cover them.
  f32 nearZ = 1e9f, farZ = -1e9f;
  for (const OBlock* b : grid.blocks) {
    nearZ = std::min(nearZ, b->Position().z);
    farZ = std::max(farZ, b->Position().z);
  }
  const f32 middle = (nearZ + farZ) * 0.5f;
  auto sheets = [middle] {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (f32 z : {middle, 60.0f}) {
      glBegin(GL_QUADS);
      glVertex3f(-100.0f, -100.0f, z);
      glVertex3f(100.0f, -100.0f, z);
      glVertex3f(100.0f, 100.0f, z);
      glVertex3f(-100.0f, 100.0f, z);
      glEnd();
    }
    glEnable(GL_LIGHTING);
  };
  const std::vector<unsigned char> covered = full(sheets);
  EXPECT_TRUE(covered == kept(sheets)) << "the walls or the bricks lost their depth";
  EXPECT_FALSE(covered == full({})) << "the sheet shows nowhere: the check proves nothing";

  // A colour left behind after each frame (the head-up text's fading captions) keeps the field
  // from its picture: drawn in full, the frame would count toward a new one.
  kept({});
  const u32 steady = grid.steadyFrames;
  for (int i = 0; i < 3; ++i) {
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f * static_cast<f32>(i + 1));
    DrawFrame(grid, camera, light);
  }
  EXPECT_EQ(grid.steadyFrames, steady) << "a colour left behind stales the pictures";

  // A brick that turns a little every frame keeps the bricks from their picture; the walls
  // still come from theirs.
  std::vector<unsigned char> turning;
  for (int i = 0; i < 4; ++i) {
    grid.blocks[2]->RotateY(0.01f);
    DrawFrame(grid, camera, light);
    turning = ReadBack();
  }
  grid.cagePicture.Forget();
  DrawFrame(grid, camera, light);
  EXPECT_TRUE(turning == ReadBack()) << "the walls from their picture differ under a turning brick";

  // A brick hit (another stage shown), a brick fading, fog, new filters: each is drawn as in
  // full.
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
