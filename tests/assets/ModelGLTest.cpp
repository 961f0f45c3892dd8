#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <functional>

#include "ModelTestSupport.h"
#include "assets/Model.h"
#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/ModelObject.h"
#include "assets/Texture.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "shell/Exception.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int W = 640, H = 480;

// The back buffer after drawing the model lit and textured from a fixed camera.
std::vector<u8> Render(OModel& model, const std::function<void()>& beforeDraw = {}) {
  OCamera camera(W, H, 60, 1, 1024);
  camera.SetPosition(0, -5, 2.5f);
  camera.LookAt(0, 0, 0);
  glClearColor(0.1f, 0.1f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  camera.Apply(W, H);
  OLight light(0);
  light.SetPosition(2, -4, 5);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_COLOR_MATERIAL);
  if (beforeDraw) beforeDraw();
  model.Draw();
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
  for (size_t i = 0; i + 2 < a.size(); i += 3) {
    clear[i] = a[0];
    clear[i + 1] = a[1];
    clear[i + 2] = a[2];
  }
  return DifferentPixels(a, clear);
}

// Channels differing by more than a rounding step.
int ClearlyDifferentPixels(const std::vector<u8>& a, const std::vector<u8>& b) {
  int n = 0;
  for (size_t i = 0; i + 2 < a.size(); i += 3) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(a[i + c] - b[i + c]) > 6) {
        ++n;
        break;
      }
    }
  }
  return n;
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
          Entry("Data/Models/Plain.Zmod", CubeBytes(0, 1)),
          Entry("Data/Models/Letters.Zmod", WriteZmod(letters)),
          Entry("Data/Models/Missing.Zmod", WriteZmod(missing)),
          Entry("Data/Models/Empty.Zmod", WriteZmod(OModelFile{})),
          Entry("Data/Textures/Check.Tga", CheckerTga(8, 8)),
          Entry("Data/Textures/B", CheckerTga(2, 2))};
}

class ModelGL : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
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
  EXPECT_EQ(model.data->listsBuilt, 1);
  for (OModelObject* o : model.data->objects) {
    EXPECT_EQ(o->hasList, 1u);
    EXPECT_TRUE(glIsList(o->list));
  }
  EXPECT_EQ(DifferentPixels(direct, Render(model)), 0);

  // One object hidden: fewer pixels, still the same on both paths.
  model.ShowObject(1, true);
  const std::vector<u8> listed = Render(model);
  EXPECT_LT(DrawnPixels(listed), DrawnPixels(direct));
  for (OModelObject* o : model.data->objects) o->DeleteList();
  EXPECT_EQ(DifferentPixels(listed, Render(model)), 0);

  // Scaling the shared geometry after the lists exist is drawn too.
  model.BuildLists();
  model.ShowObject(0, false);
  model.ShowObject(2, false);
  model.ScaleData(0.5f, 0.5f, 0.5f);
  EXPECT_LT(DrawnPixels(Render(model)), DrawnPixels(direct));
}

// A display re-creation: lists and textures released, the old context gone, a new one made,
// then rebuilt: the same picture.
TEST_F(ModelGL, ReleaseAllRebuildAllOnNewContext) {
  OModel model;
  model.Load("Cube.Zmod");
  model.RotateZ(0.3f);
  model.BuildLists();
  const std::vector<u8> before = Render(model);

  GetModelCache().ReleaseAll();
  GetTextureCache().ReleaseAll();
  for (OModelObject* o : model.data->objects) EXPECT_EQ(o->hasList, 0u);
  delete window;
  window = new TestGLWindow;
  ASSERT_TRUE(window->Open(3));
  GetTextureCache().ReuploadAll();
  GetModelCache().RebuildAll();
  for (OModelObject* o : model.data->objects) {
    EXPECT_EQ(o->hasList, 1u);
    EXPECT_TRUE(glIsList(o->list));
  }
  EXPECT_EQ(DifferentPixels(before, Render(model)), 0);
}

// A draw scale lights the model as its stretched shape should be: the normals it stretches are
// renormalised while the model is drawn (and only then).
TEST_F(ModelGL, DrawScaleRenormalises) {
  OModel model;
  model.Load("Plain.Zmod");  // smooth corner normals: the x stretch changes their length
  glDisable(GL_NORMALIZE);
  const std::vector<u8> unscaled = Render(model);
  model.SetScale(2, 1, 1);
  const std::vector<u8> drawScaled = Render(model);
  EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
  // The same stretch made outside the model, with renormalised normals.
  model.SetScale(1, 1, 1);
  const std::vector<u8> reference = Render(model, [] {
    glScalef(2, 1, 1);
    glEnable(GL_NORMALIZE);
  });
  glDisable(GL_NORMALIZE);
  EXPECT_GT(ClearlyDifferentPixels(unscaled, drawScaled), 5000);  // it is stretched
  EXPECT_LT(ClearlyDifferentPixels(drawScaled, reference), 100);
}

// The draw scale switches GL_NORMALIZE on for the model only; the translucent path draws unlit,
// blended and without depth writes, and puts the state back.
TEST_F(ModelGL, DrawStatePaths) {
  OModel model;
  model.Load("Letters.Zmod");  // untextured
  OCamera camera(W, H, 60, 1, 1024);
  camera.SetPosition(0, -5, 0);
  camera.LookAt(0, 0, 0);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  camera.Apply(W, H);
  glDisable(GL_TEXTURE_2D);

  model.SetScale(2, 1, 1);
  model.Draw();
  EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
  model.SetScale(1, 1, 1);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  model.SetAlpha(0.5f);
  model.SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LIGHTING);
  model.Draw();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  u8 rgb[3];
  glReadPixels(W / 2, H / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  // Front and back of the cube, white at alpha 0.5 over black, unlit: 1 - 0.5^2 = 0.75.
  EXPECT_NEAR(rgb[0], 191, 2);
  f32 depth = 0.0f;
  glReadPixels(W / 2, H / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f);  // no depth written

  glDisable(GL_LIGHTING);
  model.Draw();
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));  // left as found

  model.SetAlpha(0.0f);  // opaque: depth written, full white unlit
  model.Draw();
  glReadPixels(W / 2, H / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_LT(depth, 1.0f);
  glReadPixels(W / 2, H / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  EXPECT_EQ(rgb[0], 255);
}

// A detail change reloads the geometry and rebuilds the lists that existed; going back draws
// the first picture again.
TEST_F(ModelGL, ReloadDetailRebuildsLists) {
  OModelCache& cache = GetModelCache();
  cache.detail = 2;
  OModel brick;
  brick.data->useDetail = 1;
  brick.Load("Brick.Zmod");
  brick.ScaleUniform(0.5f);
  brick.BuildLists();
  const std::vector<u8> high = Render(brick);

  cache.detail = 1;
  ASSERT_TRUE(cache.ReloadDetail());
  for (OModelObject* o : brick.data->objects) EXPECT_EQ(o->hasList, 1u);
  const std::vector<u8> low = Render(brick);
  EXPECT_GT(DrawnPixels(low), DrawnPixels(high));  // the wider variant, at the same scale

  cache.detail = 2;
  ASSERT_TRUE(cache.ReloadDetail());
  EXPECT_EQ(DifferentPixels(high, Render(brick)), 0);
}

// Texture names: a one-letter first name means none, a one-letter second name is loaded; a
// missing texture fails the load; an empty model draws nothing.
TEST_F(ModelGL, TexturesAndEmptyModels) {
  OModel letters;
  letters.Load("Letters.Zmod");
  EXPECT_EQ(letters.data->texture, nullptr);
  ASSERT_NE(letters.data->texture2, nullptr);
  EXPECT_EQ(letters.data->texture2->name, "B");

  OModel missing;
  EXPECT_THROW(missing.Load("Missing.Zmod"), OFileNotFound);

  OModel empty;
  empty.Load("Empty.Zmod");
  empty.BuildLists();
  EXPECT_EQ(DrawnPixels(Render(empty)), 0);
}

// Leaving out what culling drops anyway changes no pixel: eyes in every region round the model
// (inside its bounds too, and on a face's plane), either face culled, a turned and a mirrored
// model; the wrong winding kept would blank the visible sides.
TEST_F(ModelGL, DrawFacingMatchesCulledDraw) {
  OModel model;
  model.Load("Cube.Zmod");
  model.BuildLists();
  auto render = [&](const OVector& eyeAt, GLenum culled, bool facing) {
    OCamera camera(W, H, 60, 0.05f, 1024);
    camera.SetPosition(eyeAt.x, eyeAt.y, eyeAt.z);
    camera.LookAt(0, 0, 0);
    glClearColor(0.1f, 0.1f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera.Apply(W, H);
    OLight light(0);
    light.SetPosition(2, -4, 5);
    light.Apply();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(culled);
    OVector eye;
    EXPECT_TRUE(EyeOfView(eye));
    if (facing) model.DrawFacing(eye, CulledKeepSign());
    else model.Draw();
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    std::vector<u8> pixels(W * H * 3);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  };
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  auto compare = [&](const char* what) {
    for (int region = 0; region < 27; ++region) {
      const int s[3] = {region / 9 - 1, (region / 3) % 3 - 1, region % 3 - 1};
      const OVector at(4.0f * s[0] + 0.37f, 4.0f * s[1] + 0.23f, 4.0f * s[2] + 0.11f);
      for (GLenum culled : {GL_BACK, GL_FRONT}) {
        const std::vector<u8> whole = render(at, culled, false);
        EXPECT_EQ(0, DifferentPixels(whole, render(at, culled, true)))
            << what << ", region " << region << (culled == GL_BACK ? ", back" : ", front") << " culled";
      }
    }
    // An eye on the plane of the +x face sees that face edge-on.
    const OVector onPlane = model.matrix.TransformPoint(OVector(1.0f, 0.4f, 5.0f));
    EXPECT_EQ(0, DifferentPixels(render(onPlane, GL_BACK, false), render(onPlane, GL_BACK, true))) << what;
  };
  compare("plain");
  model.RotateZ(0.5f);
  model.RotateX(0.3f);
  compare("turned");
  model.SetScale(-1.0f, 1.5f, 0.8f);
  compare("mirrored and stretched");
}
