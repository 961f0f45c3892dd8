#include "objects/Bonus.h"

#include <GL/gl.h>

#include <algorithm>
#include <ctime>

#include "assets/ModelData.h"
#include "effects/Firework.h"
#include "effects/FireworkPool.h"
#include "objects/Ball.h"
#include "objects/ObjectSound.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"
#include "core/Exception.h"
#include "core/Random.h"

namespace {

// One row per bonus type: its model, the scale after loading, and its effect fields.
struct BonusKind {
  const char* model;
  f32 scale;
  void (*setUp)(OBonus&);
};

const BonusKind BONUS_KINDS[BONUS_TYPES] = {
    {"Bonus/Life.zmod", 0.05f, [](OBonus& b) { b.extraLife = 1; }},
    {"Bonus/MoreBalls.zmod", 0.02f, [](OBonus& b) { b.moreBalls = 1; }},
    {"Bonus/Gun.Zmod", 0.0175f, [](OBonus& b) { b.gunValue = 15000; }},
    {"Bonus/Slow.Zmod", 0.015f, [](OBonus& b) { b.slowValue = 15000; }},
    {"Bonus/HavyBall.Zmod", 0.025f, [](OBonus& b) { b.heavyValue = 25000; }},
    {"Bonus/Score.Zmod", 0.0125f, [](OBonus& b) { b.points = 100; }},
    {"Bonus/TNT.Zmod", 0.0195f, [](OBonus& b) { b.isTnt = 1; }},
    {"Bonus/Big.Zmod", 0.025f, [](OBonus& b) { b.bigValue = 30000; }},
    {"Bonus/Small.Zmod", 0.025f, [](OBonus& b) { b.smallValue = 30000; }},
    {"Bonus/NextLevel.Zmod", 0.02f, [](OBonus& b) { b.nextLevel = 1; }},
};

// Spin of a falling bonus, radians per 20 ms at speed 1.
constexpr f32 FALL_SPIN = 0.025f;
// Fall speed: 0.0625 to 0.125 (times 0.1 units per ms).
constexpr f32 FALL_SPEED = 0.0625f;
// Gap between the bursts of the end-of-level release, ms.
constexpr i32 RELEASE_GAP = 50;
// Size of the reflective shell drawn over a bonus.
constexpr f32 SHELL_SCALE = 1.125f;
constexpr f32 SHELL_ALPHA = 0.05f;

f32 Uniform() { return static_cast<f32>(Random()) / static_cast<f32>(RANDOM_MAX); }

// Resets the rotation part of the frame, keeping the position.
void IdentityAxes(OBonus& b) {
  const OVector p = b.Position();
  b.matrix = OMatrix();
  b.SetPosition(p);
}

// Stands a TNT box upright: its own Z axis turned to world +Y.
void StandUpright(OBonus& b) {
  const OVector p = b.Position();
  const OVector z(b.matrix.m[8], b.matrix.m[9], b.matrix.m[10]);
  b.TurnTo(p.x, p.y + 1024.0f, p.z, z);
}

}  // namespace

i32 OBonusSet::popSound = POP_SOUND_FIRST;

OBonus::OBonus() { life = BONUS_NO_LIMIT; }

void OBonus::Update(u32 elapsedMs) {
  const f32 t = static_cast<f32>(elapsedMs);
  if (alpha != 0.0f) {
    // Fading in; fully there it is drawn opaque again.
    if (alpha < 1.0f) {
      alpha += 0.01f;
    } else {
      alpha = 0.0f;
    }
  }
  RotateX(t * spin.x * speed * 0.05f);
  RotateY(t * spin.y * speed * 0.05f);
  RotateZ(t * spin.z * speed * 0.05f);
  SetPosition(Position() + velocity * (t * speed * 0.1f));
  if (life != BONUS_NO_LIMIT) life -= static_cast<i32>(elapsedMs);
}

OBonusSet::OBonusSet() {
  SeedRandom(static_cast<u32>(std::time(nullptr)));
  for (i32 i = 0; i < BONUS_TYPES; ++i) bag[i] = i;
  Shuffle();
}

OBonusSet::~OBonusSet() {
  for (OBonus*& b : templates) {
    delete b;
    b = nullptr;
  }
  delete fireworkTemplate;
}

void OBonusSet::CreateTemplates() {
  active.clear();
  byType.clear();
  for (i32 i = 0; i < BONUS_TYPES; ++i) {
    delete templates[i];
    templates[i] = new OBonus();
    templates[i]->type = i;
    BONUS_KINDS[i].setUp(*templates[i]);
    byType[i] = templates[i];
  }
  StandUpright(*templates[BONUS_TNT]);
}

void OBonusSet::Load() {
  CreateTemplates();
  for (i32 i = 0; i < BONUS_TYPES; ++i) {
    OBonus& b = *templates[i];
    b.Load(BONUS_KINDS[i].model);
    // Shared geometry that is already at its size (loaded before) is left as it is.
    b.ScaleUniform(BONUS_KINDS[i].scale / b.data->scale[0]);
    b.ComputeSize();
    b.ComputeBounds();
    b.BuildLists();
  }
  delete fireworkTemplate;
  fireworkTemplate = nullptr;
  try {
    fireworkTemplate = new OFirework(FIREWORK_BUFFER_PARTICLES, "Particle.Tga", 500);
  } catch (const OException&) {
    // No picture: bonuses leave play without a burst.
  }
}

bool OBonusSet::IsActive(const OBonus* bonus) const {
  return std::find(active.begin(), active.end(), bonus) != active.end();
}

void OBonusSet::PlayPop() {
  PlayObjectSound(soundPlayer, popSound);
  if (++popSound >= POP_SOUND_END) popSound = POP_SOUND_FIRST;
}

void OBonusSet::Shuffle() {
  const i32 oldLast = bag[9];
  for (i32 i = 0; i < BONUS_TYPES; ++i) bag[i] = i;
  bagIndex = 0;
  for (i32 i = 9; i >= 1; --i) std::swap(bag[Random() % (i + 1)], bag[i]);
  // The pass after a reshuffle starts at bag[5]; bag[0] never repeats the type dealt last.
  if (bag[0] == oldLast) std::swap(bag[0], bag[1 + Random() % 9]);
}

i32 OBonusSet::NextType() {
  // Ten deals in a row can all be flagged active only if every type is; stop then and deal the
  // type as it comes rather than loop for ever.
  for (i32 tries = 0;; ++tries) {
    bagIndex += 1;
    if (bagIndex > 9) {
      Shuffle();
      bagIndex = 5;
    }
    const i32 type = bag[bagIndex];
    if (bat == nullptr || !bat->IsBonusActive(type) || tries >= 2 * BONUS_TYPES) return type;
  }
}

void OBonusSet::Spawn(i32 type, const OVector& pos) {
  if (type < 0 || type >= BONUS_TYPES || templates[type] == nullptr) return;
  OBonus* b = templates[type];
  if (IsActive(b)) return;
  b->SetPosition(pos);
  IdentityAxes(*b);
  if (b->isTnt != 0) {
    b->spin = {0.0f, 0.0f, 0.0f};
    b->velocity = {0.0f, 0.0f, 0.0f};
    StandUpright(*b);
  } else {
    b->velocity = {0.0f, 0.0f, -FALL_SPEED - Uniform() * FALL_SPEED};
    b->spin = {FALL_SPIN, FALL_SPIN, FALL_SPIN};
  }
  b->life = BONUS_NO_LIMIT;
  active.push_back(b);
}

void OBonusSet::Drop() {
  if (grid == nullptr) return;
  const OVector pos = grid->bonusDropPosition;
  grid->bonusDropPending = 0;
  const i32 type = NextType();
  const size_t ballsInPlay = (bat != nullptr && bat->ballSet != nullptr) ? bat->ballSet->balls.size() : 1;
  if (type == BONUS_MORE_BALLS && ballsInPlay > 1) return;
  const i32 r = Random() % 101;
  switch (type) {
    case BONUS_LIFE:
      if (r > 5) return;
      break;
    case BONUS_GUN:
      if (r > 50) return;
      break;
    case BONUS_NEXT_LEVEL:
      if (r > 15) return;
      break;
    case BONUS_BIG:
    case BONUS_SMALL:
      for (const OBonus* b : active) {
        if (b->smallValue != 0 || b->bigValue != 0) return;
      }
      if (bat != nullptr && (bat->bigTime != -1 || bat->smallTime != -1)) return;
      break;
    default:
      break;
  }
  Spawn(type, pos);
}

void OBonusSet::Update(u32 elapsedMs) {
  const bool dropRequested = grid != nullptr && grid->bonusDropPending != 0;
  if (active.empty() && !dropRequested) return;

  if (released == 0 && grid != nullptr) {
    const i32 status = grid->status;
    const bool classic = grid->episode < 3;
    if (status == MAP_GAME_OVER || (classic && status == MAP_LEVEL_DONE)) Release();
  }

  // Balls knock bonuses away; a hit TNT blows up the bricks around it.
  if (bat != nullptr && bat->ballSet != nullptr) {
    for (OBonus* b : active) {
      for (OBall* ball : bat->ballSet->balls) {
        if (!b->Bounce(*ball)) continue;
        ball->flightMs = 0;
        b->life = -1;
        PlayPop();
        if (b->isTnt != 0 && grid != nullptr) {
          const OVector p = b->Position();
          grid->Blast(p.x, p.y, p.z);
        }
      }
    }
  }

  OVector fieldMin(-8.0f, -8.0f, 0.0f), fieldMax(8.0f, 8.0f, 48.0f);
  if (grid != nullptr) grid->GetFieldBox(fieldMin, fieldMax);
  for (OBonus* b : active) {
    b->speed = speed;
    b->Update(elapsedMs);
    if (bat != nullptr && bat->SphereHitsBox(*b)) {
      bat->caughtBonus = b;
      b->life = -1;
    }
    if (b->Position().z < fieldMin.z - BONUS_LOST_DEPTH) b->life = -1;
  }

  // Every bonus that left play bursts into a firework; its template is ready for the next drop.
  for (size_t i = 0; i < active.size();) {
    OBonus* b = active[i];
    if (b->life >= 1) {
      ++i;
      continue;
    }
    b->velocity = {0.0f, 0.0f, 0.0f};
    b->life = BONUS_NO_LIMIT;
    if (fireworkTemplate != nullptr) {
      OFirework* burst = new OFirework(*fireworkTemplate);
      burst->SetPosition(b->Position());
      GetFireworkPool().Add(burst);
    }
    if (grid != nullptr && grid->status == MAP_LEVEL_DONE) PlayPop();
    active.erase(active.begin() + static_cast<long>(i));
  }

  if (grid != nullptr && grid->bonusDropPending != 0) Drop();
}

void OBonusSet::Release() {
  if (active.empty()) return;
  i32 delay = RELEASE_GAP;
  for (OBonus* b : active) {
    b->life = delay;
    delay += RELEASE_GAP;
    PlayPop();
  }
  released = 1;
}

void OBonusSet::RemoveTnt() {
  for (OBonus* b : active) {
    if (b->isTnt != 0) b->life = -1;
  }
}

void OBonusSet::Clear() {
  for (OBonus* b : active) {
    b->velocity = {0.0f, 0.0f, 0.0f};
    b->life = BONUS_NO_LIMIT;
  }
  active.clear();
}

void OBonusSet::Celebrate() {
  const i32 type = NextType();
  OBonus* b = templates[type];
  if (grid != nullptr) grid->bonusDropPending = 0;
  if (b == nullptr) return;
  b->matrix = OMatrix();
  b->SetPosition(Uniform() * 8.0f - 4.0f, Uniform() * 8.0f - 4.0f, Uniform() * 8.0f - 4.0f);
  b->velocity = {0.0f, 0.0f, (1.0f + Uniform()) * 0.125f};
  b->spin = {0.01f, 0.01f, 0.01f};
  b->life = 500 + Random() % 2001;
  if (!IsActive(b)) active.push_back(b);
}

void OBonusSet::Draw() {
  for (OBonus* b : active) {
    b->Draw();
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    b->SetScale(SHELL_SCALE, SHELL_SCALE, SHELL_SCALE);
    b->SetAlpha(SHELL_ALPHA);
    b->Draw();
    b->SetScale(1.0f, 1.0f, 1.0f);
    b->SetAlpha(0.0f);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
}
