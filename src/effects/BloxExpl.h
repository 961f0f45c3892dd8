#pragma once
// The debris of a destroyed brick: one burst of eight coloured bits thrown sideways from the
// brick, falling under a little gravity, bouncing off the field's floor and side walls, and fading
// to half alpha while they shrink. The owner sets the field box after copying the prototype.
#include "assets/Texture.h"
#include "effects/BaseBound.h"
#include "scene/Vector.h"
#include "core/Types.h"

constexpr i32 BLOX_EXPL_MAX_DEBRIS = 64;
constexpr i32 BLOX_EXPL_BURST = 8;
constexpr i32 DEBRIS_COLOUR_COUNT = 12;

// The pastel ring of debris (and firework) colours, RGB.
extern const f32 DEBRIS_COLOURS[DEBRIS_COLOUR_COUNT][3];

class OBloxExpl : public TkBaseBound {
public:
  // An empty prototype; Load gives it its texture.
  OBloxExpl();
  // A working copy: shares the texture and the field box, no particles, alive = 1, finished = 0.
  OBloxExpl(const OBloxExpl& other);
  ~OBloxExpl() override = default;

  // Loads "ParticleBit.Tga"; throws OFileNotFound when it is missing.
  bool Load();
  // The box the debris bounces in, world units.
  void SetField(const OVector& min, const OVector& max);

  TkBaseBound* Clone() const override;
  // The burst: eight bits at the emitter in one colour of the ring.
  void Start() override;
  // Moves, ages and bounces the bits; the system dies when the last is gone.
  void Update(double elapsedMs) override;
  // Blended by alpha.
  void Draw() override;
  i32 ParticleCount() const override { return debrisCount; }

  // Births of up to n bits at the emitter in colour `colourIndex` (0..11, wrapped otherwise).
  void EmitDebris(i32 n, i32 colourIndex);

  OTexture debrisTexture;
  OParticle debris[BLOX_EXPL_MAX_DEBRIS];
  i32 debrisCount = 0;
  OVector fieldMin;  // floor at fieldMin.y, side walls at fieldMin.x and fieldMax.x
  OVector fieldMax;
};
