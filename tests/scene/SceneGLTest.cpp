// The camera's view and the light reach OpenGL in every picture the grid and game tests check.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "scene/StillPicture.h"
#include "core/Random.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

// A picture of the frame written back over a cleared one comes back pixel for pixel, whatever
// state the caller left (blending, fog, a texture of its own, a texture matrix), and that state
// is as it was afterwards.
TEST(StillPicture, ComesBackExactlyWhateverTheState) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  // Noise over the whole 640x480 window: any texel off by one row or column shows.
  SeedRandom(3);
  std::vector<u8> noise(640 * 480 * 4);
  for (u8& v : noise) v = static_cast<u8>(Random());
  glDisable(GL_DEPTH_TEST);
  glRasterPos2f(-1, -1);
  glDrawPixels(640, 480, GL_RGBA, GL_UNSIGNED_BYTE, noise.data());
  auto frame = [] {
    std::vector<u8> out(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, out.data());
    return out;
  };
  const std::vector<u8> before = frame();

  OStillPicture picture;
  EXPECT_FALSE(picture.Capture(7));  // a first offer in a state takes nothing
  EXPECT_TRUE(picture.Capture(7));
  EXPECT_TRUE(picture.Matches(7));
  EXPECT_FALSE(picture.Matches(8));  // another generation

  GLuint own = 0;
  glGenTextures(1, &own);
  glBindTexture(GL_TEXTURE_2D, own);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glEnable(GL_FOG);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glColor4f(0.5f, 0.25f, 0.125f, 0.5f);
  glMatrixMode(GL_TEXTURE);
  glScalef(3, 3, 1);
  glMatrixMode(GL_MODELVIEW);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  picture.Restore();
  EXPECT_TRUE(before == frame());

  GLint bound = 0, env = 0, mode = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  f32 texture[16];
  glGetFloatv(GL_TEXTURE_MATRIX, texture);
  EXPECT_EQ(static_cast<GLuint>(bound), own);
  EXPECT_EQ(env, GL_MODULATE);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_FLOAT_EQ(texture[0], 3.0f);
  EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_FOG) && glIsEnabled(GL_DEPTH_TEST));
  f32 depth = 0;
  glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f);  // the colour picture leaves depth alone

  picture.Forget();
  EXPECT_FALSE(picture.Matches(7));
  glDeleteTextures(1, &own);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A picture taken in one way of combining texels and pixels is not offered for another: each
// change of texture environment, blending or alpha test stales it, and going back matches again.
TEST(StillPicture, BlendAndTextureEnvironmentArePartOfItsState) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glDisable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);
  OStillPicture picture;
  ASSERT_TRUE(picture.Capture(1, true));
  const f32 red[4] = {1, 0, 0, 1}, blue[4] = {0, 0, 1, 1};
  const struct {
    const char* what;
    void (*change)();
    void (*undo)();
  } cases[] = {
      {"blending on", [] { glEnable(GL_BLEND); }, [] { glDisable(GL_BLEND); }},
      {"texture replaces the colour", [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE); },
       [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); }},
      {"texturing off", [] { glDisable(GL_TEXTURE_2D); }, [] { glEnable(GL_TEXTURE_2D); }},
      {"alpha test on", [] { glEnable(GL_ALPHA_TEST); }, [] { glDisable(GL_ALPHA_TEST); }},
  };
  for (const auto& c : cases) {
    c.change();
    EXPECT_FALSE(picture.Matches(1)) << c.what;
    c.undo();
    EXPECT_TRUE(picture.Matches(1)) << c.what << " undone";
  }
  // While blending, its factors count; in the blend environment, its colour does.
  glEnable(GL_BLEND);
  EXPECT_FALSE(picture.Matches(1)) << "blending on";
  ASSERT_TRUE(picture.Capture(1, true));
  glBlendFunc(GL_ONE, GL_ONE);
  EXPECT_FALSE(picture.Matches(1)) << "other blend factors";
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_BLEND);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, red);
  EXPECT_FALSE(picture.Matches(1)) << "the blend environment";
  ASSERT_TRUE(picture.Capture(1, true));
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, blue);
  EXPECT_FALSE(picture.Matches(1)) << "another environment colour";
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

  // Frame after frame as an owner draws the part: ask, draw (which here leaves a colour and
  // blending behind), offer the picture. It is taken on the second frame and matches from the
  // third on: keyed by what was left behind, it would be read back every other frame instead.
  int taken = 0, matched = 0;
  for (int frame = 0; frame < 4; ++frame) {
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    if (picture.Matches(2)) {
      ++matched;
      continue;
    }
    glEnable(GL_BLEND);
    glColor4f(0.5f, 0.5f, 0.5f, 1);
    taken += picture.Capture(2) ? 1 : 0;
  }
  EXPECT_EQ(taken, 1);
  EXPECT_EQ(matched, 2);
  glDisable(GL_BLEND);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
