#pragma once
// The balls the player keeps in play with the bat. An OBall flies through the box-shaped field,
// spins for show, bounces off the side, top, bottom and far walls, and lights the walls near it
// with a coloured glow. The OBallSet owns every ball in play: it keeps the first one on the bat
// until launch, moves them each tick, bounces them off the bat and each other, removes the lost
// ones (the last one lost costs a life) and carries out the "more balls" and "heavy ball" bonuses.
// Bricks are not handled here: the brick grid runs its own pass over `balls`, reading each
// ball's previousPosition, velocity, radius and heavyTime.
#include <string>
#include <vector>

#include "assets/Model.h"
#include "assets/Texture.h"
#include "scene/Color.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OBallTrail;
class OBlock;
class OPlayer;
class OVoxelMap;

// Scale given to the three ball models after loading (1/96).
constexpr f32 BALL_MODEL_SCALE = 0.0104166670f;
// World units per millisecond of a ball with |velocity| 1 at speed factor 1.
constexpr f32 BALL_UNITS_PER_MS = 0.0175f;
// Milliseconds of heavy state shared among the balls in play when the bonus is caught.
constexpr i32 HEAVY_BALL_TIME = 30000;
// A ball that has flown this long (ms of game time) without touching a breakable brick, a bonus
// or the bat's rim leaves the bat turned by a small random angle: a path that misses every
// breakable brick would otherwise repeat for ever between the bat and the far wall (or a
// metal one).
constexpr i32 LOOP_FLIGHT_MS = 10000;
// The turn given then, and to every launch (a launch is never exactly along the field's axis),
// degrees.
constexpr f32 DEVIATION_MIN_DEGREES = 2.0f;
constexpr f32 DEVIATION_MAX_DEGREES = 3.0f;
// A ball that has flown this long (ms of game time) without striking a breakable brick has lost
// its way: a still bat's plain rebound leaves it aimed at a standing breakable brick instead (the
// front stage's, in the corridor), and a bounce off metal or stone one that strikes such a brick
// or comes back to the bat. Found by following straight flights, so the ball never turns in
// mid-flight. A ball that meets the rim, or a bat moving faster than GUIDE_STILL_BAT, is the
// player's own shot and is left alone.
constexpr i32 GUIDE_AFTER_MS = 3000;
// World units per ms; the guided ball leaves without swerve, which would bend it off the line.
constexpr f32 GUIDE_STILL_BAT = 0.004f;

// The wall light's picture holds the middle nine tenths of the light's square, and the square is
// drawn that much smaller: the rim left out adds at most 6 steps of 255 to one channel, on the
// pixels that make the light a fifth of a frame of play at 1024x768.
constexpr f32 WALL_LIGHT_PICTURE_REACH = 0.9f;

class OBall : public OModel {
public:
  // A template: velocity and drift zero, spinAxis (1, 1, 1), speed 1, colourIndex 0, not heavy,
  // red/green/blue glow colours. LoadTemplate loads its model and glow texture.
  OBall();
  // A playing ball copied from a template: shares the geometry and the glow texture, takes
  // spinAxis, drift, glowColours, colourIndex and speed; no trail, not heavy.
  OBall(const OBall& tmpl);
  OBall& operator=(const OBall&) = delete;
  // A trail still attached is removed with it at once (alive = 0; the particle list deletes it).
  ~OBall() override;

  // Loads the model, scales it by BALL_MODEL_SCALE, computes radius and bounds and takes
  // "pLight.Tga" as the glow (a missing glow picture only leaves the glow untextured).
  bool LoadTemplate(const std::string& modelName);

  // One tick of motion: spin, drift, movement by velocity * t * speed * BALL_UNITS_PER_MS, the
  // depth-speed and side-speed rules, the heavy countdown. t may be 0.
  void Update(u32 elapsedMs) override;
  // The model, translucent while its alpha is non-zero.
  void Draw() override;
  // Light spots on the five walls within 8 units of the ball (the bat side has no wall).
  void DrawWallGlow();

  void SetField(const OVector& min, const OVector& max);
  // Reflects off the walls (strict tests, so a ball exactly at a wall's limit is not reflected)
  // and clamps x and y into the field. True when any wall was touched.
  // Puts the ball back inside the side and far walls without touching its velocity.
  void KeepInsideWalls();
  bool BounceWalls();

  bool IsHeavy() const { return heavyTime > 0; }
  // Turns the velocity by a random angle between DEVIATION_MIN_DEGREES and
  // DEVIATION_MAX_DEGREES about a random axis across it; its length stays. A still ball stays.
  void Deviate();

  OTexture glowTexture;       // "pLight.Tga", shared with the template
  OVector fieldMin;           // side walls (x, y) and the bat-side limit (z), world units
  OVector fieldMax;           // side walls (x, y) and the far wall (z)
  OBallTrail* trail = nullptr;  // flame trail while heavy; owned by the particle list
  OVector spinAxis{1.0f, 1.0f, 1.0f};  // signs of the show spin about X and Y; 0 = no spin
  f32 speed = 1.0f;           // game-speed factor, copied from the set every tick
  i32 colourIndex = 0;        // 0 red, 1 green, 2 blue: glow colour and template
  OColor4 glowColours[3];
  OVector previousPosition;   // position before the last move; the brick pass reads it
  i32 heavyTime = 0;          // ms of heavy state left; > 0 = heavy (passes through bricks)
  i32 flightMs = 0;           // ms since it last touched a breakable brick, a bonus or the bat's rim
  i32 searchMs = 0;           // ms since it last struck a breakable brick
};

class OBallSet {
public:
  // Creates the flame-trail prototype, still without its texture.
  OBallSet();
  // Deletes the balls in play and the trail prototype; the templates belong to the game screen.
  ~OBallSet();
  OBallSet(const OBallSet&) = delete;
  OBallSet& operator=(const OBallSet&) = delete;

  // Loads the trail prototype's texture (needs a rendering context); a missing picture leaves
  // the flames untextured.
  void Load();

  // One tick: ball on the bat before launch; otherwise motion, walls, lost balls (the last
  // one costs a life), bat hits with swerve, ball-ball exchange. t may be 0 (no swerve then).
  void Update(u32 elapsedMs);
  void Draw();
  // Sends the waiting ball into the field along (0, 0, 1), turned by a small random angle.
  void Launch();
  // A new ball copied from template 0 with the grid's field box and the given velocity.
  OBall* AddBall(const OVector& velocity);
  // Deletes every ball; the next ball waits on the bat again.
  void Clear();
  // The two ball bonuses, applied by the bat when caught.
  void AddMoreBalls();
  void MakeHeavy();

  // The field box of the grid (or a default box without a grid).
  void FieldBox(OVector& min, OVector& max) const;
  // The bricks that can stop a ball: standing, and within the hit pass's reach (in the corridor
  // the bricks further down have no fresh bounds, and stand far behind anyway); `nearestZ` is the
  // least depth any of them reaches. Gathered once for all the flights of one rebound.
  std::vector<const OBlock*> StandingBricks(f32& nearestZ) const;
  // How a straight flight ends: the brick of `standing` it meets first (`solid` when met full on
  // a face; a breakable brick met only at an edge or corner counts as missed, since a slightly
  // different tick would pass it by), or back at the bat (`home`: its centre's depth below
  // homeZ); neither when it is still flying after maxMs.
  struct Flight {
    const OBlock* brick = nullptr;
    bool solid = false;
    bool home = false;
  };
  // Follows a ball leaving `from` with `velocity` (the side and far walls reflect it; the depth
  // speed creeps to 1 as in flight, no swerve) in ticks of tickMs. The brick `leaving`, which the
  // ball touches at the start, stops it only once it has been clear of it.
  static Flight FollowFlight(const OBall& ball, const OVector& from, OVector velocity,
                             const std::vector<const OBlock*>& standing, f32 nearestZ, f32 homeZ,
                             f32 speed, const OBlock* leaving = nullptr, u32 tickMs = 16,
                             i32 maxMs = 7000);
  // The rebound nearest to `plain` (side speeds within 0.3, inside the bat's limits; the same
  // depth speed) whose flight strikes a breakable brick that counts for the level; false when
  // none does.
  bool GuidedRebound(const OBall& ball, const OVector& plain, OVector& out) const;
  // The same search for a ball that has lost its way and bounces off the unbreakable brick
  // `hit`: the plain bounce is kept when its flight strikes a breakable brick that counts or
  // comes back to the bat, else the nearest on the guide grid that does. Behind or between rows
  // of metal bars, edge bounces can hold a ball in a closed path that never reaches the bat,
  // where the rebound's own guidance would act. False when no flight gets out.
  bool GuidedBounce(const OBall& ball, const OBlock* hit, const OVector& plain,
                    OVector& out) const;
  // Whether a flight meets, full on a face, a breakable brick that counts for the level (in the
  // corridor, one of the front stage). Needs the grid.
  bool StrikesACountingBrick(const Flight& f) const;
  bool FirstBallHeavy() const { return !balls.empty() && balls[0]->heavyTime >= 1; }

  u8 launched = 0;               // 0 while the ball rides on the bat
  OBallTrail* trailTemplate;     // owned
  OPlayer* bat = nullptr;        // not owned
  OVoxelMap* grid = nullptr;     // not owned; status and field box
  OBall* ballTemplates[3] = {nullptr, nullptr, nullptr};  // by colour index; not owned
  std::vector<OBall*> balls;     // in play, creation order; owned
  f32 speed = 1.0f;              // game-speed factor for all balls

  // The bat's hit flash, shared by the whole program: ms left while the bat shows alpha 0.75.
  static i32 flashTimer;
};
