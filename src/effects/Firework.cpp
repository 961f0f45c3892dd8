#include "effects/Firework.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "effects/BaseBound.h"
#include "effects/SpriteBatch.h"
#include "core/Random.h"

const f32 FIREWORK_COLOURS[FIREWORK_COLOUR_COUNT][3] = {
    {1.0f, 0.5f, 0.5f},  {1.0f, 0.75f, 0.5f}, {1.0f, 1.0f, 0.5f}, {0.75f, 1.0f, 0.5f},
    {0.5f, 1.0f, 0.5f},  {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f}, {0.5f, 0.75f, 1.0f},
    {0.5f, 0.5f, 1.0f},  {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 1.0f}, {1.0f, 0.5f, 0.75f}};

namespace {
// Bursts choose their first colour among 0..8 and add the counter (0..3), which keeps every
// index inside the ring of 12.
constexpr i32 kColourSets = 9;
constexpr i32 kCounterRange = 4;
i32 colourCounter = 0;

const f32 kSpeed = 0.004f;        // units per ms
const double kDegreesToRadians = 0.017453292519943278;
const double kTwoPi = 6.283185307179586;
}  // namespace

i32 FireworkColourCounter() { return colourCounter; }

void SeedFireworkColourCounter(i32 value) {
  colourCounter = value % kCounterRange;
  if (colourCounter < 0) colourCounter += kCounterRange;
}

OBound::OBound(const OBound& other)
    : O3D(other),
      texture(other.texture),
      timer(FIREWORK_TIMER_START),
      liveCount(0),
      particleCount(other.particleCount),
      particles(nullptr) {}

OFirework::OFirework(i32 count, const std::string& fileName, i32 spread) : lifeSpread(spread) {
  particleCount = count;
  if (!fileName.empty()) texture.Load(fileName);
  SeedFireworkColourCounter(Random());
}

OFirework::OFirework(const OFirework& other)
    : OBound(other), lifeSpread(other.lifeSpread), colourSet(other.colourSet) {
  SeedFireworkColourCounter(Random());
}

void OFirework::Start() {
  if (!particles) return;
  liveCount = particleCount;
  age = 0;
  firstAlive = 0;
  colourSet = Random() % kColourSets;
  // Every particle but the last is born; the last slot never lives, which is why the burst
  // counts as over when fewer than two remain.
  for (i32 i = 0; i + 1 < particleCount; ++i) {
    particles[i].active = 1;
    InitParticle(particles[i]);
  }
  if (particleCount > 0) particles[particleCount - 1].active = 0;
  // Sparks fade in the order of their lives. The additive blending makes the drawing order
  // irrelevant to the picture.
  if (particleCount > 1) {
    std::sort(particles, particles + (particleCount - 1),
              [](const OFireworkParticle& a, const OFireworkParticle& b) { return a.life < b.life; });
  }
}

void OFirework::InitParticle(OFireworkParticle& p) {
  p.position = Position();
  // A random direction: a around the X axis, b away from it.
  const double a = static_cast<double>(Random()) / RANDOM_MAX * kTwoPi;
  const double b = static_cast<double>(Random()) / RANDOM_MAX * 180.0 * kDegreesToRadians;
  p.velocity = OVector(static_cast<f32>(std::cos(b) * kSpeed),
                       static_cast<f32>(std::cos(a) * std::sin(b) * kSpeed),
                       static_cast<f32>(std::sin(a) * std::sin(b) * kSpeed));
  p.unused = OVector();
  p.size = SPARK_SIZE;
  p.alpha = 1.0f;
  // Lives of 150 .. 2 * lifeSpread ms; a spread too small for that range still gives 150 ms
  // rather than a modulo by zero or less.
  i32 range = 2 * lifeSpread - 149;
  if (range < 1) range = 1;
  p.life = Random() % range + 150;
  p.alphaRate = -1.0f / static_cast<f32>(p.life);
  // colourSet is a public field: wrap whatever it holds into the ring.
  i32 index = (colourSet + colourCounter) % FIREWORK_COLOUR_COUNT;
  if (index < 0) index += FIREWORK_COLOUR_COUNT;
  const f32* rgb = FIREWORK_COLOURS[index];
  p.colour[0] = rgb[0];
  p.colour[1] = rgb[1];
  p.colour[2] = rgb[2];
  ++colourCounter;
  if (colourCounter >= kCounterRange) colourCounter = 0;
}

OVector OFirework::SparkPosition(const OFireworkParticle& p) const {
  const f32 t = static_cast<f32>(age);
  return OVector(p.position.x + p.velocity.x * t, p.position.y + p.velocity.y * t,
                 p.position.z + p.velocity.z * t);
}

f32 OFirework::SparkAlpha(const OFireworkParticle& p) const {
  return p.alpha + static_cast<f32>(age) * p.alphaRate;
}

void OFirework::Update(u32 elapsedMs) {
  const i32 t = static_cast<i32>(elapsedMs);
  timer -= t;
  if (!particles) return;
  age += t;
  // A burst of 32 fireworks is 16,000 sparks; moving each of them every tick cost more than the
  // rest of the game's logic. Their state follows from the age instead, and since the sparks lie
  // in the order they fade, the step only looks at the ones fading now.
  while (firstAlive + 1 < particleCount) {
    OFireworkParticle& p = particles[firstAlive];
    if (p.active && SparkAlpha(p) >= 0.0f) break;
    if (p.active) {
      p.active = 0;
      --liveCount;
    }
    ++firstAlive;
  }
  if (liveCount < 2) timer = -1;
}

void OFirework::Draw() {
  if (!particles) return;
  texture.Bind();
  OSpriteBatch& batch = OSpriteBatch::Shared();
  batch.Begin();
  AddSparks(batch);
  batch.Draw(SPARK_HALF_SIDE);
}

void OFirework::AddSparks(OSpriteBatch& batch) const {
  if (!particles) return;
  for (i32 i = firstAlive; i + 1 < particleCount; ++i) {
    const OFireworkParticle& p = particles[i];
    if (!p.active) continue;
    const OVector at = SparkPosition(p);
    // The spark's picture is a premultiplied glow and the pool adds it as it is: the fade goes
    // into the colour here rather than into the blend, which spares the rasteriser a multiply
    // a pixel.
    const f32 alpha = SparkAlpha(p);
    const f32 colour[4] = {p.colour[0] * alpha, p.colour[1] * alpha, p.colour[2] * alpha, alpha};
    batch.Add(at.x, at.y, at.z, colour);
  }
}
