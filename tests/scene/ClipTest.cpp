// Animated sprites and the object list.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>

#include "assets/ArchiveWriter.h"
#include "assets/ImageTestSupport.h"
#include "assets/Resource.h"
#include "scene/Clip.h"
#include "scene/ObjectList.h"
#include "support/GLContext.h"

namespace {

// A scene object that counts its updates and its deletion.
struct Probe : O3D {
  Probe(int* deleted, int* updates) : deleted(deleted), updates(updates) {}
  ~Probe() override { ++*deleted; }
  void Update(u32) override { ++*updates; }
  int* deleted;
  int* updates;
};

OClip Sheet(i32 columns, i32 rows) {
  OClip clip;
  clip.columns = columns;
  clip.rows = rows;
  clip.lastFrame = columns * rows - 1;
  return clip;
}

// A 32-bit TGA, each frame one solid colour: red = frame * 16, green = 255 - red, blue 80.
std::string FrameSheet(u32 width, u32 height, u32 frameSize) {
  std::string pixels;
  for (u32 y = 0; y < height; ++y)
    for (u32 x = 0; x < width; ++x) {
      const u8 red = static_cast<u8>(((y / frameSize) * (width / frameSize) + x / frameSize) * 16);
      pixels += {static_cast<char>(80), static_cast<char>(255 - red), static_cast<char>(red),
                 static_cast<char>(static_cast<u8>(255))};
    }
  return image_test::MakeTga(2, width, height, 32, pixels, 8);
}

// RGB at the middle of the window after drawing `list` over a blue background, with x, y in
// -2..2 shown orthographically.
void DrawAndRead(OObjectList& list, const O3D& camera, u8 rgb[3], int dx = 0) {
  glViewport(0, 0, 640, 480);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-2.0 * 640 / 480, 2.0 * 640 / 480, -2, 2, -20, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  list.Draw(camera);
  glReadPixels(320 + dx, 240, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

}  // namespace

TEST(Clip, PlaysEveryFrameOnceAndLoops) {
  OClip clip = Sheet(8, 8);
  // 51 ms ticks pass the 50 ms frame time each time: one frame per tick.
  for (int tick = 1; tick <= 63; ++tick) {
    clip.Update(51);
    ASSERT_EQ(clip.frame, tick);
  }
  EXPECT_EQ(clip.life, 0);
  clip.Update(51);  // the last frame had its one tick
  EXPECT_EQ(clip.life, -1);
  // The timer must pass the frame time, not reach it; 0 ms ticks change nothing.
  OClip slow = Sheet(2, 1);
  slow.Update(0);
  slow.Update(50);
  EXPECT_EQ(slow.frame, 0);
  slow.Update(1);
  EXPECT_EQ(slow.frame, 1);
  // Looping: back to frame 0 after the last.
  slow.loop = 1;
  slow.Update(1);
  EXPECT_EQ(slow.frame, 0);
  EXPECT_EQ(slow.life, 0);
  // Frame corners run row by row from the bottom left, also on a sheet six frames wide.
  clip.frame = 9;
  EXPECT_FLOAT_EQ(clip.FrameU(), 1.0f / 8);
  EXPECT_FLOAT_EQ(clip.FrameV(), 1.0f / 8);
  OClip odd = Sheet(6, 2);
  odd.frame = 7;
  EXPECT_FLOAT_EQ(odd.FrameU(), 1.0f / 6);
  EXPECT_FLOAT_EQ(odd.FrameV(), 0.5f);
}

TEST(ObjectList, UpdatesOwnsAndRemovesTheDead) {
  int deleted = 0, updatesA = 0, updatesB = 0, updatesC = 0;
  {
    OObjectList list;
    auto* a = new Probe(&deleted, &updatesA);
    auto* b = new Probe(&deleted, &updatesB);
    auto* c = new Probe(&deleted, &updatesC);
    list.Add(a);
    list.Add(nullptr);
    list.Add(b);
    list.Add(a);  // held already: a second entry would be a double delete
    list.Add(c);
    ASSERT_EQ(list.Count(), 3u);
    b->life = -1;
    list.Update(10);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(updatesA, 1);
    EXPECT_EQ(updatesB, 0);  // dead members are not updated
    EXPECT_EQ(updatesC, 0);  // it slid into b's place and waits for the next tick
    EXPECT_EQ(list.members[1], c);  // order kept
    list.Update(10);
    EXPECT_EQ(updatesC, 1);
  }
  EXPECT_EQ(deleted, 3);  // the list's end deletes the rest
}

// A clip draws its current frame, opaque or blended, and puts the GL state back.
TEST(ClipGL, SheetsAndDrawing) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open(0));
  const std::string sheet = FrameSheet(64, 32, 16);
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"Data/Textures/Small.Tga", {sheet.begin(), sheet.end()}}}));
  ASSERT_TRUE(GetResource().Open());
  OClip prototype;
  ASSERT_TRUE(prototype.Load("Small.Tga", 16, 16, 1.0f, 0.0f, 0.0f, 50));
  EXPECT_EQ(prototype.columns, 4);
  EXPECT_EQ(prototype.lastFrame, 7);

  O3D camera;
  camera.SetPosition(0, 0, 10);
  OObjectList list;
  auto* clip = new OClip(prototype);
  clip->frame = 5;  // second row, second column: red 80
  clip->colour = OColor4(1, 1, 1, 0.25f);  // alpha 0 draws opaque whatever the colour's alpha
  list.Add(clip);
  u8 rgb[3];
  DrawAndRead(list, camera, rgb);
  EXPECT_NEAR(rgb[0], 80, 2);
  EXPECT_NEAR(rgb[1], 175, 2);
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  // Half alpha: half the frame over half the blue; blending and alpha test off afterwards.
  clip->alpha = 0.5f;
  clip->alphaRef = 0.1f;
  DrawAndRead(list, camera, rgb);
  EXPECT_NEAR(rgb[0], 40, 3);
  EXPECT_NEAR(rgb[2], 40 + 128, 3);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  DrawAndRead(list, camera, rgb, 130);  // outside the square (half size 1 unit = 120 pixels)
  EXPECT_EQ(rgb[2], 255);
  clip->life = -1;  // a finished clip draws nothing
  DrawAndRead(list, camera, rgb);
  EXPECT_EQ(rgb[2], 255);
}
