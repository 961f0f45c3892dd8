// The effects drawn for real under the virtual display (the picture is kept as
// effects-shots/effects.png in the build folder, to be looked at).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/Resource.h"
#include "effects/BallTrail.h"
#include "effects/BloxExpl.h"
#include "effects/FireworkPool.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "effects/QuadBatch.h"
#include "effects/SpriteBatch.h"
#include "core/Random.h"
#include "support/GLContext.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

class EffectsGL : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
    ASSERT_TRUE(window.Open(4));
    ASSERT_TRUE(LinkGameData());  // the effects' own textures, from the built game
    ASSERT_TRUE(GetResource().Open());
    SeedRandom(2026);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(kWidth) / kHeight, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, -12, 0, 0, 0, 0, 1, 0);  // from behind the bat, along +Z
  }
  void TearDown() override {
    GetParticleList().Clear();
    GetFireworkPool().Clear();
  }
  ScratchDir dir;
  TestGLWindow window;
};

}  // namespace

// Debris, a heavy ball's flames, a rocket's smoke and fireworks, as a busy level's end shows them.
TEST_F(EffectsGL, EveryEffectDrawsAndPutsTheStateBack) {
  OBloxExpl debris;
  OBallTrail flames;
  OHellTrail smoke;
  ASSERT_TRUE(debris.Load() && flames.Load() && smoke.Load());
  debris.SetField(OVector(-6.0f, -3.0f, 0.0f), OVector(6.0f, 4.0f, 20.0f));
  OParticleList& list = GetParticleList();
  // Two bricks burst, a ball and a rocket cross the field for 0.6 s.
  for (const TkBaseBound* prototype : std::vector<const TkBaseBound*>{&debris, &debris, &flames, &smoke}) {
    TkBaseBound* effect = prototype->Clone();
    const f32 n = static_cast<f32>(list.Count());
    effect->emitter = OVector(n * 2 - 3, n == 1 || n == 3 ? 2.0f : -1.0f, 2);
    effect->Start();
    list.Add(effect);
  }
  OFirework prototype(512, "Particle.Tga", 500);
  for (const OVector& place : {OVector(-3, 1, 4), OVector(0, -1, 3), OVector(3, 1.5f, 5)}) {
    auto* firework = new OFirework(prototype);
    firework->SetPosition(place);
    ASSERT_TRUE(GetFireworkPool().Add(firework));
  }
  for (int t = 0; t <= 600; t += 16) {
    for (TkBaseBound* s : list.systems) s->emitter += OVector(0.05f, 0.03f, 0.05f);
    list.Update(16);
    GetFireworkPool().Update(16);
  }
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  list.Draw();
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
  f32 colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[3], 1.0f);
  glEnable(GL_ALPHA_TEST);
  GetFireworkPool().Draw();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
  const std::vector<u8> rgb = ReadBackBuffer(kWidth, kHeight);
  SavePicture("effects-shots", "effects", kWidth, kHeight, rgb);
  int lit = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) lit += (rgb[i] > 24 || rgb[i + 1] > 24 || rgb[i + 2] > 24) ? 1 : 0;
  EXPECT_GT(lit, 5000);
}

// The pool draws the bursts that share a picture as one batch: the same pixels as each burst
// drawn on its own, in the pool's order.
TEST_F(EffectsGL, PoolBatchesBurstsWithoutChangingThePicture) {
  OFirework spark(512, "Particle.Tga", 500), chip(200, "ParticleBit.Tga", 400), plain(100, "");
  // Bursts of one picture round one of another (batched out of the pool's order), one without a
  // picture (drawn untextured, not in the picture bound before it), and an empty slot between.
  const std::vector<std::pair<const OFirework*, OVector>> bursts = {
      {&spark, OVector(-3, 1, 4)}, {&chip, OVector(0, -1, 3)}, {&spark, OVector(1, 0, 3)},
      {&plain, OVector(3, 1.5f, 5)}, {&spark, OVector(2, -2, 6)}};
  std::vector<OFirework*> held;
  for (const auto& [prototype, place] : bursts) {
    auto* firework = new OFirework(*prototype);
    firework->SetPosition(place);
    ASSERT_TRUE(GetFireworkPool().Add(firework));
    held.push_back(firework);
  }
  // A gap: the third burst's slot emptied by hand.
  GetFireworkPool().slots[2].firework = nullptr;
  GetFireworkPool().slots[2].inUse = 0;
  delete held[2];
  held.erase(held.begin() + 2);
  GetFireworkPool().Update(120);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GetFireworkPool().Draw();
  const std::vector<u8> pooled = ReadBackBuffer(kWidth, kHeight);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "texturing back on after the plain burst";

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  for (OFirework* firework : held) {
    if (firework->texture.image == nullptr) glDisable(GL_TEXTURE_2D);
    firework->Draw();
    glEnable(GL_TEXTURE_2D);
  }
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  glEnable(GL_LIGHTING);
  const std::vector<u8> alone = ReadBackBuffer(kWidth, kHeight);
  int lit = 0;
  for (u8 v : pooled) lit += v > 24 ? 1 : 0;
  EXPECT_GT(lit, 2000);
  EXPECT_TRUE(pooled == alone);
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// A batch of squares draws exactly what the same squares sent one by one drew, blended either
// way, from two atlas cells, leaving the caller's client array state as it was.
TEST_F(EffectsGL, QuadBatchMatchesImmediateSquares) {
  glEnable(GL_BLEND);
  // A texture whose every texel differs, so that a wrong corner shows.
  std::vector<u8> texels(8 * 8 * 4);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<u8>(i * 37 + 11);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  glEnable(GL_TEXTURE_2D);
  struct Square {
    f32 x, y, z, s, u, colour[4];
  };
  std::vector<Square> squares;
  auto r = [] { return static_cast<f32>(Random()) / 32767.0f; };
  for (int i = 0; i < 300; ++i)
    squares.push_back({r() * 8 - 4, r() * 6 - 3, r() * 4 - 2, r() * 0.6f, r() < 0.5f ? 0.0f : 0.5f, {r(), r(), r(), r()}});
  auto picture = [&](bool batched, GLenum dst) {
    glClearColor(0.1f, 0.0f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBlendFunc(GL_SRC_ALPHA, dst);
    OQuadBatch& batch = OQuadBatch::Shared();
    batch.Begin();
    if (!batched) glBegin(GL_QUADS);
    for (const Square& q : squares) {
      if (batched) {
        batch.Add(q.x, q.y, q.z, q.s, q.u, 0.0f, 0.5f, q.colour);
        continue;
      }
      glColor4fv(q.colour);
      const f32 corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      for (const auto& c : corners) {
        glTexCoord2f(q.u + (c[0] + 1) * 0.25f, (c[1] + 1) * 0.25f);
        glVertex3f(q.x + c[0] * q.s, q.y + c[1] * q.s, q.z);
      }
    }
    if (batched) batch.Draw();
    else glEnd();
    return ReadBackBuffer(kWidth, kHeight);
  };
  for (GLenum dst : {GL_ONE, GL_ONE_MINUS_SRC_ALPHA}) {
    EXPECT_TRUE(picture(false, dst) == picture(true, dst)) << "blend " << dst;
  }
  // The squares are sampled nearest-texel, and the texture's own filters come back after them.
  auto filters = [] {
    GLint f[2] = {0, 0};
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &f[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &f[1]);
    return std::vector<GLint>{f[0], f[1]};
  };
  const std::vector<GLint> own = {GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR};
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, own[0]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, own[1]);
  {
    const ONearestTexels outer;
    picture(true, GL_ONE);
    EXPECT_EQ(filters(), (std::vector<GLint>{GL_NEAREST, GL_NEAREST}));
  }
  EXPECT_EQ(filters(), own);
  GLboolean on = GL_TRUE;
  glGetBooleanv(GL_VERTEX_ARRAY, &on);
  EXPECT_FALSE(on) << "the vertex array was left on";
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
  glDisable(GL_BLEND);
  glDeleteTextures(1, &texture);
}

// Sparks as sprites look like the squares they stand for (within 40 dB over the picture); a view
// turned off square-on, a spark larger than the GL's largest point or one on the window's edge
// goes down as the squares themselves, and the point and texture state comes back.
TEST_F(EffectsGL, SpritesLookLikeTheirSquares) {
  std::vector<u8> texels(16 * 16 * 4);  // a round glow, the same mirrored either way
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const f32 d = std::hypot(x - 7.5f, y - 7.5f) / 8.0f;
      for (int c = 0; c < 4; ++c) texels[(y * 16 + x) * 4 + c] = static_cast<u8>(std::max(0.0f, 1 - d) * 255);
    }
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  auto r = [] { return static_cast<f32>(Random()) / 32767.0f; };
  std::vector<std::vector<f32>> dots;
  for (int i = 0; i < 400; ++i) dots.push_back({r() * 10 - 5, r() * 8 - 4, r() * 8 - 2, r() * 0.5f, r() * 0.5f, r() * 0.5f, 1});
  auto picture = [&](bool sprites, f32 halfSide) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    OSpriteBatch& batch = OSpriteBatch::Shared();
    OQuadBatch& squares = OQuadBatch::Shared();
    batch.Begin();
    squares.Begin();
    for (const auto& d : dots) {
      if (sprites) batch.Add(d[0], d[1], d[2], &d[3]);
      else squares.Add(d[0], d[1], d[2], halfSide, 0.0f, 0.0f, 1.0f, &d[3]);
    }
    sprites ? batch.Draw(halfSide) : squares.Draw();
    return ReadBackBuffer(kWidth, kHeight);
  };
  auto psnr = [](const std::vector<u8>& a, const std::vector<u8>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
  };
  EXPECT_GE(psnr(picture(true, 0.4f), picture(false, 0.4f)), 40.0) << "sprites";
  EXPECT_TRUE(picture(true, 60.0f) == picture(false, 60.0f)) << "larger than any point";
  // Sparks on the window's edge: the GL drops a sprite whole once its centre has left the view.
  for (auto& d : dots) d[0] = (d[0] < 0 ? -1 : 1) * (12 + d[2]) * std::tan(0.5236f) * kWidth / kHeight;
  EXPECT_TRUE(picture(true, 0.4f) == picture(false, 0.4f)) << "on the window's edge";
  glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
  EXPECT_TRUE(picture(true, 0.4f) == picture(false, 0.4f)) << "a turned view";
  GLint minify = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minify);
  GLfloat size = 0;
  glGetFloatv(GL_POINT_SIZE, &size);
  EXPECT_EQ(minify, GL_LINEAR);
  EXPECT_EQ(size, 1.0f);
  EXPECT_FALSE(glIsEnabled(0x8861));  // point sprites
  EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
  glDisable(GL_BLEND);
  glDeleteTextures(1, &texture);
}
