// The bonus set: the bag, drop rules, falling, catching, ball hits, TNT and the level-end burst.
#include <gtest/gtest.h>

#include <set>

#include "ObjectsTestSupport.h"

namespace {

struct BonusWorld : GridWorld {
  // The next deals come in this order.
  void StackBag(std::initializer_list<i32> types) {
    int i = 1;
    for (i32 t : types) bonuses.bag[i++] = t;
    bonuses.bagIndex = 0;
  }
  // A brick asks for a drop at `at`; returns how many bonuses are falling afterwards.
  size_t Drop(const OVector& at) {
    grid.bonusDropPending = 1;
    grid.bonusDropPosition = at;
    bonuses.Update(0);
    EXPECT_EQ(grid.bonusDropPending, 0);
    return bonuses.active.size();
  }
};

}  // namespace

// The bag deals its first pass from 1 and later passes from 5; drops fall from the brick unless
// their type is held back; TNT waits for a ball.
TEST(Bonus, TheBagDropsAndTnt) {
  OBonusSet set;
  i32 first[10];
  std::copy(std::begin(set.bag), std::end(set.bag), first);
  // Every type exactly once.
  EXPECT_EQ(std::set<i32>(first, first + 10).size(), 10u);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(set.NextType(), first[i]);
  for (int pass = 0; pass < 20; ++pass) {
    const i32 lastDealt = set.bag[9];
    // Reshuffled, dealt from 5, never starting with the type that ended the old bag.
    EXPECT_EQ(set.NextType(), set.bag[5]);
    EXPECT_NE(set.bag[0], lastDealt);
    for (int i = 6; i <= 9; ++i) set.NextType();
  }

  // Types the bat flags as active are skipped.
  OPlayer bat(nullptr);
  set.bat = &bat;
  set.bagIndex = 5;
  bat.SetActiveBonus(set.bag[6]);
  bat.SetActiveBonus(set.bag[7]);
  EXPECT_EQ(set.NextType(), set.bag[8]);

  // Drops fall from the brick unless their type is held back.
  BonusWorld w;
  w.StackBag({BONUS_SLOW, BONUS_SLOW});
  ASSERT_EQ(w.Drop({1.0f, 2.0f, 30.0f}), 1u);
  OBonus* slow = w.bonuses.active[0];
  EXPECT_EQ(slow, w.bonuses.templates[BONUS_SLOW]);
  EXPECT_EQ(slow->Position(), OVector(1.0f, 2.0f, 30.0f));
  // Falls toward the bat: 0.1 * velocity per ms.
  const f32 vz = slow->velocity.z;
  w.bonuses.Update(100);
  EXPECT_NEAR(slow->Position().z, 30.0f + vz * 10.0f, 1e-4f);
  // A second drop of a type in play is consumed: nothing new falls, the one falling stays put.
  const OVector here = slow->Position();
  EXPECT_EQ(w.Drop({-3.0f, 0.0f, 40.0f}), 1u);
  EXPECT_EQ(slow->Position(), here);
  EXPECT_EQ(w.bonuses.bagIndex, 2);

  BonusWorld v;
  // More balls: not while two balls are in play.
  v.ballSet.launched = 1;
  v.ballSet.AddBall({0.0f, 0.0f, 1.0f});
  v.StackBag({BONUS_MORE_BALLS});
  EXPECT_EQ(v.Drop({0.0f, 0.0f, 30.0f}), 0u);
  // Big and small: not while the bat is widened...
  v.bat.bigTime = 5000;
  v.StackBag({BONUS_BIG, BONUS_SMALL});
  v.Drop({0.0f, 0.0f, 30.0f});
  EXPECT_EQ(v.Drop({0.0f, 0.0f, 30.0f}), 0u);
  // ... nor while another size bonus is falling.
  v.bat.bigTime = -1;
  v.StackBag({BONUS_BIG, BONUS_SMALL});
  v.Drop({0.0f, 0.0f, 30.0f});
  ASSERT_EQ(v.Drop({0.0f, 0.0f, 30.0f}), 1u);
  EXPECT_EQ(v.bonuses.active[0]->bigValue, 30000);

  // TNT lies still and blasts the bricks around it when a ball hits it.
  BonusWorld t;
  OBlock* near = t.AddBrick(t.breakable, 2.0f, 20.0f);  // how far a blast reaches is the grid's
  t.StackBag({BONUS_TNT});
  ASSERT_EQ(t.Drop({0.0f, 0.0f, 20.0f}), 1u);
  OBonus* tnt = t.bonuses.active[0];
  for (int i = 0; i < 500; ++i) t.bonuses.Update(20);
  EXPECT_EQ(tnt->Position(), OVector(0.0f, 0.0f, 20.0f));
  // A ball flies into it.
  OBall* ball = t.PlayBall({0.0f, 0.0f, 19.2f}, {0.0f, 0.0f, 1.0f});
  t.bonuses.Update(10);
  EXPECT_TRUE(t.bonuses.active.empty());
  EXPECT_LT(ball->velocity.z, 1.0f);  // knocked: the exchange took speed off the ball
  EXPECT_NE(near->alpha, 0.0f);       // destroyed by the blast
  EXPECT_EQ(t.bat.score, 10);

  // The corridor moving on takes a TNT with it.
  t.StackBag({BONUS_TNT});
  ASSERT_EQ(t.Drop({0.0f, 0.0f, 10.0f}), 1u);
  t.bonuses.RemoveTnt();
  t.bonuses.Update(0);
  EXPECT_TRUE(t.bonuses.active.empty());
}

// A caught bonus goes to the bat, a missed one is lost behind it. A classic level's end bursts
// the falling bonuses; a modern level's end bursts nothing (the corridor just moves on), its game
// over does.
TEST(Bonus, CaughtMissedAndBurstAtALevelsEnd) {
  BonusWorld w;
  w.ballSet.balls[0]->SetPosition(0.0f, 0.0f, 30.0f);  // out of the bonuses' way
  w.bonuses.Spawn(BONUS_SCORE, {0.0f, 0.0f, 0.6f});
  w.bonuses.Spawn(BONUS_LIFE, {0.0f, 6.0f, 0.0f});
  w.bonuses.Update(1);
  EXPECT_EQ(w.bat.caughtBonus, w.bonuses.templates[BONUS_SCORE]);
  ASSERT_EQ(w.bonuses.active.size(), 1u);
  // The life bonus passes beside the bat and is lost 16 units behind the field's near end.
  OBonus* life = w.bonuses.active[0];
  life->velocity = {0.0f, 0.0f, -1.0f};
  for (int ticks = 0; !w.bonuses.active.empty() && ticks < 1000; ++ticks) w.bonuses.Update(10);
  EXPECT_TRUE(w.bonuses.active.empty());
  EXPECT_NEAR(life->Position().z, -16.5f, 0.6f);
  EXPECT_EQ(w.bat.lives, 5);

  w.bonuses.Spawn(BONUS_SLOW, {0.0f, 0.0f, 30.0f});
  w.grid.status = MAP_LEVEL_DONE;
  for (int tick = 0; tick < 10; ++tick) w.bonuses.Update(10);
  EXPECT_TRUE(w.bonuses.active.empty());

  BonusWorld m;
  m.grid.episode = 4;
  m.bonuses.Spawn(BONUS_SLOW, {0.0f, 0.0f, 30.0f});
  m.grid.status = MAP_LEVEL_DONE;
  m.bonuses.Update(0);
  EXPECT_EQ(m.bonuses.released, 0);
  m.grid.status = MAP_GAME_OVER;
  m.bonuses.Update(0);
  EXPECT_EQ(m.bonuses.released, 1);
}
