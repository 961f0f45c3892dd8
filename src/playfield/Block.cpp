#include "playfield/Block.h"

#include <cmath>

#include "assets/ModelData.h"
#include "core/Random.h"

namespace {
constexpr f32 PI = 3.14159265f;
// A quarter turn at pi/32 per 20 ms: the spin rate is scaled by 0.05 per ms.
constexpr f32 SPIN_SPEED = PI / 32.0f;
constexpr f32 SPIN_PER_MS = 0.05f;
}  // namespace

OBlock::OBlock() { life = BRICK_LIFE; }

OBlock::OBlock(const OBlock& prototype)
    : OModel(prototype),
      fadeRate(prototype.fadeRate),
      points(prototype.points),
      kind(prototype.kind),
      layerIndex(prototype.layerIndex),
      code10(prototype.code10) {
  life = prototype.life;
  extent = prototype.extent;
  boxMin = prototype.boxMin;
  boxMax = prototype.boxMax;
  obbExtent = prototype.obbExtent;
  obbCentre = prototype.obbCentre;
}

bool OBlock::LoadPrototype(const std::string& fileName, i32 newPoints, i32 newKind,
                           f32 halfWidth) {
  // Bricks come in two levels of detail and are lit smoothly from outside.
  data->useDetail = 1;
  data->flatNormals = 0;
  data->invertNormals = 0;
  Load(fileName);
  SetupPrototype(newPoints, newKind, halfWidth);
  BuildLists();
  return true;
}

void OBlock::SetupPrototype(i32 newPoints, i32 newKind, f32 halfWidth) {
  points = newPoints;
  kind = newKind;
  life = BRICK_LIFE;
  ComputePickBox();
  ComputeBounds();
  // Relative to the current size, so that geometry another grid already scaled stays as it is.
  if (localMax.x != 0.0f) ScaleUniform(halfWidth / localMax.x);
  ComputePickBox();
  ComputeBounds();
  visible.assign(static_cast<size_t>(data->ObjectCount()) + 1, 0);
  damageStage = 0;
  ShowObject(0, true);
}

i32 OBlock::Hit() {
  if (kind == BRICK_SOLID) {
    if (!spinning) StartSpin();
    return HIT_NOTHING;
  }
  // One model object per damage stage; the last one shown means the next hit destroys.
  const i32 lastStage = data->lastObjectIndex;
  if (lastStage > 0 && damageStage < lastStage) {
    ++damageStage;
    ShowObject(static_cast<u32>(damageStage), true);
    return HIT_DAMAGED;
  }
  if (alpha == 0.0f && fadeRate == 0.0f) {
    SetAlpha(1.0f);
    fadeRate = BRICK_FADE_RATE;
    return HIT_DESTROYED;
  }
  return HIT_NOTHING;
}

void OBlock::StartSpin() {
  spinAxis = (Random() % 6) < 3 ? OVector(0.0f, 0.0f, 1.0f) : OVector(0.0f, 0.0f, -1.0f);
  spinSpeed = SPIN_SPEED;
  spinTarget = spinAngle + PI * 0.5f;
  spinning = 1;
}

void OBlock::Update(u32 elapsedMs) {
  if (life < 0) return;
  const f32 t = static_cast<f32>(elapsedMs);
  alpha -= t * fadeRate;
  if (alpha != 0.0f) {
    // Swells from 1.0 toward 1.5 as it fades.
    const f32 s = (1.0f - alpha) * 0.5f + 1.0f;
    SetScale(s, s, s);
  }
  // A fading brick whose alpha lands exactly on 0 would look alive again for a tick (and could
  // be destroyed and scored a second time): it is dead as well.
  if (alpha < 0.0f || (fadeRate > 0.0f && alpha <= 0.0f)) {
    life = -1;
    return;
  }
  // The scatter drift: once per tick, not scaled by time.
  if (velocity.z != 0.0f) SetPosition(Position() + velocity);
  if (spinning) {
    f32 step = t * spinSpeed * SPIN_PER_MS;
    if (spinAngle + step > spinTarget) {
      spinning = 0;
      step = spinTarget - spinAngle;
    }
    spinAngle += step;
    RotateAxis(step, spinAxis);
  }
}
