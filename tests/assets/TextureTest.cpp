// Textures on a real OpenGL context: what is uploaded, how it is shared through the cache, the
// quality setting's filters and mipmaps, failures, and surviving a new rendering context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "assets/ArchiveWriter.h"
#include "assets/ImageDecode.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "core/Exception.h"
#include "support/GLContext.h"

using namespace image_test;

namespace {

std::vector<unsigned char> Vec(const std::string& s) { return {s.begin(), s.end()}; }

// Writes the game's archive with these textures (names without "Data/Textures/") and indexes it.
void MakeArchive(const std::vector<std::pair<std::string, std::string>>& textures) {
  std::vector<OArchiveEntry> entries;
  for (const auto& [name, bytes] : textures) entries.push_back({"Data/Textures/" + name, Vec(bytes)});
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", entries));
  ASSERT_TRUE(GetResource().Open());
}

std::vector<u8> ReadBack(const OTexture& t, GLenum format, int level = 0) {
  GLint w = 0, h = 0;
  t.Bind();
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
  int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
  std::vector<u8> out(static_cast<size_t>(w) * h * channels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
  return out;
}

GLint LevelWidth(const OTexture& t, int level) {
  GLint w = 0;
  t.Bind();
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
  return w;
}

GLint Param(const OTexture& t, GLenum name) {
  GLint v = 0;
  t.Bind();
  glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
  return v;
}

bool IsPowerOfTwo(GLint v) { return v > 0 && (v & (v - 1)) == 0; }

// Draws the texture over the whole 64x64 corner of the window and reads the picture back.
std::vector<u8> DrawTextured(const OTexture& t) {
  glViewport(0, 0, 64, 64);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  t.Bind();
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0); glVertex2f(-1, -1);
  glTexCoord2f(1, 0); glVertex2f(1, -1);
  glTexCoord2f(1, 1); glVertex2f(1, 1);
  glTexCoord2f(0, 1); glVertex2f(-1, 1);
  glEnd();
  glFinish();
  std::vector<u8> pixels(64 * 64 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 64, 64, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

std::string Tga24(u32 w, u32 h, int seed) { return MakeTga(2, w, h, 24, PixelBytes(w * h * 3, seed)); }

}  // namespace

TEST(Texture, UploadReadsBackAsDecoded) {
  ScratchDir dir;
  TestGLWindow window;
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ASSERT_TRUE(window.Open(3));
  const u8 red[3] = {200, 30, 40}, blue[3] = {10, 50, 220};
  std::string jpeg = MakeJpeg(12, 6, 3, TwoBandsRgb(12, 6, red, blue));
  // Odd widths: packed rows that OpenGL's default 4-byte row alignment would misread.
  std::string rgb = Tga24(3, 2, 1), rgba = MakeTga(2, 5, 3, 32, PixelBytes(5 * 3 * 4, 2));
  std::string grey = MakeTga(3, 7, 3, 8, PixelBytes(7 * 3, 3));
  MakeArchive({{"Rgb.Tga", rgb}, {"Rgba.Tga", rgba}, {"Grey.Tga", grey}, {"Menu.jpg", jpeg}});
  struct Case {
    std::string name, file;
    GLenum format;
  };
  for (const Case& c : {Case{"Rgb.Tga", rgb, GL_RGB}, Case{"Rgba.Tga", rgba, GL_RGBA},
                        Case{"Grey.Tga", grey, GL_LUMINANCE}, Case{"Menu.jpg", jpeg, GL_RGB}}) {
    OTexture t;
    ASSERT_TRUE(t.Load(c.name));
    ODecodedImage decoded;
    ASSERT_TRUE(DecodeImage(c.name, AsBytes(c.file), c.file.size(), decoded));
    EXPECT_EQ(ReadBack(t, c.format), decoded.pixels) << c.name;
  }
  GLint alignment = 0;  // put back after the upload
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);
}

TEST(Texture, QualityChoosesFiltersAndMipmaps) {
  ScratchDir dir;
  TestGLWindow window;
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ASSERT_TRUE(window.Open(3));
  MakeArchive({{"Low.Tga", Tga24(5, 3, 4)}, {"High.Tga", Tga24(5, 3, 5)}});
  OTextureCache& cache = GetTextureCache();
  ASSERT_EQ(cache.quality, 3u);  // taken from the configuration file
  // Quality 3 uploads the 5x3 picture as it is, one level; 10 has the mipmap builder rescale it to
  // powers of two with a chain of levels.
  OTexture low, high;
  low.Load("Low.Tga");
  cache.quality = 10;
  high.Load("High.Tga");
  EXPECT_EQ(LevelWidth(low, 0), 5);
  EXPECT_TRUE(IsPowerOfTwo(LevelWidth(high, 0)));
  EXPECT_EQ(LevelWidth(low, 1), 0);
  EXPECT_GT(LevelWidth(high, 1), 0);
  // SetFilterAll reaches every texture's filters and makes no new levels.
  cache.SetFilterAll(0);
  EXPECT_EQ(Param(high, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  EXPECT_EQ(LevelWidth(low, 1), 0);
}

TEST(Texture, HandlesShareOneCachedImage) {
  ScratchDir dir;
  TestGLWindow window;
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ASSERT_TRUE(window.Open());
  MakeArchive({{"Ball.Tga", Tga24(4, 4, 6)}});
  OTextureCache& cache = GetTextureCache();

  auto first = std::make_unique<OTexture>();
  auto second = std::make_unique<OTexture>();
  ASSERT_TRUE(first->Load("Ball.Tga"));
  ASSERT_TRUE(second->Load("Ball.Tga"));
  ASSERT_EQ(first->image, second->image);  // one image, one cache entry
  EXPECT_EQ(cache.images.size(), 1u);
  GLuint name = first->image->glName;
  first.reset();
  EXPECT_TRUE(glIsTexture(name));  // still one user
  // The last release deletes the texture object and the cache entry.
  second.reset();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_EQ(cache.Find("Ball.Tga"), nullptr);
}

TEST(Texture, FilesThatCannotLoadRaiseFileNotFound) {
  ScratchDir dir;
  TestGLWindow window;
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ASSERT_TRUE(window.Open());
  // The decoders' own tables hold the ways a file can be broken; one of each kind here.
  std::string jpeg = MakeJpeg(8, 8, 3, std::vector<u8>(8 * 8 * 3, 128));
  MakeArchive({{"Menu.JPG", jpeg}, {"Short.Tga", Tga24(8, 8, 7).substr(0, 100)},
               {"Broken.jpg", jpeg.substr(0, jpeg.size() / 2)}});
  for (const char* name : {"Missing.Tga", "Menu.JPG", "Short.Tga", "Broken.jpg"}) {
    OTexture t;
    try {
      t.Load(name);
      ADD_FAILURE() << name << " loaded";
    } catch (const OFileNotFound&) {
    }
    // Nothing half-made is left in the handle or the cache.
    EXPECT_EQ(t.image, nullptr) << name;
    EXPECT_TRUE(GetTextureCache().images.empty()) << name;
  }
}

TEST(Texture, ReuploadOnANewContextDrawsTheSamePicture) {
  ScratchDir dir;
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  const u8 red[3] = {220, 40, 30}, blue[3] = {20, 60, 210};
  MakeArchive({{"Stripes.Tga", Tga24(8, 8, 8)},
               {"Back.jpg", MakeJpeg(16, 16, 3, TwoBandsRgb(16, 16, red, blue))}});
  OTexture stripes, back;
  std::vector<u8> before[2];
  GLuint names[2];
  {
    auto window = std::make_unique<TestGLWindow>();
    ASSERT_TRUE(window->Open(10));
    stripes.Load("Stripes.Tga");
    back.Load("Back.jpg");
    before[0] = DrawTextured(stripes);
    before[1] = DrawTextured(back);
    names[0] = stripes.image->glName;
    names[1] = back.image->glName;
    // The old context's objects go before the context does.
    GetTextureCache().ReleaseAll();
    EXPECT_FALSE(glIsTexture(names[0]));
    EXPECT_TRUE(stripes.image->pixels.empty());  // read again from the archive below
  }
  auto window = std::make_unique<TestGLWindow>();
  ASSERT_TRUE(window->Open(10));
  glDisable(GL_TEXTURE_2D);
  GetTextureCache().ReuploadAll();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  // New texture objects, the same picture.
  EXPECT_NE(stripes.image->glName, back.image->glName);
  EXPECT_GT(LevelWidth(back, 1), 0);  // mipmapped again at quality 10
  std::vector<u8> after0 = DrawTextured(stripes), after1 = DrawTextured(back);
  EXPECT_EQ(after0, before[0]);
  EXPECT_EQ(after1, before[1]);
  // The picture is not blank: the comparison means something.
  EXPECT_NE(after1, std::vector<u8>(after1.size(), 0));
  EXPECT_TRUE(stripes.image->pixels.empty());  // and let go again
}
