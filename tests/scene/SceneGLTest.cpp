#include <gtest/gtest.h>

#include <GL/gl.h>

#include "scene/Camera.h"
#include "scene/Color.h"
#include "scene/Light.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {
// RGB of one pixel of the back buffer (x, y from the bottom left).
void Pixel(int x, int y, unsigned char rgb[3]) {
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}
}  // namespace

// Apply loads the inverse of the camera frame: a point in front of a moved, turned camera
// lands in the middle of the window.
TEST(Camera, ApplyView) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  OCamera cam(640, 480, 60, 1, 1024);
  cam.SetPosition(0, -20, 5);
  cam.LookAt(3, 0, 5);
  cam.Apply(640, 480);
  // The view matrix times the camera frame is the identity.
  const OMatrix product = cam.view * cam.matrix;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.m[i], OMatrix().m[i], 1e-5f) << i;

  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor3f(0, 1, 0);
  glPointSize(3);
  glBegin(GL_POINTS);
  glVertex3f(3, 0, 5);
  glEnd();
  unsigned char p[3];
  Pixel(320, 240, p);
  EXPECT_EQ(p[1], 255);
}

// The light reaches OpenGL with its colour and a w = 1 position taken in the camera's frame.
TEST(Light, ApplyAndDisable) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  OLight light(1);
  light.SetColor(0x1201 /* GL_DIFFUSE */, 0.5f, 0.25f, 0.125f, 1);
  light.SetPosition(0, 0, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -3);  // the camera's frame
  light.Apply();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1) && glIsEnabled(GL_LIGHTING));
  f32 v[4];
  glGetLightfv(GL_LIGHT1, GL_DIFFUSE, v);
  EXPECT_FLOAT_EQ(v[1], 0.25f);
  glGetLightfv(GL_LIGHT1, GL_POSITION, v);  // eye coordinates
  EXPECT_FLOAT_EQ(v[2], 7.0f);
  EXPECT_FLOAT_EQ(v[3], 1.0f);
  light.Disable();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
}
