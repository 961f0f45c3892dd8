// The effects drawn for real under the virtual display: brick debris, a heavy ball's flame
// trail, a rocket's smoke trail and fireworks. Each picture is kept as a PNG in the build
// folder (effects-shots/) to be looked at; the checks are that something was drawn where it
// should be, in the colours it should have, and that the drawing put the GL state back.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "EffectTextures.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"
#include "effects/BallTrail.h"
#include "effects/BloxExpl.h"
#include "effects/FireworkPool.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "shell/Random.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void MakeEffectsArchive() {
  using namespace effect_test;
  const std::vector<std::pair<std::string, std::string>> textures = {
      {"xFlame2x2.jpg", FlameAtlasJpeg()},
      {"CoDSmoke2.Tga", SoftDotTga(64, 190, 190, 200)},
      {"ParticleBit.Tga", ChipTga(8)},
      {"Particle.Tga", SoftDotTga(32, 255, 255, 255, 3.0)},
  };
  std::vector<OArchiveEntry> entries;
  for (const auto& [name, bytes] : textures)
    entries.push_back({"Data/Textures/" + name, {bytes.begin(), bytes.end()}});
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", entries));
  ASSERT_TRUE(GetResource().Open());
}

// Looking from z = -12 toward the field along +Z, as the player does from behind the bat.
void BeginScene() {
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, static_cast<double>(kWidth) / kHeight, 1.0, 1024.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, -12, 0, 0, 0, 0, 1, 0);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

// The field's floor and side walls as dim lines, for reference in the pictures.
void DrawFieldLines(const OVector& min, const OVector& max) {
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor3f(0.25f, 0.25f, 0.3f);
  glBegin(GL_LINE_LOOP);
  glVertex3f(min.x, min.y, min.z);
  glVertex3f(max.x, min.y, min.z);
  glVertex3f(max.x, max.y, min.z);
  glVertex3f(min.x, max.y, min.z);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

struct Picture {
  std::vector<u8> rgb;  // bottom row first
  u8 At(int x, int y, int c) const { return rgb[(static_cast<size_t>(y) * kWidth + x) * 3 + c]; }
  // Pixels brighter than `level` in any channel.
  int Lit(int level = 24) const {
    int n = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
      n += (rgb[i] > level || rgb[i + 1] > level || rgb[i + 2] > level) ? 1 : 0;
    return n;
  }
};

// Reads the frame and keeps it as effects-shots/<name>.png in the build folder.
Picture Capture(const std::string& name) {
  Picture p;
  p.rgb.resize(static_cast<size_t>(kWidth) * kHeight * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
  const std::string folder = std::string(BRIKON_BINARY_DIR) + "/effects-shots";
  std::filesystem::create_directories(folder);
  const std::string ppm = folder + "/" + name + ".ppm";
  if (FILE* f = std::fopen(ppm.c_str(), "wb")) {
    std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
    for (int y = kHeight - 1; y >= 0; --y)
      std::fwrite(&p.rgb[static_cast<size_t>(y) * kWidth * 3], 1, kWidth * 3, f);
    std::fclose(f);
    RunCommand("convert '" + ppm + "' '" + folder + "/" + name + ".png' && rm -f '" + ppm + "'");
  }
  return p;
}

void ExpectStateRestored() {
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  f32 colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[3], 1.0f);
}

// Window x of a world point seen through the current matrices.
void Project(const OVector& p, double& wx, double& wy) {
  GLdouble model[16], proj[16], wz;
  GLint view[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, view);
  gluProject(p.x, p.y, p.z, model, proj, view, &wx, &wy, &wz);
}

class EffectsGL : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(window.Open(4));
    MakeEffectsArchive();
    SeedRandom(2026);
  }
  void TearDown() override {
    GetParticleList().Clear();
    GetFireworkPool().Clear();
  }
  ScratchDir dir;
  TestGLWindow window;
};

}  // namespace

TEST_F(EffectsGL, BrickExplosion) {
  OBloxExpl prototype;
  ASSERT_TRUE(prototype.Load());
  const OVector fieldMin(-6.0f, -3.0f, 0.0f), fieldMax(6.0f, 4.0f, 20.0f);
  OParticleList& list = GetParticleList();
  // Four bricks breaking a little apart in time, one close to the floor.
  const OVector bricks[4] = {{-3, 2, 2}, {0, 0, 3}, {3, -2.5f, 2}, {1.5f, 3, 4}};
  for (int i = 0; i < 4; ++i) {
    auto* expl = static_cast<OBloxExpl*>(prototype.Clone());
    expl->SetField(fieldMin, fieldMax);
    expl->emitter = bricks[i];
    expl->Start();
    list.Add(expl);
    for (int t = 0; t < 8; ++t) list.Update(16);
  }
  EXPECT_EQ(list.ParticleCount(), 4 * BLOX_EXPL_BURST);
  BeginScene();
  DrawFieldLines(fieldMin, fieldMax);
  list.Draw();
  ExpectStateRestored();
  const Picture picture = Capture("brick-explosion");
  EXPECT_GT(picture.Lit(), 400);
  // Debris is pastel: where a chip is solid its weakest channel is still about half its strongest.
  int pastel = 0;
  for (size_t i = 0; i < picture.rgb.size(); i += 3) {
    const int lo = std::min({picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]});
    const int hi = std::max({picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]});
    pastel += (hi > 160 && lo * 10 > hi * 4) ? 1 : 0;
  }
  EXPECT_GT(pastel, 40);
}

TEST_F(EffectsGL, HeavyBallFlameTrail) {
  OBallTrail prototype;
  ASSERT_TRUE(prototype.Load());
  OParticleList& list = GetParticleList();
  auto* trail = static_cast<OBallTrail*>(prototype.Clone());
  list.Add(trail);
  // The ball swings along an arc across the field for 0.6 s.
  OVector ball;
  for (int t = 0; t <= 600; t += 16) {
    const double a = t / 600.0 * 2.5;
    ball = OVector(static_cast<f32>(4.0 * std::cos(a)), static_cast<f32>(3.0 * std::sin(a) - 1.0),
                   static_cast<f32>(2.0 + t / 300.0));
    trail->emitter = ball;
    list.Update(16);
  }
  EXPECT_GT(trail->flameCount, 10);
  BeginScene();
  list.Draw();
  ExpectStateRestored();
  const Picture picture = Capture("ball-trail");
  EXPECT_GT(picture.Lit(), 2000);
  // Flames are warm: where the newest puffs sit red leads green, and green leads blue.
  double x, y;
  Project(ball, x, y);
  const int px = static_cast<int>(x), py = static_cast<int>(y);
  ASSERT_TRUE(px >= 0 && py >= 0 && px < kWidth && py < kHeight);
  EXPECT_GT(picture.At(px, py, 0), 60);
  EXPECT_GE(picture.At(px, py, 0), picture.At(px, py, 1));
  EXPECT_GE(picture.At(px, py, 1), picture.At(px, py, 2));

  // Finished: it burns out and the list lets it go.
  trail->finished = 1;
  for (int t = 0; t < 40 && list.Count() > 0; ++t) list.Update(16);
  EXPECT_EQ(list.Count(), 0u);
}

TEST_F(EffectsGL, RocketSmokeTrail) {
  OHellTrail prototype;
  ASSERT_TRUE(prototype.Load());
  OParticleList& list = GetParticleList();
  auto* trail = static_cast<OHellTrail*>(prototype.Clone());
  list.Add(trail);
  // A rocket climbing from the lower left into the field for 0.8 s (emitter one unit behind it).
  OVector rocket;
  for (int t = 0; t <= 800; t += 16) {
    rocket = OVector(-4.0f + t * 0.008f, -3.0f + t * 0.007f, 1.0f + t * 0.006f);
    trail->emitter = rocket - OVector(0, 0, 1);
    list.Update(16);
  }
  BeginScene();
  list.Draw();
  ExpectStateRestored();
  const Picture picture = Capture("rocket-trail");
  EXPECT_GT(picture.Lit(), 3000);
  // Where the rocket started, only grey smoke is left: channels close together.
  double x, y;
  Project(OVector(-3.6f, -2.65f, 0.3f), x, y);
  const int px = static_cast<int>(x), py = static_cast<int>(y);
  ASSERT_TRUE(px >= 0 && py >= 0 && px < kWidth && py < kHeight);
  EXPECT_GT(picture.At(px, py, 2), 10);
  EXPECT_NEAR(picture.At(px, py, 0), picture.At(px, py, 2), 12);
}

TEST_F(EffectsGL, Fireworks) {
  OFirework prototype(512, "Particle.Tga", 500);
  OFireworkPool& pool = GetFireworkPool();
  // The end of a level: three bonuses burst 50 ms apart.
  const OVector places[3] = {{-3, 1, 4}, {0, -1, 3}, {3, 1.5f, 5}};
  for (int i = 0; i < 3; ++i) {
    auto* firework = new OFirework(prototype);
    firework->SetPosition(places[i]);
    ASSERT_TRUE(pool.Add(firework));
    for (int t = 0; t < 50; t += 10) pool.Update(10);
  }
  for (int t = 0; t < 150; t += 10) pool.Update(10);
  EXPECT_EQ(pool.ActiveCount(), 3);
  BeginScene();
  glEnable(GL_ALPHA_TEST);
  pool.Draw();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  const Picture picture = Capture("fireworks");
  EXPECT_GT(picture.Lit(), 5000);
  // After 0.2 to 0.3 s at 0.004 units per ms the sparks form shells about a unit across
  // around each bonus; far outside them the picture is dark.
  double x, y;
  Project(places[1], x, y);
  int shell = 0;
  for (int dy = -50; dy <= 50; ++dy)
    for (int dx = -50; dx <= 50; ++dx)
      shell += picture.At(static_cast<int>(x) + dx, static_cast<int>(y) + dy, 1) > 40 ? 1 : 0;
  EXPECT_GT(shell, 1000);
  EXPECT_LT(picture.At(5, 5, 0), 10);

  // Later the shells have grown and thinned out.
  for (int t = 0; t < 300; t += 10) pool.Update(10);
  BeginScene();
  pool.Draw();
  EXPECT_GT(Capture("fireworks-later").Lit(), 5000);

  // Within a second all three have faded and the pool's slots are free again.
  for (int t = 0; t < 800; t += 10) pool.Update(10);
  EXPECT_EQ(pool.ActiveCount(), 0);
}
