#include "playfield/ModVoxelMap.h"

#include <GL/gl.h>
#include <algorithm>

#include "assets/Model.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Player.h"
#include "playfield/LevelCheck.h"
#include "playfield/Levels.h"

namespace {
// The warm fog the corridor fades into; it starts 8 units before the far wall and is full 16
// units behind it.
constexpr f32 FOG_COLOUR[4] = {0.6f, 0.3f, 0.0f, 1.0f};
constexpr f32 FOG_START_BEFORE_WALL = 8.0f;
constexpr f32 FOG_END_BEHIND_WALL = 16.0f;
// Layer 0 is built this many brick half depths in front of the cage's open end (two stages
// deep), so the first advance brings it to the front line.
constexpr f32 CORRIDOR_START_HALF_DEPTHS = 24.0f;
// The hurry-up leaves this much time for each brick still standing: a round trip of the ball
// from the bat to the stage and back at the default game speed (about 3.7 s), and one more half
// trip for the one that found nothing (ms).
constexpr i32 HURRY_MS_PER_BRICK = 6000;
}  // namespace

i32 OModVoxelMap::ResetTime() const { return StageTimeMs(episode); }

i32 OModVoxelMap::HurryTime() const { return (episode + 1) * 2500; }

i32 OModVoxelMap::HurryCount() const { return episode * 2 + 2; }

i32 OModVoxelMap::HurryLimit() const {
  const i32 count = CountFrontBreakable();
  if (count > HurryCount()) return HurryTime();
  return HurryTime() + count * HURRY_MS_PER_BRICK;
}

i32 OModVoxelMap::CountFrontBreakable() const {
  i32 count = 0;
  for (const OBlock* b : blocks) {
    if (b->IsBreakable() && b->layerIndex < frontLayer + STAGE_LAYERS) ++count;
  }
  return count;
}

void OModVoxelMap::StartLevel(i32 level) {
  if (bonusSet != nullptr) bonusSet->released = 0;
  timer = ResetTime();
  advance = 0.0f;
  frontLayer = -STAGE_LAYERS;
  DeleteBlocks(blocks);
  DeleteBlocks(incoming);
  Build(level, blocks);
  // The first advance brings layer 0 to the front.
  transition = 1;
}

void OModVoxelMap::Build(i32 /*level*/, std::vector<OBlock*>& out) {
  if (const OPlayer* bat = Bat()) {
    startLives = bat->lives;
    startScore = bat->score;
  }
  DeleteBlocks(out);
  status = MAP_PLAYING;
  const OBlock* first = prototypes[0];
  if (box == nullptr || first == nullptr || levelData == nullptr) return;
  const f32 zStart = first->localMax.z * CORRIDOR_START_HALF_DEPTHS + box->localMin.z;
  const f32 half = static_cast<f32>(n) * 0.5f;
  // The level data position stays at the stage the corridor starts from, so that building again
  // gives the same corridor; reading stops at the end of the episode's table.
  const u8* cell = levelData;
  for (i32 layer = 0; layer < layers; ++layer) {
    for (i32 k = 0; k < n * n; ++k) {
      if (cell >= levelEnd) return;
      const u8 code = *cell++;
      const i32 row = k / n, column = k % n;
      const f32 x = (static_cast<f32>(column) - half) * cellWidth + cellWidth * 0.5f;
      // Row 0 is the bottom row of a corridor layer.
      const f32 y = (static_cast<f32>(row) - half) * cellHeight + cellHeight * 0.5f;
      const f32 z = zStart + static_cast<f32>(layer) * cellDepth;
      OBlock* brick = PlaceBrick(code, x, y, z, out);
      if (brick == nullptr) continue;
      brick->layerIndex = layer;
      if (code == 10) {
        brick->code10 = 10;
        TakeCode5Box(brick);
      }
    }
  }
}

void OModVoxelMap::Update(u32 elapsedMs) {
  timer -= static_cast<i32>(elapsedMs);
  // Bricks far down the corridor stand still.
  for (OBlock* b : blocks) {
    if (b->layerIndex < frontLayer + UPDATE_LAYER_REACH) b->Update(elapsedMs);
  }
  if (status != MAP_GAME_OVER) {
    status = CheckStatus();
    Sparkle();
    Collide();
    RemoveDead();
  }
  scoreMultiplier = 1.0f;
}

void OModVoxelMap::CheckTimer() {
  // Few bricks left in the stage: hurry up. Changed for play: the cut used to leave the bare
  // hurry-up time for all the last bricks, and since a ball finds about one brick per round
  // trip, almost no stage could be cleared before its timer. The cut now leaves a round trip and
  // a half for each brick left on top, and only ever shortens the timer, so the last bricks still
  // never hold the corridor long.
  if (CountFrontBreakable() > HurryCount()) return;
  timer = std::min(timer, HurryLimit());
}

i32 OModVoxelMap::CheckStatus() {
  const OPlayer* bat = Bat();
  if (transition) {
    timer = ResetTime();
    if (bat == nullptr || bat->lives > 0) return MAP_PLAYING;
    transition = 0;
    Scatter();
    return MAP_GAME_OVER;
  }
  CheckTimer();
  if (!HasBallInPlay()) return MAP_GAME_OVER;
  if (blocks.empty()) return MAP_LEVEL_DONE;
  const i32 count = CountFrontBreakable();
  if (timer > 0 && count > 0) {
    if (bat == nullptr || bat->lives != 0) return MAP_PLAYING;
    Scatter();
    return MAP_GAME_OVER;
  }
  // The stage is cleared, or its time is up with bricks left: the corridor moves on.
  timer = ResetTime();
  return MAP_LEVEL_DONE;
}

bool OModVoxelMap::AdvanceStep() {
  const f32 distance = STAGE_LAYERS * cellDepth;
  if (advance > distance) return false;
  bool last = false;
  f32 move;
  if (advance + ADVANCE_STEP <= distance) {
    advance += ADVANCE_STEP;
    move = -ADVANCE_STEP;
  } else {
    last = true;
    transition = 0;
    move = -(distance - advance);
    advance = 0.0f;
  }
  for (OBlock* b : blocks) {
    OVector p = b->Position();
    p.z += move;
    b->SetPosition(p);
    // Past the front line: the brick vanishes without score or sound. The front stage's first
    // layer stands on the line itself; half a step of margin keeps rounding in the repeated
    // moves from taking it for a brick that has passed.
    const f32 line = distance - ADVANCE_STEP * 0.5f;
    if (b->layerIndex < frontLayer + UPDATE_LAYER_REACH && p.z < line && b->alpha == 0.0f) {
      b->SetAlpha(1.0f);
      b->fadeRate = BRICK_FADE_RATE;
    }
    if (b->layerIndex < frontLayer + ADVANCE_DRAW_REACH) {
      b->ComputeBounds();
      if (b->code10 == 10) TakeCode5Box(b);
    }
  }
  if (last) {
    frontLayer += STAGE_LAYERS;
    if (const OPlayer* bat = Bat()) {
      startLives = bat->lives;
      startScore = bat->score;
    }
  }
  return last;
}

void OModVoxelMap::DrawTransition() {
  glPushMatrix();
  if (advance <= STAGE_LAYERS * cellDepth) {
    // TNT lying in the corridor would be left behind by the bricks round it.
    if (bonusSet != nullptr) bonusSet->RemoveTnt();
    const i32 reach = frontLayer + ADVANCE_DRAW_REACH;
    AdvanceStep();
    size_t count = 0;
    while (count < blocks.size() && blocks[count]->layerIndex < reach) ++count;
    DrawBricks(count);
  }
  glPopMatrix();
}

void OModVoxelMap::Draw() {
  // As in the classic field: no colour left behind by the head-up text.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_LIGHTING);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, FOG_COLOUR);
  const f32 wall = box != nullptr ? box->localMax.z : 48.0f;
  glFogf(GL_FOG_START, wall - FOG_START_BEFORE_WALL);
  glFogf(GL_FOG_END, wall + FOG_END_BEHIND_WALL);
  glHint(GL_FOG_HINT, GL_NICEST);
  glCullFace(GL_FRONT);
  skin.Bind();
  if (!transition) {
    // The bricks up to 12 layers behind the front; the rest are lost in the fog.
    size_t count = 0;
    while (count < blocks.size() && blocks[count]->layerIndex <= frontLayer + COLLIDE_LAYER_REACH) {
      ++count;
    }
    DrawField(count);
  } else {
    DrawCage(wallsMayHide);
    DrawTransition();
  }
  glDisable(GL_FOG);
  glCullFace(GL_BACK);
  glDisable(GL_CULL_FACE);
}
