#include "objects/Bullet.h"

#include <algorithm>

#include "effects/BloxExpl.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "playfield/Block.h"
#include "playfield/VoxelMap.h"
#include "scene/Clip.h"
#include "scene/ObjectList.h"
#include "core/Exception.h"

namespace {

// How far behind the rocket its trail is emitted, and the explosion is placed, world units.
constexpr f32 TRAIL_BEHIND = 1.0f;
constexpr f32 EXPLOSION_BEHIND = 1.5f;
// Rockets stop just in front of the far wall.
constexpr f32 FAR_WALL_GAP = 0.1f;
// Layers past the corridor's front that rockets do not reach.
constexpr i32 ROCKET_LAYER_REACH = 12;

// The particle list owns a trail once registered and a new game clears the list: a trail is
// only touched while the list still holds it.
OHellTrail* Held(OHellTrail* trail) {
  const std::vector<TkBaseBound*>& systems = GetParticleList().systems;
  return std::find(systems.begin(), systems.end(), trail) != systems.end() ? trail : nullptr;
}

}  // namespace

bool OBulletSet::loadModels = true;

OBullet::OBullet() { radius = BULLET_RADIUS; }

void OBullet::Update(u32 elapsedMs) {
  SetPosition(Position() + velocity * static_cast<f32>(elapsedMs));
  trail = Held(trail);
  if (trail != nullptr) {
    const OVector p = Position();
    trail->emitter = {p.x, p.y, p.z - TRAIL_BEHIND};
  }
}

void OBullet::Draw() { OModel::Draw(); }

OBulletSet::OBulletSet()
    : trailTemplate(new OHellTrail()),
      explosionTemplate(new OClip()),
      debrisTemplate(new OBloxExpl()) {}

OBulletSet::~OBulletSet() {
  Clear();
  delete trailTemplate;
  delete explosionTemplate;
  delete debrisTemplate;
}

void OBulletSet::Load() {
  // Each picture on its own: one missing picture leaves only that effect untextured.
  try {
    trailTemplate->Load();
  } catch (const OException&) {
  }
  try {
    explosionTemplate->Load("RExpl.Tga", 64, 64, 2.0f, 1.0f, 0.0f, 50);
  } catch (const OException&) {
  }
  try {
    debrisTemplate->Load();
  } catch (const OException&) {
  }
}

OBullet* OBulletSet::Fire(const OVector& position, const OVector& velocity) {
  OBullet* bullet = new OBullet();
  if (loadModels) {
    // The gun bonus's geometry, shared through the model cache: the bonus set has scaled it.
    bullet->Load("Bonus/Gun.Zmod");
    bullet->ComputeBounds();
  }
  bullet->radius = BULLET_RADIUS;
  bullet->SetPosition(position);
  bullet->velocity = velocity * BULLET_SPEED_SCALE;
  bullet->trail = static_cast<OHellTrail*>(trailTemplate->Clone());
  bullet->trail->emitter = position;
  GetParticleList().Add(bullet->trail);
  bullets.push_back(bullet);
  return bullet;
}

void OBulletSet::Update(u32 elapsedMs) {
  if (bullets.empty()) return;
  for (OBullet* b : bullets) b->Update(elapsedMs);
  Collide();
}

void OBulletSet::Draw() {
  for (OBullet* b : bullets) b->Draw();
}

void OBulletSet::Clear() {
  for (OBullet* b : bullets) {
    if (Held(b->trail) != nullptr) b->trail->alive = 0;
    delete b;
  }
  bullets.clear();
}

void OBulletSet::Explode(OBullet* bullet) {
  if (Held(bullet->trail) != nullptr) {
    bullet->trail->alive = 0;
    bullet->trail = nullptr;
  }
  if (grid == nullptr || grid->spriteList == nullptr) return;
  OClip* clip = new OClip(*explosionTemplate);
  clip->colour = OColor4(1.0f, 1.0f, 1.0f, 1.0f);
  const OVector p = bullet->Position();
  clip->SetPosition(p.x, p.y, p.z - EXPLOSION_BEHIND);
  grid->spriteList->Add(clip);
}

void OBulletSet::Collide() {
  if (grid == nullptr) return;
  OVector fieldMin, fieldMax;
  grid->GetFieldBox(fieldMin, fieldMax);

  for (size_t i = 0; i < bullets.size();) {
    OBullet* b = bullets[i];
    OVector p = b->Position();
    if (p.z > fieldMax.z) {
      p.z = fieldMax.z - FAR_WALL_GAP;
      b->SetPosition(p);
      if (Held(b->trail) != nullptr) b->trail->emitter.z = p.z;
      Explode(b);
      bullets.erase(bullets.begin() + static_cast<long>(i));
      delete b;
      continue;
    }
    ++i;
  }

  for (size_t i = 0; i < bullets.size();) {
    OBullet* b = bullets[i];
    if (!b->ComputeBounds()) {
      b->boxMin = b->Position() + b->localMin;
      b->boxMax = b->Position() + b->localMax;
    }
    bool stopped = false;
    for (OBlock* brick : grid->blocks) {
      if (brick->alpha != 0.0f) continue;
      if (brick->layerIndex > grid->frontLayer + ROCKET_LAYER_REACH) break;
      if (!b->BoxesOverlap(*brick)) continue;
      grid->HitBlock(brick, true);
      OBloxExpl* debris = static_cast<OBloxExpl*>(debrisTemplate->Clone());
      debris->emitter = brick->Position();
      debris->SetField(fieldMin, fieldMax);
      debris->Start();
      GetParticleList().Add(debris);
      if (brick->kind == BRICK_SOLID) {
        Explode(b);
        stopped = true;
        break;
      }
    }
    if (stopped) {
      bullets.erase(bullets.begin() + static_cast<long>(i));
      delete b;
      continue;
    }
    ++i;
  }
}
