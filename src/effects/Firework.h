#pragma once
// Fireworks: every bonus that leaves play bursts into a few hundred glowing particles flying out in
// all directions from its position and fading within a second. OBound is the abstract burst;
// OFirework the one kind the game has. A firework's particles live in a buffer lent by the
// firework pool, so a burst allocates no particle memory.
#include <string>

#include "assets/Texture.h"
#include "effects/BaseBound.h"
#include "scene/Object3D.h"
#include "core/Types.h"

class OSpriteBatch;

// One firework particle. Moves in a straight line at a steady speed and fades at a steady rate,
// so where it is and how bright follow from its birth and the burst's age: nothing about a spark
// changes while it flies, only `active` when it has faded out.
struct OFireworkParticle {
  u8 active;
  OVector position;  // world units, at birth
  OVector velocity;  // units per ms
  OVector unused;
  i32 life;          // ms it was born with
  f32 size;          // half the side of its square, world units
  f32 alpha;         // 1 at birth; fades to 0 over `life`
  f32 alphaRate;     // per ms (negative)
  f32 colour[3];     // RGB
};

constexpr i32 FIREWORK_TIMER_START = 65535;  // ms: the safety limit on a firework's life
constexpr i32 FIREWORK_COLOUR_COUNT = 12;
constexpr f32 SPARK_SIZE = 0.375f;  // half the side of a spark's glow, world units
// Half the side of a spark's square as drawn: the glow cut to the part its picture holds.
constexpr f32 SPARK_HALF_SIDE = SPARK_SIZE * PARTICLE_PICTURE_REACH;

// The colour ring of the bursts (the same pastel ring as the brick debris), RGB.
extern const f32 FIREWORK_COLOURS[FIREWORK_COLOUR_COUNT][3];

// The program-wide colour counter: neighbouring particles take consecutive colours of the ring.
// Always 0..3; a reseed maps any value into that range.
i32 FireworkColourCounter();
void SeedFireworkColourCounter(i32 value);

class OBound : public O3D {
public:
  OBound() = default;
  OBound(const OBound& other);
  OBound& operator=(const OBound&) = delete;
  ~OBound() override = default;

  // Ages the burst by elapsedMs; sets `timer` to -1 once fewer than two are alive.
  void Update(u32 elapsedMs) override = 0;
  void Draw() override = 0;
  // The burst: every particle but the last of the buffer is born at once.
  virtual void Start() = 0;
  virtual void InitParticle(OFireworkParticle& p) = 0;

  OTexture texture;                     // the particle picture; copies share the image
  i32 timer = FIREWORK_TIMER_START;     // ms left; -1 = dead, the pool deletes it
  i32 liveCount = 0;                    // particles alive (counting one never-born slot)
  i32 particleCount = 0;                // particles the burst uses, at most the buffer's room
  OFireworkParticle* particles = nullptr;  // lent by the pool while the firework is in it
  i32 age = 0;                          // ms since the burst
};

class OFirework : public OBound {
public:
  // The prototype: loads "Data/Textures/" + fileName (throws OFileNotFound when it is missing;
  // an empty name loads nothing and the sparks are drawn untextured),
  // keeps particleCount and lifeSpread (particle lives run 150 .. 2 * lifeSpread ms). Also
  // reseeds the colour counter at random.
  OFirework(i32 particleCount, const std::string& fileName, i32 lifeSpread = 500);
  // A copy to burst: shares the texture, copies the counts, the spread and the position; timer
  // 65535, no buffer. Reseeds the colour counter at random.
  OFirework(const OFirework& other);
  ~OFirework() override = default;

  // Costs the same however many sparks fly: only the sparks that fade out on this step are
  // visited.
  void Update(u32 elapsedMs) override;
  // The active particles as textured squares in the world XY plane, this burst alone; the caller
  // sets the blending (the pool batches its bursts through AddSparks instead).
  void Draw() override;
  // Adds the active particles to a batch of squares of SPARK_HALF_SIDE showing this burst's
  // picture: the pool draws the bursts that share a picture in one batch.
  void AddSparks(OSpriteBatch& batch) const;
  // Needs a buffer: liveCount = particleCount, a colour set 0..8 at random, particles 0 to
  // particleCount - 2 born at the firework's position. The born sparks are put in the order they
  // will fade (shortest life first), so the ones still alive are always the tail of the buffer.
  void Start() override;
  void InitParticle(OFireworkParticle& p) override;

  // Where a spark of this burst is now and how bright (negative once it has faded).
  OVector SparkPosition(const OFireworkParticle& p) const;
  f32 SparkAlpha(const OFireworkParticle& p) const;

  i32 lifeSpread = 500;  // ms; particle lives are 150 .. 2 * lifeSpread
  i32 colourSet = 0;     // 0..8: first colour of the ring used by this burst

private:
  i32 firstAlive = 0;  // sparks before it have faded out
};
