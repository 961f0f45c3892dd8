#pragma once
// The trail of a rocket: every 20 ms two grey smoke puffs that grow and fade over 1.5 to 2 s and
// one short additive flame, drawn over the smoke.
#include "assets/Texture.h"
#include "effects/BaseBound.h"
#include "core/Types.h"

constexpr i32 HELL_TRAIL_MAX_FLAMES = 32;
constexpr i32 HELL_TRAIL_MAX_SMOKE = 256;

class OHellTrail : public TkBaseBound {
public:
  // An empty prototype; Load gives it its textures.
  OHellTrail();
  // A working copy: shares the textures, no particles, alive = 1, finished = 0.
  OHellTrail(const OHellTrail& other);
  ~OHellTrail() override = default;

  // Loads "xFlame2x2.jpg" and "CoDSmoke2.Tga"; throws OFileNotFound when one is missing.
  bool Load();

  TkBaseBound* Clone() const override;
  void Update(double elapsedMs) override;
  // The smoke blended by its alpha, then the flames additively.
  void Draw() override;
  i32 ParticleCount() const override { return flameCount + smokeCount; }

  // Births of up to n particles at the emitter; a full array drops the rest.
  void EmitFlames(i32 n);
  void EmitSmoke(i32 n);

  OTexture flameTexture;
  OTexture smokeTexture;
  OParticle flames[HELL_TRAIL_MAX_FLAMES];
  OAtlasCell flameCells[HELL_TRAIL_MAX_FLAMES];
  i32 flameCount = 0;
  OParticle smoke[HELL_TRAIL_MAX_SMOKE];
  i32 smokeCount = 0;
};
