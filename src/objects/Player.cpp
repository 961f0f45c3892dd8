#include "objects/Player.h"

#include <GL/gl.h>

#include <algorithm>

#include "assets/ModelData.h"
#include "assets/Texture.h"
#include "effects/QuadBatch.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Bullet.h"
#include "objects/ObjectSound.h"
#include "playfield/VoxelMap.h"
#include "scene/Camera.h"

namespace {

// Sound ids.
constexpr i32 SOUND_GET_BONUS = 5;
constexpr i32 SOUND_SMALL = 6;
constexpr i32 SOUND_EXPAND = 7;
constexpr i32 SOUND_ROCKET_FIRST = 22;  // nine rocket channels, 22..30
constexpr i32 SOUND_ROCKET_END = 31;

// Bricks hit while the bat is slowed or narrowed score this much more.
constexpr f32 HANDICAP_BONUS = 1.1f;

// Next rocket sound, program-wide, so overlapping shots use different channels.
i32 rocketSound = SOUND_ROCKET_FIRST;

}  // namespace

OPlayer::OPlayer(OCamera* camera) : camera(camera) { Reset(); }

OVoxelMap* OPlayer::Grid() const { return bulletSet != nullptr ? bulletSet->grid : nullptr; }

void OPlayer::PlaySound(i32 id) const { PlayObjectSound(soundPlayer, id); }

void OPlayer::SetTarget(i32 x, i32 y) {
  if (camera == nullptr) return;
  const OVector d = camera->PickRay(static_cast<f32>(x), static_cast<f32>(y));
  const f32 c = camera->Position().z;
  target = {d.x * c, d.y * c, c * 0.025f};
}

void OPlayer::Update(u32 elapsedMs) {
  const f32 t = static_cast<f32>(elapsedMs);
  OVoxelMap* grid = Grid();
  if (slowTime >= 0) {
    if (grid != nullptr) grid->scoreMultiplier *= HANDICAP_BONUS;
    followFactor = BAT_FOLLOW_SLOW;
    slowTime -= static_cast<i32>(elapsedMs);
  } else {
    followFactor = BAT_FOLLOW;
  }
  Animate(elapsedMs);
  ApplyBonus();

  history.push_front(Position());
  if (history.size() > BAT_HISTORY) history.pop_back();

  const OVector goal = -target;
  const OVector p = Position();
  velocity = (goal - p) * followFactor;
  // The bat covers followFactor of the remaining distance per ms; a long tick brings it to the
  // goal but never past it, where the plain product would overshoot and swing ever wider.
  SetPosition(p + (goal - p) * std::min(1.0f, followFactor * t));
  UpdateBounds();
}

void OPlayer::UpdateBounds() {
  if (!ComputeBounds()) {
    boxMin = Position() + localMin;
    boxMax = Position() + localMax;
  }
}

void OPlayer::ScaleWidth(f32 factor, i32 steps) {
  for (i32 i = 0; i < steps; ++i) ScaleData(factor, factor, 1.0f);
  sizeSteps += factor > 1.0f ? steps : -steps;
  UpdateBounds();
}

void OPlayer::Animate(u32 elapsedMs) {
  const i32 t = static_cast<i32>(elapsedMs);
  OVoxelMap* grid = Grid();
  if (bigTime >= 0) {
    if (bigTime == BAT_SIZE_TIME || growSteps < BAT_SIZE_STEPS) {
      if (--growSteps == 0) growSteps = BAT_SIZE_STEPS;
      ScaleWidth(BAT_GROW_STEP, 1);
    }
    bigTime -= t;
    if (bigTime < 1 || shrinkSteps != BAT_SIZE_STEPS) {
      if (--shrinkSteps == 0) {
        bigTime = -1;
        shrinkSteps = BAT_SIZE_STEPS;
      } else {
        bigTime = 0;
      }
      ScaleWidth(BAT_SHRINK_STEP, 1);
    }
  } else if (smallTime >= 0) {
    if (smallTime == BAT_SIZE_TIME || growSteps < BAT_SIZE_STEPS) {
      if (--growSteps == 0) growSteps = BAT_SIZE_STEPS;
      ScaleWidth(BAT_SHRINK_STEP, 1);
    }
    smallTime -= t;
    if (grid != nullptr) grid->scoreMultiplier *= HANDICAP_BONUS;
    if (smallTime < 1 || shrinkSteps != BAT_SIZE_STEPS) {
      if (--shrinkSteps == 0) {
        smallTime = -1;
        shrinkSteps = BAT_SIZE_STEPS;
      } else {
        smallTime = 0;
      }
      ScaleWidth(BAT_GROW_STEP, 1);
    }
  }
}

void OPlayer::Reset() {
  history.clear();
  SetPosition(0.0f, 0.0f, 0.0f);
  target = {0.0f, 0.0f, 0.5f};
  // Finish a running size sequence, then undo whatever width change is left, counted in steps
  // so that the bat returns to its normal size whatever state the animation was in.
  for (int i = 0; i < BAT_SIZE_STEPS + 1; ++i) Animate(0);
  if (sizeSteps > 0) ScaleWidth(BAT_SHRINK_STEP, sizeSteps);
  if (sizeSteps < 0) ScaleWidth(BAT_GROW_STEP, -sizeSteps);
  growSteps = BAT_SIZE_STEPS;
  shrinkSteps = BAT_SIZE_STEPS;
  caughtBonus = nullptr;
  gunAmmo = -1;
  slowTime = -1;
  bigTime = -1;
  smallTime = -1;
  followFactor = BAT_FOLLOW;
  ClearActiveBonuses();
  UpdateBounds();
}

void OPlayer::ApplyBonus() {
  if (caughtBonus == nullptr) return;
  OVoxelMap* grid = Grid();
  if (grid != nullptr && grid->status == MAP_GAME_OVER) return;
  const OBonus& b = *caughtBonus;
  caughtBonus = nullptr;
  ++bonusesCaught;
  if (b.moreBalls != 0) {
    PlaySound(SOUND_GET_BONUS);
    if (ballSet != nullptr) ballSet->AddMoreBalls();
  }
  if (b.extraLife != 0) {
    PlaySound(SOUND_GET_BONUS);
    lives += 1;
  }
  if (b.points != 0) {
    PlaySound(SOUND_GET_BONUS);
    score += b.points;
  }
  if (b.heavyValue != 0) {
    PlaySound(SOUND_GET_BONUS);
    if (ballSet != nullptr) ballSet->MakeHeavy();
  }
  if (b.gunValue > 0) {
    PlaySound(SOUND_GET_BONUS);
    gunAmmo = b.gunValue;
  }
  if (b.slowValue > 0) {
    PlaySound(SOUND_GET_BONUS);
    slowTime = b.slowValue;
  }
  if (b.bigValue > 0) {
    PlaySound(SOUND_EXPAND);
    bigTime = BAT_SIZE_TIME;
    Animate(10);
  }
  if (b.smallValue > 0) {
    PlaySound(SOUND_SMALL);
    smallTime = BAT_SIZE_TIME;
    Animate(10);
  }
  if (b.nextLevel != 0 && grid != nullptr) grid->status = MAP_LEVEL_DONE;
}

void OPlayer::Fire() {
  if (gunAmmo <= 0) return;
  gunAmmo -= GUN_SHOT_COST;
  OVoxelMap* grid = Grid();
  if (grid != nullptr && grid->status == MAP_GAME_OVER) return;
  if (bulletSet != nullptr) bulletSet->Fire(Position(), {0.0f, 0.0f, 0.25f});
  PlaySound(rocketSound);
  if (++rocketSound >= SOUND_ROCKET_END) rocketSound = SOUND_ROCKET_FIRST;
}

void OPlayer::Draw() {
  // The bat stands just in front of the eye, its picture's texels magnified many times, and each
  // of its faces shows one shade: the nearest texel is at most three steps of colour from the
  // filtered one (the benchmark's frames 61 dB or more from the filtered ones) and costs the
  // renderer about half, the bat being the largest blended thing of a frame of play. The filter
  // acts on the bound texture: the bat's own, which drawing binds again.
  if (data != nullptr && data->texture != nullptr) data->texture->Bind();
  const ONearestTexels nearest;
  if (slowTime >= 0 && !history.empty()) {
    const OVector here = Position();
    const f32 ownAlpha = alpha;
    glDepthMask(GL_FALSE);
    i32 k = 3;
    for (const OVector& p : history) {
      SetPosition(p);
      alpha = 1.0f / static_cast<f32>(k++);
      OModel::Draw();
    }
    glDepthMask(GL_TRUE);
    SetPosition(here);
    alpha = ownAlpha == 0.75f ? ownAlpha : 1.0f;
  }
  OModel::Draw();
}

void OPlayer::DrawTranslucentObject(size_t k) {
  GLint environment = GL_MODULATE;
  if (k == BAT_PANE_OBJECT) glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
  if (k != BAT_PANE_OBJECT || data == nullptr || blendSrc != GL_SRC_ALPHA ||
      blendDst != GL_ONE_MINUS_SRC_ALPHA || environment != GL_MODULATE ||
      !pane.Usable(*data, BAT_PANE_OBJECT)) {
    OModel::DrawTranslucentObject(k);
    return;
  }
  pane.Draw(*data, BAT_PANE_OBJECT, alpha, tint, glIsEnabled(GL_TEXTURE_2D) == GL_TRUE);
  glColor4f(tint[0], tint[1], tint[2], alpha);
}

void OPlayer::SetActiveBonus(i32 type) {
  if (type >= 0 && type < BONUS_TYPES) activeBonus[type] = 1;
}

void OPlayer::ClearActiveBonuses() { std::fill(std::begin(activeBonus), std::end(activeBonus), 0); }

bool OPlayer::IsBonusActive(i32 type) const {
  return type >= 0 && type < BONUS_TYPES && activeBonus[type] != 0;
}
