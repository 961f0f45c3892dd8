#include "effects/BallTrail.h"

#include <GL/gl.h>

namespace {
const f32 kFlameBirth[4] = {0.8f, 0.6f, 0.2f, 0.5f};
const f32 kFlameDeath[4] = {0.0f, 0.0f, 0.0f, 0.5f};
// A puff every this many ms while the trail burns.
const double kEmitInterval = 20.0;
}  // namespace

OBallTrail::OBallTrail() { emitRate = 8; }

OBallTrail::OBallTrail(const OBallTrail& other)
    : TkBaseBound(other), flameTexture(other.flameTexture) {}

bool OBallTrail::Load() { return flameTexture.Load("xFlame2x2.jpg"); }

TkBaseBound* OBallTrail::Clone() const { return new OBallTrail(*this); }

void OBallTrail::EmitFlames(i32 n) {
  const i32 end = flameCount + n;
  while (flameCount < end && flameCount < BALL_TRAIL_MAX_FLAMES) {
    OParticle& p = flames[flameCount];
    PlaceAtEmitter(p);
    p.life = (Uniform() + 1.0) * 250.0;
    SetColours(p, kFlameBirth, kFlameDeath);
    p.size = Uniform() * 0.25 + 0.75;
    p.sizeRate = -0.5 / p.life;
    flameCells[flameCount] = RandomCell();
    ++flameCount;
  }
}

void OBallTrail::Update(double elapsedMs) {
  AgeParticles(flames, flameCells, flameCount, elapsedMs);
  if (!finished) {
    emitTimer += elapsedMs;
    if (emitTimer > kEmitInterval) {
      EmitFlames(1);
      emitTimer = 0.0;
    }
  } else if (flameCount < 1) {
    alive = 0;
  }
}

void OBallTrail::Draw() {
  const bool wasBlending = BeginDraw(GL_ONE, GL_ONE);
  flameTexture.Bind();
  DrawParticles(flames, flameCells, flameCount, PARTICLE_PICTURE_REACH);
  EndDraw(wasBlending);
}
