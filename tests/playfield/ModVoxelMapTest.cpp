#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GridTestSupport.h"
#include "playfield/Levels.h"
#include "support/TestSupport.h"

namespace {

// A corridor of `layers` empty 5 x 5 layers (the demo corridor's size).
std::vector<u8> Corridor(int layers) { return std::vector<u8>(static_cast<size_t>(layers) * 25, 0); }

void Set(std::vector<u8>& cells, int layer, int row, int column, u8 code) {
  cells[static_cast<size_t>((layer * 5 + row) * 5 + column)] = code;
}

// Fills a whole layer with one code.
void Fill(std::vector<u8>& cells, int layer, u8 code) {
  std::fill(cells.begin() + layer * 25, cells.begin() + (layer + 1) * 25, code);
}

size_t CountBricks(const u8* from, const u8* to) {
  return static_cast<size_t>(std::count_if(from, to, [](u8 c) { return c != 0 && c != 13; }));
}

// Runs the advance to its end; returns the number of steps (drawn frames) it took.
int Advance(OModVoxelMap& grid) {
  int steps = 1;
  while (!grid.AdvanceStep() && steps < 10000) ++steps;
  return steps;
}

}  // namespace

// The whole corridor is built at once from the stage the game starts at, layer 0 two stages in
// front of the cage's open end, row 0 at the bottom; a resumed game builds from layer 6k to the
// table's end and nothing more; a stage past the end builds nothing.
TEST(ModVoxelMap, BuildsTheCorridor) {
  ScratchDir dir;
  GridRig rig(new OModVoxelMap, 3, 0);
  auto& grid = static_cast<OModVoxelMap&>(*rig.grid);
  const LevelSpan all = GetLevelBytes(3, 0);
  grid.StartLevel(0);
  EXPECT_EQ(-6, grid.frontLayer);
  EXPECT_EQ(1, grid.transition);
  EXPECT_EQ(60000, grid.timer);
  EXPECT_EQ(MAP_PLAYING, grid.status);
  EXPECT_EQ(CountBricks(all.data, all.data + all.size), grid.blocks.size());
  EXPECT_EQ(all.data, grid.levelData);  // a second build gives the same corridor
  const f32 c = grid.cellDepth;
  // The first stage of the demo corridor: layer 1 holds code 1 in rows 0 and 4.
  std::vector<const OBlock*> layer1, layer2;
  for (const OBlock* b : grid.blocks) {
    if (b->layerIndex == 1) layer1.push_back(b);
    if (b->layerIndex == 2) layer2.push_back(b);
  }
  ASSERT_EQ(10u, layer1.size());
  EXPECT_TRUE(IsCode(grid, layer1[0], 1));
  EXPECT_FLOAT_EQ(-2 * c, layer1[0]->Position().y);  // row 0 at the bottom
  EXPECT_FLOAT_EQ(-2 * c, layer1[0]->Position().x);
  EXPECT_FLOAT_EQ(12 * c + c, layer1[0]->Position().z);
  // Layer 2 is code 10, marked as such and with the box of model 5.
  ASSERT_EQ(16u, layer2.size());
  for (const OBlock* b : layer2) {
    EXPECT_EQ(10, b->code10);
    EXPECT_FLOAT_EQ(grid.prototypes[PrototypeSlot(5)]->localMax.z, b->localMax.z);
  }
  for (size_t i = 1; i < grid.blocks.size(); ++i) {
    EXPECT_LE(grid.blocks[i - 1]->layerIndex, grid.blocks[i]->layerIndex);
  }

  // Resumed at stage 18: layers 108..111, counted from 0.
  grid.SetLevel(3, 18);
  grid.StartLevel(18);
  const LevelSpan rest = GetLevelBytes(3, 18);
  EXPECT_EQ(all.data + all.size, rest.data + rest.size);
  EXPECT_EQ(CountBricks(rest.data, rest.data + rest.size), grid.blocks.size());
  ASSERT_FALSE(grid.blocks.empty());
  const u8* firstBrick = std::find_if(rest.data, rest.data + rest.size, [](u8 c) { return c != 0 && c != 13; });
  EXPECT_EQ((firstBrick - rest.data) / 25, grid.blocks.front()->layerIndex);
  EXPECT_LE(grid.blocks.back()->layerIndex, 3);

  // Stage 19 would start at layer 114 of 112.
  grid.SetLevel(3, 19);
  grid.StartLevel(19);
  EXPECT_TRUE(grid.blocks.empty());
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.transition = 0;
  EXPECT_EQ(MAP_LEVEL_DONE, grid.CheckStatus());
}

// An advance moves every brick six cell depths toward the bat, 0.125 units per drawn frame, and
// then moves the front layer on by six; the first one brings layer 0 to the front without
// losing a brick. The next one takes the cleared stage's remaining bricks over the front line,
// where they fade without score.
TEST(ModVoxelMap, AdvanceAndTheFrontLine) {
  ScratchDir dir;
  GridRig rig(new OModVoxelMap, 3, 0);
  auto& grid = static_cast<OModVoxelMap&>(*rig.grid);
  std::vector<u8> cells = Corridor(18);
  for (int layer = 0; layer < 18; ++layer) Set(cells, layer, 2, 2, 7);
  rig.SetCells(cells);
  rig.bat.lives = 3;
  rig.bat.score = 77;
  grid.StartLevel(0);
  std::vector<f32> before;
  for (const OBlock* b : grid.blocks) before.push_back(b->Position().z);
  const f32 distance = 6 * grid.cellDepth;
  EXPECT_EQ(129, Advance(grid));  // 16 units at 0.125, and a last step of what is left
  EXPECT_EQ(0, grid.frontLayer);
  EXPECT_EQ(0, grid.transition);
  EXPECT_EQ(0.0f, grid.advance);
  EXPECT_EQ(77, grid.startScore);
  for (size_t i = 0; i < grid.blocks.size(); ++i) {
    EXPECT_NEAR(before[i] - distance, grid.blocks[i]->Position().z, 1e-4);
    EXPECT_FALSE(grid.blocks[i]->IsDying()) << "layer " << grid.blocks[i]->layerIndex;
    // World boxes moved along.
    EXPECT_FLOAT_EQ(grid.blocks[i]->Position().z + grid.blocks[i]->localMin.z,
                    grid.blocks[i]->boxMin.z);
  }

  // The time runs out with the stage's bricks standing: the corridor moves on regardless.
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.timer = 0;
  grid.Update(10);
  EXPECT_EQ(MAP_LEVEL_DONE, grid.status);
  EXPECT_EQ(60000, grid.timer);
  grid.transition = 1;
  Advance(grid);
  EXPECT_EQ(6, grid.frontLayer);
  for (const OBlock* b : grid.blocks) {
    EXPECT_EQ(b->layerIndex < 6, b->IsDying()) << "layer " << b->layerIndex;
  }
  EXPECT_EQ(77, rig.bat.score);  // no points for what passed the line
  for (int i = 0; i < 9; ++i) grid.Update(100);
  EXPECT_EQ(12u, grid.blocks.size());
}

// The hurry-up rule: with few breakable bricks left in the front stage the timer is cut to its
// hurry-up time, never raised to it.
TEST(ModVoxelMap, HurryUp) {
  ScratchDir dir;
  GridRig rig(new OModVoxelMap, 3, 0);
  auto& grid = static_cast<OModVoxelMap&>(*rig.grid);
  std::vector<u8> cells = Corridor(12);
  // Nine breakable bricks and unbreakable ones in the first stage, many in the second.
  for (int i = 0; i < 9; ++i) Set(cells, i % 6, i / 6, i % 5, 7);
  Set(cells, 3, 4, 4, 4);
  for (int layer = 6; layer < 12; ++layer) Fill(cells, layer, 7);
  rig.SetCells(cells);
  grid.StartLevel(0);
  Advance(grid);
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  EXPECT_EQ(9, grid.CountFrontBreakable());

  grid.timer = 30000;
  grid.CheckTimer();
  EXPECT_EQ(30000, grid.timer);  // nine left: no hurry
  grid.blocks[0]->Hit();         // dying bricks still count until removed
  grid.CheckTimer();
  EXPECT_EQ(30000, grid.timer);
  grid.Update(801);              // dead, and removed at the end of the tick
  EXPECT_EQ(8, grid.CountFrontBreakable());
  EXPECT_EQ(29199, grid.timer);
  grid.Update(0);                // eight left
  EXPECT_EQ(10000, grid.timer);
  EXPECT_EQ(MAP_PLAYING, grid.status);
  grid.timer = 9000;
  grid.CheckTimer();
  EXPECT_EQ(9000, grid.timer);

  // The harder corridors hurry at more bricks and with more time.
  grid.episode = 5;
  grid.timer = 80000;
  grid.CheckTimer();
  EXPECT_EQ(15000, grid.timer);  // 8 <= 12
  EXPECT_EQ(80000, grid.ResetTime());
}

// Stage ends: a front stage without breakable bricks ends at once; a cleared one resets the
// timer; running out of lives in a stage scatters the bricks and ends the game; losing the last
// life while the corridor advances ends the game at the next check.
TEST(ModVoxelMap, StageStatus) {
  ScratchDir dir;
  GridRig rig(new OModVoxelMap, 4, 0);
  auto& grid = static_cast<OModVoxelMap&>(*rig.grid);
  const int area = 36;
  std::vector<u8> cells(static_cast<size_t>(area) * 12, 0);
  cells[0] = 4;
  cells[5] = 5;
  cells[static_cast<size_t>(area) * 7] = 7;  // the second stage's only brick
  rig.SetCells(cells);
  grid.StartLevel(0);
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  // While advancing: playing, the timer held at its reset value.
  grid.timer = 5;
  grid.Update(10);
  EXPECT_EQ(MAP_PLAYING, grid.status);
  EXPECT_EQ(70000, grid.timer);
  Advance(grid);
  grid.Update(10);
  EXPECT_EQ(MAP_LEVEL_DONE, grid.status);  // only unbreakable bricks in front

  grid.transition = 1;
  Advance(grid);
  grid.Update(10);
  EXPECT_EQ(MAP_PLAYING, grid.status);
  rig.bat.lives = 0;
  grid.Update(10);
  EXPECT_EQ(MAP_GAME_OVER, grid.status);
  for (const OBlock* b : grid.blocks) EXPECT_TRUE(b->IsDying());

  // Lives gone during an advance.
  rig.bat.lives = 2;
  grid.StartLevel(0);
  grid.status = MAP_PLAYING;
  EXPECT_EQ(MAP_PLAYING, grid.CheckStatus());
  rig.bat.lives = 0;
  EXPECT_EQ(MAP_GAME_OVER, grid.CheckStatus());
  EXPECT_EQ(0, grid.transition);
  for (const OBlock* b : grid.blocks) EXPECT_TRUE(b->IsDying());
}

// Far bricks stay out of play: no hits beyond 12 layers behind the front (18 while advancing),
// no updates beyond 18.
TEST(ModVoxelMap, LayerReach) {
  ScratchDir dir;
  GridRig rig(new OModVoxelMap, 3, 0);
  auto& grid = static_cast<OModVoxelMap&>(*rig.grid);
  std::vector<u8> cells = Corridor(30);
  Set(cells, 13, 2, 2, 7);
  Set(cells, 20, 2, 2, 7);
  Set(cells, 0, 0, 0, 7);
  rig.SetCells(cells);
  grid.StartLevel(0);
  Advance(grid);
  OBlock* far13 = grid.blocks[1];
  OBlock* far20 = grid.blocks[2];
  ASSERT_EQ(13, far13->layerIndex);
  const OVector p = far13->Position();
  rig.AddBall(p, p, {0, 0, 1});
  grid.Collide();
  EXPECT_FALSE(far13->IsDying());
  grid.transition = 1;
  grid.Collide();
  EXPECT_TRUE(far13->IsDying());
  grid.transition = 0;

  far20->Hit();
  grid.Update(900);
  EXPECT_EQ(-1, far13->life);
  EXPECT_EQ(BRICK_LIFE, far20->life);  // standing still, fade and all
  EXPECT_EQ(1.0f, far20->alpha);
}
