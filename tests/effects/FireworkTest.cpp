// Fireworks and their pool without a window: the burst, the sparks' flight and fading, the
// colour ring, and the 32 buffers lent and given back.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "effects/Firework.h"
#include "effects/FireworkPool.h"
#include "shell/Random.h"

namespace {

// A firework that counts its deletions.
struct CountedFirework : OFirework {
  explicit CountedFirework(int* deleted, i32 count = 512)
      : OFirework(count, "", 500), deleted(deleted) {}
  ~CountedFirework() override { ++*deleted; }
  int* deleted;
};

int ColourIndex(const f32 rgb[3]) {
  for (int i = 0; i < FIREWORK_COLOUR_COUNT; ++i)
    if (FIREWORK_COLOURS[i][0] == rgb[0] && FIREWORK_COLOURS[i][1] == rgb[1] &&
        FIREWORK_COLOURS[i][2] == rgb[2])
      return i;
  return -1;
}

}  // namespace

TEST(Firework, BurstFromItsPositionInFourNeighbouringColours) {
  SeedRandom(21);
  OFireworkPool pool;
  OFirework prototype(512, "", 500);
  auto* firework = new OFirework(prototype);
  firework->SetPosition(1.0f, -2.0f, 9.0f);
  ASSERT_TRUE(pool.Add(firework));
  EXPECT_EQ(firework->particles, pool.slots[0].buffer);
  EXPECT_EQ(firework->liveCount, 512);
  EXPECT_GE(firework->colourSet, 0);
  EXPECT_LE(firework->colourSet, 8);

  std::set<int> colours;
  for (i32 i = 0; i < 511; ++i) {
    const OFireworkParticle& p = firework->particles[i];
    ASSERT_EQ(p.active, 1);
    EXPECT_EQ(p.position, OVector(1.0f, -2.0f, 9.0f));
    EXPECT_NEAR(p.velocity.Length(), 0.004f, 1e-6f);
    EXPECT_GE(p.life, 150);
    EXPECT_LE(p.life, 1000);
    EXPECT_FLOAT_EQ(p.alphaRate * static_cast<f32>(p.life), -1.0f);
    colours.insert(ColourIndex(p.colour));
  }
  // The last slot of the buffer never lives.
  EXPECT_EQ(firework->particles[511].active, 0);
  // Neighbouring sparks take four consecutive colours starting at the burst's set.
  EXPECT_EQ(colours.size(), 4u);
  EXPECT_EQ(*colours.begin(), firework->colourSet);
  EXPECT_EQ(*colours.rbegin(), firework->colourSet + 3);
  const int a = ColourIndex(firework->particles[10].colour);
  const int b = ColourIndex(firework->particles[11].colour);
  EXPECT_EQ(b - firework->colourSet, (a - firework->colourSet + 1) % 4);
}

TEST(Firework, FadesWithinASecondAndFreesItsSlot) {
  SeedRandom(4);
  OFireworkPool pool;
  int deleted = 0;
  auto* firework = new CountedFirework(&deleted);
  pool.Add(firework);
  const OVector start = firework->particles[0].position;
  const OVector v = firework->particles[0].velocity;
  pool.Update(10);
  // Straight-line flight.
  EXPECT_NEAR(firework->particles[0].position.x, start.x + v.x * 10.0f, 1e-6f);
  int ms = 10;
  while (firework->timer >= 0 && ms < 5000) {
    pool.Update(10);
    ms += 10;
  }
  EXPECT_LE(ms, 1010);
  EXPECT_EQ(firework->timer, -1);
  EXPECT_EQ(deleted, 0);  // deleted on the pool's next update
  EXPECT_EQ(pool.ActiveCount(), 1);
  pool.Update(10);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(pool.ActiveCount(), 0);
  EXPECT_EQ(pool.slots[0].firework, nullptr);
}

TEST(FireworkPool, ThirtyThirdIsDroppedAndTheNextBurstsOnceASlotFrees) {
  SeedRandom(9);
  OFireworkPool pool;
  OFireworkParticle* buffers[FIREWORK_POOL_SLOTS];
  for (int i = 0; i < FIREWORK_POOL_SLOTS; ++i) buffers[i] = pool.slots[i].buffer;
  int deleted = 0;
  for (int i = 0; i < FIREWORK_POOL_SLOTS; ++i) ASSERT_TRUE(pool.Add(new CountedFirework(&deleted)));
  EXPECT_EQ(pool.ActiveCount(), 32);
  // No slot: deleted at once, without a burst.
  EXPECT_FALSE(pool.Add(new CountedFirework(&deleted)));
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(pool.ActiveCount(), 32);

  // One burst ends (slot 5), the next update frees its slot.
  pool.slots[5].firework->timer = -1;
  pool.Update(16);
  EXPECT_EQ(deleted, 2);
  EXPECT_EQ(pool.ActiveCount(), 31);
  auto* next = new CountedFirework(&deleted);
  EXPECT_TRUE(pool.Add(next));
  EXPECT_EQ(pool.slots[5].firework, next);
  EXPECT_EQ(next->particles, buffers[5]);  // the same buffer, lent again
  EXPECT_EQ(next->liveCount, 512);
  EXPECT_EQ(next->particles[0].active, 1);
  // Adding a held firework again changes nothing (it would be deleted twice).
  EXPECT_FALSE(pool.Add(next));
  EXPECT_FALSE(pool.Add(nullptr));
  EXPECT_EQ(pool.ActiveCount(), 32);

  pool.Clear();
  EXPECT_EQ(deleted, 2 + 32);
  EXPECT_EQ(pool.ActiveCount(), 0);
  for (int i = 0; i < FIREWORK_POOL_SLOTS; ++i) EXPECT_EQ(pool.slots[i].buffer, buffers[i]);
}

TEST(FireworkPool, ParticleCountsStayWithinTheBuffer) {
  OFireworkPool pool;
  int deleted = 0;
  // More particles than a buffer holds: cut to its room, nothing written past it.
  auto* big = new CountedFirework(&deleted, 4000);
  ASSERT_TRUE(pool.Add(big));
  EXPECT_EQ(big->particleCount, FIREWORK_BUFFER_PARTICLES);
  // A burst of one or none has nothing to show and ends at its first update.
  auto* tiny = new CountedFirework(&deleted, 1);
  ASSERT_TRUE(pool.Add(tiny));
  pool.Update(1);
  EXPECT_EQ(tiny->timer, -1);
  auto* none = new CountedFirework(&deleted, -3);
  ASSERT_TRUE(pool.Add(none));
  EXPECT_EQ(none->particleCount, 0);
  // A spread too small for the 150 ms floor still gives lives of 150 ms, not a modulo by zero.
  OFirework narrow(8, "", 10);
  ASSERT_TRUE(pool.Add(new OFirework(narrow)));
  EXPECT_EQ(pool.slots[3].firework->particles[0].life, 150);
  // A firework outside the pool has no buffer: updating or starting it touches none.
  OFirework loose(narrow);
  loose.Start();
  loose.Update(10);
  EXPECT_EQ(loose.timer, FIREWORK_TIMER_START - 10);
  // The safety limit: a firework that never fades is deleted once its timer runs out.
  pool.Clear();
  auto* stuck = new CountedFirework(&deleted);
  pool.Add(stuck);
  stuck->timer = 5;
  deleted = 0;
  pool.Update(0);  // 0 ms: nothing moves, nothing ends
  EXPECT_EQ(stuck->timer, 5);
  stuck->liveCount = 1000;  // pretend sparks remain
  pool.Update(10);
  pool.Update(10);
  EXPECT_EQ(deleted, 1);
}

TEST(FireworkColourCounter, StaysWithinZeroToThreeHoweverReseeded) {
  const i32 seeds[] = {0, 3, 4, 7, -1, -4, -5, 32767, 2147483647, -2147483647 - 1};
  for (i32 seed : seeds) {
    SeedFireworkColourCounter(seed);
    EXPECT_GE(FireworkColourCounter(), 0) << seed;
    EXPECT_LE(FireworkColourCounter(), 3) << seed;
  }
  SeedFireworkColourCounter(6);
  EXPECT_EQ(FireworkColourCounter(), 2);
  // Constructors reseed at random; a burst that follows still reads inside the ring even from
  // the highest colour set.
  SeedRandom(0);
  OFireworkPool pool;
  for (int i = 0; i < 200; ++i) {
    auto* f = new OFirework(6, "", 500);
    ASSERT_GE(FireworkColourCounter(), 0);
    ASSERT_LE(FireworkColourCounter(), 3);
    ASSERT_TRUE(pool.Add(f));
    for (i32 k = 0; k < 5; ++k) ASSERT_GE(ColourIndex(f->particles[k].colour), 0);
    pool.Clear();
  }
  // A colour set pushed past the ring by hand wraps instead of reading outside the table.
  OFirework f(6, "", 500);
  f.colourSet = 40;
  OFireworkParticle p{};
  f.InitParticle(p);
  EXPECT_GE(ColourIndex(p.colour), 0);
}
