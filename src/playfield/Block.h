#pragma once
// One brick of the playfield: a placed brick model standing at the centre of its grid cell. A
// breakable brick shows its damage stages one after the other (one model object per stage) and
// is destroyed by the hit after the last stage; a destroyed brick swells and fades out over
// 800 ms and is then dead (`life` -1) until the grid removes it. An unbreakable brick only turns
// a quarter round about the depth axis when hit.
//
// The fade is the model's `alpha`: 0 while alive (drawn opaque), 1.0 when destroyed, falling
// below 0 when dead.
#include <string>

#include "assets/Model.h"
#include "scene/Vector.h"
#include "core/Types.h"

// Brick kinds.
constexpr i32 BRICK_SOLID = 6;      // unbreakable, no points, does not hold a level
constexpr i32 BRICK_BREAKABLE = 7;
// What OBlock::Hit reports.
constexpr i32 HIT_NOTHING = 0;    // unbreakable, or already dying
constexpr i32 HIT_DESTROYED = 1;  // started its fade just now
constexpr i32 HIT_DAMAGED = 2;    // showed its next damage stage
// Alpha lost per millisecond once destroyed: the fade lasts 800 ms.
constexpr f32 BRICK_FADE_RATE = 0.00125f;
// `life` of a brick that exists.
constexpr i32 BRICK_LIFE = 255;

class OBlock : public OModel {
public:
  // A prototype: no geometry, no points, breakable.
  OBlock();
  // A brick placed from a prototype: shares the geometry and copies the model, points, kind,
  // code-10 marker, layer index, position and life; not spinning, damage stage 0, no spin angle.
  OBlock(const OBlock& prototype);
  OBlock& operator=(const OBlock&) = delete;
  ~OBlock() override = default;

  // Loads a brick model (detail folder, smooth normals) as a prototype and gives it its points
  // and kind, scaled so that it reaches halfWidth from its centre along x. Needs the rendering
  // context for the display lists; throws OFileNotFound when the model is missing.
  bool LoadPrototype(const std::string& fileName, i32 points, i32 kind, f32 halfWidth);
  // The part of LoadPrototype after the geometry is in `data`: points, kind, bounds, scale to
  // halfWidth, bounds again, damage stage 0 shown. No rendering context needed.
  void SetupPrototype(i32 points, i32 kind, f32 halfWidth);

  // One hit: HIT_NOTHING, HIT_DESTROYED or HIT_DAMAGED (see the constants). An unbreakable brick
  // starts a quarter turn unless one is running.
  i32 Hit();
  // A quarter turn (pi/2) about +Z or -Z, chosen at random.
  void StartSpin();
  // The fade and swelling of a destroyed brick, the scatter drift and the spin. Nothing once dead.
  void Update(u32 elapsedMs) override;

  bool IsDying() const { return alpha != 0.0f; }
  bool IsBreakable() const { return kind == BRICK_BREAKABLE; }

  u8 spinning = 0;
  f32 spinSpeed = 0.0f;   // radians per 20 ms (pi/32 once started)
  f32 spinAngle = 0.0f;   // radians turned so far over the brick's life
  f32 spinTarget = 0.0f;  // angle at which the running spin stops
  f32 fadeRate = 0.0f;    // alpha lost per ms; 0 while alive
  i32 points = 0;         // 10 breakable, 0 unbreakable
  i32 kind = BRICK_BREAKABLE;
  i32 damageStage = 0;    // index of the model object shown
  i32 layerIndex = 0;     // corridor layer the brick was built in (0 in a classic level)
  i32 code10 = 0;         // 10 for a corridor brick of cell code 10, else 0
  OVector spinAxis;
};
