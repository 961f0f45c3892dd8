#include "game/AutoPlayer.h"

#include <algorithm>
#include <cmath>

#include "game/GameWindow.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Player.h"
#include "playfield/Levels.h"
#include "playfield/VoxelMap.h"
#include "scene/Vector.h"
#include "shell/Application.h"
#include "core/Input.h"
#include "core/Random.h"

namespace {

// How far the bat's goal moves sideways to steer a rebound (world units, a few pixels). Only the
// direction of the bat's motion turns the rebound; its speed becomes a swerve that bends the
// ball's path unpredictably over the flight, so the move is kept small.
constexpr f32 STEER_LEAD = 0.15f;
// The steering move starts this many ticks before the ball reaches the bat: the pointer's move
// reaches the bat's motion a tick later, and the hit may come within the tick.
constexpr f32 SWEEP_TICKS = 4.5f;
// Where the bat's centre can go with the pointer inside the window, roughly (world units).
constexpr f32 REACH_X = 6.5f;
constexpr f32 REACH_Y = 4.8f;
// After this long without a brick falling, the player varies its lead at random (ms).
constexpr i32 STUCK_MS = 6000;
// A loaded gun is fired with a chance of one in this many per tick.
constexpr int FIRE_ODDS = 40;
// The casual player's reaction time (ms) and the largest miss of its bat on either axis, drawn
// anew for each ball coming back (world units; the bat reaches about 1.2 from its centre).
constexpr i32 CASUAL_REACTION_MS = 150;
constexpr f32 CASUAL_ERROR = 0.6f;
// The bat's moves the skilled player weighs for a rebound: this many directions round the ring.
constexpr int PLAN_DIRECTIONS = 32;
// The flight followed ahead, at most (ticks of 16 ms).
constexpr int PLAN_TICKS = 400;

f32 Reflect(f32 v, f32 lo, f32 hi) {
  const f32 span = hi - lo;
  if (!(span > 0.0f)) return lo;
  f32 u = std::fmod(v - lo, 2.0f * span);
  if (u < 0.0f) u += 2.0f * span;
  return lo + (u <= span ? u : 2.0f * span - u);
}

f32 Uniform() { return static_cast<f32>(Random()) / static_cast<f32>(RANDOM_MAX); }

}  // namespace

OAutoPlayer::OAutoPlayer(OGameWindow& g, u32 seed, bool draw) : drawing(draw), game(g) {
  SeedRandom(seed);
  // The bonus bag was shuffled from the clock when the screen was loaded: deal it again from
  // the seed, in a fixed order, so that the whole run follows from the seed.
  if (game.bonusSet != nullptr) {
    for (i32 i = 0; i < BONUS_TYPES; ++i) game.bonusSet->bag[i] = i;
    game.bonusSet->Shuffle();
  }
}

bool OAutoPlayer::GameEnded() const {
  if (!game.HasGame()) return true;
  const bool inProgress = game.app == nullptr || game.app->gameInProgress != 0;
  return !inProgress && game.grid->status == MAP_IDLE;
}

void OAutoPlayer::MoveMouse(i32 x, i32 y) {
  // Sent every tick, moved or not: the bat forgets its target when it is reset after a lost ball.
  lastX = x;
  lastY = y;
  OInputEvent e;
  e.type = EV_MOUSEMOVE;
  e.x = static_cast<u16>(x);
  e.y = static_cast<u16>(y);
  game.HandleInput(e);
}

void OAutoPlayer::Press() {
  OInputEvent e;
  e.type = EV_BUTTONDOWN;
  e.button = 0;
  e.keyFlags = MK_LBUTTON;
  e.x = static_cast<u16>(std::max(lastX, 0));
  e.y = static_cast<u16>(std::max(lastY, 0));
  game.HandleInput(e);
  e.type = EV_BUTTONUP;
  e.keyFlags = 0;
  game.HandleInput(e);
}

void OAutoPlayer::GoalToPixel(f32 gx, f32 gy, i32& px, i32& py) const {
  // The bat's goal is the picking ray's direction times the camera's distance: invert that.
  const OCamera& cam = game.gameCamera;
  const f32 reach = std::fabs(cam.Position().z);
  f32 u = gx / reach, v = gy / reach;
  const f32 len2 = u * u + v * v;
  if (len2 > 0.95f) {
    const f32 k = std::sqrt(0.95f / len2);
    u *= k;
    v *= k;
  }
  const OVector d(u, v, std::sqrt(1.0f - u * u - v * v));
  const OVector forward = -cam.matrix.ZAxis();
  const f32 depth = d.Dot(forward);
  const f32 b = d.Dot(cam.matrix.XAxis()) / depth;
  const f32 a = d.Dot(cam.matrix.YAxis()) / depth;
  const f32 f = cam.FocalLength();
  const f32 x = b * f + cam.viewWidth * 0.5f - cam.pickOffsetX;
  const f32 y = cam.pickOffsetY + cam.viewHeight * 0.5f - a * f;
  const i32 w = std::max(1, static_cast<i32>(cam.viewWidth));
  const i32 h = std::max(1, static_cast<i32>(cam.viewHeight));
  px = std::clamp(static_cast<i32>(std::lround(x)), 0, w - 1);
  py = std::clamp(static_cast<i32>(std::lround(y)), 0, h - 1);
}

bool OAutoPlayer::PredictCrossing(f32& x, f32& y) const {
  const OBallSet& set = *game.ballSet;
  const OPlayer& bat = *game.bat;
  const OBall* watched = nullptr;
  f32 best = 1e30f;
  for (const OBall* b : set.balls) {
    const f32 vz = b->velocity.z;
    const f32 dz = b->Position().z - bat.boxMax.z;
    // Balls coming back are ranked by their time to the bat, the others far behind them.
    const f32 rank = vz < 0.0f ? dz / -vz : 1e6f + dz;
    if (rank < best) {
      best = rank;
      watched = b;
    }
  }
  if (watched == nullptr) return false;
  const OVector p = watched->Position();
  const OVector v = watched->velocity;
  if (v.z >= 0.0f) {
    x = p.x;
    y = p.y;
    return false;
  }
  const f32 r = watched->radius;
  const f32 dz = std::max(0.0f, p.z - (bat.boxMax.z + r));
  const f32 steps = dz / -v.z;  // in units of the ball's own velocity
  x = Reflect(p.x + v.x * steps, watched->fieldMin.x + r, watched->fieldMax.x - r);
  y = Reflect(p.y + v.y * steps, watched->fieldMin.y + r, watched->fieldMax.y - r);
  return true;
}

void OAutoPlayer::PickAim(f32 crossX, f32 crossY) {
  // A ball that bounces off a brick's face comes back about as far past the brick as it went
  // to it, landing near 2 * brick - crossing. The bat cannot follow it to the far top and bottom
  // of the field, so bricks whose rebound lands within reach are preferred, chosen at random.
  const OVoxelMap& grid = *game.grid;
  i32 count = 0;
  f32 bestCost = 1e30f;
  for (const OBlock* b : grid.blocks) {
    if (b->kind != BRICK_BREAKABLE || b->IsDying() || b->life < 0) continue;
    if (b->layerIndex >= grid.frontLayer + STAGE_LAYERS) continue;
    const OVector p = b->Position();
    const f32 landX = std::fabs(2.0f * p.x - crossX);
    const f32 landY = std::fabs(2.0f * p.y - crossY);
    // Near bricks first: small side speeds keep the ball's path short and predictable.
    const f32 near = std::fabs(p.x - crossX) + std::fabs(p.y - crossY);
    const f32 cost = 10.0f * (std::max(0.0f, landX - REACH_X) + std::max(0.0f, landY - REACH_Y)) +
                     std::floor(near / 2.0f);
    if (cost > bestCost + 0.01f) continue;
    if (cost < bestCost - 0.01f) {
      bestCost = cost;
      count = 0;
    }
    // Reservoir choice among the cheapest: each is kept with chance 1 / count.
    ++count;
    if (Random() % count == 0) aim = b->Position();
  }
  hasAim = count > 0;
}

bool OAutoPlayer::PlanRebound(const OBall& ball, f32 crossX, f32 crossY) {
  const OVoxelMap& grid = *game.grid;
  const OPlayer& bat = *game.bat;
  const f32 r = ball.radius;
  const f32 step = static_cast<f32>(tickMs) * game.ballSet->speed * BALL_UNITS_PER_MS;
  const f32 t = static_cast<f32>(tickMs);
  const f32 swerve = 0.001f * t - 0.0005f * t * t;
  // The bat's speed at the hit, per unit of its move: it covers BAT_FOLLOW of the way per ms,
  // and about half the move is left when the ball arrives.
  const f32 driftPerLead = 100.0f / t * 0.5f * BAT_FOLLOW * 0.5f;
  f32 bestScore = 1e30f;
  // No still bat among the moves: the least motion left in the bat turns the rebound as fully
  // as a move.
  for (int k = 0; k < PLAN_DIRECTIONS; ++k) {
    const f32 a = static_cast<f32>(k) * 6.2831853f / PLAN_DIRECTIONS;
    const f32 nx = std::cos(a), ny = std::sin(a);
    // The bat's rebound as the ball set makes it, and the flight as the ball makes it: swerve,
    // the depth speed's creep, the side walls (which end the swerve); it ends at a brick, at
    // the far wall or back at the bat.
    const OVector w = (ball.velocity + OVector(nx, ny, 0.0f) * 0.25f).Normalized();
    OVector v(std::clamp(w.x, -0.45f, 0.45f), std::clamp(w.y, -0.45f, 0.45f),
              std::fabs(ball.velocity.z));
    f32 dx = nx * STEER_LEAD * driftPerLead, dy = ny * STEER_LEAD * driftPerLead;
    OVector p(crossX, crossY, bat.boxMax.z + r);
    const OBlock* struck = nullptr;
    for (int i = 0; i < PLAN_TICKS && struck == nullptr; ++i) {
      v.x += dx * swerve;
      v.y += dy * swerve;
      if (std::fabs(v.z) < 1.0f) v.z += v.z >= 0.0f ? 0.01f : -0.01f;
      p = p + v * step;
      if (p.x < ball.fieldMin.x + r || p.x > ball.fieldMax.x - r) {
        v.x = p.x < ball.fieldMin.x + r ? std::fabs(v.x) : -std::fabs(v.x);
        dx = dy = 0.0f;
      }
      if (p.y < ball.fieldMin.y + r || p.y > ball.fieldMax.y - r) {
        v.y = p.y < ball.fieldMin.y + r ? std::fabs(v.y) : -std::fabs(v.y);
        dx = dy = 0.0f;
      }
      if (p.z > ball.fieldMax.z - r || p.z < bat.boxMax.z) break;
      for (const OBlock* b : grid.blocks) {
        // Bricks past the next stage have no fresh bounds; they stand far behind anyway.
        if (b->IsDying() || b->life < 0 || b->layerIndex >= grid.frontLayer + 2 * STAGE_LAYERS)
          continue;
        if (p.x + r < b->boxMin.x || p.x - r > b->boxMax.x || p.y + r < b->boxMin.y ||
            p.y - r > b->boxMax.y || p.z + r < b->boxMin.z || p.z - r > b->boxMax.z)
          continue;
        struck = b;
        break;
      }
    }
    if (struck == nullptr || struck->kind != BRICK_BREAKABLE) continue;
    if (struck->layerIndex >= grid.frontLayer + STAGE_LAYERS) continue;
    // Struck near its centre, the brick is still struck when the flight goes a little off.
    const OVector c = (struck->boxMin + struck->boxMax) * 0.5f;
    const f32 score = std::fabs(p.x - c.x) + std::fabs(p.y - c.y) + 0.01f * Uniform();
    if (score < bestScore) {
      bestScore = score;
      planX = nx;
      planY = ny;
    }
  }
  return bestScore < 1e29f;
}

void OAutoPlayer::SteerDirection(const OBall& ball, f32 crossX, f32 crossY, f32& nx, f32& ny) {
  nx = ny = 0.0f;
  const i32 bricks = static_cast<i32>(game.grid->blocks.size());
  if (bricks != lastBricks) {
    lastBricks = bricks;
    stuckMs = 0;
  }
  if (!aimFresh) {
    PickAim(crossX, crossY);
    planned = hasAim && PlanRebound(ball, crossX, crossY);
    aimFresh = true;
  }
  if (planned) {
    nx = planX;
    ny = planY;
    return;
  }
  if (!hasAim) return;
  if (stuckMs > STUCK_MS) {
    // Nothing has fallen for a while: the ball may be caught in a loop; shake it out.
    wantJitter = true;
  }
  // The side speed that carries the ball from the crossing to the brick, against the one it
  // brings: the bat's motion adds a quarter of its direction to the rebound.
  const f32 vz = std::max(0.05f, std::fabs(ball.velocity.z));
  const f32 depth = std::max(1.0f, aim.z);
  f32 wantX = (aim.x - crossX) * vz / depth;
  f32 wantY = (aim.y - crossY) * vz / depth;
  wantX = std::clamp(wantX, -0.45f, 0.45f);
  wantY = std::clamp(wantY, -0.45f, 0.45f);
  if (wantJitter) {
    wantX += (Uniform() - 0.5f) * 0.5f;
    wantY += (Uniform() - 0.5f) * 0.5f;
    wantJitter = false;
    stuckMs = STUCK_MS / 2;
  }
  const f32 dx = wantX - ball.velocity.x;
  const f32 dy = wantY - ball.velocity.y;
  const f32 len = std::sqrt(dx * dx + dy * dy);
  if (len < 0.02f) return;
  nx = dx / len;
  ny = dy / len;
}

void OAutoPlayer::Tick() {
  if (!game.HasGame()) return;
  Steer();
  game.Update(tickMs);
  if (drawing) {
    game.Draw();
  } else {
    game.UndrawnFrame();
  }
  ++ticks;
  gameMs += tickMs;
}

void OAutoPlayer::Steer() {
  if (!game.HasGame()) return;
  stuckMs += static_cast<i32>(tickMs);
  OBallSet& set = *game.ballSet;
  f32 cx = 0.0f, cy = 0.0f;
  const bool coming = PredictCrossing(cx, cy);
  f32 gx = cx, gy = cy;
  if (miss) {
    // As far from the ball as the bat can get.
    gx = cx > 0.0f ? -7.0f : 7.0f;
    gy = cy > 0.0f ? -5.5f : 5.5f;
  } else if (set.launched == 0) {
    // A waiting ball: wander to a random spot, then launch from there.
    if (launchDelay <= 0) {
      launchDelay = 150 + Random() % 600;
      wobbleX = Uniform() * 10.0f - 5.0f;
      wobbleY = Uniform() * 8.0f - 4.0f;
    }
    gx = wobbleX;
    gy = wobbleY;
  } else if (skill == Skill::casual) {
    CasualGoal(gx, gy, coming);
  } else if (coming) {
    // The ball that reaches the bat first, and when (ms).
    const OBall* first = nullptr;
    f32 contactMs = 1e9f;
    for (const OBall* ball : set.balls) {
      if (ball->velocity.z >= 0.0f) continue;
      const f32 unitsPerMs = -ball->velocity.z * set.speed * BALL_UNITS_PER_MS;
      const f32 ms = (ball->Position().z - game.bat->boxMax.z) / std::max(unitsPerMs, 1e-6f);
      if (ms < contactMs) {
        contactMs = ms;
        first = ball;
      }
    }
    // Wait under the crossing; in the last ticks before the hit, move toward the side the
    // rebound should take: the hit reads the bat's motion of the tick before.
    gx = cx;
    gy = cy;
    if (contactMs >= SWEEP_TICKS * static_cast<f32>(tickMs)) aimFresh = false;
    if (first != nullptr && contactMs < SWEEP_TICKS * static_cast<f32>(tickMs)) {
      f32 nx = 0.0f, ny = 0.0f;
      SteerDirection(*first, cx, cy, nx, ny);
      gx += nx * STEER_LEAD;
      gy += ny * STEER_LEAD;
    }
  } else {
    // Nothing coming back: stay under the balls, a little toward the middle.
    gx = cx * 0.8f;
    gy = cy * 0.8f;
  }
  i32 px = 0, py = 0;
  GoalToPixel(gx, gy, px, py);
  MoveMouse(px, py);

  if (set.launched == 0 && !miss) {
    launchDelay -= static_cast<i32>(tickMs);
    if (launchDelay <= 0) {
      Press();
      ++launches;
    }
  } else if (set.launched == 0) {
    Press();
    ++launches;
  } else if (game.bat->gunAmmo > 0 && Random() % FIRE_ODDS == 0) {
    Press();
    ++shots;
  }
}

void OAutoPlayer::CasualGoal(f32& gx, f32& gy, bool coming) {
  if (coming && !wasComing) {
    errorX = (Uniform() * 2.0f - 1.0f) * CASUAL_ERROR;
    errorY = (Uniform() * 2.0f - 1.0f) * CASUAL_ERROR;
  }
  wasComing = coming;
  // Under the crossing while the ball comes, under the ball while it flies away; no aiming.
  const f32 x = coming ? gx : gx * 0.8f;
  const f32 y = coming ? gy : gy * 0.8f;
  seen.push_front(OVector(x + errorX, y + errorY, 0.0f));
  const size_t lag = static_cast<size_t>(CASUAL_REACTION_MS) / std::max<u32>(1, tickMs);
  while (seen.size() > lag + 1) seen.pop_back();
  gx = seen.back().x;
  gy = seen.back().y;
}

u32 OAutoPlayer::Play(u32 ms) {
  u32 n = 0;
  const i64 end = gameMs + ms;
  while (gameMs < end && !GameEnded()) {
    Tick();
    ++n;
  }
  return n;
}
