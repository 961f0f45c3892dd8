#pragma once
// A brick grid without a window: cage and prototypes are cubes made in memory. Code 1 has three
// damage stages, code 2 two, the others one; code 10, a thin slab, shows it takes code 5's box.
#include <memory>
#include <vector>

#include "assets/ModelData.h"
#include "assets/ModelTestSupport.h"
#include "objects/Ball.h"
#include "objects/Player.h"
#include "playfield/Block.h"
#include "playfield/ModVoxelMap.h"
#include "playfield/VoxelMap.h"

// A cube file of half size 1 with its vertices moved and stretched: v * scale + offset.
inline OModelFile ShapedCube(OVector scale, OVector offset, int objects = 1) {
  OModelFile f = CubeFile(0, objects);
  for (OModelFileVertex& v : f.vertices) {
    v = {v.x * scale.x + offset.x, v.y * scale.y + offset.y, v.z * scale.z + offset.z};
  }
  return f;
}

// Brick prototype index of a code (codes 1..12 and 14).
inline int PrototypeSlot(u8 code) { return code == 14 ? 12 : code - 1; }

// A cage of 64 x 64 x 192 model units (16 x 16 x 48 in the world) and prototypes scaled to the
// episode's cell, as Init gives them.
inline void SetUpGeometry(OVoxelMap& grid) {
  grid.box = new OModel;
  grid.box->data->SetGeometry(ShapedCube({32, 32, 96}, {0, 0, 96}));
  grid.FitBox();
  const u8 codes[BRICK_PROTOTYPES] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14};
  const f32 half = grid.BrickHalfWidth();
  for (int i = 0; i < BRICK_PROTOTYPES; ++i) {
    const u8 code = codes[i];
    OBlock* p = new OBlock;
    const int stages = code == 1 ? 3 : code == 2 ? 2 : 1;  // an object a stage
    const OVector scale = code == 10 ? OVector(1, 1, 0.2f) : OVector(1, 1, 1);
    p->data->SetGeometry(ShapedCube(scale, {0, 0, 0}, stages));
    const bool solid = code == 4 || code == 5;
    p->SetupPrototype(solid ? 0 : 10, solid ? BRICK_SOLID : BRICK_BREAKABLE, half);
    grid.prototypes[i] = p;
  }
  grid.ComputeCellSize();
}

// A bat, a ball set with balls, and a grid wired to them.
struct GridRig {
  GridRig(OVoxelMap* g, i32 episode, i32 level = 0) : grid(g), bat(nullptr) {
    grid->SetLevel(episode, level);
    balls.bat = &bat;
    balls.grid = grid.get();
    grid->ballSet = &balls;
    SetUpGeometry(*grid);
  }
  ~GridRig() { balls.Clear(); }

  // A ball in play at `position`, coming from `previous`.
  OBall* AddBall(OVector position, OVector previous, OVector velocity, f32 radius = 0.5f) {
    OBall* ball = new OBall;
    ball->SetPosition(position);
    ball->previousPosition = previous;
    ball->velocity = velocity;
    ball->radius = radius;
    balls.balls.push_back(ball);
    return ball;
  }

  // Makes `cells` (layer, row, column order) the level data, ending there.
  void SetCells(const std::vector<u8>& cells) {
    data = cells;
    grid->levelData = data.data();
    grid->levelEnd = data.data() + data.size();
  }
  // Builds a level from `cells` in place of the current bricks.
  void BuildCells(const std::vector<u8>& cells) {
    OVoxelMap::DeleteBlocks(grid->blocks);
    SetCells(cells);
    grid->Build(0, grid->blocks);
  }

  std::unique_ptr<OVoxelMap> grid;
  OPlayer bat;
  OBallSet balls;
  std::vector<u8> data;
};

// Whether a brick was made from the prototype of `code`.
inline bool IsCode(const OVoxelMap& grid, const OBlock* b, u8 code) {
  return b->data == grid.prototypes[PrototypeSlot(code)]->data;
}
