#pragma once
// The base of the game's small particle systems: the flame trail of a heavy ball, the flame and
// smoke trail of a rocket and the debris of a destroyed brick. A system keeps its particles in
// fixed arrays inside the object, emits at a fixed rate or in one burst, ages its particles with
// per-millisecond colour and size rates, and draws them as textured squares in the world XY plane.
// Working systems are copies of a prototype that loaded the textures; the program-wide particle
// list owns them once registered and deletes them when `alive` drops to 0.
#include "scene/Vector.h"
#include "core/Types.h"

// One particle. Rates are per millisecond; `acceleration` is added to the velocity once per tick.
struct OParticle {
  OVector position;      // world units
  OVector velocity;      // units per ms
  OVector acceleration;  // units per ms, per tick
  f32 colour[4];         // RGBA 0..1
  f32 colourRate[4];     // change per ms
  double life;           // ms left; the particle dies at <= 0
  double size;           // half the side of its square, world units
  double sizeRate;       // change per ms
  double distance;       // distance of the birth position from (0, 0, -2); informational
};

// The spark, smoke and flame pictures hold the middle nine tenths of a particle's square, and are
// drawn on squares that much smaller: the rim left out is nearly clear (a spark's at most 4 steps
// of 255), while a particle's pixels are the dearest part of a frame full of fireworks and rockets.
constexpr f32 PARTICLE_PICTURE_REACH = 0.9f;

// Where a particle's picture sits in a 2 x 2 texture atlas: (0 | 0.5, 0 | 0.5).
struct OAtlasCell {
  f32 u;
  f32 v;
};

class TkBaseBound {
public:
  TkBaseBound() = default;
  // A new working system of the same kind: shares the textures, has no particles, alive = 1,
  // finished = 0. The caller owns it.
  virtual TkBaseBound* Clone() const;
  virtual ~TkBaseBound() = default;
  // Begins the system's life (the debris burst); trails do nothing here.
  virtual void Start();
  // Ages the particles by elapsedMs and emits new ones.
  virtual void Update(double elapsedMs);
  // Draws the live particles with depth writes off; puts the blend factors back to
  // (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), the colour to white and depth writes on.
  virtual void Draw();
  // Particles alive in all of the system's arrays.
  virtual i32 ParticleCount() const;

  TkBaseBound& operator=(const TkBaseBound&) = delete;

  u8 alive = 1;             // 0: the particle list deletes the system on its next update
  u8 finished = 0;          // 1: no more births; a trail dies once its flames are gone
  i32 emitRate = 1;         // not read by the emission rule (which is fixed per class)
  double emitTimer = 0.0;   // ms since the last emission
  OVector emitter;          // world position of the source, set by the owner every tick

protected:
  // Copies only the settings; derived copies start with empty arrays.
  TkBaseBound(const TkBaseBound& other);

  // Ages one particle by t ms when its life is > 0: colour, size and life, and for moving
  // particles the position (by velocity * t) and the velocity (by the acceleration, once).
  static void AgeParticle(OParticle& p, double t, bool moves);
  // Moves the last particle (and its atlas cell, when cells is given) into slot `index` and
  // shortens the array by one.
  static void RemoveParticle(OParticle* particles, OAtlasCell* cells, i32& count, i32 index);
  // Ages particles[0..count) without motion and removes the dead; a particle moved into a hole
  // is aged on the next tick.
  static void AgeParticles(OParticle* particles, OAtlasCell* cells, i32& count, double t);
  // One textured square per particle with life >= 0; cells null means the whole texture. A
  // picture that holds only the middle `reach` (0..1] of the particle's square is drawn on a
  // square that much smaller.
  static void DrawParticles(const OParticle* particles, const OAtlasCell* cells, i32 count,
                            f32 reach = 1.0f);
  // Depth writes off, blending on with (src, dst). Returns whether blending was on before.
  static bool BeginDraw(u32 src, u32 dst);
  // Blend factors back to (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), colour white, depth writes on,
  // blending as it was before BeginDraw.
  static void EndDraw(bool wasBlending);
  // A uniform value in [0, 1] from the program's generator.
  static double Uniform();
  // Birth at the emitter with a random offset of up to +-0.125 per axis, no motion.
  void PlaceAtEmitter(OParticle& p) const;
  // Sets the colour, the colour at death and derives the colour rate over p.life.
  static void SetColours(OParticle& p, const f32 birth[4], const f32 death[4]);
  // One of the four 2 x 2 atlas cells at random.
  static OAtlasCell RandomCell();
};
