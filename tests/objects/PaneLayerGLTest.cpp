// The bat's pane laid down as one layer: found only in a pane, and the same pixels as its two
// faces blended one after the other.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "../assets/ModelTestSupport.h"
#include "assets/ModelData.h"
#include "assets/Texture.h"
#include "objects/PaneLayer.h"
#include "objects/Player.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

// A 4 x 4 picture whose columns are translucent colours (BGRA), the same in every row.
std::vector<unsigned char> PaletteTga() {
  const char columns[4][4] = {
      {'\xff', '\xc8', '\x5a', '\x6e'}, {'\x50', '\x30', '\xe0', '\x6e'},
      {'\x20', '\xa0', '\x40', '\xff'}, {'\x90', '\x90', '\x90', '\x40'}};
  std::string bgra;
  for (int i = 0; i < 16; ++i) bgra.append(columns[i % 4], 4);
  const std::string t = image_test::MakeTga(2, 4, 4, 32, bgra);
  return {t.begin(), t.end()};
}

// Object 0: a triangle off to the side. Object 1: a square 1.6 across facing -z at z = -0.1, then
// one facing +z at z = +0.1, each showing the middle of one column of the palette (`backColumn`,
// `frontColumn`); `spanTwoTexels` lets the front's last corner reach into the next column.
OModelFile PaneFile(int backColumn, int frontColumn, bool spanTwoTexels = false) {
  OModelFile m;
  for (f32 z : {-0.1f, 0.1f}) {
    for (int i = 0; i < 4; ++i) {
      m.vertices.push_back({(i == 1 || i == 2) ? 0.8f : -0.8f, i >= 2 ? 0.8f : -0.8f, z});
    }
  }
  m.vertices.push_back({0.9f, 0.9f, 0.0f});
  m.vertices.push_back({0.95f, 0.9f, 0.0f});
  m.vertices.push_back({0.95f, 0.95f, 0.0f});
  for (int column = 0; column < 4; ++column) m.texCoords.push_back({(column + 0.5f) / 4, 0.5f});
  m.objects.resize(2);
  m.objects[0].faces.push_back({{{9, 1, 1}, {10, 1, 1}, {11, 1, 1}}});
  // Corners 1..4 go round counter-clockwise seen from +z: the back face winds them the other way.
  const i32 back = backColumn + 1, front = frontColumn + 1;
  m.objects[1].faces.push_back({{{1, back, 1}, {3, back, 1}, {2, back, 1}}});
  m.objects[1].faces.push_back({{{1, back, 1}, {4, back, 1}, {3, back, 1}}});
  m.objects[1].faces.push_back({{{5, front, 1}, {6, front, 1}, {7, front, 1}}});
  m.objects[1].faces.push_back({{{5, front, 1}, {7, front, 1}, {8, spanTwoTexels ? front + 1 : front, 1}}});
  return m;
}

// The window's pixels after the bat model is drawn over a green background, square-on and
// orthographic, so that both faces cover the same pixels; through the bat's own drawing or as a
// plain model draws it.
std::vector<u8> DrawBat(OPlayer& bat, bool asPlainModel, bool textured) {
  glViewport(0, 0, WIDTH, HEIGHT);
  glClearColor(0.2f, 0.5f, 0.1f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  if (textured) glEnable(GL_TEXTURE_2D);
  else glDisable(GL_TEXTURE_2D);
  if (asPlainModel) {
    OModel plain(bat);
    plain.alpha = bat.alpha;
    std::copy(bat.tint, bat.tint + 3, plain.tint);
    plain.Draw();
  } else {
    bat.Draw();
  }
  return ReadBackBuffer(WIDTH, HEIGHT);
}

int LargestDifference(const std::vector<u8>& a, const std::vector<u8>& b) {
  int most = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

}  // namespace

TEST(PaneLayer, OnlyAPaneAndTheSamePixelsAsItsTwoFaces) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open(0));
  ASSERT_TRUE(InstallArchive({Entry("Data/Textures/Pane.Tga", PaletteTga())}));

  OPlayer bat(nullptr);
  bat.data->SetGeometry(PaneFile(0, 1));
  bat.visible = {1, 1, 0};
  bat.data->texture = new OTexture;
  ASSERT_TRUE(bat.data->texture->Load("Pane.Tga"));

  OPaneLayer probe;
  EXPECT_TRUE(probe.Usable(*bat.data, BAT_PANE_OBJECT));
  EXPECT_FALSE(probe.Usable(*bat.data, 0));  // one triangle is no pane
  EXPECT_FALSE(probe.Usable(*bat.data, 7));  // no such object
  {
    OModelData spanning;
    spanning.SetGeometry(PaneFile(0, 1, true));  // a face of two colours: merged, it would lose one
    spanning.texture = new OTexture;
    ASSERT_TRUE(spanning.texture->Load("Pane.Tga"));
    EXPECT_FALSE(probe.Usable(spanning, BAT_PANE_OBJECT));
    OModelData box;
    box.SetGeometry(CubeFile(0, 2));  // three sides of a box, not two faces back to back
    EXPECT_FALSE(probe.Usable(box, BAT_PANE_OBJECT));
  }

  struct Case {
    const char* what;
    f32 alpha;
    f32 tint[3];
    bool textured;
  };
  const Case cases[] = {
      {"the bat itself, fully there", 1.0f, {1.0f, 1.0f, 1.0f}, true},
      {"the newest copy of the slowed trail", 1.0f / 3.0f, {1.0f, 1.0f, 1.0f}, true},
      {"the faintest copy", 0.1f, {1.0f, 1.0f, 1.0f}, true},
      {"a tint", 0.75f, {0.5f, 1.0f, 0.8f}, true},
      {"texturing off: the faces show the tint alone", 0.5f, {0.9f, 0.4f, 0.6f}, false},
  };
  for (const Case& c : cases) {
    bat.alpha = c.alpha;
    std::copy(c.tint, c.tint + 3, bat.tint);
    const std::vector<u8> twoFaces = DrawBat(bat, true, c.textured);
    const std::vector<u8> oneLayer = DrawBat(bat, false, c.textured);
    // One blend instead of two rounds once instead of twice.
    EXPECT_LE(LargestDifference(twoFaces, oneLayer), 2) << c.what;
    // The pane did go down: the middle of the window is not the background of its corner.
    const size_t middle = (static_cast<size_t>(HEIGHT / 2) * WIDTH + WIDTH / 2) * 3;
    int change = 0;
    for (int i = 0; i < 3; ++i) change += std::abs(oneLayer[middle + i] - oneLayer[i]);
    EXPECT_GT(change, 10) << c.what;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
  }
}
