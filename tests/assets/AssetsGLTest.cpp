// Textures and models on a real OpenGL context: uploads, the caches, filters and mipmaps, failures,
// display lists and facing draws, and surviving a new rendering context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "ModelTestSupport.h"
#include "assets/ArchiveWriter.h"
#include "assets/ImageDecode.h"
#include "assets/Model.h"
#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/ModelObject.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "core/Exception.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

using namespace image_test;

namespace {

// Installs the game's archive with these textures (names without "Data/Textures/").
void MakeArchive(const std::vector<std::pair<std::string, std::string>>& textures) {
  std::vector<OArchiveEntry> entries;
  for (const auto& [name, bytes] : textures)
    entries.push_back({"Data/Textures/" + name, {bytes.begin(), bytes.end()}});
  ASSERT_TRUE(InstallArchive(entries));
}

// A level's width or height (0 for a level that does not exist).
GLint LevelSize(const OTexture& t, int level, GLenum which = GL_TEXTURE_WIDTH) {
  GLint v = 0;
  t.Bind();
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &v);
  return v;
}

std::vector<u8> ReadBack(const OTexture& t, GLenum format) {
  const int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
  const GLint pixels = LevelSize(t, 0) * LevelSize(t, 0, GL_TEXTURE_HEIGHT);
  std::vector<u8> out(static_cast<size_t>(pixels) * channels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
  return out;
}

std::string Tga24(u32 w, u32 h, int seed) { return MakeTga(2, w, h, 24, PixelBytes(w * h * 3, seed)); }

// A window whose configuration asks for texture quality 3.
class TextureGL : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
    window = std::make_unique<TestGLWindow>();
    ASSERT_TRUE(window->Open(3));
  }
  ScratchDir dir;
  std::unique_ptr<TestGLWindow> window;
};

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
  return ReadBackBuffer(W, H);
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
  const u8 red[3] = {220, 40, 30}, blue[3] = {20, 60, 210};
  const std::string jpeg = MakeJpeg(16, 16, 3, TwoBandsRgb(16, 16, red, blue));
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
          Entry("Data/Textures/Back.jpg", {jpeg.begin(), jpeg.end()}),
          Entry("Data/Textures/B", CheckerTga(2, 2))};
}

class ModelGL : public TextureGL {
protected:
  void SetUp() override {
    TextureGL::SetUp();
    ASSERT_TRUE(InstallArchive(CubeArchive()));
  }
};

}  // namespace

// Every pixel layout at an odd width: packed rows that OpenGL's default 4-byte row alignment would
// misread. (A JPEG is read back after a new context below.) The quality chooses filters and levels.
TEST_F(TextureGL, UploadReadsBackAsDecodedAndQualityChoosesFiltersAndMipmaps) {
  std::string rgb = Tga24(3, 2, 1), rgba = MakeTga(2, 5, 3, 32, PixelBytes(5 * 3 * 4, 2));
  std::string grey = MakeTga(3, 7, 3, 8, PixelBytes(7 * 3, 3));
  MakeArchive({{"Rgb.Tga", rgb}, {"Rgba.Tga", rgba}, {"Grey.Tga", grey}, {"Low.Tga", Tga24(5, 3, 4)},
               {"High.Tga", Tga24(5, 3, 5)}});
  struct Case {
    std::string name, file;
    GLenum format;
  };
  for (const Case& c : {Case{"Rgb.Tga", rgb, GL_RGB}, Case{"Rgba.Tga", rgba, GL_RGBA},
                        Case{"Grey.Tga", grey, GL_LUMINANCE}}) {
    OTexture t;
    ASSERT_TRUE(t.Load(c.name));
    ODecodedImage decoded;
    ASSERT_TRUE(DecodeImage(c.name, AsBytes(c.file), c.file.size(), decoded));
    EXPECT_EQ(ReadBack(t, c.format), decoded.pixels) << c.name;
  }
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);  // put back after the upload
  EXPECT_EQ(alignment, 4);

  OTextureCache& cache = GetTextureCache();
  ASSERT_EQ(cache.quality, 3u);  // taken from the configuration file
  // Quality 3 uploads the 5x3 picture as it is, one level; 10 rescales it to powers of two with a
  // chain of levels.
  OTexture low, high;
  low.Load("Low.Tga");
  cache.quality = 10;
  high.Load("High.Tga");
  EXPECT_EQ(LevelSize(low, 0), 5);
  EXPECT_EQ(LevelSize(high, 0) & (LevelSize(high, 0) - 1), 0);
  EXPECT_EQ(LevelSize(low, 1), 0);
  EXPECT_GT(LevelSize(high, 1), 0);
  // SetFilterAll reaches every texture's filters and makes no new levels.
  cache.SetFilterAll(0);
  GLint filter = 0;
  high.Bind();
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST);
  EXPECT_EQ(LevelSize(low, 1), 0);
}

// Handles share one cached image until the last lets go of it; a file that cannot load raises
// OFileNotFound and leaves nothing half-made (one of each kind of break: the decoders' tables
// hold the rest).
TEST_F(TextureGL, HandlesShareOneCachedImageAndFailuresLeaveNothing) {
  std::string jpeg = MakeJpeg(8, 8, 3, std::vector<u8>(8 * 8 * 3, 128));
  MakeArchive({{"Ball.Tga", Tga24(4, 4, 6)}, {"Menu.JPG", jpeg},
               {"Short.Tga", Tga24(8, 8, 7).substr(0, 100)},
               {"Broken.jpg", jpeg.substr(0, jpeg.size() / 2)}});
  OTextureCache& cache = GetTextureCache();
  auto first = std::make_unique<OTexture>();
  auto second = std::make_unique<OTexture>();
  ASSERT_TRUE(first->Load("Ball.Tga"));
  ASSERT_TRUE(second->Load("Ball.Tga"));
  ASSERT_EQ(first->image, second->image);
  EXPECT_EQ(cache.images.size(), 1u);
  GLuint name = first->image->glName;
  first.reset();
  EXPECT_TRUE(glIsTexture(name)) << "still one user";
  second.reset();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_EQ(cache.Find("Ball.Tga"), nullptr);

  for (const char* file : {"Missing.Tga", "Menu.JPG", "Short.Tga", "Broken.jpg"}) {
    OTexture t;
    EXPECT_THROW(t.Load(file), OFileNotFound) << file;
    EXPECT_EQ(t.image, nullptr) << file;
    EXPECT_TRUE(cache.images.empty()) << file;
  }
}

// After a new context every texture is read again and uploaded to the same picture (mipmapped at
// the new quality), and the models' lists rebuilt to the same picture; so after a detail change.
TEST_F(ModelGL, NewContextAndDetailChangeGiveTheSamePictures) {
  GetTextureCache().quality = 10;
  OTexture check, back;
  check.Load("Check.Tga");
  back.Load("Back.jpg");
  const std::vector<u8> before[2] = {ReadBack(check, GL_RGB), ReadBack(back, GL_RGB)};
  OModelCache& cache = GetModelCache();
  cache.detail = 2;
  OModel brick;
  brick.data->useDetail = 1;
  brick.Load("Brick.Zmod");
  brick.ScaleUniform(0.5f);
  brick.RotateZ(0.3f);
  brick.BuildLists();
  const std::vector<u8> high = Render(brick);

  const GLuint old = check.image->glName;
  cache.ReleaseAll();
  GetTextureCache().ReleaseAll();  // before the context goes
  EXPECT_FALSE(glIsTexture(old));
  EXPECT_TRUE(check.image->pixels.empty());  // read again from the archive below
  window.reset();
  window = std::make_unique<TestGLWindow>();
  ASSERT_TRUE(window->Open(10));
  glDisable(GL_TEXTURE_2D);
  GetTextureCache().ReuploadAll();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  cache.RebuildAll();
  EXPECT_NE(check.image->glName, back.image->glName);
  EXPECT_GT(LevelSize(back, 1), 0);
  EXPECT_EQ(ReadBack(check, GL_RGB), before[0]);
  EXPECT_EQ(ReadBack(back, GL_RGB), before[1]);
  EXPECT_NE(before[1], std::vector<u8>(before[1].size(), 0)) << "a blank picture proves nothing";
  EXPECT_TRUE(check.image->pixels.empty()) << "the pixels let go again";
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

// The display list draws exactly what the direct path draws, object by object. Leaving out what
// culling drops changes no pixel: eyes in every region round the model (inside its bounds and on a
// face's plane too), either face culled, turned and mirrored models.
TEST_F(ModelGL, DisplayListsAndDrawFacingMatchTheDirectCulledDraw) {
  OModel cube, unlisted, model;
  cube.Load("Cube.Zmod");
  ASSERT_NE(cube.data->texture, nullptr);
  cube.RotateZ(0.5f);
  const std::vector<u8> direct = Render(cube);
  EXPECT_GT(DrawnPixels(direct), 5000);  // the cube is on screen
  cube.BuildLists();
  EXPECT_EQ(DifferentPixels(direct, Render(cube)), 0);
  // One object hidden: fewer pixels, still the same on both paths.
  cube.ShowObject(1, true);
  const std::vector<u8> listed = Render(cube);
  EXPECT_LT(DrawnPixels(listed), DrawnPixels(direct));
  for (OModelObject* o : cube.data->objects) o->DeleteList();
  EXPECT_EQ(DifferentPixels(listed, Render(cube)), 0);

  // Without display lists of its own, a scaled model draws its new vertices facing, not those the
  // facing lists were made from.
  unlisted.Load("Letters.Zmod");
  const OVector eye(3.37f, -4.23f, 2.11f);
  for (f32 scale : {1.0f, 1.5f}) {
    unlisted.ScaleUniform(scale);
    const std::vector<u8> whole = Render(unlisted, eye, GL_BACK);
    EXPECT_EQ(0, DifferentPixels(whole, Render(unlisted, eye, GL_BACK, true))) << "scale " << scale;
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
