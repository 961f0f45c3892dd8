#include "objects/Player.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

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
    if (!DrawTrailPicture()) {
      i32 k = 3;
      for (const OVector& p : history) {
        SetPosition(p);
        alpha = 1.0f / static_cast<f32>(k++);
        OModel::Draw();
      }
    }
    glDepthMask(GL_TRUE);
    SetPosition(here);
    alpha = ownAlpha == 0.75f ? ownAlpha : 1.0f;
  }
  OModel::Draw();
}

bool OPlayer::DrawTrailPicture() {
  if (data == nullptr || data->vertexCount == 0) return false;
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  OMatrix view, projection;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
  f32 origin[3];
  if (!ProjectToViewport(view, projection, viewport, Position(), origin)) return false;

  // Everything a copy's look depends on but its place: the view, the fog, how texels are
  // applied, and the model's geometry, picture, objects, scale, turn, tint and blending.
  std::vector<u8> key;
  auto mix = [&key](const void* bytes, size_t size) {
    key.insert(key.end(), static_cast<const u8*>(bytes), static_cast<const u8*>(bytes) + size);
  };
  mix(viewport, sizeof viewport);
  mix(view.m, sizeof view.m);
  mix(projection.m, sizeof projection.m);
  const GLboolean fog = glIsEnabled(GL_FOG);
  mix(&fog, sizeof fog);
  if (fog) {
    GLfloat f[8];
    glGetFloatv(GL_FOG_MODE, &f[0]);
    glGetFloatv(GL_FOG_START, &f[1]);
    glGetFloatv(GL_FOG_END, &f[2]);
    glGetFloatv(GL_FOG_DENSITY, &f[3]);
    glGetFloatv(GL_FOG_COLOR, &f[4]);
    mix(f, sizeof f);
  }
  const GLboolean textured = glIsEnabled(GL_TEXTURE_2D);
  GLint environment = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
  mix(&textured, sizeof textured);
  mix(&environment, sizeof environment);
  const OModelData* model = data;
  const void* image = data->texture != nullptr ? data->texture->image : nullptr;
  const u32 revision = data->vertexRevision, textures = GetTextureCache().generation;
  mix(&model, sizeof model);
  mix(&image, sizeof image);
  mix(&revision, sizeof revision);
  mix(&textures, sizeof textures);
  mix(visible.data(), visible.size());
  mix(&scaled, sizeof scaled);
  mix(drawScale, sizeof drawScale);
  for (int column = 0; column < 3; ++column) mix(&matrix.m[4 * column], 3 * sizeof(f32));
  mix(tint, sizeof tint);
  mix(&blendSrc, sizeof blendSrc);
  mix(&blendDst, sizeof blendDst);

  // The picture is taken again once the bat has moved a few pixels from where it was taken:
  // further off, its sides would be seen from a visibly different angle.
  const f32 reach = BAT_TRAIL_PICTURE_REACH * static_cast<f32>(viewport[3]);
  const bool reuse = trailPicture.Holds(key) && std::fabs(origin[0] - trailOrigin[0]) <= reach &&
                     std::fabs(origin[1] - trailOrigin[1]) <= reach;
  if (!reuse) {
    // The bat's box on the window where it stands now, whole pixels and one more for rounding.
    f32 lo[2] = {HUGE_VALF, HUGE_VALF}, hi[2] = {-HUGE_VALF, -HUGE_VALF};
    if (!ViewportBounds(view, projection, viewport, lo, hi)) return false;
    OPixelRect rect;
    rect.x = static_cast<i32>(std::floor(lo[0])) - 1;
    rect.y = static_cast<i32>(std::floor(lo[1])) - 1;
    rect.w = static_cast<i32>(std::ceil(hi[0])) + 1 - rect.x;
    rect.h = static_cast<i32>(std::ceil(hi[1])) + 1 - rect.y;
    alpha = BAT_TRAIL_ALPHA;
    if (!trailPicture.Take(rect, std::move(key), [this] { OModel::Draw(); })) return false;
    trailOrigin[0] = origin[0];
    trailOrigin[1] = origin[1];
  }
  trailCopies.clear();
  i32 k = 3;
  for (const OVector& p : history) {
    f32 at[3];
    // A place at or behind the eye (never one of the bat's) puts its copy far off the window.
    if (!ProjectToViewport(view, projection, viewport, p, at)) {
      at[0] = at[1] = -1e6f;
      at[2] = 0.0f;
    }
    // Whole pixels: each copy is the picture one to one, its edges within half a pixel of
    // where the model's would fall.
    trailCopies.push_back({static_cast<i32>(std::lround(at[0] - trailOrigin[0])),
                           static_cast<i32>(std::lround(at[1] - trailOrigin[1])),
                           1.0f / (static_cast<f32>(k++) * BAT_TRAIL_ALPHA), at[2]});
  }
  trailPicture.Draw(trailCopies);
  return true;
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
