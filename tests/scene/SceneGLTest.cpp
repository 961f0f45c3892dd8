// What keys a still picture of the frame: the pixels themselves coming back exactly are the
// grid's pictures' test.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "scene/StillPicture.h"
#include "support/GLContext.h"

// A picture taken in one way of combining texels and pixels is not offered for another: each
// change of texture environment, blending or alpha test stales it, and going back matches again.
TEST(StillPicture, BlendAndTextureEnvironmentArePartOfItsState) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  static const f32 red[4] = {1, 0, 0, 1}, blue[4] = {0, 0, 1, 1};
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, red);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);
  OStillPicture picture;
  ASSERT_TRUE(picture.Capture(1, true));
  EXPECT_FALSE(picture.Matches(2)) << "another generation";
  // While blending, its factors count; in the blend environment, its colour does.
  const struct {
    const char* what;
    void (*change)();
    void (*undo)();
  } cases[] = {
      {"blending off", [] { glDisable(GL_BLEND); }, [] { glEnable(GL_BLEND); }},
      {"other blend factors", [] { glBlendFunc(GL_ONE, GL_ONE); },
       [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }},
      {"texture modulates the colour", [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); },
       [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND); }},
      {"another environment colour", [] { glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, blue); },
       [] { glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, red); }},
      {"texturing off", [] { glDisable(GL_TEXTURE_2D); }, [] { glEnable(GL_TEXTURE_2D); }},
      {"alpha test on", [] { glEnable(GL_ALPHA_TEST); }, [] { glDisable(GL_ALPHA_TEST); }},
  };
  for (const auto& c : cases) {
    c.change();
    EXPECT_FALSE(picture.Matches(1)) << c.what;
    c.undo();
    EXPECT_TRUE(picture.Matches(1)) << c.what << " undone";
  }
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
  picture.Forget();
  EXPECT_FALSE(picture.Matches(2));
  glDisable(GL_BLEND);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
