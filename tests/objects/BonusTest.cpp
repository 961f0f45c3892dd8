// The bonus set: the bag, drop rules, falling, catching, ball hits, TNT and the level-end burst.
#include <gtest/gtest.h>

#include <set>

#include "ObjectsTestSupport.h"
#include "playfield/VoxelMap.h"

namespace {

// A world with a grid (no level loaded: the classic cage, no bricks) wired to the sets.
struct BonusWorld : ObjectsWorld {
  BonusWorld() {
    grid.status = MAP_PLAYING;
    grid.ballSet = &ballSet;
    grid.bonusSet = &bonuses;
    bonuses.grid = &grid;
    ballSet.grid = &grid;
    bullets.grid = &grid;
    bat.SetPosition(0.0f, 0.0f, 0.0f);
    bat.UpdateBounds();
  }
  // The next deals come in this order.
  void StackBag(std::initializer_list<i32> types) {
    int i = 1;
    for (i32 t : types) bonuses.bag[i++] = t;
    bonuses.bagIndex = 0;
  }
  void RequestDrop(const OVector& at) {
    grid.bonusDropPending = 1;
    grid.bonusDropPosition = at;
  }
  OVoxelMap grid;
};

}  // namespace

TEST(Bonus, BagDealsItsFirstPassFromOneAndLaterPassesFromFive) {
  OBonusSet set;
  i32 first[10];
  std::copy(std::begin(set.bag), std::end(set.bag), first);
  // Every type exactly once.
  EXPECT_EQ(std::set<i32>(first, first + 10).size(), 10u);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(set.NextType(), first[i]);
  for (int pass = 0; pass < 20; ++pass) {
    const i32 lastDealt = set.bag[9];
    const i32 t = set.NextType();  // reshuffles
    EXPECT_EQ(set.bagIndex, 5);
    EXPECT_EQ(t, set.bag[5]);
    // The reshuffled bag never starts with the type that ended the old one.
    EXPECT_NE(set.bag[0], lastDealt);
    for (int i = 6; i <= 9; ++i) EXPECT_EQ(set.NextType(), set.bag[i]);
  }

  // Types the bat flags as active are skipped.
  OPlayer bat(nullptr);
  set.bat = &bat;
  set.bagIndex = 5;
  bat.SetActiveBonus(set.bag[6]);
  bat.SetActiveBonus(set.bag[7]);
  EXPECT_EQ(set.NextType(), set.bag[8]);
}

TEST(Bonus, DropsFallFromTheBrickAndASecondDropOfATypeInPlayIsConsumed) {
  BonusWorld w;
  w.StackBag({BONUS_SLOW, BONUS_SLOW, BONUS_SCORE});
  w.RequestDrop({1.0f, 2.0f, 30.0f});
  w.bonuses.Update(0);
  EXPECT_EQ(w.grid.bonusDropPending, 0);
  ASSERT_EQ(w.bonuses.active.size(), 1u);
  OBonus* slow = w.bonuses.active[0];
  EXPECT_EQ(slow, w.bonuses.templates[BONUS_SLOW]);
  EXPECT_EQ(slow->Position(), OVector(1.0f, 2.0f, 30.0f));
  EXPECT_LE(slow->velocity.z, -0.0625f);
  EXPECT_GE(slow->velocity.z, -0.125f);
  EXPECT_EQ(slow->life, BONUS_NO_LIMIT);

  // Falls toward the bat: 0.1 * velocity per ms.
  const f32 vz = slow->velocity.z;
  w.bonuses.Update(100);
  EXPECT_NEAR(slow->Position().z, 30.0f + vz * 10.0f, 1e-4f);

  // The second slow drop is consumed: the bag moved on, nothing new falls, nothing moved back.
  const OVector here = slow->Position();
  w.RequestDrop({-3.0f, 0.0f, 40.0f});
  w.bonuses.Update(0);
  EXPECT_EQ(w.grid.bonusDropPending, 0);
  EXPECT_EQ(w.bonuses.active.size(), 1u);
  EXPECT_EQ(slow->Position(), here);
  EXPECT_EQ(w.bonuses.bagIndex, 2);
}

TEST(Bonus, DropRulesHoldBackMoreBallsAndSizeBonuses) {
  BonusWorld w;
  // More balls: not while two balls are in play.
  w.ballSet.launched = 1;
  w.ballSet.AddBall({0.0f, 0.0f, 1.0f});
  w.StackBag({BONUS_MORE_BALLS});
  w.RequestDrop({0.0f, 0.0f, 30.0f});
  w.bonuses.Update(0);
  EXPECT_TRUE(w.bonuses.active.empty());
  EXPECT_EQ(w.grid.bonusDropPending, 0);

  // Big and small: not while the bat is widened or narrowed...
  w.bat.bigTime = 5000;
  w.StackBag({BONUS_BIG, BONUS_SMALL});
  w.RequestDrop({0.0f, 0.0f, 30.0f});
  w.bonuses.Update(0);
  w.RequestDrop({0.0f, 0.0f, 30.0f});
  w.bonuses.Update(0);
  EXPECT_TRUE(w.bonuses.active.empty());
  // ... nor while another size bonus is falling.
  w.bat.bigTime = -1;
  w.StackBag({BONUS_BIG, BONUS_SMALL});
  w.RequestDrop({0.0f, 0.0f, 30.0f});
  w.bonuses.Update(0);
  w.RequestDrop({0.0f, 0.0f, 30.0f});
  w.bonuses.Update(0);
  ASSERT_EQ(w.bonuses.active.size(), 1u);
  EXPECT_EQ(w.bonuses.active[0]->bigValue, 30000);
}

TEST(Bonus, CaughtBonusGoesToTheBatAndAMissedOneIsLostBehindIt) {
  BonusWorld w;
  w.ballSet.balls[0]->SetPosition(0.0f, 0.0f, 30.0f);  // out of the bonuses' way
  w.bonuses.Spawn(BONUS_SCORE, {0.0f, 0.0f, 0.6f});
  w.bonuses.Spawn(BONUS_LIFE, {0.0f, 6.0f, 0.0f});
  w.bonuses.Update(1);
  EXPECT_EQ(w.bat.caughtBonus, w.bonuses.templates[BONUS_SCORE]);
  ASSERT_EQ(w.bonuses.active.size(), 1u);
  // The template is ready for its next drop.
  EXPECT_EQ(w.bonuses.templates[BONUS_SCORE]->life, BONUS_NO_LIMIT);
  EXPECT_EQ(w.bonuses.templates[BONUS_SCORE]->velocity, OVector());
  w.bat.Update(1);
  EXPECT_EQ(w.bat.score, 100);

  // The life bonus passes beside the bat and is lost 16 units behind the field's near end.
  OBonus* life = w.bonuses.active[0];
  life->velocity = {0.0f, 0.0f, -1.0f};
  int ticks = 0;
  while (!w.bonuses.active.empty() && ticks < 1000) {
    w.bonuses.Update(10);
    ++ticks;
  }
  EXPECT_TRUE(w.bonuses.active.empty());
  EXPECT_LT(life->Position().z, -16.0f);
  EXPECT_GT(life->Position().z, -17.1f);
  EXPECT_EQ(w.bat.lives, 5);
}

TEST(Bonus, TntLiesStillAndBlastsTheBricksAroundItWhenABallHitsIt) {
  BonusWorld w;
  // A brick near the TNT and one far from it.
  OBlock prototype;
  prototype.data->SetGeometry(CubeFile());
  prototype.SetupPrototype(10, BRICK_BREAKABLE, 1.0f);
  OBlock* near = new OBlock(prototype);
  near->SetPosition(2.0f, 0.0f, 20.0f);
  near->ComputeBounds();
  OBlock* far = new OBlock(prototype);
  far->SetPosition(0.0f, 0.0f, 40.0f);
  far->ComputeBounds();
  w.grid.blocks = {near, far};

  w.StackBag({BONUS_TNT});
  w.RequestDrop({0.0f, 0.0f, 20.0f});
  w.bonuses.Update(0);
  ASSERT_EQ(w.bonuses.active.size(), 1u);
  OBonus* tnt = w.bonuses.active[0];
  EXPECT_EQ(tnt->isTnt, 1);
  for (int i = 0; i < 500; ++i) w.bonuses.Update(20);
  EXPECT_EQ(tnt->Position(), OVector(0.0f, 0.0f, 20.0f));
  ASSERT_EQ(w.bonuses.active.size(), 1u);

  // A ball flies into it.
  OBall* ball = w.PlayBall({0.0f, 0.0f, 19.2f}, {0.0f, 0.0f, 1.0f});
  w.bonuses.Update(10);
  EXPECT_TRUE(w.bonuses.active.empty());
  EXPECT_LT(ball->velocity.z, 1.0f);  // knocked: the exchange took speed off the ball
  EXPECT_NE(near->alpha, 0.0f);       // destroyed by the blast
  EXPECT_EQ(far->alpha, 0.0f);
  EXPECT_EQ(w.bat.score, 10);
  // The pop and the grid's blast both sound on the bomb channels (15..20).
  int bombs = 0;
  for (i32 id : PlayedSounds()) bombs += id >= POP_SOUND_FIRST && id < POP_SOUND_END ? 1 : 0;
  EXPECT_EQ(bombs, 2) << ::testing::PrintToString(PlayedSounds());

  // The corridor moving on takes a TNT with it.
  w.StackBag({BONUS_TNT});
  w.RequestDrop({0.0f, 0.0f, 10.0f});
  w.bonuses.Update(0);
  ASSERT_EQ(w.bonuses.active.size(), 1u);
  w.bonuses.RemoveTnt();
  w.bonuses.Update(0);
  EXPECT_TRUE(w.bonuses.active.empty());
}

TEST(Bonus, LevelEndBurstsTheBonusesFiftyMillisecondsApart) {
  BonusWorld w;
  w.bonuses.Spawn(BONUS_SLOW, {0.0f, 0.0f, 30.0f});
  w.bonuses.Spawn(BONUS_SCORE, {2.0f, 0.0f, 30.0f});
  w.bonuses.Spawn(BONUS_GUN, {-2.0f, 0.0f, 30.0f});
  w.grid.status = MAP_LEVEL_DONE;
  PlayedSounds().clear();
  w.bonuses.Update(0);
  EXPECT_EQ(w.bonuses.released, 1);
  EXPECT_EQ(w.bonuses.active[0]->life, 50);
  EXPECT_EQ(w.bonuses.active[1]->life, 100);
  EXPECT_EQ(w.bonuses.active[2]->life, 150);
  EXPECT_EQ(PlayedSounds().size(), 3u);

  // One leaves at 50, 100 and 150 ms, each with a pop.
  std::vector<int> leaveTicks;
  for (int tick = 1; tick <= 20; ++tick) {
    const size_t before = w.bonuses.active.size();
    w.bonuses.Update(10);
    if (w.bonuses.active.size() < before) leaveTicks.push_back(tick);
  }
  EXPECT_EQ(leaveTicks, (std::vector<int>{5, 10, 15}));
  EXPECT_EQ(PlayedSounds().size(), 6u);
  // Pop ids cycle 15..20.
  for (i32 id : PlayedSounds()) {
    EXPECT_GE(id, 15);
    EXPECT_LE(id, 20);
  }

  // A modern level's end bursts nothing (the corridor just moves on); its game over does.
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
