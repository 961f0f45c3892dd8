// The slowed bat's trail as copies of one picture: what the picture holds, the window it leaves
// behind, and how close its copies come to the copies drawn one by one (the game's own bat with
// its trail is kept as trail-shots/trail.png in the build folder, to be looked at).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "assets/Resource.h"
#include "objects/Player.h"
#include "objects/TrailPicture.h"
#include "scene/PictureState.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

TEST(TrailPicture, ComposeLayersFromBlackAndWhite) {
  const std::vector<u8> black = {
      0,   0,   0,   0,  // nothing there: white came back whole
      40,  90,  200, 0,  // an opaque layer: the same over both
      20,  45,  100, 0,  // half covered
      90,  90,  90,  0,  // rounding made the colour outgrow the cover
      10,  10,  10,  0,  // the channels' readings of the kept share disagree by rounding
  };
  const std::vector<u8> white = {
      255, 255, 255, 0,  //
      40,  90,  200, 0,  //
      148, 173, 228, 0,  //
      255, 255, 255, 0,  //
      138, 139, 140, 0,  //
  };
  std::vector<u8> out(black.size());
  ComposeLayers(black.data(), white.data(), 5, out.data());
  const std::vector<u8> expected = {
      0,   0,  0,   0,    //
      40,  90, 200, 255,  //
      20,  45, 100, 127,  //
      90,  90, 90,  90,   // 165 kept: the colour clipped to the 90 covered
      10,  10, 10,  126,  // 128, 129, 130 kept: 129 on average
  };
  EXPECT_EQ(out, expected);
}

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

class TrailPictureGL : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
    ASSERT_TRUE(window.Open(4));
    glViewport(0, 0, WIDTH, HEIGHT);
    // Window pixels as units, depth -1..1 as it is.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, WIDTH, 0.0, HEIGHT, 1.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
  }

  // A background of every colour, different in every pixel.
  void Background() const {
    std::vector<u8> rgb(WIDTH * HEIGHT * 3);
    for (int y = 0; y < HEIGHT; ++y) {
      for (int x = 0; x < WIDTH; ++x) {
        u8* p = &rgb[(y * WIDTH + x) * 3];
        p[0] = static_cast<u8>(x * 255 / WIDTH);
        p[1] = static_cast<u8>(y * 255 / HEIGHT);
        p[2] = static_cast<u8>((x * 7 + y * 13) & 255);
      }
    }
    // Whatever the view and state: identity matrices put the raster position on the corner.
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    PushIdentityViews();
    glRasterPos2f(-1.0f, -1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    PopIdentityViews();
    glPopAttrib();
  }

  // One copy of a small translucent thing: a red bar blended over by a blue square, both at
  // `alpha`, the square only partly over the bar. `drawn` counts the calls.
  void Copy(int dx, int dy, f32 alpha) {
    ++drawn;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.9f, 0.2f, 0.1f, alpha);
    glRecti(100 + dx, 100 + dy, 160 + dx, 112 + dy);
    glColor4f(0.1f, 0.6f, 0.9f, alpha * 0.8f);
    glRecti(140 + dx, 90 + dy, 180 + dx, 130 + dy);
    glDisable(GL_BLEND);
  }

  // The largest difference of any channel of any pixel.
  static int Largest(const std::vector<u8>& a, const std::vector<u8>& b) {
    int most = 0;
    for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(a[i] - b[i]));
    return most;
  }

  ScratchDir dir;
  TestGLWindow window;
  int drawn = 0;
};

}  // namespace

TEST_F(TrailPictureGL, CopiesOfOnePictureStandForTheCopiesDrawnOneByOne) {
  const OPixelRect rect{99, 89, 82, 42};  // the thing and a pixel round it
  const f32 first = 1.0f / 3.0f;
  // Offsets and alphas as a moving bat's trail has them: the newest strongest.
  const std::vector<std::pair<std::pair<int, int>, f32>> trail = {
      {{-4, 2}, 1.0f / 3.0f}, {{-9, 3}, 1.0f / 4.0f}, {{-15, 5}, 1.0f / 5.0f},
      {{-22, 6}, 1.0f / 6.0f}, {{0, 0}, 1.0f / 7.0f}};

  Background();
  const std::vector<u8> background = ReadBackBuffer(WIDTH, HEIGHT);
  for (const auto& [offset, alpha] : trail) Copy(offset.first, offset.second, alpha);
  const std::vector<u8> oneByOne = ReadBackBuffer(WIDTH, HEIGHT);

  Background();
  OTrailPicture picture;
  EXPECT_FALSE(picture.Holds({1}));
  glBlendFunc(GL_ONE, GL_ZERO);
  glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
  ASSERT_TRUE(picture.Take(rect, {1}, [&] { Copy(0, 0, first); }));
  EXPECT_EQ(drawn, 7) << "the copy drawn twice, over black and over white";
  EXPECT_TRUE(ReadBackBuffer(WIDTH, HEIGHT) == background) << "the rectangle put back";
  // The caller's state as it was.
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_ONE);
  EXPECT_EQ(dst, GL_ZERO);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[2], 0.75f);
  EXPECT_TRUE(picture.Holds({1}));
  EXPECT_FALSE(picture.Holds({2})) << "taken under another key";

  std::vector<OTrailCopy> copies;
  for (const auto& [offset, alpha] : trail) {
    copies.push_back({offset.first, offset.second, alpha / first, 0.0f});
  }
  Background();
  Copy(copies[0].dx, copies[0].dy, first);
  const std::vector<u8> oneModel = ReadBackBuffer(WIDTH, HEIGHT);
  Background();
  picture.Draw({copies[0]});
  EXPECT_LE(Largest(ReadBackBuffer(WIDTH, HEIGHT), oneModel), 2)
      << "a copy as strong as the picture";
  Background();
  picture.Draw(copies);
  // Weaker copies are the picture weighed down: where the two layers overlap, a step of colour
  // for every few hundredths of alpha between the copy's and the picture's.
  EXPECT_LE(Largest(ReadBackBuffer(WIDTH, HEIGHT), oneByOne), 8) << "the whole trail";
  GLint depthWrites = 0;
  glGetIntegerv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));

  // A rectangle reaching past the viewport's edge: nothing drawn, the picture forgotten.
  Background();
  drawn = 0;
  EXPECT_FALSE(picture.Take({WIDTH - 40, 10, 41, 20}, {1}, [&] { Copy(0, 0, first); }));
  EXPECT_FALSE(picture.Take({-1, 10, 20, 20}, {1}, [&] { Copy(0, 0, first); }));
  EXPECT_EQ(drawn, 0);
  EXPECT_FALSE(picture.Holds({1}));
  EXPECT_TRUE(ReadBackBuffer(WIDTH, HEIGHT) == background);
  picture.Draw(copies);
  EXPECT_TRUE(ReadBackBuffer(WIDTH, HEIGHT) == background) << "no picture, no copies";
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

namespace {
double Psnr(const std::vector<u8>& a, const std::vector<u8>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}
}  // namespace

// The game's own bat, slowed and moving: its trail through the picture against the copies drawn
// as models, on the first frame and on one that uses the picture of the frame before.
TEST_F(TrailPictureGL, TheSlowedBatsTrailLooksAsItsModelCopies) {
  ASSERT_TRUE(LinkGameData());
  ASSERT_TRUE(GetResource().Open());
  OPlayer bat(nullptr);
  ASSERT_TRUE(bat.Load("Player.Zmod"));
  bat.SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  bat.ScaleUniform(0.0064285714f);  // as the game sets its bat up
  bat.BuildLists();
  bat.alpha = 1.0f;
  bat.UpdateBounds();
  const f32 width = bat.extent.x;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(WIDTH) / HEIGHT, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(width * 0.3, width * 0.4, -width * 3.0, 0, 0, 0, 0, 1, 0);  // behind, a little aside
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);

  auto frame = [&](const OVector& here, bool asModels) {
    glClear(GL_DEPTH_BUFFER_BIT);
    Background();
    bat.SetPosition(here);
    bat.UpdateBounds();
    bat.history.clear();
    for (int k = 1; k <= 8; ++k) {
      bat.history.push_back(here + OVector(-0.04f * k, 0.015f * k, 0.0f) * width);
    }
    if (!asModels) {
      bat.slowTime = 1000;
      bat.Draw();
      bat.slowTime = -1;
      return ReadBackBuffer(WIDTH, HEIGHT);
    }
    OModel plain(bat);
    plain.alpha = 1.0f;
    i32 k = 3;
    for (const OVector& p : bat.history) {
      plain.SetPosition(p);
      plain.alpha = 1.0f / static_cast<f32>(k++);
      plain.Draw();
    }
    plain.SetPosition(here);
    plain.alpha = 1.0f;
    plain.Draw();
    return ReadBackBuffer(WIDTH, HEIGHT);
  };
  const OVector here(0.0f, 0.0f, 0.0f), moved = OVector(0.01f, 0.005f, 0.0f) * width;
  const std::vector<u8> taken = frame(here, false);
  EXPECT_GE(Psnr(taken, frame(here, true)), 40.0) << "the picture taken";
  const std::vector<u8> reused = frame(moved, false);
  EXPECT_GE(Psnr(reused, frame(moved, true)), 40.0) << "the picture of the frame before";
  SavePicture("trail-shots", "trail", WIDTH, HEIGHT, reused);
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}
