#pragma once
// The playfield of the modern mode: a long corridor of bricks built at once. Only the front stage
// of six layers counts; a stage ends when its breakable bricks are gone or its timer runs out,
// and then the whole corridor moves six layers toward the player, bricks passing the front line
// fading out without score. The corridor is drawn in a warm fog. Bricks, cage, skin, hits, bonus
// drops, sparkles and scatter are those of the classic grid.
//
// Layer indices count from the first layer built (the start of the stage the game resumed at),
// so `frontLayer` is -6 before the first advance, then 0, 6, 12, ...
#include <vector>

#include "playfield/VoxelMap.h"
#include "core/Types.h"

// The corridor moves this far per drawn frame while it advances (world units).
constexpr f32 ADVANCE_STEP = 0.125f;
// Bricks further than this many layers behind the front are not updated; drawn while advancing
// up to 24.
constexpr i32 UPDATE_LAYER_REACH = 18;
constexpr i32 ADVANCE_DRAW_REACH = 24;
// The timer the game screen sets whenever it is entered, ms.
constexpr i32 CORRIDOR_ENTER_TIMER = 60000;

class OModVoxelMap : public OVoxelMap {
public:
  OModVoxelMap() = default;
  ~OModVoxelMap() override = default;

  // Timer, the front bricks' update, then the classic status, sparkle, hit and removal steps.
  void Update(u32 elapsedMs) override;
  // Fog, cage, the bricks up to 12 layers behind the front (or one step of the advance).
  void Draw() override;
  // The whole corridor from the level data position to the end of the episode's table.
  void Build(i32 level, std::vector<OBlock*>& out) override;
  // A new or resumed game: timer, corridor, and the first advance that brings layer 0 forward.
  void StartLevel(i32 level) override;
  // Cuts the timer to the hurry-up limit when at most HurryCount() breakable bricks are left in
  // the front stage; never raises it.
  void CheckTimer() override;
  // One drawn frame of the advance.
  void DrawTransition() override;
  i32 CheckStatus() override;

  // StageTimeMs(episode): 70, 80 or 90 s a stage.
  i32 ResetTime() const;
  // (episode + 1) x 2500 ms.
  i32 HurryTime() const;
  // The breakable bricks in front at which the hurry-up starts: episode x 2 + 2.
  i32 HurryCount() const;
  // The most time the stage may have left now (ms): HurryTime() plus 6000 per breakable brick in
  // front once the hurry-up has started, else HurryTime(). A timer at or below it shows red.
  i32 HurryLimit() const;
  // Breakable bricks with a layer index before frontLayer + 6.
  i32 CountFrontBreakable() const;
  // Moves the bricks one step of an advance (no drawing): what DrawTransition does besides
  // drawing. Returns whether the advance ended with this step.
  bool AdvanceStep();

  f32 advance = 0.0f;  // distance moved in the current advance, world units
};
