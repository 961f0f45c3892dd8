#include <gtest/gtest.h>

#include <GL/gl.h>

#include "ModelTestSupport.h"
#include "assets/Model.h"
#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/ModelObject.h"
#include "assets/Texture.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "core/Exception.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int W = 640, H = 480;

// The back buffer after drawing the model lit and textured from a camera at `eye` (culling the
// `culled` faces, none if 0); `facing` draws through DrawFacing instead of Draw.
std::vector<u8> Render(OModel& model, const OVector& eye = OVector(0, -5, 2.5f), GLenum culled = 0,
                       bool facing = false) {
  OCamera camera(W, H, 60, culled ? 0.05f : 1.0f, 1024);  // culled views put eyes inside the bounds
  camera.SetPosition(eye.x, eye.y, eye.z);
  camera.LookAt(0, 0, 0);
  glClearColor(0.1f, 0.1f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  camera.Apply(W, H);
  OLight light(0);
  light.SetPosition(2, -4, 5);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_COLOR_MATERIAL);
  if (culled) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(culled);
  }
  OVector seen;
  if (facing) {
    EXPECT_TRUE(EyeOfView(seen));
    model.DrawFacing(seen, CulledKeepSign());
  } else {
    model.Draw();
  }
  glDisable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFinish();
  std::vector<u8> pixels(W * H * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

int DifferentPixels(const std::vector<u8>& a, const std::vector<u8>& b) {
  int n = 0;
  for (size_t i = 0; i + 2 < a.size(); i += 3) {
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
  }
  return n;
}

// Pixels that are not the clear colour.
int DrawnPixels(const std::vector<u8>& a) {
  std::vector<u8> clear(a.size());
  for (size_t i = 0; i < a.size(); ++i) clear[i] = a[i % 3];
  return DifferentPixels(a, clear);
}

std::vector<OArchiveEntry> CubeArchive() {
  OModelFile cube = CubeFile(0, 3);
  cube.texture = "Check.Tga";
  OModelFile letters = CubeFile(0, 1);
  letters.texture = "A";   // one letter: no texture
  letters.texture2 = "B";  // one letter is enough for the second
  OModelFile missing = CubeFile(0, 1);
  missing.texture = "Nowhere.Tga";
  OModelFile wide = CubeFile(0, 3);
  for (OModelFileVertex& v : wide.vertices) v.x *= 1.5f;
  return {Entry("Data/Models/Cube.Zmod", WriteZmod(cube)),
          Entry("Data/Models/Hi/Brick.Zmod", CubeBytes(0, 3)),
          Entry("Data/Models/Low/Brick.Zmod", WriteZmod(wide)),
          Entry("Data/Models/Letters.Zmod", WriteZmod(letters)),
          Entry("Data/Models/Missing.Zmod", WriteZmod(missing)),
          Entry("Data/Models/Empty.Zmod", WriteZmod(OModelFile{})),
          Entry("Data/Textures/Check.Tga", CheckerTga(8, 8)),
          Entry("Data/Textures/B", CheckerTga(2, 2))};
}

class ModelGL : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
    window = new TestGLWindow;
    ASSERT_TRUE(window->Open(3));
    ASSERT_TRUE(InstallArchive(CubeArchive()));
  }
  void TearDown() override { delete window; }

  ScratchDir dir;
  TestGLWindow* window = nullptr;
};

}  // namespace

// The display list draws exactly what the direct path draws, object by object.
TEST_F(ModelGL, DisplayListMatchesDirect) {
  OModel model;
  model.Load("Cube.Zmod");
  ASSERT_NE(model.data->texture, nullptr);
  model.RotateZ(0.5f);
  const std::vector<u8> direct = Render(model);
  EXPECT_GT(DrawnPixels(direct), 5000);  // the cube is on screen
  model.BuildLists();
  EXPECT_EQ(DifferentPixels(direct, Render(model)), 0);

  // One object hidden: fewer pixels, still the same on both paths.
  model.ShowObject(1, true);
  const std::vector<u8> listed = Render(model);
  EXPECT_LT(DrawnPixels(listed), DrawnPixels(direct));
  for (OModelObject* o : model.data->objects) o->DeleteList();
  EXPECT_EQ(DifferentPixels(listed, Render(model)), 0);
}

// Lists are rebuilt after a new context and after a detail change, to the picture the geometry
// gives.
TEST_F(ModelGL, ListsRebuiltAfterNewContextAndDetailChange) {
  OModelCache& cache = GetModelCache();
  cache.detail = 2;
  OModel brick;
  brick.data->useDetail = 1;
  brick.Load("Brick.Zmod");
  brick.ScaleUniform(0.5f);
  brick.RotateZ(0.3f);
  brick.BuildLists();
  const std::vector<u8> high = Render(brick);

  cache.ReleaseAll();
  GetTextureCache().ReleaseAll();
  delete window;
  window = new TestGLWindow;
  ASSERT_TRUE(window->Open(3));
  GetTextureCache().ReuploadAll();
  cache.RebuildAll();
  for (OModelObject* o : brick.data->objects) EXPECT_TRUE(o->hasList && glIsList(o->list));
  EXPECT_EQ(DifferentPixels(high, Render(brick)), 0);

  cache.detail = 1;
  ASSERT_TRUE(cache.ReloadDetail());
  EXPECT_GT(DrawnPixels(Render(brick)), DrawnPixels(high));  // the wider variant, same scale
  cache.detail = 2;
  ASSERT_TRUE(cache.ReloadDetail());
  EXPECT_EQ(DifferentPixels(high, Render(brick)), 0);
}

// A one-letter first texture name means none, a one-letter second one is loaded; a missing texture
// fails the load; an empty model draws nothing. A draw puts back the GL state of its scale
// (GL_NORMALIZE) and of the translucent path (unlit, blended, no depth writes).
TEST_F(ModelGL, TexturesEmptyModelsAndDrawState) {
  OModel model, missing, empty;
  model.Load("Letters.Zmod");
  EXPECT_EQ(model.data->texture, nullptr);
  ASSERT_NE(model.data->texture2, nullptr);
  EXPECT_EQ(model.data->texture2->name, "B");
  EXPECT_THROW(missing.Load("Missing.Zmod"), OFileNotFound);
  empty.Load("Empty.Zmod");
  empty.BuildLists();
  EXPECT_EQ(DrawnPixels(Render(empty)), 0);

  Render(model, OVector(0, -5, 0));
  model.SetScale(2, 1, 1);
  model.Draw();
  EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
  model.SetScale(1, 1, 1);
  model.SetAlpha(0.5f);
  model.SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LIGHTING);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  model.Draw();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  f32 depth = 0.0f;  // ...but none were made while translucent
  glReadPixels(W / 2, H / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f);
}

// Leaving out what culling drops changes no pixel: eyes in every region round the model (inside its
// bounds and on a face's plane too), either face culled, turned and mirrored models.
TEST_F(ModelGL, DrawFacingMatchesCulledDraw) {
  // Without display lists of its own, a scaled model draws its new vertices facing, not those the
  // facing lists were made from.
  OModel unlisted, model;
  unlisted.Load("Letters.Zmod");
  const OVector eye(3.37f, -4.23f, 2.11f);
  for (f32 scale : {1.0f, 1.5f}) {
    unlisted.ScaleUniform(scale);
    EXPECT_EQ(0, DifferentPixels(Render(unlisted, eye, GL_BACK), Render(unlisted, eye, GL_BACK, true)))
        << "scale " << scale;
  }
  model.Load("Cube.Zmod");
  model.BuildLists();
  auto compare = [&](const char* what) {
    for (int region = 0; region < 27; ++region) {
      const int s[3] = {region / 9 - 1, (region / 3) % 3 - 1, region % 3 - 1};
      const OVector at(4.0f * s[0] + 0.37f, 4.0f * s[1] + 0.23f, 4.0f * s[2] + 0.11f);
      for (GLenum culled : {GL_BACK, GL_FRONT}) {
        const std::vector<u8> whole = Render(model, at, culled);
        EXPECT_EQ(0, DifferentPixels(whole, Render(model, at, culled, true)))
            << what << ", region " << region << (culled == GL_BACK ? ", back" : ", front") << " culled";
      }
    }
    // An eye on the plane of the +x face sees that face edge-on.
    const OVector onPlane = model.matrix.TransformPoint(OVector(1.0f, 0.4f, 5.0f));
    EXPECT_EQ(0, DifferentPixels(Render(model, onPlane, GL_BACK),
                                 Render(model, onPlane, GL_BACK, true))) << what;
  };
  compare("plain");
  model.RotateZ(0.5f);
  model.RotateX(0.3f);
  compare("turned");
  model.SetScale(-1.0f, 1.5f, 0.8f);
  compare("mirrored and stretched");
  // The shared vertices grow past the eyes: the regions are those of the new bounds.
  model.ScaleUniform(5.0f);
  compare("geometry scaled");
}
