#include "effects/HellTrail.h"

#include <GL/gl.h>

namespace {
const f32 kFlameBirth[4] = {0.8f, 0.6f, 0.2f, 0.5f};
const f32 kFlameDeath[4] = {0.0f, 0.0f, 0.0f, 0.5f};
const f32 kSmokeBirth[4] = {1.0f, 1.0f, 1.0f, 0.5f};
const f32 kSmokeDeath[4] = {1.0f, 1.0f, 1.0f, 0.0f};
const double kEmitInterval = 20.0;  // ms between puffs
}  // namespace

OHellTrail::OHellTrail() { emitRate = 8; }

OHellTrail::OHellTrail(const OHellTrail& other)
    : TkBaseBound(other), flameTexture(other.flameTexture), smokeTexture(other.smokeTexture) {}

bool OHellTrail::Load() {
  flameTexture.Load("xFlame2x2.jpg");
  return smokeTexture.Load("CoDSmoke2.Tga");
}

TkBaseBound* OHellTrail::Clone() const { return new OHellTrail(*this); }

void OHellTrail::EmitFlames(i32 n) {
  const i32 end = flameCount + n;
  while (flameCount < end && flameCount < HELL_TRAIL_MAX_FLAMES) {
    OParticle& p = flames[flameCount];
    PlaceAtEmitter(p);
    p.life = Uniform() * 250.0 + 500.0;
    SetColours(p, kFlameBirth, kFlameDeath);
    p.size = (Uniform() + 1.0) * 0.125;
    // Rocket flames grow a little over their short life.
    p.sizeRate = 0.25 / (p.life * 0.75);
    flameCells[flameCount] = RandomCell();
    ++flameCount;
  }
}

void OHellTrail::EmitSmoke(i32 n) {
  const i32 end = smokeCount + n;
  while (smokeCount < end && smokeCount < HELL_TRAIL_MAX_SMOKE) {
    OParticle& p = smoke[smokeCount];
    PlaceAtEmitter(p);
    p.life = Uniform() * 500.0 + 1500.0;
    SetColours(p, kSmokeBirth, kSmokeDeath);
    p.size = 0.25;
    p.sizeRate = (Uniform() * 0.5 + 0.25) / p.life;
    ++smokeCount;
  }
}

void OHellTrail::Update(double elapsedMs) {
  AgeParticles(smoke, nullptr, smokeCount, elapsedMs);
  AgeParticles(flames, flameCells, flameCount, elapsedMs);
  if (!finished) {
    emitTimer += elapsedMs;
    if (emitTimer > kEmitInterval) {
      EmitSmoke(2);
      EmitFlames(1);
      emitTimer = 0.0;
    }
  } else if (flameCount < 1) {
    // The remaining smoke goes with the system.
    alive = 0;
  }
}

void OHellTrail::Draw() {
  const bool wasBlending = BeginDraw(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  smokeTexture.Bind();
  DrawParticles(smoke, nullptr, smokeCount, PARTICLE_PICTURE_REACH);
  glBlendFunc(GL_ONE, GL_ONE);
  flameTexture.Bind();
  DrawParticles(flames, flameCells, flameCount, PARTICLE_PICTURE_REACH);
  EndDraw(wasBlending);
}
