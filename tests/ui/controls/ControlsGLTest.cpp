// Screens and controls drawn on a real context: the frame buffer and the GL state left behind.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "ControlTestSupport.h"
#include "assets/ImageTestSupport.h"
#include "assets/ModelCache.h"
#include "assets/ModelTestSupport.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"
#include "ui/controls/Button.h"
#include "ui/controls/Button2D.h"

using namespace ui_test;
using image_test::SolidTga;

namespace {

struct Pixel {
  int r, g, b;
};

// x, y in window pixels from the bottom left.
Pixel ReadPixel(int x, int y) {
  u8 p[4];
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

// The application's part in drawing a screen, as each frame does it.
void DrawFrame(ORenderWindow& screen) {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  screen.Draw();
  glFinish();
}

}  // namespace

TEST(ControlsGLTest, ScreenAndControlsDraw) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  GetModelCache().detail = 2;
  ASSERT_TRUE(InstallArchive({Entry("Data/Textures/Back.Tga", SolidTga(4, 4, 0, 0, 200)),
                              Entry("Data/Textures/B/nX.Tga", SolidTga(8, 8, 220, 0, 0)),
                              Entry("Data/Textures/B/aX.Tga", SolidTga(8, 8, 0, 220, 0)),
                              Entry("Data/Textures/B/mX.Tga", SolidTga(8, 8, 0, 0, 0)),
                              Entry("Data/Models/One.Zmod", CubeBytes(0, 1))}));
  OCamera camera(window.width, window.height, 60.0f, 1.0f, 1024.0f);
  camera.SetPosition(0.0f, 0.0f, -64.0f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  OLight light(0);
  CommandScreen screen(window.width, window.height);
  screen.camera = &camera;
  screen.light = &light;
  ASSERT_TRUE(screen.SetBackground("Back.Tga"));

  auto* button = new OButton2D(1, false);
  button->LoadImages("B/nX.Tga", "B/aX.Tga", "B/mX.Tga");
  button->SetRect(100, 100, 100, 50);  // window pixels 125..250 by 94..140 from the bottom
  screen.AddControl(button);
  auto* cube = new OButton(2, false);
  cube->Load("One.Zmod");
  cube->ScaleUniform(3.0f);
  screen.AddControl(cube);

  DrawFrame(screen);
  // The background covers the window; the button shows its normal picture in its rectangle;
  // the 3D button stands in the middle.
  Pixel back = ReadPixel(500, 400);
  EXPECT_TRUE(back.r < 20 && back.b > 180);
  Pixel normal = ReadPixel(180, 115);
  EXPECT_TRUE(normal.r > 200 && normal.g < 20 && normal.b < 20);
  Pixel middle = ReadPixel(320, 240);
  EXPECT_FALSE(middle.r < 20 && middle.g < 20 && middle.b > 180) << "3D button missing";
  // The pointer over the button lights it: the active picture replaces the normal one.
  screen.HandleInput(Mouse(EV_MOUSEMOVE, 180, 480 - 115));
  ASSERT_TRUE(button->highlighted);
  DrawFrame(screen);
  Pixel active = ReadPixel(180, 115);
  EXPECT_TRUE(active.r < 20 && active.g > 200);
  // Disabled: the normal picture at a third of its light, never the active one under the pointer.
  button->disabled = true;
  DrawFrame(screen);
  Pixel dim = ReadPixel(180, 115);
  EXPECT_TRUE(dim.r > 55 && dim.r < 90 && dim.g < 20) << dim.r << " " << dim.g;
  // Hidden: nothing of it is drawn.
  button->hidden = true;
  DrawFrame(screen);
  EXPECT_GT(ReadPixel(180, 115).b, 180);

  // Drawing leaves the matrix stacks as it found them, the depth test on, and no GL error.
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
