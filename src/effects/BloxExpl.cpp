#include "effects/BloxExpl.h"

#include <GL/gl.h>

#include <cmath>

#include "core/Random.h"

const f32 DEBRIS_COLOURS[DEBRIS_COLOUR_COUNT][3] = {
    {1.0f, 0.5f, 0.5f},  {1.0f, 0.75f, 0.5f}, {1.0f, 1.0f, 0.5f}, {0.75f, 1.0f, 0.5f},
    {0.5f, 1.0f, 0.5f},  {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f}, {0.5f, 0.75f, 1.0f},
    {0.5f, 0.5f, 1.0f},  {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 1.0f}, {1.0f, 0.5f, 0.75f}};

namespace {
// Share of the speed a bit keeps when it bounces off the floor or a side wall.
const f32 kBounce = 0.75f;
}  // namespace

OBloxExpl::OBloxExpl() = default;

OBloxExpl::OBloxExpl(const OBloxExpl& other)
    : TkBaseBound(other),
      debrisTexture(other.debrisTexture),
      fieldMin(other.fieldMin),
      fieldMax(other.fieldMax) {}

bool OBloxExpl::Load() { return debrisTexture.Load("ParticleBit.Tga"); }

void OBloxExpl::SetField(const OVector& min, const OVector& max) {
  fieldMin = min;
  fieldMax = max;
}

TkBaseBound* OBloxExpl::Clone() const { return new OBloxExpl(*this); }

void OBloxExpl::Start() { EmitDebris(BLOX_EXPL_BURST, Random() % DEBRIS_COLOUR_COUNT); }

void OBloxExpl::EmitDebris(i32 n, i32 colourIndex) {
  colourIndex %= DEBRIS_COLOUR_COUNT;
  if (colourIndex < 0) colourIndex += DEBRIS_COLOUR_COUNT;
  const f32* rgb = DEBRIS_COLOURS[colourIndex];
  const f32 birth[4] = {rgb[0], rgb[1], rgb[2], 1.0f};
  const f32 death[4] = {rgb[0], rgb[1], rgb[2], 0.5f};
  const i32 end = debrisCount + n;
  while (debrisCount < end && debrisCount < BLOX_EXPL_MAX_DEBRIS) {
    OParticle& p = debris[debrisCount];
    PlaceAtEmitter(p);
    // Thrown sideways and up or down at up to 0.005 units per ms, pulled down by 0.0000625 to
    // 0.000125 units per ms each tick.
    const f32 vx = static_cast<f32>(Uniform() * 0.01 - 0.005);
    const f32 vy = static_cast<f32>(Uniform() * 0.01 - 0.005);
    p.velocity = OVector(vx, vy, 0.0f);
    p.acceleration = OVector(0.0f, static_cast<f32>(-0.0000625 - Uniform() * 0.0000625), 0.0f);
    p.life = Uniform() * 3500.0 + 500.0;
    SetColours(p, birth, death);
    p.size = (Uniform() + 1.0) * 0.125;
    p.sizeRate = -0.75 * p.size / p.life;
    ++debrisCount;
  }
}

void OBloxExpl::Update(double elapsedMs) {
  for (i32 i = 0; i < debrisCount; ++i) {
    OParticle& p = debris[i];
    if (p.life > 0.0) {
      AgeParticle(p, elapsedMs, true);
      const f32 s = static_cast<f32>(p.size);
      // The floor test looks at the position only: a bit that is still below the floor after a
      // bounce bounces again on the next tick.
      if (p.position.y + s < fieldMin.y) p.velocity.y = -p.velocity.y * kBounce;
      if (p.position.x < fieldMin.x + s) p.velocity.x = std::fabs(p.velocity.x * kBounce);
      if (p.position.x > fieldMax.x - s) p.velocity.x = -std::fabs(p.velocity.x * kBounce);
    }
    if (p.life <= 0.0) RemoveParticle(debris, nullptr, debrisCount, i);
  }
  if (debrisCount == 0) alive = 0;
}

void OBloxExpl::Draw() {
  const bool wasBlending = BeginDraw(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  debrisTexture.Bind();
  DrawParticles(debris, nullptr, debrisCount);
  EndDraw(wasBlending);
}
