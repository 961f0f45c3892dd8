#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GridTestSupport.h"
#include "playfield/Levels.h"
#include "support/TestSupport.h"

namespace {

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
  ScratchDir dir;
  GridRig rig{new OModVoxelMap, 3, 0};
  OModVoxelMap& grid = static_cast<OModVoxelMap&>(*rig.grid);
};

}  // namespace

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
// advance takes the bricks left over the front line, where they fade without score.
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
  EXPECT_EQ(60000, grid.timer);
  grid.transition = 1;
  Advance(grid);
  EXPECT_EQ(6, grid.frontLayer);
  for (const OBlock* b : grid.blocks) EXPECT_EQ(b->layerIndex < 6, b->IsDying());
  for (int i = 0; i < 9; ++i) grid.Update(100);
  EXPECT_EQ(12u, grid.blocks.size());
  EXPECT_EQ(77, rig.bat.score);
}

// Eight or fewer breakable bricks in the front stage cut the timer to 10000 ms plus 4000 per brick;
// a later cut only ever shortens it.
TEST_F(ModVoxelMap, HurryUp) {
  std::vector<u8> cells = CentreColumn(12);
  cells[1] = cells[2] = cells[3] = 7;  // nine in the first stage
  cells[4] = 4;
  rig.SetCells(cells);
  grid.StartLevel(0);
  Advance(grid);
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.timer = 55000;
  grid.Update(0);
  EXPECT_EQ(55000, grid.timer);  // nine left: no hurry-up yet
  grid.HitBlock(grid.blocks[0], true);
  grid.Update(801);  // dead, removed at the end of the tick
  grid.Update(0);
  EXPECT_EQ(42000, grid.timer);  // eight left
  grid.timer = 30000;
  grid.HitBlock(grid.blocks[0], true);
  grid.Update(801);
  grid.Update(0);
  EXPECT_EQ(29199, grid.timer);  // seven left allow 38000: the running timer is kept
}

// Only unbreakable bricks in front end the stage at once; the last life lost during an advance ends
// the game with the bricks scattered.
TEST_F(ModVoxelMap, StageEndsAndGameOver) {
  std::vector<u8> cells = CentreColumn(12);
  for (int layer = 0; layer < 6; ++layer) cells[static_cast<size_t>(layer * 25 + 12)] = 5;
  rig.SetCells(cells);
  grid.StartLevel(0);
  Advance(grid);
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.Update(10);
  EXPECT_EQ(MAP_LEVEL_DONE, grid.status);
  grid.transition = 1;
  rig.bat.lives = 0;
  grid.Update(10);
  EXPECT_EQ(MAP_GAME_OVER, grid.status);
  EXPECT_EQ(0, grid.transition);
  for (const OBlock* b : grid.blocks) EXPECT_TRUE(b->IsDying());
}
