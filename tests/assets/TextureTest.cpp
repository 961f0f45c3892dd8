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

// Writes the game's archive with these textures (names without "Data/Textures/") and indexes it.
void MakeArchive(const std::vector<std::pair<std::string, std::string>>& textures) {
  std::vector<OArchiveEntry> entries;
  for (const auto& [name, bytes] : textures)
    entries.push_back({"Data/Textures/" + name, {bytes.begin(), bytes.end()}});
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", entries));
  ASSERT_TRUE(GetResource().Open());
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
  std::vector<u8> out(static_cast<size_t>(LevelSize(t, 0) * LevelSize(t, 0, GL_TEXTURE_HEIGHT)) * channels);
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

}  // namespace

TEST_F(TextureGL, UploadReadsBackAsDecoded) {
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
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);  // put back after the upload
  EXPECT_EQ(alignment, 4);
}

TEST_F(TextureGL, QualityChoosesFiltersAndMipmaps) {
  MakeArchive({{"Low.Tga", Tga24(5, 3, 4)}, {"High.Tga", Tga24(5, 3, 5)}});
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

TEST_F(TextureGL, ReuploadOnANewContextGivesTheSamePicture) {
  const u8 red[3] = {220, 40, 30}, blue[3] = {20, 60, 210};
  MakeArchive({{"Stripes.Tga", Tga24(8, 8, 8)},
               {"Back.jpg", MakeJpeg(16, 16, 3, TwoBandsRgb(16, 16, red, blue))}});
  GetTextureCache().quality = 10;
  OTexture stripes, back;
  stripes.Load("Stripes.Tga");
  back.Load("Back.jpg");
  const std::vector<u8> before[2] = {ReadBack(stripes, GL_RGB), ReadBack(back, GL_RGB)};
  const GLuint old = stripes.image->glName;
  GetTextureCache().ReleaseAll();  // before the context goes
  EXPECT_FALSE(glIsTexture(old));
  EXPECT_TRUE(stripes.image->pixels.empty());  // read again from the archive below
  window.reset();
  window = std::make_unique<TestGLWindow>();
  ASSERT_TRUE(window->Open(10));
  glDisable(GL_TEXTURE_2D);
  GetTextureCache().ReuploadAll();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_NE(stripes.image->glName, back.image->glName);
  EXPECT_GT(LevelSize(back, 1), 0);  // mipmapped again at quality 10
  EXPECT_EQ(ReadBack(stripes, GL_RGB), before[0]);
  EXPECT_EQ(ReadBack(back, GL_RGB), before[1]);
  EXPECT_NE(before[1], std::vector<u8>(before[1].size(), 0)) << "a blank picture proves nothing";
  EXPECT_TRUE(stripes.image->pixels.empty());  // and let go again
}
