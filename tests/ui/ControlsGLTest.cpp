// Screens and controls drawn on a real context: what lands in the frame buffer, the GL state
// left behind, and a picture of a screen with every kind of control for looking at.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "ControlTestSupport.h"
#include "assets/ModelCache.h"
#include "assets/ModelTestSupport.h"
#include "assets/Resource.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"
#include "ui/controls/Button.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/CheckBox.h"
#include "ui/controls/Slider.h"
#include "ui/controls/TextField.h"
#include "ui/controls/TextStack.h"

using namespace ui_test;

namespace {

// A TGA of one colour (24-bit, bottom row first).
std::vector<unsigned char> SolidTga(int w, int h, u8 r, u8 g, u8 b) {
  std::vector<unsigned char> t(18, 0);
  t[2] = 2;
  t[12] = static_cast<unsigned char>(w);
  t[14] = static_cast<unsigned char>(h);
  t[16] = 24;
  for (int i = 0; i < w * h; ++i) t.insert(t.end(), {b, g, r});
  return t;
}

struct Pixel {
  int r, g, b;
};

// x, y in window pixels from the bottom left.
Pixel ReadPixel(int x, int y) {
  u8 p[4];
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

// The frame buffer as a 24-bit TGA, top row first (descriptor bit 5), which every viewer reads
// the right way up.
void SaveFrame(const std::string& path, int w, int h) {
  std::vector<u8> rgb(static_cast<size_t>(w) * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  std::vector<u8> out(18, 0);
  out[2] = 2;
  out[12] = w & 0xFF;
  out[13] = w >> 8;
  out[14] = h & 0xFF;
  out[15] = h >> 8;
  out[16] = 24;
  out[17] = 0x20;
  for (int row = h - 1; row >= 0; --row) {
    const u8* p = rgb.data() + static_cast<size_t>(row) * w * 3;
    for (int i = 0; i < w * 3; i += 3) out.insert(out.end(), {p[i + 2], p[i + 1], p[i]});
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(out.data(), 1, out.size(), f);
  std::fclose(f);
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
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
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
  EXPECT_LT(back.r, 20);
  EXPECT_GT(back.b, 180);
  Pixel normal = ReadPixel(180, 115);
  EXPECT_GT(normal.r, 200);
  EXPECT_LT(normal.g, 20);
  EXPECT_LT(normal.b, 20);
  Pixel middle = ReadPixel(320, 240);
  EXPECT_FALSE(middle.r < 20 && middle.g < 20 && middle.b > 180) << "3D button missing";
  // The pointer over the button lights it: the active picture replaces the normal one.
  screen.HandleInput(Mouse(EV_MOUSEMOVE, 180, 480 - 115));
  ASSERT_TRUE(button->highlighted);
  DrawFrame(screen);
  Pixel active = ReadPixel(180, 115);
  EXPECT_LT(active.r, 20);
  EXPECT_GT(active.g, 200);
  // Hidden: nothing of it is drawn.
  button->hidden = true;
  DrawFrame(screen);
  Pixel hiddenPx = ReadPixel(180, 115);
  EXPECT_GT(hiddenPx.b, 180);

  // Drawing leaves the matrix stacks as it found them, the depth test on, and no GL error.
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A screen with one of every control and a few lines of text, drawn with the game's own
// pictures and models when the game folder holds its archive; the picture is saved as
// screenshots/controls.tga in the build folder.
TEST(ControlsGLTest, ScreenWithEveryControl) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  const std::string archive = std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr";
  if (!FileExists(archive)) GTEST_SKIP() << "the game's archive has not been built";
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  ASSERT_EQ(std::system(("cp '" + archive + "' Data/Resource.Tkr").c_str()), 0);
  ASSERT_TRUE(GetResource().Open());

  OFont font("Font.Tga");
  ASSERT_TRUE(font.Build(65534));
  OCamera camera(window.width, window.height, 60.0f, 1.0f, 1024.0f);
  camera.SetPosition(0.0f, 0.0f, -64.0f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  OLight light(0);
  CommandScreen screen(window.width, window.height);
  screen.camera = &camera;
  screen.light = &light;
  ASSERT_TRUE(screen.SetBackground("SBackTex.jpg"));

  // The window pixel (y up) of an overlay point, as the options screen places its 3D controls.
  auto place = [&](O3D& object, f32 vx, f32 vy, f32 z) {
    object.PlaceAtScreenPoint(static_cast<u16>(vx / (512.0f / window.width)),
                              static_cast<u16>(vy / (512.0f / window.height)), z, camera);
  };

  auto* ok = new OButton2D(1, false);
  ok->LoadImages("Menu/nOk.Tga", "Menu/aOk.Tga", "Menu/mOk.Tga");
  ok->SetRect(60, 40, 163.84f, 27.3f);
  screen.AddControl(ok);
  auto* cancel = new OButton2D(2, false);
  cancel->LoadImages("Menu/nCancel.Tga", "Menu/aCancel.Tga", "Menu/mCancel.Tga");
  cancel->SetRect(290, 40, 163.84f, 27.3f);
  screen.AddControl(cancel);
  auto* field = new OTextField(&font, "Player One", 3, false);
  field->SetPosition(283, 410);
  screen.AddControl(field);
  auto* resolution = new OTextStack(&font, 4, false, 0.75f);
  resolution->AddItem("640 x 480", 0);
  resolution->AddItem("1024 x 768", 2);
  resolution->SetPosition(283, 370);
  screen.AddControl(resolution);
  auto* pulsing = new OTextStack(&font, 5, false, 0.75f);
  pulsing->AddItem("High", 2);
  pulsing->SetPosition(283, 345);
  screen.AddControl(pulsing);
  pulsing->Highlight();

  auto* slider = new OSlider(6, 75, 150, 5);
  slider->LoadModels("Interface/Slider.Zmod", "Interface/SliderStem.Zmod");
  slider->SetModelScale(0.1f, 0.075f, 0.1f);
  slider->knob->ScaleData(1.0f, 0.75f, 1.0f);
  slider->SetValue(100);
  place(*slider, 375, 297, 0.0f);
  screen.AddControl(slider);
  auto* box = new OCheckBox(7);
  box->Load("Interface/CheckBox.Zmod");
  place(*box, 265, 297, 0.0f);
  box->ScaleData(0.1f, 0.1f, 0.1f);
  box->ticked = true;
  screen.AddControl(box);
  auto* episode = new OButton(8, true);
  episode->Load("Episodes/CNormal.Zmod");
  episode->SetPosition(-3.0f, -0.5f, -55.1f);
  screen.AddControl(episode);
  auto* episode2 = new OButton(9, true);
  episode2->Load("Episodes/MHard.Zmod");
  episode2->SetPosition(3.0f, -0.5f, -55.1f);
  screen.AddControl(episode2);
  screen.FocusControl(episode2);
  field->Highlight();
  ok->Highlight();

  DrawFrame(screen);
  Ortho2D(512, 512);
  glEnable(GL_TEXTURE_2D);
  font.Print(256 - 0.5f * font.TextWidth("OPTIONS"), 445, "OPTIONS", 0, true, 1.0f);
  font.Print(35, 410, "Player Name", 0, true, 0.75f);
  font.Print(35, 370, "Screen Resolution", 0, true, 0.75f);
  font.Print(35, 297, "Sound", 0, true, 0.75f);
  font.colour.SetWithAlpha(0.670588f, 0.690196f, 0.717647f, -1.0f);
  font.Print(65, 152, "Difficulty Hard, 35 levels", 0, true, 0.7f);
  font.colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
  font.Print(0, 0, "Every byte: \x01\x7f\xa0\xff!", 0, false, 0.5f);
  glFinish();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  const std::string folder = std::string(BRIKON_BINARY_DIR) + "/screenshots";
  std::system(("mkdir -p '" + folder + "'").c_str());
  SaveFrame(folder + "/controls.tga", window.width, window.height);
  // Something other than the background was drawn where the OK button stands.
  EXPECT_TRUE(FileExists(folder + "/controls.tga"));
}
