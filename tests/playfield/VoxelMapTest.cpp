#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "GridTestSupport.h"
#include "core/Random.h"
#include "effects/BloxExpl.h"
#include "effects/ParticleList.h"
#include "playfield/Levels.h"
#include "support/SoundLog.h"

namespace {

// One 5 x 5 layer with cells set at (row * 5 + column).
std::vector<u8> Layer(std::initializer_list<std::pair<int, u8>> cells) {
  std::vector<u8> layer(25, 0);
  for (const auto& c : cells) layer[static_cast<size_t>(c.first)] = c.second;
  return layer;
}

constexpr int CENTRE = 12, RIGHT = 13, TOP_LEFT = 0, BOTTOM_RIGHT = 24;

// A grid of the first demo level with its rig.
class VoxelMap : public ::testing::Test {
protected:
  GridRig rig{new OVoxelMap, 0, 0};
  OVoxelMap& grid = *rig.grid;
};

size_t CountBricks(LevelSpan span) {
  return static_cast<size_t>(
      std::count_if(span.data, span.data + span.size, [](u8 c) { return c != 0 && c != 13; }));
}

// Runs an advance to its end; returns the drawn frames it took.
int Advance(OModVoxelMap& grid) {
  int steps = 1;
  while (!grid.AdvanceStep() && steps < 10000) ++steps;
  return steps;
}

// A demo-sized corridor (5 x 5 layers) with a breakable brick at the centre of every layer.
std::vector<u8> CentreColumn(int layers) {
  std::vector<u8> cells(static_cast<size_t>(layers) * 25, 0);
  for (int layer = 0; layer < layers; ++layer) cells[static_cast<size_t>(layer * 25 + 12)] = 7;
  return cells;
}

// A demo corridor with its rig.
class ModVoxelMap : public ::testing::Test {
protected:
  GridRig rig{new OModVoxelMap, 3, 0};
  OModVoxelMap& grid = static_cast<OModVoxelMap&>(*rig.grid);
};

}  // namespace

// The first demo level: a ring of code 6 round nine of code 7 in the second layer, row 0 at the
// top; a level cut short by the table's end builds nothing beyond it.
TEST_F(VoxelMap, Build) {
  grid.Build(0, grid.blocks);
  ASSERT_EQ(25u, grid.blocks.size());
  int six = 0;
  const f32 cell = grid.cellDepth;
  for (const OBlock* b : grid.blocks) {
    six += IsCode(grid, b, 6);
    EXPECT_FLOAT_EQ(48.0f - 2 * cell, b->Position().z);
  }
  EXPECT_EQ(16, six);
  EXPECT_TRUE(IsCode(grid, grid.blocks[CENTRE], 7));
  EXPECT_FLOAT_EQ(2 * cell, grid.blocks[TOP_LEFT]->Position().y);
  grid.SetLevel(0, 15);
  std::vector<OBlock*> none;
  grid.Build(0, none);
  EXPECT_TRUE(none.empty());
  // Code 10 takes the collision box of model 5 (the test's model 10 is a thin slab).
  rig.BuildCells(Layer({{0, 10}, {1, 13}}));
  EXPECT_FLOAT_EQ(grid.prototypes[PrototypeSlot(5)]->localMax.z, grid.blocks.back()->localMax.z);
}

// Only unbreakable bricks left finish a level; no ball, or no life, ends the game, scattering the
// bricks.
TEST_F(VoxelMap, Status) {
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  rig.BuildCells(Layer({{TOP_LEFT, 4}, {CENTRE, 5}}));
  grid.Update(10);
  EXPECT_EQ(MAP_LEVEL_DONE, grid.status);
  rig.BuildCells(Layer({{BOTTOM_RIGHT, 7}}));
  grid.Update(10);
  EXPECT_EQ(MAP_PLAYING, grid.status);
  rig.bat.lives = 0;
  grid.Update(10);
  EXPECT_EQ(MAP_GAME_OVER, grid.status);
  for (const OBlock* b : grid.blocks) EXPECT_TRUE(b->IsDying());

  GridRig empty(new OVoxelMap, 0, 0);
  empty.BuildCells(Layer({{CENTRE, 7}}));
  empty.grid->Update(10);
  EXPECT_EQ(MAP_GAME_OVER, empty.grid->status);
}

// One hit a pass: the first touching pair, by ball then brick, dying bricks passed over; a bounce
// off the face the ball came through, none for a ball that was already inside.
TEST_F(VoxelMap, OneHitPerTick) {
  rig.BuildCells(Layer({{CENTRE, 7}, {RIGHT, 7}}));
  OBlock* centre = grid.blocks[0];
  OBlock* right = grid.blocks[1];
  const OVector c = centre->Position(), r = right->Position();
  const f32 h = grid.cellDepth / 2;
  OBall* a = rig.AddBall({r.x, r.y, r.z - h - 0.3f}, {r.x, r.y, r.z - 5}, {0, 0, 1});
  OBall* b = rig.AddBall({c.x, c.y, c.z - h - 0.3f}, {c.x, c.y, c.z - 5}, {0, 0, 1});
  grid.Collide();
  EXPECT_TRUE(right->IsDying());
  EXPECT_FALSE(centre->IsDying());
  EXPECT_EQ(-1.0f, a->velocity.z);
  EXPECT_EQ(1.0f, b->velocity.z);
  grid.Collide();
  EXPECT_TRUE(centre->IsDying());
  EXPECT_EQ(20, rig.bat.score);
  rig.balls.Clear();

  rig.BuildCells(Layer({{CENTRE, 7}, {RIGHT, 7}}));
  const OVector inside(c.x + h - 0.1f, c.y, c.z);  // touching both, inside the first
  OBall* in = rig.AddBall(inside, inside, {1, 1, 1});
  grid.Collide();
  EXPECT_TRUE(grid.blocks[0]->IsDying());
  EXPECT_FALSE(grid.blocks[1]->IsDying());
  EXPECT_EQ(OVector(1, 1, 1), in->velocity);
}

// A heavy ball passes breakable bricks with debris and an explosion sound (the six copies take
// turns, so that quick hits all sound), and bounces off unbreakable ones with the plain hit.
TEST_F(VoxelMap, HeavyBall) {
  grid.explosion = new OBloxExpl;
  rig.BuildCells(Layer({{CENTRE, 7}}));
  const OVector c = grid.blocks[0]->Position();
  OBall* ball = rig.AddBall({c.x, c.y, c.z - 1.6f}, {c.x, c.y, c.z - 5}, {0, 0, 1});
  ball->heavyTime = 1000;
  const size_t systems = GetParticleList().Count();
  ListenToSounds();
  OVoxelMap::heavySound = 100;  // as at start-up: none used yet
  for (int i = 0; i < 7; ++i) {
    rig.BuildCells(Layer({{CENTRE, 7}}));
    grid.Collide();
    EXPECT_TRUE(grid.blocks[0]->IsDying());
  }
  EXPECT_EQ(PlayedSounds(), (std::vector<i32>{101, 102, 103, 104, 105, 106, 101}));
  EXPECT_EQ(1.0f, ball->velocity.z);
  EXPECT_EQ(systems + 7, GetParticleList().Count());
  rig.BuildCells(Layer({{CENTRE, 4}}));
  PlayedSounds().clear();
  grid.Collide();
  EXPECT_EQ(-1.0f, ball->velocity.z);
  EXPECT_EQ(std::vector<i32>{SOUND_HIT_BLOCK}, PlayedSounds());
  SetObjectSoundListener(nullptr);
  GetParticleList().Clear();
}

// Points times the multiplier, half for a damaging hit, truncated; nothing for a dying brick or
// without award, though every hit sounds; a bomb hits the bricks closer than 8 units.
TEST_F(VoxelMap, ScoringAndBlast) {
  rig.BuildCells(Layer({{TOP_LEFT, 2}, {CENTRE, 7}, {BOTTOM_RIGHT, 7}}));  // code 2: two stages
  grid.scoreMultiplier = 1.1f;
  ListenToSounds();
  grid.HitBlock(grid.blocks[0], true);
  EXPECT_EQ(5, rig.bat.score);
  grid.HitBlock(grid.blocks[1], true);
  EXPECT_EQ(16, rig.bat.score);
  grid.HitBlock(grid.blocks[1], true);
  grid.HitBlock(grid.blocks[2], false);
  EXPECT_EQ(16, rig.bat.score);
  EXPECT_TRUE(grid.blocks[2]->IsDying());
  EXPECT_EQ(4u, PlayedSounds().size());

  rig.BuildCells(Layer({{TOP_LEFT, 7}, {CENTRE, 7}, {BOTTOM_RIGHT, 7}}));
  const OVector far = grid.blocks[2]->Position();
  grid.Blast(far.x, far.y, far.z + 8.001f);
  EXPECT_FALSE(grid.blocks[2]->IsDying());
  grid.Blast(far.x, far.y, far.z + 7.999f);
  EXPECT_TRUE(grid.blocks[2]->IsDying());
  EXPECT_FALSE(grid.blocks[1]->IsDying());
  EXPECT_EQ(SOUND_BOMB, PlayedSounds().back());
  SetObjectSoundListener(nullptr);
}

// The bonus roll is made when a dead brick goes, 800 ms after the hit, at its position then, with
// about a third of a chance.
TEST_F(VoxelMap, BonusRollAtRemoval) {
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.transition = 1;  // no sparkles
  SeedRandom(5);
  int drops = 0;
  for (int round = 0; round < 40; ++round) {
    grid.bonusDropPending = 0;
    rig.BuildCells(Layer({{TOP_LEFT, 7}, {BOTTOM_RIGHT, 7}}));
    OBlock* doomed = grid.blocks[0];
    grid.HitBlock(doomed, true);
    doomed->velocity = OVector(0.25f, 0, 0.25f);
    grid.Update(400);
    EXPECT_EQ(0, grid.bonusDropPending);
    const OVector where = doomed->Position();
    grid.Update(401);
    ASSERT_EQ(1u, grid.blocks.size());
    if (grid.bonusDropPending != 0) {
      EXPECT_EQ(where, grid.bonusDropPosition);
      ++drops;
    }
  }
  EXPECT_GT(drops, 4);
  EXPECT_LT(drops, 30);
}

// The crossfade hands the incoming level over (its start score is the game rules' next-level
// case); a level started during a crossfade replaces it without losing track of a brick.
TEST_F(VoxelMap, LevelTransition) {
  grid.StartLevel(0);
  EXPECT_EQ(25u, grid.incoming.size());
  grid.FinishTransition();
  EXPECT_EQ(25u, grid.blocks.size());
  grid.StartLevel(1);
  const size_t level1 = grid.incoming.size();
  grid.StartLevel(2);
  EXPECT_EQ(level1, grid.blocks.size());
  const size_t level2 = grid.incoming.size();
  grid.FinishTransition();
  EXPECT_EQ(level2, grid.blocks.size());
  EXPECT_TRUE(grid.incoming.empty());
}

// A breakable brick shows its stages in turn, then fades for 800 ms giving nothing, dead also when a
// tick lands the fade on zero (not alive again, scored twice); an unbreakable one turns a quarter
// round, a running turn not restarted.
TEST_F(VoxelMap, BricksFromItsPrototypesShowTheirHitsFadeAndSpin) {
  const OBlock& proto = *grid.prototypes[PrototypeSlot(1)];  // three stages
  OBlock brick(proto);
  EXPECT_EQ(HIT_DAMAGED, brick.Hit());
  EXPECT_EQ(1, brick.visible[1]);
  EXPECT_EQ(0, brick.visible[0]);  // one stage shown at a time
  EXPECT_EQ(HIT_DAMAGED, brick.Hit());
  EXPECT_EQ(HIT_DESTROYED, brick.Hit());
  EXPECT_EQ(HIT_NOTHING, brick.Hit());
  brick.Update(400);
  EXPECT_NEAR(1.25f, brick.drawScale[0], 1e-6);  // swelling toward 1.5
  brick.Update(401);
  EXPECT_EQ(-1, brick.life);

  OBlock exact(proto);
  exact.damageStage = 2;
  exact.Hit();
  exact.Update(800);
  EXPECT_EQ(-1, exact.life);
  EXPECT_EQ(HIT_NOTHING, exact.Hit());

  OBlock solid(*grid.prototypes[PrototypeSlot(4)]);
  EXPECT_EQ(HIT_NOTHING, solid.Hit());
  EXPECT_EQ(HIT_NOTHING, solid.Hit());
  EXPECT_NEAR(1.5707963f, solid.spinTarget, 1e-6);
  for (int ticks = 0; solid.spinning && ticks < 100; ++ticks) solid.Update(17);
  EXPECT_NEAR(1.5707963f, solid.spinAngle, 1e-5);
  EXPECT_NEAR(1.0f, std::fabs(solid.matrix.XAxis().y), 1e-5);
}

// The corridor is built at once, row 0 at the bottom; stage k builds layers 6k to the end, counted
// from 0; a stage past the end builds nothing and is done at once.
TEST_F(ModVoxelMap, BuildFromAnyStage) {
  grid.StartLevel(0);
  EXPECT_EQ(-6, grid.frontLayer);
  EXPECT_EQ(CountBricks(GetLevelBytes(3, 0)), grid.blocks.size());
  const OBlock* first = grid.blocks[0];  // layer 1, row 0, column 0: code 1
  EXPECT_EQ(1, first->layerIndex);
  EXPECT_TRUE(IsCode(grid, first, 1));
  EXPECT_FLOAT_EQ(-2 * grid.cellHeight, first->Position().y);
  EXPECT_FLOAT_EQ(13 * grid.cellDepth, first->Position().z);

  grid.SetLevel(3, 18);
  grid.StartLevel(18);
  EXPECT_EQ(CountBricks(GetLevelBytes(3, 18)), grid.blocks.size());
  EXPECT_LE(grid.blocks.back()->layerIndex, 3);  // 112 layers: 108..111 remain

  grid.SetLevel(3, 19);
  grid.StartLevel(19);
  EXPECT_TRUE(grid.blocks.empty());
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.transition = 0;
  EXPECT_EQ(MAP_LEVEL_DONE, grid.CheckStatus());
}

// An advance moves six cell depths in 129 drawn frames, losing no brick; after a timeout the next
// advance takes the bricks left over the front line, where they fade without score. (A stage left
// with unbreakable bricks alone is the feedback test's cleared stage.)
TEST_F(ModVoxelMap, AdvanceAndTimeOut) {
  rig.SetCells(CentreColumn(18));
  grid.StartLevel(0);
  const f32 z0 = grid.blocks[0]->Position().z;
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  EXPECT_EQ(129, Advance(grid));
  EXPECT_EQ(0, grid.frontLayer);
  EXPECT_NEAR(z0 - 6 * grid.cellDepth, grid.blocks[0]->Position().z, 1e-4);
  for (const OBlock* b : grid.blocks) EXPECT_FALSE(b->IsDying());

  rig.bat.score = 77;
  grid.timer = 5;
  grid.Update(10);
  EXPECT_EQ(MAP_LEVEL_DONE, grid.status);
  EXPECT_EQ(70000, grid.timer);  // the stage's time, set again
  grid.transition = 1;
  Advance(grid);
  EXPECT_EQ(6, grid.frontLayer);
  for (const OBlock* b : grid.blocks) EXPECT_EQ(b->layerIndex < 6, b->IsDying());
  for (int i = 0; i < 9; ++i) grid.Update(100);
  EXPECT_EQ(12u, grid.blocks.size());
  EXPECT_EQ(77, rig.bat.score);

  // The last life lost during an advance ends the game with the bricks scattered.
  grid.transition = 1;
  rig.bat.lives = 0;
  grid.Update(10);
  EXPECT_EQ(MAP_GAME_OVER, grid.status);
  EXPECT_EQ(0, grid.transition);
  for (const OBlock* b : grid.blocks) EXPECT_TRUE(b->IsDying());
}

// Eight or fewer breakable bricks in the front stage cut the timer to 10000 ms plus 6000 per brick;
// a later cut only ever shortens it.
TEST_F(ModVoxelMap, HurryUp) {
  std::vector<u8> cells = CentreColumn(12);
  cells[1] = cells[2] = cells[3] = 7;  // nine in the first stage
  cells[4] = 4;
  rig.SetCells(cells);
  grid.StartLevel(0);
  Advance(grid);
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.timer = 65000;
  grid.Update(0);
  EXPECT_EQ(65000, grid.timer);  // nine left: no hurry-up yet
  grid.HitBlock(grid.blocks[0], true);
  grid.Update(801);  // dead, removed at the end of the tick
  grid.Update(0);
  EXPECT_EQ(58000, grid.timer);  // eight left
  grid.timer = 30000;
  grid.HitBlock(grid.blocks[0], true);
  grid.Update(801);
  grid.Update(0);
  EXPECT_EQ(29199, grid.timer);  // seven left allow 52000: the running timer is kept
}
