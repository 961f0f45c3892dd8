#pragma once
// Bonuses: spinning capsules that bricks release when they are removed. A bonus falls toward the
// bat; the bat catching it applies its effect, a ball hitting it knocks it away and destroys it
// (TNT then blows up the bricks around it), and one that falls behind the bat is lost. Every
// bonus that leaves play bursts into a firework. The OBonusSet holds one template per type, reused
// for each drop of that type, so at most one bonus of a type is in play; it deals the types from
// a shuffled bag and applies each type's own drop rule.
#include <map>
#include <string>
#include <vector>

#include "assets/Model.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OFirework;
class OPlayer;
class OSoundPlayer;
class OVoxelMap;

// `life` of a bonus without a time limit (never counted down).
constexpr i32 BONUS_NO_LIMIT = 40000;
// How far behind the field's near end (z) a falling bonus is lost.
constexpr f32 BONUS_LOST_DEPTH = 16.0f;
// Pop sounds cycle through these ids, all the same explosion sample.
constexpr i32 POP_SOUND_FIRST = 15;
constexpr i32 POP_SOUND_END = 21;  // one past the last

class OBonus : public OModel {
public:
  OBonus();  // every effect field 0, speed 1, life BONUS_NO_LIMIT
  OBonus(const OBonus&) = delete;
  OBonus& operator=(const OBonus&) = delete;
  ~OBonus() override = default;

  // Fades in when translucent, spins, falls by velocity * t * speed * 0.1, counts its life.
  void Update(u32 elapsedMs) override;

  f32 speed = 1.0f;     // game-speed factor, copied from the set each tick
  u8 extraLife = 0;     // 1 = one more life
  u8 moreBalls = 0;     // 1 = two more balls
  i32 slowValue = 0;    // > 0: ms the bat is slowed
  i32 heavyValue = 0;   // non-zero: heavy ball
  i32 gunValue = 0;     // > 0: gun charge
  i32 points = 0;       // non-zero: added to the score
  u8 nextLevel = 0;     // 1 = the level ends as completed
  u8 isTnt = 0;         // 1 = lies still and explodes when a ball hits it
  i32 smallValue = 0;   // > 0: the bat narrows
  i32 bigValue = 0;     // > 0: the bat widens
  OVector spin;         // spin rates about the own X, Y, Z axes (radians per 20 ms at speed 1)
  i32 type = 0;         // index 0..9 of the template
};

class OBonusSet {
public:
  // Empty, speed 1, seeds the random generator from the clock and shuffles the bag.
  OBonusSet();
  // Deletes the templates and the firework prototype.
  ~OBonusSet();
  OBonusSet(const OBonusSet&) = delete;
  OBonusSet& operator=(const OBonusSet&) = delete;

  // Loads the ten templates (models from the archive) and the firework prototype. Needs a
  // rendering context.
  void Load();
  // Ten templates without models (geometry left empty): for running the rules headless.
  void CreateTemplates();

  // One tick: end-of-level burst, ball hits (TNT blasts), falling and catching, bursting of the
  // bonuses that left play, then a pending drop request.
  void Update(u32 elapsedMs);
  // Each bonus in play, then a faint reflective shell 1.125 times its size.
  void Draw();
  // The bonuses in play burst 50 ms apart, each with a pop sound.
  void Release();
  // Every TNT in play bursts on the next update (the corridor moved on).
  void RemoveTnt();
  // Throws the next type up as decoration (end-of-episode display).
  void Celebrate();
  // Removes every bonus from play without a burst (a new game).
  void Clear();

  // The next type from the bag, skipping types the bat shows as active.
  i32 NextType();
  // Reshuffles the bag; its first type never repeats the old last one.
  void Shuffle();
  // Handles the grid's drop request at its position; the request is always consumed.
  void Drop();
  // Puts the template of the type in play at pos, unless it is already in play.
  void Spawn(i32 type, const OVector& pos);

  bool IsActive(const OBonus* bonus) const;
  // Plays the next pop sound of the program-wide cycle.
  void PlayPop();

  i32 unused = -1;
  f32 speed = 1.0f;                      // game-speed factor
  OBonus* templates[10] = {};            // by type; owned
  OSoundPlayer* soundPlayer = nullptr;   // not owned
  std::vector<OBonus*> active;           // in play (falling or lying); not owning
  std::map<i32, OBonus*> byType;         // the same templates
  i32 bag[10] = {};                      // the types in shuffled order
  i32 bagIndex = 0;                      // index of the last type dealt
  u8 released = 0;                       // 1 once the end-of-level burst started
  OFirework* fireworkTemplate = nullptr;  // owned; null when headless
  OVoxelMap* grid = nullptr;             // not owned
  OPlayer* bat = nullptr;                // not owned

  static i32 popSound;  // next pop sound id, program-wide
};
