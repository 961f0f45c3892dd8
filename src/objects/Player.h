#pragma once
// The bat: the player's paddle, a model gliding toward the point under the mouse in the plane in
// front of the field. Besides its motion it holds the score and the lives, the bonus caught this
// tick and the timers of the bonuses that act on the bat (gun, slow, big, small), and while it is
// slowed it draws a trail of fading copies of itself.
#include <deque>
#include <vector>

#include "assets/Model.h"
#include "objects/PaneLayer.h"
#include "objects/TrailPicture.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OBallSet;
class OBonus;
class OBulletSet;
class OCamera;
class OSoundPlayer;
class OVoxelMap;

// Bonus types: index into the bonus set's templates and the bat's activeBonus flags.
enum : i32 {
  BONUS_LIFE = 0,
  BONUS_MORE_BALLS = 1,
  BONUS_GUN = 2,
  BONUS_SLOW = 3,
  BONUS_HEAVY = 4,
  BONUS_SCORE = 5,
  BONUS_TNT = 6,
  BONUS_BIG = 7,
  BONUS_SMALL = 8,
  BONUS_NEXT_LEVEL = 9,
  BONUS_TYPES = 10
};

// Gun charge one rocket costs (the gun bonus's 15000 is six shots).
constexpr i32 GUN_SHOT_COST = 2500;
// Milliseconds a caught big or small bonus changes the bat's width.
constexpr i32 BAT_SIZE_TIME = 10000;
// Size animation: 25 steps of this factor in x and y (about 1.364 in all).
constexpr i32 BAT_SIZE_STEPS = 25;
constexpr f32 BAT_GROW_STEP = 1.0125f;
constexpr f32 BAT_SHRINK_STEP = 0.98765427f;  // 1 / 1.0125
// Share of the remaining distance to the target covered per millisecond.
constexpr f32 BAT_FOLLOW = 0.015f;
constexpr f32 BAT_FOLLOW_SLOW = 0.001875f;
// Positions remembered for the slowed trail.
constexpr size_t BAT_HISTORY = 8;
// The alpha of the newest copy of the slowed trail; the k-th newest has 1 / (k + 2).
constexpr f32 BAT_TRAIL_ALPHA = 1.0f / 3.0f;
// How far the bat may move, across or up, before the trail's picture is taken again: this share
// of the viewport's height (15 pixels at 640x480).
constexpr f32 BAT_TRAIL_PICTURE_REACH = 1.0f / 32.0f;
// The bat model's object holding the pane's two broad faces, back to back.
constexpr u32 BAT_PANE_OBJECT = 1;

class OPlayer : public OModel {
public:
  // Score 0, five lives, every timer inactive, then Reset.
  explicit OPlayer(OCamera* camera);
  OPlayer(const OPlayer&) = delete;
  OPlayer& operator=(const OPlayer&) = delete;
  ~OPlayer() override = default;

  // Follows the target, applies a caught bonus, runs the size animation and the timers.
  void Update(u32 elapsedMs) override;
  // The bat, and while slowed its fading copies at the history positions.
  void Draw() override;

  // Mouse position in window pixels (y down) to the bat's target through the camera's pick ray.
  void SetTarget(i32 x, i32 y);
  // A mouse press: one rocket when the gun holds charge.
  void Fire();
  // Applies caughtBonus (if any) and forgets it.
  void ApplyBonus();
  // One step of the widening or narrowing animation; t is the tick in ms.
  void Animate(u32 elapsedMs);
  // After a lost life: back at the centre, normal size, every bonus timer inactive.
  void Reset();

  void SetActiveBonus(i32 type);
  void ClearActiveBonuses();
  bool IsBonusActive(i32 type) const;

  // The world box follows the position; a bat without geometry keeps its given local box.
  void UpdateBounds();

  std::deque<OVector> history;        // newest first, at most BAT_HISTORY
  OSoundPlayer* soundPlayer = nullptr;  // not owned; also used by the ball set
  OBulletSet* bulletSet = nullptr;    // not owned; rockets go through it, and the grid is its grid
  OBonus* caughtBonus = nullptr;      // caught this tick; not owned
  OBallSet* ballSet = nullptr;        // not owned
  i32 score = 0;
  i32 lives = 5;
  i32 gunAmmo = -1;     // gun charge; -1 = no gun
  i32 slowTime = -1;    // ms of slow state left; -1 = inactive
  i32 bigTime = -1;     // ms of widened state left; -1 = inactive
  i32 smallTime = -1;   // ms of narrowed state left; -1 = inactive
  i32 growSteps = BAT_SIZE_STEPS;    // size-animation counter, BAT_SIZE_STEPS when idle
  i32 shrinkSteps = BAT_SIZE_STEPS;  // size-animation counter, BAT_SIZE_STEPS when idle
  OCamera* camera;                   // not owned; for mouse picking
  OVector target;                    // the bat moves toward -target
  f32 followFactor = BAT_FOLLOW;
  u8 activeBonus[BONUS_TYPES] = {};  // types showing their effect; not dropped meanwhile
  u32 bonusesCaught = 0;  // bonuses applied over the bat's life, for play measurements

protected:
  // The pane (object BAT_PANE_OBJECT) as one layer where OPaneLayer finds it usable and the
  // translucent path blends as it does in play; every other object as the model draws it.
  void DrawTranslucentObject(size_t k) override;

private:
  OVoxelMap* Grid() const;
  void PlaySound(i32 id) const;
  // Scales the geometry's width and height `steps` times by factor (one of the two steps).
  void ScaleWidth(f32 factor, i32 steps);
  // The slowed trail as copies of one picture of the bat (see OTrailPicture). False, with
  // nothing drawn, where the picture cannot be taken (the bat reaching past the viewport's edge,
  // a shallow colour buffer): the copies are then drawn as models.
  bool DrawTrailPicture();

  i32 sizeSteps = 0;  // net widening steps applied to the geometry (negative: narrowing)
  OPaneLayer pane;
  OTrailPicture trailPicture;
  std::vector<OTrailCopy> trailCopies;  // kept from frame to frame for its storage
  f32 trailOrigin[2] = {};  // window pixels of the bat's origin where the picture was taken
};
