#pragma once
// A computer player for benchmarks, long runs and tests. It plays the real game screen the way a
// person does, only through its input and its clock: each tick it moves the mouse (window
// pixels) to where the ball it watches will reach the bat, presses the button to launch a
// waiting ball and to fire a loaded gun, then runs one game tick of a fixed length and either
// draws the frame or lets the frame's non-drawing steps happen. Its decisions use the program's
// random generator, seeded once, so a run from the same seed is the same run.
//
// Two kinds of player: the skilled one sees where the ball will arrive and steers each rebound
// toward a brick, picking the bat's move by following the ball's flight ahead for each; the
// casual one returns the ball wherever it comes, seeing it about 150 ms late and putting the bat
// a little off the spot it means.
#include <deque>

#include "scene/Vector.h"
#include "core/Types.h"

class OBall;
class OGameWindow;

class OAutoPlayer {
public:
  // Seeds the program's generator. The game screen must be loaded and entered.
  OAutoPlayer(OGameWindow& game, u32 seed, bool drawing);
  OAutoPlayer(const OAutoPlayer&) = delete;
  OAutoPlayer& operator=(const OAutoPlayer&) = delete;

  // One tick: Steer, Update (tickMs), then Draw or the undrawn frame.
  void Tick();
  // The tick's input alone: the mouse move and the presses of this tick. For a caller that runs
  // the screen's Update and Draw itself, as the application's frame does.
  void Steer();
  // Ticks until `ms` of game time have passed or the game has ended; returns the ticks run.
  u32 Play(u32 ms);
  // The game has ended (high-score screen or menu reached).
  bool GameEnded() const;

  enum class Skill { skilled, casual };

  u32 tickMs = 16;    // game time per tick
  Skill skill = Skill::skilled;
  bool drawing;       // draw each frame (needs the display) or only step it
  bool miss = false;  // keep the bat away from the ball, to lose balls on purpose
  // Counters of the run.
  i64 ticks = 0;
  i64 gameMs = 0;
  u32 launches = 0;
  u32 shots = 0;

private:
  // Where the watched ball will cross the bat's plane (world x, y), or the ball's place.
  bool PredictCrossing(f32& x, f32& y) const;
  // Window pixel under which the bat's goal is (gx, gy).
  void GoalToPixel(f32 gx, f32 gy, i32& px, i32& py) const;
  // Picks the brick the next rebound from (crossX, crossY) aims at.
  void PickAim(f32 crossX, f32 crossY);
  // Tries the bat's moves at the hit (STEER_LEAD in one of a ring of directions) on a
  // copy of the ball's rebound and flight, and keeps the move whose ball strikes a breakable
  // brick of the front stage nearest its centre. False when none does.
  bool PlanRebound(const OBall& ball, f32 crossX, f32 crossY);
  // Unit direction (x, y) in which the bat should move at the hit, so that the ball crossing
  // at (crossX, crossY) rebounds toward the aimed brick; zero when there is nothing to aim at.
  void SteerDirection(const OBall& ball, f32 crossX, f32 crossY, f32& nx, f32& ny);
  // The casual player's goal: where the bat was meant to be a reaction time ago, off by the
  // error of this approach.
  void CasualGoal(f32& gx, f32& gy, bool coming);
  void Press();
  void MoveMouse(i32 x, i32 y);

  OGameWindow& game;
  i32 lastX = -1;
  i32 lastY = -1;
  i32 launchDelay = 0;  // ms to wait before launching a waiting ball
  i32 stuckMs = 0;      // ms since the last brick fell
  i32 lastBricks = -1;
  f32 wobbleX = 0.0f;   // where the bat waits to launch
  f32 wobbleY = 0.0f;
  OVector aim;          // the brick the rebounds aim at (world)
  bool hasAim = false;
  bool aimFresh = false;  // the aim was picked for the ball now arriving
  bool planned = false;   // PlanRebound found a move for the ball now arriving
  f32 planX = 0.0f;       // that move's direction (unit)
  f32 planY = 0.0f;
  bool wantJitter = false;
  std::deque<OVector> seen;  // the casual player's goals of the last ticks, newest first
  bool wasComing = false;    // a ball was on its way to the bat last tick
  f32 errorX = 0.0f;         // the casual player's miss of this approach (world units)
  f32 errorY = 0.0f;
};
