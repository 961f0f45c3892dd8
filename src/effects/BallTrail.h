#pragma once
// The flame trail of a heavy ball: one additive flame puff every 20 ms at the ball's position,
// each shrinking and darkening over 250 to 500 ms.
#include "assets/Texture.h"
#include "effects/BaseBound.h"
#include "core/Types.h"

constexpr i32 BALL_TRAIL_MAX_FLAMES = 128;

class OBallTrail : public TkBaseBound {
public:
  // An empty prototype; Load gives it its texture.
  OBallTrail();
  // A working copy: shares the texture, no particles, alive = 1, finished = 0.
  OBallTrail(const OBallTrail& other);
  ~OBallTrail() override = default;

  // Loads "xFlame2x2.jpg" (a 2 x 2 atlas of flames); throws OFileNotFound when it is missing.
  bool Load();

  TkBaseBound* Clone() const override;
  void Update(double elapsedMs) override;
  // Additive (GL_ONE, GL_ONE).
  void Draw() override;
  i32 ParticleCount() const override { return flameCount; }

  // Births of up to n flames at the emitter; a full array drops the rest.
  void EmitFlames(i32 n);

  OTexture flameTexture;
  OParticle flames[BALL_TRAIL_MAX_FLAMES];
  OAtlasCell flameCells[BALL_TRAIL_MAX_FLAMES];
  i32 flameCount = 0;
};
