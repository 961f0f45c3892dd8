#include "objects/Ball.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "assets/ModelData.h"
#include "effects/BallTrail.h"
#include "effects/ParticleList.h"
#include "effects/QuadBatch.h"
#include "objects/ObjectSound.h"
#include "objects/Player.h"
#include "playfield/Levels.h"
#include "playfield/VoxelMap.h"
#include "core/Exception.h"
#include "core/Random.h"

namespace {

// Sound ids.
constexpr i32 SOUND_HIT_WALL = 4;
constexpr i32 SOUND_BALL_LOST = 8;
constexpr i32 SOUND_BAT_FIRST = 50;  // three bat sounds, 50..52

// Show spin in radians per ms per unit of speed about the side axes and about the depth axis.
constexpr f32 SPIN_SIDE = 0.0075f;
constexpr f32 SPIN_DEPTH = 0.0025f;
// Velocity change per tick that brings a slow component back toward its cruising speed.
constexpr f32 DRIFT_STEP = 0.01f;
// Distance (world units) at which a wall glow has faded out: alpha = 1 - d / 8.
constexpr f32 GLOW_FADE = 0.125f;
// How long the bat shows its hit flash, ms.
constexpr i32 BAT_FLASH_TIME = 200;
// The flash of a rebound the bat aimed at a brick: the glass lights up in a warm gold, added to
// what lies behind it, where a plain hit only makes it more opaque. (Multiplied in, any warm
// tint only darkened the blue glass to a murky green.)
constexpr f32 GUIDED_FLASH[3] = {1.0f, 0.8f, 0.35f};
// A ball this many radii behind the bat is lost.
constexpr f32 LOST_RADII = 8.0f;
// The rebound's side speeds as the bat limits them. A guided rebound keeps within a smaller
// limit: steeper, the ball comes back off the brick toward the top and bottom of the field, where
// the bat does not reach (measured: one game in twenty lost all its balls that way in the classic
// hard levels). GUIDE_STEP is the spacing of the side speeds a guided rebound is chosen from.
constexpr f32 REBOUND_SIDE_LIMIT = 0.45f;
constexpr f32 GUIDE_SIDE_LIMIT = 0.3f;
constexpr f32 GUIDE_STEP = 0.03f;

// Applies the side-speed rule to one component: a fast component is tamed to 0.55 and given a
// small drift that keeps it moving; a slow one (|v| <= 0.5) keeps its drift as it is.
void SideSpeed(f32& v, f32& drift) {
  if (std::fabs(v) <= 0.5f) return;
  if (v < -1.0f) v = -0.55f;
  if (v > 1.0f) v = 0.55f;
  if (std::fabs(v) >= 0.51f) {
    drift = v >= 0.0f ? DRIFT_STEP : -DRIFT_STEP;
  } else {
    drift = 0.0f;
  }
}

f32 Uniform() { return static_cast<f32>(Random()) / static_cast<f32>(RANDOM_MAX); }

// The particle list owns a trail once registered and a new game clears the list: a trail is
// only touched while the list still holds it.
OBallTrail* Held(OBallTrail* trail) {
  const std::vector<TkBaseBound*>& systems = GetParticleList().systems;
  return std::find(systems.begin(), systems.end(), trail) != systems.end() ? trail : nullptr;
}

}  // namespace

i32 OBallSet::flashTimer = 0;

OBall::OBall() {
  glowColours[0] = OColor4(1.0f, 0.0f, 0.0f, 1.0f);
  glowColours[1] = OColor4(0.0f, 1.0f, 0.0f, 1.0f);
  glowColours[2] = OColor4(0.0f, 0.0f, 1.0f, 1.0f);
}

OBall::OBall(const OBall& tmpl)
    : OModel(tmpl),
      glowTexture(tmpl.glowTexture),
      fieldMin(tmpl.fieldMin),
      fieldMax(tmpl.fieldMax),
      spinAxis(tmpl.spinAxis),
      speed(tmpl.speed),
      colourIndex(tmpl.colourIndex) {
  drift = tmpl.drift;
  for (int i = 0; i < 3; ++i) glowColours[i] = tmpl.glowColours[i];
}

OBall::~OBall() {
  if (Held(trail) != nullptr) trail->alive = 0;
}

bool OBall::LoadTemplate(const std::string& modelName) {
  Load(modelName);
  // The geometry is shared through the model cache: when a new game loads the templates again
  // while balls of the old one still hold it, it is already at its size and must not shrink.
  ScaleUniform(BALL_MODEL_SCALE / data->scale[0]);
  ComputeSize();
  ComputeBounds();
  BuildLists();
  try {
    glowTexture.Load("pLight.Tga");
  } catch (const OException&) {
    glowTexture.Release();
  }
  return true;
}

void OBall::Update(u32 elapsedMs) {
  const f32 t = static_cast<f32>(elapsedMs);
  if (trail != nullptr) trail = Held(trail);
  if (heavyTime < 1 && trail != nullptr) {
    // The heavy state is over: the flames burn out on their own.
    trail->finished = 1;
    trail = nullptr;
  }
  if (trail != nullptr) trail->emitter = Position();

  RotateAxis(std::fabs(velocity.x) * t * SPIN_SIDE, {spinAxis.x, 0.0f, 0.0f});
  RotateAxis(std::fabs(velocity.y) * t * SPIN_SIDE, {0.0f, spinAxis.y, 0.0f});
  RotateAxis(std::fabs(velocity.z) * t * SPIN_DEPTH, {0.0f, 0.0f, 1.0f});

  previousPosition = Position();

  // The swerve a moving bat gave the ball fades in over the tick.
  const f32 swerve = 0.001f * t - 0.0005f * t * t;
  velocity.x += drift.x * swerve;
  velocity.y += drift.y * swerve;
  velocity.z += drift.z;

  SetPosition(Position() + velocity * (t * speed * BALL_UNITS_PER_MS));

  // Depth speed creeps back to 1 so that a slow ball does not hang in the field.
  if (std::fabs(velocity.z) >= 1.0f) {
    drift.z = 0.0f;
  } else {
    drift.z = velocity.z >= 0.0f ? DRIFT_STEP : -DRIFT_STEP;
  }
  SideSpeed(velocity.x, drift.x);
  SideSpeed(velocity.y, drift.y);

  if (heavyTime > 0) heavyTime -= static_cast<i32>(elapsedMs);
  flightMs += static_cast<i32>(elapsedMs);
  searchMs += static_cast<i32>(elapsedMs);
}

void OBall::Deviate() {
  const f32 length = velocity.Length();
  if (!(length > 0.0f)) return;
  const OVector d = velocity * (1.0f / length);
  // Two unit vectors across the direction, from whichever axis lies furthest from it.
  const OVector other =
      std::fabs(d.x) < 0.9f ? OVector(1.0f, 0.0f, 0.0f) : OVector(0.0f, 1.0f, 0.0f);
  const OVector across1 = d.Cross(other).Normalized();
  const OVector across2 = d.Cross(across1);
  constexpr f32 PI = 3.14159265f;
  const f32 degrees =
      DEVIATION_MIN_DEGREES + (DEVIATION_MAX_DEGREES - DEVIATION_MIN_DEGREES) * Uniform();
  const f32 turn = degrees * PI / 180.0f;
  const f32 around = Uniform() * 2.0f * PI;
  const OVector side = across1 * std::cos(around) + across2 * std::sin(around);
  velocity = (d * std::cos(turn) + side * std::sin(turn)) * length;
}

void OBall::Draw() { OModel::Draw(); }

void OBall::SetField(const OVector& min, const OVector& max) {
  fieldMin = min;
  fieldMax = max;
}

bool OBall::BounceWalls() {
  OVector p = Position();
  const f32 r = radius;
  bool hit = false;
  auto stopSwerve = [this, &hit] {
    drift.x = 0.0f;
    drift.y = 0.0f;
    hit = true;
  };
  if (p.x < fieldMin.x + r) {
    velocity.x = std::fabs(velocity.x);
    stopSwerve();
  }
  if (p.x > fieldMax.x - r) {
    velocity.x = -std::fabs(velocity.x);
    stopSwerve();
  }
  if (p.y < fieldMin.y + r) {
    velocity.y = std::fabs(velocity.y);
    stopSwerve();
  }
  if (p.y > fieldMax.y - r) {
    velocity.y = -std::fabs(velocity.y);
    stopSwerve();
  }
  if (p.z > fieldMax.z - r) {
    velocity.z = -std::fabs(velocity.z);
    stopSwerve();
  }
  // Back inside the walls, so that a long tick cannot carry a ball through one.
  KeepInsideWalls();
  return hit;
}

void OBall::KeepInsideWalls() {
  // There is no wall on the bat side: a ball that passes the bat leaves the field there.
  OVector p = Position();
  const f32 r = radius;
  if (p.x - r < fieldMin.x) p.x = fieldMin.x + r;
  if (p.x + r > fieldMax.x) p.x = fieldMax.x - r;
  if (p.y - r < fieldMin.y) p.y = fieldMin.y + r;
  if (p.y + r > fieldMax.y) p.y = fieldMax.y - r;
  if (p.z + r > fieldMax.z) p.z = fieldMax.z - r;
  SetPosition(p);
}

void OBall::DrawWallGlow() {
  glDisable(GL_LIGHTING);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  // Added as it is: the picture is premultiplied and the fade goes into the colour, which
  // spares the renderer a multiply on each of the light's many pixels (the same frames).
  glBlendFunc(GL_ONE, GL_ONE);
  // Without its picture the glow is a plain square; texturing is put back afterwards.
  const GLboolean wasTextured = glIsEnabled(GL_TEXTURE_2D);
  if (glowTexture.image != nullptr) {
    glEnable(GL_TEXTURE_2D);
    glowTexture.Bind();
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  // The spots are as large as a wall: their filter is a fair part of the frame. Their picture is
  // fine enough (256 texels across a spot) that its nearest texel is at most two steps of colour
  // from the filtered one, and a third cheaper.
  const ONearestTexels nearest;
  const OColor4& c = glowColours[std::clamp(colourIndex, 0, 2)];
  const OVector p = Position();

  // One spot per wall: axis 0/1/2, the wall's coordinate, and which side it faces from.
  struct Wall {
    int axis;
    f32 coordinate;
    f32 inset;
  };
  const Wall walls[5] = {{0, fieldMin.x, 0.1f},
                         {0, fieldMax.x, -0.1f},
                         {1, fieldMin.y, 0.1f},
                         {1, fieldMax.y, -0.1f},
                         {2, fieldMax.z, -0.1f}};
  const f32 ball[3] = {p.x, p.y, p.z};
  for (const Wall& w : walls) {
    const f32 d = std::fabs(w.coordinate - ball[w.axis]);
    const f32 alpha = 1.0f - d * GLOW_FADE;
    // Half the side of the light's square; its picture holds the middle part of the light.
    const f32 s = (d * GLOW_FADE + 0.125f) * 16.0f * WALL_LIGHT_PICTURE_REACH;
    if (!(alpha > 0.001f) || !(s > 0.0f)) continue;
    // The square lies in the wall's plane, spanned by the two other axes. Its parts beyond the
    // neighbouring walls and behind the far wall are hidden there: they are cut off here rather
    // than left to the walls' depth, which the field then need not draw on a calm frame.
    const int u = (w.axis + 1) % 3;
    const int v = (w.axis + 2) % 3;
    const f32 lo[3] = {fieldMin.x, fieldMin.y, -HUGE_VALF};
    const f32 hi[3] = {fieldMax.x, fieldMax.y, fieldMax.z};
    const f32 u0 = std::max(ball[u] - s, lo[u]), u1 = std::min(ball[u] + s, hi[u]);
    const f32 v0 = std::max(ball[v] - s, lo[v]), v1 = std::min(ball[v] + s, hi[v]);
    if (!(u0 < u1) || !(v0 < v1)) continue;
    glColor4f(c.r * alpha, c.g * alpha, c.b * alpha, alpha);
    const f32 corners[4][2] = {{u1, v1}, {u0, v1}, {u1, v0}, {u0, v0}};
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k < 4; ++k) {
      f32 q[3];
      q[w.axis] = w.coordinate + w.inset;
      q[u] = corners[k][0];
      q[v] = corners[k][1];
      glTexCoord2f((q[u] - ball[u] + s) / (2.0f * s), (q[v] - ball[v] + s) / (2.0f * s));
      glVertex3f(q[0], q[1], q[2]);
    }
    glEnd();
  }
  glColor3f(1.0f, 1.0f, 1.0f);
  if (wasTextured) {
    glEnable(GL_TEXTURE_2D);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  glEnable(GL_LIGHTING);
}

OBallSet::OBallSet() : trailTemplate(new OBallTrail()) {}

OBallSet::~OBallSet() {
  Clear();
  delete trailTemplate;
}

void OBallSet::Load() {
  try {
    trailTemplate->Load();
  } catch (const OException&) {
    // The flames stay untextured.
  }
}

void OBallSet::FieldBox(OVector& min, OVector& max) const {
  if (grid != nullptr) {
    grid->GetFieldBox(min, max);
  } else {
    // The classic cage's size, for a set used without a grid.
    min = {-8.0f, -8.0f, 0.0f};
    max = {8.0f, 8.0f, 48.0f};
  }
}

OBall* OBallSet::AddBall(const OVector& velocity) {
  OBall* ball = ballTemplates[0] != nullptr ? new OBall(*ballTemplates[0]) : new OBall();
  OVector min, max;
  FieldBox(min, max);
  ball->SetField(min, max);
  ball->velocity = velocity;
  balls.push_back(ball);
  return ball;
}

void OBallSet::Clear() {
  for (OBall* ball : balls) delete ball;
  balls.clear();
  launched = 0;
}

void OBallSet::Launch() {
  if (grid != nullptr && grid->status == MAP_GAME_OVER) return;
  if (launched != 0 || balls.empty()) return;
  launched = 1;
  balls[0]->velocity = {0.0f, 0.0f, 1.0f};
  balls[0]->drift = {0.0f, 0.0f, 0.0f};
  // Straight along the axis, a launch from a still bat could fly between the bat and the far
  // wall without ever meeting a brick.
  balls[0]->Deviate();
  balls[0]->flightMs = 0;
  balls[0]->searchMs = 0;
}

void OBallSet::Update(u32 elapsedMs) {
  if (launched == 0) {
    if (!balls.empty() && bat != nullptr) {
      OVector p = bat->Position();
      p.z = bat->boxMax.z + balls[0]->radius;
      balls[0]->SetPosition(p);
    }
    return;
  }
  OSoundPlayer* sound = bat != nullptr ? bat->soundPlayer : nullptr;

  if (bat != nullptr && bat->alpha < 1.0f) {
    flashTimer -= static_cast<i32>(elapsedMs);
    if (flashTimer < 0) {
      bat->alpha = 1.0f;
      std::fill(bat->tint, bat->tint + 3, 1.0f);
      bat->SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
  }

  for (size_t i = 0; i < balls.size();) {
    OBall* ball = balls[i];
    ball->speed = speed;
    ball->Update(elapsedMs);
    if (ball->BounceWalls()) PlayObjectSound(sound, SOUND_HIT_WALL);
    const f32 batZ = bat != nullptr ? bat->Position().z : ball->fieldMin.z;
    if (ball->Position().z < batZ - LOST_RADII * ball->radius) {
      balls.erase(balls.begin() + static_cast<long>(i));
      delete ball;
      if (balls.empty()) {
        launched = 0;
        PlayObjectSound(sound, SOUND_BALL_LOST);
        if (bat != nullptr) {
          bat->lives -= 1;
          bat->Reset();
        }
        AddBall({0.0f, 0.0f, 0.0f});
        return;
      }
      continue;
    }
    ++i;
  }

  if (bat != nullptr) {
    for (OBall* ball : balls) {
      if (!bat->SphereHitsBox(*ball)) continue;
      bat->alpha = 0.75f;
      std::fill(bat->tint, bat->tint + 3, 1.0f);
      bat->SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      flashTimer = BAT_FLASH_TIME;
      const OVector n = bat->velocity.Normalized();
      const OVector w = (ball->velocity + n * 0.25f).Normalized();
      ball->velocity = {std::clamp(w.x, -REBOUND_SIDE_LIMIT, REBOUND_SIDE_LIMIT),
                        std::clamp(w.y, -REBOUND_SIDE_LIMIT, REBOUND_SIDE_LIMIT),
                        std::fabs(ball->velocity.z)};
      OVector p = ball->Position();
      p.z = bat->boxMax.z + ball->radius;
      ball->SetPosition(p);
      // A touch on the bat's rim counts as a contact that changes the play; a ball that has
      // struck no brick for long is aimed at one by a still bat; one that has touched nothing
      // for long is turned a little, so no path repeats for ever.
      const OVector c = ball->Position();
      const bool rim = c.x < bat->boxMin.x || c.x > bat->boxMax.x || c.y < bat->boxMin.y ||
                       c.y > bat->boxMax.y;
      const bool still = std::hypot(bat->velocity.x, bat->velocity.y) < GUIDE_STILL_BAT;
      OVector guided;
      bool aimed = false;
      if (!rim && still && ball->searchMs >= GUIDE_AFTER_MS &&
          GuidedRebound(*ball, ball->velocity, guided)) {
        ball->velocity = guided;
        ball->flightMs = 0;
        aimed = true;
        std::copy(GUIDED_FLASH, GUIDED_FLASH + 3, bat->tint);
        bat->SetBlend(GL_SRC_ALPHA, GL_ONE);
      } else if (rim) {
        ball->flightMs = 0;
      } else if (ball->flightMs >= LOOP_FLIGHT_MS) {
        ball->Deviate();
        ball->flightMs = 0;
      }
      ball->spinAxis = ball->velocity;
      // The bat's sideways speed becomes swerve. A tick of no time has no bat speed to give.
      if (aimed) {
        ball->drift.x = 0.0f;
        ball->drift.y = 0.0f;
      } else if (elapsedMs > 0) {
        const f32 k = 100.0f / static_cast<f32>(elapsedMs) * 0.5f;
        ball->drift.x = k * bat->velocity.x;
        ball->drift.y = k * bat->velocity.y;
      } else {
        ball->drift.x = 0.0f;
        ball->drift.y = 0.0f;
      }
      PlayObjectSound(sound, SOUND_BAT_FIRST + Random() % 3);
    }
  }

  for (size_t i = 0; i < balls.size(); ++i) {
    for (size_t j = i + 1; j < balls.size(); ++j) balls[i]->Bounce(*balls[j]);
  }
  // Two balls pushed apart next to a wall must not end up inside it.
  for (OBall* ball : balls) ball->KeepInsideWalls();
}

std::vector<const OBlock*> OBallSet::StandingBricks(f32& nearestZ) const {
  std::vector<const OBlock*> standing;
  nearestZ = 1e30f;  // no brick stands nearer the bat
  if (grid == nullptr) return standing;
  for (const OBlock* b : grid->blocks) {
    if (b->IsDying() || b->life < 0) continue;
    if (b->layerIndex > grid->frontLayer + COLLIDE_LAYER_REACH) continue;
    standing.push_back(b);
    nearestZ = std::min(nearestZ, b->boxMin.z);
  }
  return standing;
}

OBallSet::Flight OBallSet::FollowFlight(const OBall& ball, const OVector& from, OVector v,
                                        const std::vector<const OBlock*>& standing, f32 nearestZ,
                                        f32 homeZ, f32 speed, const OBlock* leaving, u32 tickMs,
                                        i32 maxMs) {
  Flight end;
  if (tickMs == 0) return end;
  const f32 r = ball.radius;
  const f32 step = static_cast<f32>(tickMs) * speed * BALL_UNITS_PER_MS;
  OVector p = from;
  for (i32 t = 0; t < maxMs; t += static_cast<i32>(tickMs)) {
    if (std::fabs(v.z) < 1.0f) v.z += v.z >= 0.0f ? DRIFT_STEP : -DRIFT_STEP;
    p = p + v * step;
    if (p.x < ball.fieldMin.x + r) v.x = std::fabs(v.x);
    if (p.x > ball.fieldMax.x - r) v.x = -std::fabs(v.x);
    if (p.y < ball.fieldMin.y + r) v.y = std::fabs(v.y);
    if (p.y > ball.fieldMax.y - r) v.y = -std::fabs(v.y);
    if (p.z > ball.fieldMax.z - r) v.z = -std::fabs(v.z);
    p.x = std::clamp(p.x, ball.fieldMin.x + r, ball.fieldMax.x - r);
    p.y = std::clamp(p.y, ball.fieldMin.y + r, ball.fieldMax.y - r);
    p.z = std::min(p.z, ball.fieldMax.z - r);
    if (p.z < homeZ) {
      end.home = true;
      return end;
    }
    if (p.z + r < nearestZ) continue;
    bool stillLeaving = false;
    for (const OBlock* b : standing) {
      if (p.x + r < b->boxMin.x || p.x - r > b->boxMax.x || p.y + r < b->boxMin.y ||
          p.y - r > b->boxMax.y || p.z + r < b->boxMin.z || p.z - r > b->boxMax.z)
        continue;
      if (b == leaving) {
        stillLeaving = true;
        continue;
      }
      // Met on a face, the centre is within the brick's extent on the face's two axes.
      const int inside = (p.x >= b->boxMin.x && p.x <= b->boxMax.x ? 1 : 0) +
                         (p.y >= b->boxMin.y && p.y <= b->boxMax.y ? 1 : 0) +
                         (p.z >= b->boxMin.z && p.z <= b->boxMax.z ? 1 : 0);
      end.brick = b;
      end.solid = inside >= 2;
      return end;
    }
    if (!stillLeaving) leaving = nullptr;
  }
  return end;
}

namespace {

// Side speeds on the guide grid, nearest to `plain`'s first.
std::vector<OVector> GuideCandidates(const OVector& plain) {
  struct Candidate {
    f32 x, y, distance;
  };
  std::vector<Candidate> candidates;
  const int steps = static_cast<int>(std::lround(GUIDE_SIDE_LIMIT / GUIDE_STEP));
  for (int i = -steps; i <= steps; ++i) {
    for (int j = -steps; j <= steps; ++j) {
      const f32 x = static_cast<f32>(i) * GUIDE_STEP, y = static_cast<f32>(j) * GUIDE_STEP;
      candidates.push_back({x, y, std::hypot(x - plain.x, y - plain.y)});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
  std::vector<OVector> out;
  out.reserve(candidates.size());
  for (const Candidate& c : candidates) out.emplace_back(c.x, c.y, plain.z);
  return out;
}

}  // namespace

bool OBallSet::StrikesACountingBrick(const Flight& f) const {
  // In the corridor only the front stage holds it up.
  return f.brick != nullptr && f.solid && f.brick->IsBreakable() &&
         f.brick->layerIndex < grid->frontLayer + STAGE_LAYERS;
}

bool OBallSet::GuidedRebound(const OBall& ball, const OVector& plain, OVector& out) const {
  if (grid == nullptr || grid->transition != 0) return false;
  f32 nearestZ = 0.0f;
  const std::vector<const OBlock*> standing = StandingBricks(nearestZ);
  // Back behind its start, it has missed everything.
  const f32 homeZ = ball.Position().z - ball.radius;
  for (const OVector& v : GuideCandidates({plain.x, plain.y, std::fabs(plain.z)})) {
    const Flight f = FollowFlight(ball, ball.Position(), v, standing, nearestZ, homeZ, speed);
    if (!StrikesACountingBrick(f)) continue;
    out = v;
    return true;
  }
  return false;
}

bool OBallSet::GuidedBounce(const OBall& ball, const OBlock* hit, const OVector& plain,
                            OVector& out) const {
  if (grid == nullptr || grid->transition != 0) return false;
  f32 nearestZ = 0.0f;
  const std::vector<const OBlock*> standing = StandingBricks(nearestZ);
  const f32 homeZ = bat != nullptr ? bat->boxMax.z : ball.fieldMin.z;
  auto getsOut = [&](const OVector& v) {
    // The ball still touches the brick it bounces off: that one only stops it once left.
    const Flight f =
        FollowFlight(ball, ball.Position(), v, standing, nearestZ, homeZ, speed, hit);
    return f.home || StrikesACountingBrick(f);
  };
  if (getsOut(plain)) {
    out = plain;
    return true;
  }
  for (const OVector& v : GuideCandidates(plain)) {
    if (!getsOut(v)) continue;
    out = v;
    return true;
  }
  return false;
}

void OBallSet::Draw() {
  for (OBall* ball : balls) {
    ball->Draw();
    ball->DrawWallGlow();
  }
}

void OBallSet::AddMoreBalls() {
  if (launched != 1 || balls.size() != 1) return;
  OBall* first = balls[0];
  const i32 own = first->colourIndex;
  i32 heavy = 0;
  for (OBall* ball : balls) {
    if (ball->heavyTime > 1) heavy = ball->heavyTime;
  }
  OVector min, max;
  FieldBox(min, max);
  for (i32 index = 0; index < 3; ++index) {
    if (index == own) continue;
    OBall* ball =
        ballTemplates[index] != nullptr ? new OBall(*ballTemplates[index]) : new OBall();
    ball->SetPosition(first->Position());
    ball->SetField(min, max);
    const f32 vx = Uniform() * 1.5f - 0.75f;
    const f32 vy = Uniform() * 1.5f - 0.75f;
    const f32 vz = Uniform() * 0.5f + 0.25f;
    ball->velocity = {vx, vy, vz};
    ball->colourIndex = index;
    if (heavy > 1) {
      ball->trail = static_cast<OBallTrail*>(trailTemplate->Clone());
      ball->trail->emitter = ball->Position();
      GetParticleList().Add(ball->trail);
    }
    balls.push_back(ball);
  }
  for (OBall* ball : balls) ball->heavyTime = heavy;
}

void OBallSet::MakeHeavy() {
  if (launched != 1 || balls.empty()) return;
  const i32 share = HEAVY_BALL_TIME / static_cast<i32>(balls.size());
  for (OBall* ball : balls) {
    ball->heavyTime = share;
    // A ball already burning keeps one trail: the old one is left to burn out.
    if (Held(ball->trail) != nullptr) ball->trail->finished = 1;
    ball->trail = static_cast<OBallTrail*>(trailTemplate->Clone());
    ball->trail->emitter = ball->Position();
    GetParticleList().Add(ball->trail);
  }
}
