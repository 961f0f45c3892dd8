// A long random run of every effect at once, as a busy game would drive them: trails following
// moving balls and rockets, bursts of debris anywhere (also outside the field), more fireworks
// than the pool holds, ticks of 0 to 500 ms. Every tick the counts stay within their arrays and
// every particle stays finite; at the end everything burns out and the containers empty.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effects/BallTrail.h"
#include "effects/BloxExpl.h"
#include "effects/FireworkPool.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "core/Random.h"

namespace {

bool Finite(const OVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool ParticlesSound(const OParticle* particles, i32 count, i32 capacity) {
  if (count < 0 || count > capacity) return false;
  for (i32 i = 0; i < count; ++i) {
    const OParticle& p = particles[i];
    if (!Finite(p.position) || !Finite(p.velocity) || !std::isfinite(p.size) ||
        !std::isfinite(p.life))
      return false;
    for (f32 c : p.colour)
      if (!std::isfinite(c)) return false;
  }
  return true;
}

// Checks one system of any of the three kinds.
bool SystemSound(const TkBaseBound* system) {
  if (auto* t = dynamic_cast<const OBallTrail*>(system))
    return ParticlesSound(t->flames, t->flameCount, BALL_TRAIL_MAX_FLAMES);
  if (auto* t = dynamic_cast<const OHellTrail*>(system))
    return ParticlesSound(t->flames, t->flameCount, HELL_TRAIL_MAX_FLAMES) &&
           ParticlesSound(t->smoke, t->smokeCount, HELL_TRAIL_MAX_SMOKE);
  if (auto* d = dynamic_cast<const OBloxExpl*>(system))
    return ParticlesSound(d->debris, d->debrisCount, BLOX_EXPL_MAX_DEBRIS);
  return false;
}

// A running firework: its live count is one more than its active sparks (the never-born last
// slot) until it ends, and its sparks are finite.
bool FireworkSound(const OFirework& f) {
  if (f.particleCount < 0 || f.particleCount > FIREWORK_BUFFER_PARTICLES) return false;
  i32 active = 0;
  for (i32 i = 0; i + 1 < f.particleCount; ++i) {
    const OFireworkParticle& p = f.particles[i];
    if (!p.active) continue;
    ++active;
    const f32 alpha = f.SparkAlpha(p);
    if (!Finite(f.SparkPosition(p)) || !std::isfinite(alpha) || alpha < 0.0f) return false;
  }
  return f.timer < 0 || f.liveCount == active + 1;
}

f32 Spread(f32 range) { return (static_cast<f32>(Random()) / RANDOM_MAX * 2.0f - 1.0f) * range; }

}  // namespace

TEST(EffectsInvariant, RandomLoadKeepsCountsInTheirArrays) {
  SeedRandom(12345);
  OParticleList list;
  OFireworkPool pool;
  const OBallTrail ballPrototype;
  const OHellTrail rocketPrototype;
  OBloxExpl debrisPrototype;
  debrisPrototype.SetField(OVector(-6, -4, 0), OVector(6, 4, 24));
  const OFirework fireworkPrototype(512, "", 500);

  // The owners' side: the systems they still steer (the list owns them).
  std::vector<TkBaseBound*> steered;
  int dropped = 0, burst = 0;
  f32 clock = 0.0f;
  for (int tick = 0; tick < 20000; ++tick) {
    const int roll = Random() % 1000;
    if (roll < 4 && steered.size() < 6) {
      TkBaseBound* s = (roll < 2) ? ballPrototype.Clone() : rocketPrototype.Clone();
      list.Add(s);
      steered.push_back(s);
    } else if (roll < 7 && !steered.empty()) {
      // A heavy ball's state ends (burn out) or a rocket explodes / a ball is lost (at once).
      TkBaseBound* s = steered.back();
      steered.pop_back();
      if (roll == 6) {
        s->alive = 0;
      } else {
        s->finished = 1;
      }
    } else if (roll < 40) {
      auto* d = static_cast<OBloxExpl*>(debrisPrototype.Clone());
      d->emitter = OVector(Spread(9), Spread(6), 12 + Spread(12));  // also outside the field
      d->Start();
      list.Add(d);
    } else if (roll < 70) {
      // Bursts in volleys: sometimes far more than 32 at once.
      const int volley = roll < 45 ? 40 : 1;
      for (int i = 0; i < volley; ++i) {
        auto* f = new OFirework(fireworkPrototype);
        f->SetPosition(Spread(5), Spread(4), 10 + Spread(10));
        (pool.Add(f) ? burst : dropped)++;
      }
    }
    clock += 0.01f;
    for (size_t i = 0; i < steered.size(); ++i)
      steered[i]->emitter = OVector(5 * std::sin(clock + i), 3 * std::cos(clock * 1.3f), 12);

    const int kind = Random() % 100;
    const u32 dt = kind < 3 ? 0 : kind < 4 ? 500 : static_cast<u32>(5 + Random() % 40);
    pool.Update(dt);
    list.Update(dt);

    ASSERT_LE(pool.ActiveCount(), FIREWORK_POOL_SLOTS);
    for (const auto& slot : pool.slots) {
      if (slot.firework) {
        ASSERT_TRUE(FireworkSound(*slot.firework)) << "tick " << tick;
      }
    }
    for (const TkBaseBound* s : list.systems) ASSERT_TRUE(SystemSound(s)) << "tick " << tick;
  }
  EXPECT_GT(dropped, 0);  // the volleys did overflow the pool
  EXPECT_GT(burst, 100);

  // Everything left burns out within a few seconds and the containers empty.
  for (TkBaseBound* s : steered) s->finished = 1;
  for (int t = 0; t < 400; ++t) {
    pool.Update(16);
    list.Update(16);
  }
  EXPECT_EQ(pool.ActiveCount(), 0);
  EXPECT_EQ(list.Count(), 0u);
}
