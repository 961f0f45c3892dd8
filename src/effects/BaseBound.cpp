#include "effects/BaseBound.h"

#include <GL/gl.h>

#include "effects/QuadBatch.h"
#include "core/Random.h"

namespace {
// Trail particles are measured from this point, a little behind the bat.
const OVector kDistanceOrigin{0.0f, 0.0f, -2.0f};
}  // namespace

TkBaseBound::TkBaseBound(const TkBaseBound& other)
    : alive(1), finished(0), emitRate(other.emitRate), emitTimer(0.0), emitter(other.emitter) {}

TkBaseBound* TkBaseBound::Clone() const { return new TkBaseBound(); }

void TkBaseBound::Start() {}

void TkBaseBound::Update(double) {}

void TkBaseBound::Draw() {}

i32 TkBaseBound::ParticleCount() const { return 0; }

double TkBaseBound::Uniform() { return static_cast<double>(Random()) / RANDOM_MAX; }

void TkBaseBound::PlaceAtEmitter(OParticle& p) const {
  const f32 dx = static_cast<f32>(Uniform() * 0.25 - 0.125);
  const f32 dy = static_cast<f32>(Uniform() * 0.25 - 0.125);
  const f32 dz = static_cast<f32>(Uniform() * 0.25 - 0.125);
  p.position = emitter + OVector(dx, dy, dz);
  p.velocity = OVector();
  p.acceleration = OVector();
  p.distance = (p.position - kDistanceOrigin).Length();
}

void TkBaseBound::SetColours(OParticle& p, const f32 birth[4], const f32 death[4]) {
  for (int i = 0; i < 4; ++i) {
    p.colour[i] = birth[i];
    p.colourRate[i] = static_cast<f32>((death[i] - birth[i]) / p.life);
  }
}

OAtlasCell TkBaseBound::RandomCell() {
  static const OAtlasCell kCells[4] = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 0.5f}, {0.5f, 0.5f}};
  return kCells[Random() % 4];
}

void TkBaseBound::AgeParticle(OParticle& p, double t, bool moves) {
  if (p.life <= 0.0) return;
  for (int i = 0; i < 4; ++i) p.colour[i] += static_cast<f32>(p.colourRate[i] * t);
  if (moves) {
    p.position += p.velocity * static_cast<f32>(t);
    p.velocity += p.acceleration;
  }
  p.size += p.sizeRate * t;
  p.life -= t;
}

void TkBaseBound::RemoveParticle(OParticle* particles, OAtlasCell* cells, i32& count, i32 index) {
  --count;
  particles[index] = particles[count];
  if (cells) cells[index] = cells[count];
}

void TkBaseBound::AgeParticles(OParticle* particles, OAtlasCell* cells, i32& count, double t) {
  for (i32 i = 0; i < count; ++i) {
    AgeParticle(particles[i], t, false);
    if (particles[i].life <= 0.0) RemoveParticle(particles, cells, count, i);
  }
}

bool TkBaseBound::BeginDraw(u32 src, u32 dst) {
  const bool wasBlending = glIsEnabled(GL_BLEND) == GL_TRUE;
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(src, dst);
  return wasBlending;
}

void TkBaseBound::EndDraw(bool wasBlending) {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  if (!wasBlending) glDisable(GL_BLEND);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDepthMask(GL_TRUE);
}

void TkBaseBound::DrawParticles(const OParticle* particles, const OAtlasCell* cells, i32 count,
                                f32 reach) {
  if (count <= 0) return;
  const f32 w = cells ? 0.5f : 1.0f;
  OQuadBatch& batch = OQuadBatch::Shared();
  batch.Begin();
  for (i32 i = 0; i < count; ++i) {
    const OParticle& p = particles[i];
    if (p.life < 0.0) continue;
    batch.Add(p.position.x, p.position.y, p.position.z, static_cast<f32>(p.size) * reach,
              cells ? cells[i].u : 0.0f, cells ? cells[i].v : 0.0f, w, p.colour);
  }
  batch.Draw();
}
