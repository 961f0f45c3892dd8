#pragma once
// Rockets of the gun bonus. A rocket flies straight along +Z trailing flame and smoke, damages
// every breakable brick it passes through, and stops with an explosion at an unbreakable brick or
// at the far wall. The OBulletSet owns the rockets and the prototypes of their effects.
#include <vector>

#include "assets/Model.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OBloxExpl;
class OBonusSet;
class OClip;
class OHellTrail;
class OVoxelMap;

// A rocket's flight speed per unit of the fire velocity: (0, 0, 0.25) gives 0.0078125 units/ms.
constexpr f32 BULLET_SPEED_SCALE = 0.03125f;
constexpr f32 BULLET_RADIUS = 1.5f;

class OBullet : public OModel {
public:
  OBullet();
  OBullet(const OBullet&) = delete;
  OBullet& operator=(const OBullet&) = delete;
  ~OBullet() override = default;

  // position += t * velocity (no game-speed factor); the trail follows 1 unit behind.
  void Update(u32 elapsedMs) override;
  // Drawn like a ball: translucent while its alpha is non-zero.
  void Draw() override;

  u32 unused = 1;
  OHellTrail* trail = nullptr;  // owned by the particle list
};

class OBulletSet {
public:
  // No rockets; the three effect prototypes, still without their pictures.
  OBulletSet();
  ~OBulletSet();
  OBulletSet(const OBulletSet&) = delete;
  OBulletSet& operator=(const OBulletSet&) = delete;

  // Loads the prototypes' pictures (needs a rendering context); a missing one leaves that
  // effect untextured.
  void Load();

  // A rocket at position flying with velocity * BULLET_SPEED_SCALE, with its trail.
  OBullet* Fire(const OVector& position, const OVector& velocity);
  // Moves the rockets, then Collide.
  void Update(u32 elapsedMs);
  void Draw();
  void Clear();
  // Far wall and brick hits of the rockets after they moved.
  void Collide();

  OHellTrail* trailTemplate = nullptr;   // owned
  OClip* explosionTemplate = nullptr;    // owned
  OBloxExpl* debrisTemplate = nullptr;   // owned
  OBonusSet* bonusSet = nullptr;         // not owned
  std::vector<OBullet*> bullets;         // in flight; owned
  OVoxelMap* grid = nullptr;             // not owned; the bat reaches the grid through it too

  // Whether Fire loads the rocket model ("Bonus/Gun.Zmod"); off for headless rule runs.
  static bool loadModels;

private:
  void Explode(OBullet* bullet);
};
