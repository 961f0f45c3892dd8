#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "GridTestSupport.h"
#include "effects/BloxExpl.h"
#include "effects/ParticleList.h"
#include "playfield/Levels.h"
#include "scene/Clip.h"
#include "scene/ObjectList.h"
#include "shell/Random.h"
#include "support/TestSupport.h"

namespace {

// One layer of 5 x 5 cells (episode 0's grid) with the given cells set, row-major.
std::vector<u8> Layer(std::initializer_list<std::pair<int, u8>> cells) {
  std::vector<u8> layer(25, 0);
  for (const auto& c : cells) layer[static_cast<size_t>(c.first)] = c.second;
  return layer;
}

// Cell index of (row, column) in a 5 x 5 layer.
constexpr int At(int row, int column) { return row * 5 + column; }

}  // namespace

// The first level of the demo episode: one ring of code 6 round a 3 x 3 of code 7, all in the
// second layer; row 0 at the top, columns centred, layer 0 farthest; the level data position
// ends at the next level.
TEST(VoxelMap, BuildsTheFirstDemoLevel) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  const LevelSpan level = GetLevelBytes(0, 0);
  grid.Build(0, grid.blocks);
  ASSERT_EQ(25u, grid.blocks.size());
  int six = 0, seven = 0;
  const f32 cell = grid.cellDepth;
  EXPECT_FLOAT_EQ(16.0f / 6.0f, cell);  // 16 units across for 5 bricks and a half cell each side
  for (const OBlock* b : grid.blocks) {
    six += IsCode(grid, b, 6);
    seven += IsCode(grid, b, 7);
    // Layer 1: one cell nearer the bat than layer 0, which touches the far wall.
    EXPECT_FLOAT_EQ(48.0f - 2 * cell, b->Position().z);
  }
  EXPECT_EQ(16, six);
  EXPECT_EQ(9, seven);
  // Table order: the first brick is row 0, column 0, at the top left.
  EXPECT_FLOAT_EQ(-2 * cell, grid.blocks[0]->Position().x);
  EXPECT_FLOAT_EQ(2 * cell, grid.blocks[0]->Position().y);
  EXPECT_FLOAT_EQ(0.0f, grid.blocks[12]->Position().x);  // the centre brick
  EXPECT_TRUE(IsCode(grid, grid.blocks[12], 7));
  // World boxes follow the bricks.
  EXPECT_FLOAT_EQ(grid.blocks[0]->Position().x - cell / 2, grid.blocks[0]->boxMin.x);
  EXPECT_EQ(level.data + LevelStepBytes(0), grid.levelData);
}

// Cell codes 0 and 13 stay empty; a code-10 brick collides with the box of model 5; a level cut
// short by the end of the table builds what there is and reads nothing beyond it.
TEST(VoxelMap, BuildCodesAndTableEnd) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  rig.BuildCells(Layer({{At(0, 0), 13}, {At(0, 1), 10}, {At(0, 2), 4}, {At(0, 3), 14}}));
  ASSERT_EQ(3u, grid.blocks.size());
  const OBlock* ten = grid.blocks[0];
  EXPECT_TRUE(IsCode(grid, ten, 10));
  // Model 10 is a thin slab, its collision box that of the full cube of model 5.
  EXPECT_FLOAT_EQ(grid.prototypes[PrototypeSlot(5)]->localMax.z, ten->localMax.z);
  EXPECT_FLOAT_EQ(ten->Position().z + ten->localMax.z, ten->boxMax.z);
  EXPECT_EQ(grid.levelEnd, grid.levelData);  // 25 bytes, though a level is 250

  // Levels past the table's end: nothing to read, nothing built.
  grid.SetLevel(0, 15);
  std::vector<OBlock*> out;
  grid.Build(0, out);
  EXPECT_TRUE(out.empty());
  grid.SetLevel(0, -1);
  grid.Build(0, out);
  EXPECT_TRUE(out.empty());
}

// What the grid reports: a level of only unbreakable bricks is done at once; no ball in play
// ends the game; with no lives left the bricks scatter; nothing while a level fades in; a
// game that is over stays over.
TEST(VoxelMap, Status) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  EXPECT_EQ(MAP_IDLE, grid.status);
  rig.AddBall({0, 0, 2}, {0, 0, 1}, {0, 0, 1});

  rig.BuildCells(Layer({{At(1, 1), 4}, {At(2, 2), 5}}));
  grid.Update(10);
  EXPECT_EQ(MAP_LEVEL_DONE, grid.status);

  grid.DeleteBlocks(grid.blocks);
  rig.BuildCells(Layer({{At(1, 1), 4}, {At(2, 2), 7}}));
  grid.Update(10);
  EXPECT_EQ(MAP_PLAYING, grid.status);
  grid.transition = 1;
  grid.blocks[1]->Hit();
  EXPECT_EQ(MAP_PLAYING, grid.CheckStatus());
  grid.transition = 0;

  rig.bat.lives = 0;
  EXPECT_EQ(MAP_GAME_OVER, grid.CheckStatus());
  for (const OBlock* b : grid.blocks) EXPECT_EQ(1.0f, b->alpha);  // scattered
  rig.bat.lives = 3;

  rig.balls.Clear();
  grid.Update(10);
  EXPECT_EQ(MAP_GAME_OVER, grid.status);
  rig.AddBall({0, 0, 2}, {0, 0, 1}, {0, 0, 1});
  grid.Update(10);
  EXPECT_EQ(MAP_GAME_OVER, grid.status);  // final
}

// The hit pass: the first touching pair in ball order, then brick order, is the only one
// handled in a tick; dying bricks are passed over; the ball bounces off the face it came
// through, and a ball that was already inside the box hits without a velocity change.
TEST(VoxelMap, OneHitPerTickAndTheFaceBounce) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  // Two bricks in one layer: centre (2, 2) and its right neighbour (2, 3).
  rig.BuildCells(Layer({{At(2, 2), 7}, {At(2, 3), 7}}));
  OBlock* centre = grid.blocks[0];
  OBlock* right = grid.blocks[1];
  const OVector c = centre->Position();
  const OVector r = right->Position();
  const f32 h = grid.cellDepth / 2;

  // Ball A touches the right brick, ball B the centre one: A's pair comes first.
  OBall* a = rig.AddBall({r.x, r.y, r.z - h - 0.3f}, {r.x, r.y, r.z - 5}, {0, 0, 1});
  OBall* b = rig.AddBall({c.x, c.y, c.z - h - 0.3f}, {c.x, c.y, c.z - 5}, {0, 0, 1});
  grid.Collide();
  EXPECT_TRUE(right->IsDying());
  EXPECT_FALSE(centre->IsDying());
  EXPECT_EQ(-1.0f, a->velocity.z);  // came through the near (-Z) face
  EXPECT_EQ(1.0f, b->velocity.z);   // untouched this tick
  EXPECT_EQ(10, rig.bat.score);

  // Next tick the dying right brick is passed over and B's hit is handled.
  grid.Collide();
  EXPECT_TRUE(centre->IsDying());
  EXPECT_EQ(-1.0f, b->velocity.z);
  EXPECT_EQ(20, rig.bat.score);
  rig.balls.Clear();

  // A ball in one brick's box and touching both: brick order decides.
  grid.DeleteBlocks(grid.blocks);
  rig.BuildCells(Layer({{At(2, 2), 7}, {At(2, 3), 7}}));
  const OVector inside(c.x + h - 0.1f, c.y, c.z);
  OBall* both = rig.AddBall(inside, inside, {1, 1, 1});
  grid.Collide();
  EXPECT_TRUE(grid.blocks[0]->IsDying());
  EXPECT_FALSE(grid.blocks[1]->IsDying());
  // Its previous position lay inside the box: no face crossed, no velocity change.
  EXPECT_EQ(OVector(1, 1, 1), both->velocity);
  rig.balls.Clear();

  // A corner: coming from below left and in front, all three components turn outward.
  grid.DeleteBlocks(grid.blocks);
  rig.BuildCells(Layer({{At(2, 2), 7}}));
  OBall* corner = rig.AddBall({c.x - h - 0.2f, c.y - h - 0.2f, c.z - h - 0.2f},
                              {c.x - 3, c.y - 3, c.z - 3}, {0.5f, 0.5f, 0.5f});
  grid.Collide();
  EXPECT_EQ(OVector(-0.5f, -0.5f, -0.5f), corner->velocity);
  // A ball from behind and above is sent back out through those faces.
  grid.DeleteBlocks(grid.blocks);
  rig.BuildCells(Layer({{At(2, 2), 7}}));
  corner->SetPosition({c.x, c.y + h + 0.2f, c.z + h + 0.2f});
  corner->previousPosition = {c.x, c.y + 3, c.z + 3};
  corner->velocity = {0.5f, -0.5f, -0.5f};
  grid.Collide();
  EXPECT_EQ(OVector(0.5f, 0.5f, 0.5f), corner->velocity);
}

// A heavy ball ploughs through breakable bricks with debris and a cycling explosion sound, but
// bounces off unbreakable ones with the plain hit sound.
TEST(VoxelMap, HeavyBall) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  grid.explosion = new OBloxExpl;  // no texture needed to copy and start it
  rig.BuildCells(Layer({{At(2, 2), 7}}));
  const OVector c = grid.blocks[0]->Position();
  const f32 h = grid.cellDepth / 2;
  OBall* ball = rig.AddBall({c.x, c.y, c.z - h - 0.3f}, {c.x, c.y, c.z - 5}, {0, 0, 1});
  ball->heavyTime = 1000;

  OVoxelMap::heavySound = SOUND_HEAVY_LAST - 2;  // 104: the cycle wraps after two more
  const size_t systems = GetParticleList().Count();
  std::vector<i32> sounds;
  for (int i = 0; i < 4; ++i) {
    grid.DeleteBlocks(grid.blocks);
    rig.BuildCells(Layer({{At(2, 2), 7}}));
    grid.Collide();
    EXPECT_TRUE(grid.blocks[0]->IsDying());
    EXPECT_EQ(1.0f, ball->velocity.z);  // no bounce
    sounds.push_back(grid.hitSound);
  }
  EXPECT_EQ((std::vector<i32>{105, 106, 101, 102}), sounds);
  EXPECT_EQ(systems + 4, GetParticleList().Count());  // one debris burst per hit

  grid.DeleteBlocks(grid.blocks);
  rig.BuildCells(Layer({{At(2, 2), 4}}));
  grid.Collide();
  EXPECT_EQ(-1.0f, ball->velocity.z);
  EXPECT_EQ(SOUND_HIT_BLOCK, grid.hitSound);
  EXPECT_EQ(1, grid.blocks[0]->spinning);
  EXPECT_EQ(102, OVoxelMap::heavySound);  // not advanced by the bounce
  GetParticleList().Clear();
}

// Scoring: points times the multiplier, half for a damaging hit, truncated; no points without
// award or for a dying brick; the multiplier lasts one tick.
TEST(VoxelMap, Scoring) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  // Code 2 has two stages (one damaging hit), code 7 one.
  rig.BuildCells(Layer({{At(0, 0), 2}, {At(0, 1), 7}, {At(0, 2), 7}}));
  grid.scoreMultiplier = 1.1f;
  grid.HitBlock(grid.blocks[0], true);
  EXPECT_EQ(5, rig.bat.score);  // 5.5 truncated
  grid.HitBlock(grid.blocks[1], true);
  EXPECT_EQ(16, rig.bat.score);  // + 11
  grid.HitBlock(grid.blocks[1], true);
  EXPECT_EQ(16, rig.bat.score);  // dying: nothing
  EXPECT_TRUE(grid.blocks[1]->IsDying());
  grid.HitBlock(grid.blocks[2], false);
  EXPECT_EQ(16, rig.bat.score);  // destroyed without award
  EXPECT_TRUE(grid.blocks[2]->IsDying());

  // Large scores keep every point.
  rig.bat.score = 2000000000;
  grid.HitBlock(grid.blocks[0], true);
  EXPECT_EQ(2000000011, rig.bat.score);

  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.Update(0);
  EXPECT_EQ(1.0f, grid.scoreMultiplier);
}

// A bomb hits every brick whose centre is closer than 8 units, with score.
TEST(VoxelMap, Blast) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  rig.BuildCells(Layer({{At(0, 0), 7}, {At(2, 2), 7}, {At(4, 4), 7}}));
  const OVector corner = grid.blocks[0]->Position();
  // 7.9 units from the first brick; the centre brick is nearer, the far corner 15 away.
  grid.Blast(corner.x + 7.9f, corner.y, corner.z);
  EXPECT_TRUE(grid.blocks[0]->IsDying());
  EXPECT_TRUE(grid.blocks[1]->IsDying());
  EXPECT_FALSE(grid.blocks[2]->IsDying());
  EXPECT_EQ(20, rig.bat.score);
  const OVector far = grid.blocks[2]->Position();
  grid.Blast(far.x, far.y, far.z + 8.001f);
  EXPECT_FALSE(grid.blocks[2]->IsDying());
  grid.Blast(far.x, far.y, far.z + 7.999f);
  EXPECT_TRUE(grid.blocks[2]->IsDying());
}

// Dead bricks go when the grid updates; the bonus roll is made at removal, 800 ms after the hit,
// at the brick's position then, with 35 chances in 101.
TEST(VoxelMap, RemovalAndBonusRoll) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  // While a level fades in neither the status check nor the sparkle draws a random number, so
  // the removal's roll is the tick's first draw.
  grid.transition = 1;
  int drops = 0;
  for (int round = 0; round < 40; ++round) {
    grid.DeleteBlocks(grid.blocks);
    grid.bonusDropPending = 0;
    rig.BuildCells(Layer({{At(0, 0), 7}, {At(4, 4), 7}, {At(2, 2), 4}}));
    OBlock* doomed = grid.blocks[0];
    grid.HitBlock(doomed, true);
    doomed->velocity = OVector(0.25f, 0, 0.25f);  // drifting, as when scattered
    grid.Update(400);
    EXPECT_EQ(0, grid.bonusDropPending);
    ASSERT_EQ(3u, grid.blocks.size());
    // The tick the brick dies in removes it.
    const u32 seed = 1000 + static_cast<u32>(round);
    SeedRandom(seed);
    const bool expected = Random() % 101 > BONUS_DROP_ABOVE;
    SeedRandom(seed);
    // It drifted in the last tick; it dies before moving again.
    const OVector where = doomed->Position();
    grid.Update(401);
    ASSERT_EQ(2u, grid.blocks.size());
    EXPECT_EQ(expected ? 1 : 0, grid.bonusDropPending);
    if (expected) {
      ++drops;
      EXPECT_EQ(where, grid.bonusDropPosition);
    }
  }
  EXPECT_GT(drops, 4);
  EXPECT_LT(drops, 30);
}

// Flares: now and then on a random brick, never while a single brick is left or while a level
// fades in.
TEST(VoxelMap, Sparkle) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  OObjectList sprites;
  grid.spriteList = &sprites;
  grid.flare = new OClip;
  SeedRandom(5);
  rig.BuildCells(Layer({{At(2, 2), 7}}));
  for (int i = 0; i < 3000; ++i) grid.Sparkle();
  EXPECT_EQ(0u, sprites.Count());

  grid.DeleteBlocks(grid.blocks);
  rig.BuildCells(Layer({{At(0, 0), 7}, {At(4, 4), 7}}));
  grid.transition = 1;
  for (int i = 0; i < 3000; ++i) grid.Sparkle();
  EXPECT_EQ(0u, sprites.Count());
  grid.transition = 0;
  for (int i = 0; i < 3000; ++i) grid.Sparkle();
  // About one in 129.
  EXPECT_GT(sprites.Count(), 8u);
  EXPECT_LT(sprites.Count(), 50u);
  for (const O3D* s : sprites.members) {
    // On the near face of one of the two bricks.
    const OVector p = s->Position();
    bool onBrick = false;
    for (const OBlock* b : grid.blocks) {
      onBrick |= std::fabs(p.z - b->boxMin.z) < 1e-4f && p.x >= b->boxMin.x - 1e-4f &&
                 p.x <= b->boxMax.x + 1e-4f && p.y >= b->boxMin.y - 1e-4f &&
                 p.y <= b->boxMax.y + 1e-4f;
    }
    EXPECT_TRUE(onBrick);
  }
}

// The crossfade: a new level builds into the incoming list and replaces the current bricks when
// it ends, taking the bat's lives and score as the level-start values. A level started during a
// crossfade replaces the one fading in; no brick is lost track of.
TEST(VoxelMap, LevelTransition) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  rig.bat.lives = 4;
  rig.bat.score = 120;
  grid.StartLevel(0);
  EXPECT_EQ(4, grid.startLives);
  EXPECT_EQ(120, grid.startScore);
  EXPECT_EQ(1, grid.transition);
  EXPECT_TRUE(grid.blocks.empty());
  EXPECT_EQ(25u, grid.incoming.size());
  rig.bat.score = 150;
  grid.FinishTransition();
  EXPECT_EQ(0, grid.transition);
  EXPECT_EQ(25u, grid.blocks.size());
  EXPECT_TRUE(grid.incoming.empty());
  EXPECT_EQ(150, grid.startScore);

  // Level 1 starts, and level 2 before level 1 has faded in.
  const size_t level1 = static_cast<size_t>(std::count_if(
      GetLevelBytes(0, 1).data, GetLevelBytes(0, 1).data + 250, [](u8 c) { return c != 0 && c != 13; }));
  const size_t level2 = static_cast<size_t>(std::count_if(
      GetLevelBytes(0, 2).data, GetLevelBytes(0, 2).data + 250, [](u8 c) { return c != 0 && c != 13; }));
  grid.StartLevel(1);
  EXPECT_EQ(level1, grid.incoming.size());
  grid.StartLevel(2);
  EXPECT_EQ(level1, grid.blocks.size());  // level 1 now fades out
  EXPECT_EQ(level2, grid.incoming.size());
  grid.FinishTransition();
  EXPECT_EQ(level2, grid.blocks.size());
}

// Scatter: every brick drifts at up to 0.25 per tick on each axis, swells and is gone 800 ms
// later.
TEST(VoxelMap, Scatter) {
  ScratchDir dir;
  GridRig rig(new OVoxelMap, 0, 0);
  OVoxelMap& grid = *rig.grid;
  grid.Build(0, grid.blocks);
  grid.transition = 1;
  grid.Scatter();
  EXPECT_EQ(0, grid.transition);
  for (const OBlock* b : grid.blocks) {
    EXPECT_EQ(1.0f, b->alpha);
    for (f32 v : {b->velocity.x, b->velocity.y, b->velocity.z}) {
      EXPECT_GE(v, -0.25f);
      EXPECT_LT(v, 0.25f);
    }
  }
  rig.AddBall({0, 0, 0}, {0, 0, 0}, {0, 0, 1});
  grid.status = MAP_GAME_OVER;
  for (int i = 0; i < 9; ++i) grid.Update(100);
  for (const OBlock* b : grid.blocks) EXPECT_EQ(-1, b->life);
}

// The field the balls keep to is the cage's world box.
TEST(VoxelMap, FieldBox) {
  ScratchDir dir;
  OVoxelMap bare;
  OVector lo, hi;
  bare.GetFieldBox(lo, hi);
  EXPECT_EQ(OVector(-8, -8, 0), lo);
  EXPECT_EQ(OVector(8, 8, 48), hi);
  GridRig rig(new OVoxelMap, 1, 0);
  rig.grid->GetFieldBox(lo, hi);
  EXPECT_EQ(OVector(-8, -8, 0), lo);
  EXPECT_EQ(OVector(8, 8, 48), hi);
  EXPECT_FLOAT_EQ(16.0f / 7.0f, rig.grid->cellWidth);  // six bricks and a half cell each side
}
