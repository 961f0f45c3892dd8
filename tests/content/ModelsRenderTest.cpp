// The built game's models drawn on a real OpenGL context the way the game screen shows them: its
// camera, face culling and normal options. Each model must show up from where the game looks at it
// (a model wound the wrong way disappears under culling); the scenes are written as pictures to
// look at (BRIKON_BINARY_DIR/model-preview/*.ppm).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

#include "assets/Model.h"
#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "content/ModelTestSupport.h"
#include "support/GLContext.h"

using namespace modeltest;

namespace {

const int W = 640, H = 480;

// The game's camera for a screen: at `eye`, looking at the origin, then a light over the
// viewer's shoulder.
void Look(OCamera& camera, f32 fov, f32 ex, f32 ey, f32 ez) {
  camera.fieldOfView = fov;
  camera.SetPosition(ex, ey, ez);
  camera.LookAt(0, 0, 0);
  camera.Apply(W, H);
  OLight light(1);
  light.localViewer = 1;
  light.SetColor(GL_AMBIENT, 0.35f, 0.35f, 0.35f, 1);
  light.SetPosition(6, 8, ez < 0 ? ez + 4 : ez - 4);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
}

void Clear() {
  glClearColor(0.08f, 0.09f, 0.12f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<u8> Snapshot() { return ReadBackBuffer(W, H); }

// Pixels that changed since `before`.
int ChangedPixels(const std::vector<u8>& before) {
  std::vector<u8> now = Snapshot();
  int n = 0;
  for (size_t i = 0; i < now.size(); i += 3)
    if (now[i] != before[i] || now[i + 1] != before[i + 1] || now[i + 2] != before[i + 2]) ++n;
  return n;
}

void Save(const std::string& name) { SavePicture("model-preview", name, W, H, Snapshot()); }

// Loads a model as its owner does: normal options first, then the load scale.
std::unique_ptr<OModel> Make(const std::string& name, f32 scale, bool flat = false,
                             bool invert = false, bool detail = false) {
  auto m = std::make_unique<OModel>();
  m->data->flatNormals = flat;
  m->data->invertNormals = invert;
  m->data->useDetail = detail;
  EXPECT_TRUE(m->Load(name)) << name;
  if (scale != 1.0f) m->ScaleUniform(scale);
  return m;
}

// Draws a model at a place and reports how many pixels it changed.
int Show(OModel& m, f32 x, f32 y, f32 z) {
  std::vector<u8> before = Snapshot();
  if (!m.data->listsBuilt) m.BuildLists();  // after the owner's scaling, as the game does
  m.SetPosition(x, y, z);
  m.Draw();
  return ChangedPixels(before);
}

class ModelsOnScreen : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
    // The built game's archive, with its first brick skin bound for the bricks.
    ASSERT_TRUE(LinkGameData());
    ASSERT_TRUE(GetResource().Open());
    ASSERT_TRUE(window.Open());
    skin.Load("Bricks.Tga");
  }

  ScratchDir dir;
  TestGLWindow window;
  OCamera camera{W, H, 60, 1, 1024};
  OTexture skin;
};

}  // namespace

TEST_F(ModelsOnScreen, PlayfieldFromTheGameCamera) {
  const int codes[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14};
  for (int episode = 0; episode < 6; ++episode) {
    SCOPED_TRACE(CAGES[episode]);
    Look(camera, 45, 0, 0, -14.4f);
    Clear();
    // The cage, lit from inside with back faces culled, fills the view from the bat.
    auto cage = Make(CAGES[episode], 1, true, true);
    cage->FitMax(32, 32, 192);
    cage->ScaleUniform(0.25f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    EXPECT_GT(Show(*cage, 0, 0, 0), W * H * 9 / 10);
    // Bricks of a 5-wide level (half width 16 / 6 / 2) in the far layers, front faces culled,
    // the skin bound; odd episodes use the low detail. Each damage stage must show.
    GetModelCache().detail = episode % 2 ? 1 : 2;
    glCullFace(GL_FRONT);
    skin.Bind();
    for (int i = 0; i < 13; ++i) {
      auto brick = Make("Block/" + std::to_string(codes[i]) + ".Zmod", 1, false, false, true);
      brick->ComputeBounds();
      brick->ScaleUniform((16.0f / 6.0f * 0.5f) / brick->localMax.x);
      brick->ShowObject(static_cast<u32>(episode) % brick->ObjectCount(), true);
      EXPECT_GT(Show(*brick, -5.3f + 2.67f * static_cast<f32>(i % 5), 4.0f - 2.67f * static_cast<f32>(i / 5), 40), 100)
          << codes[i];
    }
    glDisable(GL_CULL_FACE);
    // Balls near the field's middle, bonuses falling in front, the bat at z = 0.
    const char* balls[3] = {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod"};
    for (int b = 0; b < 3; ++b) {
      auto ball = Make(balls[b], 1.0f / 96.0f);
      EXPECT_GT(Show(*ball, -1.5f + 1.5f * static_cast<f32>(b), -2.5f, 6), 100) << balls[b];
    }
    for (size_t b = 0; b < BONUSES.size(); ++b) {
      auto bonus = Make(BONUSES[b], BONUS_SCALES[b]);
      if (b == 6) bonus->TurnTo(0, 1024, 0, OVector{0, 0, 1});  // the TNT stands up
      else bonus->RotateAxis(0.5f, OVector{1, 1, 0});
      EXPECT_GT(Show(*bonus, -5.4f + 1.2f * static_cast<f32>(b), -5, 3), 100) << BONUSES[b];
    }
    auto bat = Make("Player.Zmod", 0.0064285714f);
    bat->SetAlpha(1.0f);
    EXPECT_GT(Show(*bat, 0, -2.5f, 0), 2000);
    if (episode == 2) {
      auto over = Make("GameOver.Zmod", 0.1f);
      EXPECT_GT(Show(*over, 0, 0, 8), 5000);
    }
    Save("game-" + CAGES[episode].substr(0, 5));
  }
}
