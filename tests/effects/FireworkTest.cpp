// Fireworks and their pool without a window.
#include <gtest/gtest.h>

#include <set>

#include "effects/Firework.h"
#include "effects/FireworkPool.h"
#include "core/Random.h"

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

// A burst in four neighbouring colours whose sparks fly straight, fade out when their life is
// spent and are all gone within a second.
TEST(Firework, BurstsInItsColoursFliesStraightAndFadesWithinASecond) {
  SeedRandom(5);
  OFireworkPool pool;
  int deleted = 0;
  auto* firework = new CountedFirework(&deleted);
  firework->SetPosition(2.0f, 0.0f, -4.0f);
  ASSERT_TRUE(pool.Add(firework));
  std::set<int> colours;
  for (i32 i = 0; i < 511; ++i) colours.insert(ColourIndex(firework->particles[i].colour));
  EXPECT_EQ(firework->particles[511].active, 0);  // the last slot never lives
  EXPECT_EQ(colours.size(), 4u);
  EXPECT_EQ(*colours.begin(), firework->colourSet);

  // Uneven steps, as the game's clock gives them: 7 + 16 + 30 + 250 = 303 ms.
  for (u32 step : {7u, 16u, 30u, 250u}) pool.Update(step);
  i32 active = 0;
  for (i32 i = 0; i < 511; ++i) {
    const OFireworkParticle& p = firework->particles[i];
    const f32 alpha = firework->SparkAlpha(p);
    // A spark is shown exactly while it has brightness left: its life is longer than the age
    // (a life of exactly the age may round either way).
    if (p.life != 303) {
      EXPECT_EQ(p.active != 0, p.life > 303) << p.life;
    }
    if (!p.active) continue;
    ++active;
    EXPECT_GT(alpha, 0.0f);
    // Straight from the burst's centre at 0.004 units per ms.
    const OVector at = firework->SparkPosition(p);
    EXPECT_NEAR((at - OVector(2.0f, 0.0f, -4.0f)).Length(), 0.004f * 303.0f, 1e-4f);
  }
  EXPECT_GT(active, 0);
  EXPECT_LT(active, 511);
  EXPECT_EQ(firework->liveCount, active + 1);  // the never-born slot counts as alive

  int ms = 303;
  for (; firework->timer >= 0 && ms < 5000; ms += 10) pool.Update(10);
  EXPECT_LE(ms, 1010);
  EXPECT_EQ(deleted, 0);  // deleted on the pool's next update
  pool.Update(10);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(pool.ActiveCount(), 0);

  // The colour set counter stays within 0..3 however it is reseeded.
  for (i32 seed : {0, 3, 4, 7, -1, -4, -5, 32767, 2147483647, -2147483647 - 1}) {
    SeedFireworkColourCounter(seed);
    EXPECT_GE(FireworkColourCounter(), 0) << seed;
    EXPECT_LE(FireworkColourCounter(), 3) << seed;
  }
  // A colour set pushed past the ring by hand wraps instead of reading outside the table.
  OFirework f(6, "", 500);
  f.colourSet = 40;
  OFireworkParticle p{};
  f.InitParticle(p);
  EXPECT_GE(ColourIndex(p.colour), 0);
}

// The thirty-third burst is dropped and the next one bursts once a slot frees; each burst's
// counts stay within its slot's buffer.
TEST(FireworkPool, SlotsAndBuffersBoundEveryBurst) {
  SeedRandom(9);
  OFireworkPool pool;
  OFireworkParticle* buffer5 = pool.slots[5].buffer;
  int deleted = 0;
  for (int i = 0; i < FIREWORK_POOL_SLOTS; ++i) ASSERT_TRUE(pool.Add(new CountedFirework(&deleted)));
  // No slot: deleted at once, without a burst.
  EXPECT_FALSE(pool.Add(new CountedFirework(&deleted)));
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(pool.ActiveCount(), 32);

  pool.slots[5].firework->timer = -1;  // one burst ends
  pool.Update(16);
  EXPECT_EQ(pool.ActiveCount(), 31);
  auto* next = new CountedFirework(&deleted);
  EXPECT_TRUE(pool.Add(next));
  EXPECT_EQ(next->particles, buffer5);  // the same buffer, lent again
  // Adding a held firework again changes nothing (it would be deleted twice).
  EXPECT_FALSE(pool.Add(next));
  EXPECT_FALSE(pool.Add(nullptr));
  pool.Clear();
  EXPECT_EQ(deleted, 2 + 32);

  // More particles than a buffer holds: cut to its room, nothing written past it.
  auto* big = new CountedFirework(&deleted, 4000);
  ASSERT_TRUE(pool.Add(big));
  EXPECT_EQ(big->particleCount, FIREWORK_BUFFER_PARTICLES);
  // A burst of one has nothing to show and ends at its first update; a negative count is none.
  auto* tiny = new CountedFirework(&deleted, 1);
  ASSERT_TRUE(pool.Add(tiny));
  pool.Update(1);
  EXPECT_EQ(tiny->timer, -1);
  auto* none = new CountedFirework(&deleted, -3);
  ASSERT_TRUE(pool.Add(none));
  EXPECT_EQ(none->particleCount, 0);
  // A spread too small for the 150 ms floor gives lives of 150 ms, not a modulo by zero.
  OFirework narrow(8, "", 10);
  auto* short_lived = new OFirework(narrow);
  ASSERT_TRUE(pool.Add(short_lived));
  EXPECT_EQ(short_lived->particles[0].life, 150);
  // Outside the pool there is no buffer: updating or starting touches none.
  OFirework loose(narrow);
  loose.Start();
  loose.Update(10);
  EXPECT_EQ(loose.timer, FIREWORK_TIMER_START - 10);
  // The safety limit: a firework that never fades goes once its timer runs out.
  pool.Clear();
  deleted = 0;
  auto* stuck = new CountedFirework(&deleted);
  pool.Add(stuck);
  stuck->timer = 5;
  stuck->liveCount = 100000;  // pretend sparks remain
  pool.Update(10);
  pool.Update(10);
  EXPECT_EQ(deleted, 1);
}
