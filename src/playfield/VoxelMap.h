#pragma once
// The playfield of a classic level: the cage (the box) round a cube of bricks N wide, N high and
// L layers deep, read from the level tables. At run time the grid is a list of OBlock objects in
// layer order. The grid owns the bricks; it resolves at most one ball-brick hit per tick
// (bounce, damage, destruction, score, sound), removes dead bricks and asks the bonus set for a
// drop, reports when the level is done or the game lost, and draws the cage and the bricks. Each
// new level is crossfaded in over the old one. The modern corridor (OModVoxelMap) derives from it.
//
// World coordinates: the grid's own frame stays the identity. +Z runs from the bat into the
// field; the cage reaches from (-8, -8, 0) to (8, 8, 48) and is open toward the bat. Layer 0 of a
// classic level is the farthest.
//
// What the game objects use: `status` (read by the balls, the bat and the bonus set; the bat's
// next-level bonus sets it to MAP_LEVEL_DONE), `GetFieldBox` (the walls the balls, bonuses and
// rockets keep to), `scoreMultiplier` (the bat multiplies it during its tick), `bonusDropPending`
// and `bonusDropPosition` (the bonus set reads and clears them), `Blast` (TNT), `HitBlock` with
// award (rockets, which walk `blocks` themselves and stop past `frontLayer` + 12) and
// `spriteList` (rocket explosions).
#include <vector>

#include "assets/Texture.h"
#include "playfield/Block.h"
#include "scene/Object3D.h"
#include "scene/StillPicture.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OBall;
class OBallSet;
class OBloxExpl;
class OBonusSet;
class OClip;
class OModel;
class OObjectList;
class OPlayer;
class OSoundPlayer;

// Status codes left by Update.
constexpr i32 MAP_PLAYING = 0;
constexpr i32 MAP_LEVEL_DONE = 1;
constexpr i32 MAP_IDLE = 5;       // created, or the game has ended
constexpr i32 MAP_GAME_OVER = 7;  // final: Update stops recomputing it

// Sound ids the grid plays.
constexpr i32 SOUND_HIT_BLOCK = 0;
constexpr i32 SOUND_NEXT_LEVEL = 2;
constexpr i32 SOUND_BOMB = 15;
// A heavy ball's hits cycle through these six ids (all the same explosion), so that quick hits
// overlap instead of cutting each other off.
constexpr i32 SOUND_HEAVY_FIRST = 101;
constexpr i32 SOUND_HEAVY_LAST = 106;

// Brick prototypes: one per brick model, cell codes 1..12 and 14 (13 and 0 stay empty).
constexpr i32 BRICK_PROTOTYPES = 13;
// Frames the standing bricks must stay the same, drawn in full, before their picture is taken.
constexpr u32 FIELD_STEADY_FRAMES = 2;
// The classic front layer: every brick counts.
constexpr i32 CLASSIC_FRONT_LAYER = 10000;
// Bricks more than this many layers behind the front layer take no hits (18 while the corridor
// advances).
constexpr i32 COLLIDE_LAYER_REACH = 12;
constexpr i32 COLLIDE_LAYER_REACH_MOVING = 18;
// Blast radius of a TNT bonus, world units from the brick centres.
constexpr f32 BLAST_RADIUS = 8.0f;
// Chance of a bonus drop when a dead brick is removed: Random() % 101 above this (35 in 101).
constexpr i32 BONUS_DROP_ABOVE = 65;
// The classic crossfade: progress per drawn frame.
constexpr f32 TRANSITION_STEP = 0.04f;

class OVoxelMap : public O3D {
public:
  // Status MAP_IDLE, front layer CLASSIC_FRONT_LAYER, no bricks, nothing loaded.
  OVoxelMap();
  OVoxelMap(const OVoxelMap&) = delete;
  OVoxelMap& operator=(const OVoxelMap&) = delete;
  // Deletes the cage, the bricks of both lists, the prototypes, the flare and the explosion
  // prototype; releases the skin.
  ~OVoxelMap() override;

  // Bricks update, then (unless the game is over) status, sparkle, the hit pass, removal of the
  // dead; the score multiplier is back at 1.0 afterwards.
  void Update(u32 elapsedMs) override;
  // Lets go of the pictures of the cage and the bricks (while another screen is shown).
  void ForgetPictures();
  // The cage and the bricks (or one step of the crossfade). Culling is on for both and off
  // afterwards; lighting is on afterwards.
  void Draw() override;
  // Creates the bricks of the level at the level data position into `out`, in table order, and
  // moves the position past them. The classic grid ignores `level`.
  virtual void Build(i32 level, std::vector<OBlock*>& out);
  // Level-start score and lives, the "next level" sound, and the crossfade to the new level.
  virtual void StartLevel(i32 level);
  // The corridor's hurry-up rule; nothing in a classic level.
  virtual void CheckTimer() {}
  // One drawn frame of the crossfade (or of the corridor's advance).
  virtual void DrawTransition();
  // The status the current state gives: playing while a level fades in; game over without a
  // ball in play; level done when no breakable brick is left (unbreakable ones do not count);
  // game over, with the bricks scattered, when the bat has no lives left; otherwise playing.
  virtual i32 CheckStatus();

  // The episode's grid size and the level data position of `level` (nothing to read when the
  // level lies past the episode's table).
  void SetLevel(i32 episode, i32 level);
  // Everything the episode needs: explosion prototype, skin, cage, brick prototypes, cell size,
  // flare. Needs the rendering context and the archive; throws OFileNotFound.
  void Init(i32 episode);
  // Loads the configured brick skin (0..2; any other value leaves the bricks without one).
  // Unless forced, only a loaded skin that differs from the configured one is replaced: the
  // options screen may have changed it while the game was away.
  void LoadSkin(bool force);
  // Scales the loaded cage to reach 8 units to each side and 48 deep, and takes its bounds.
  void FitBox();
  // Cell size from the code-1 prototype; the prototypes must be set up.
  void ComputeCellSize();
  // The half width of a brick for this episode's N: the cage's width over N + 1, halved.
  f32 BrickHalfWidth() const;

  // The ball-brick pass: the first touching pair (balls in order, bricks in order) is handled.
  void Collide();
  // Applies one hit to the brick; with award the points (times the multiplier) go to the bat.
  void HitBlock(OBlock* brick, bool award);
  // A bomb: every brick whose centre is closer than BLAST_RADIUS takes one hit with score.
  void Blast(f32 x, f32 y, f32 z);
  // Deletes the dead bricks; each may raise a bonus drop request at its position.
  void RemoveDead();
  // Now and then a flare sprite on a random brick.
  void Sparkle();
  // Every brick drifts apart, swells and fades (game over, episode complete).
  void Scatter();
  // The cage's world box: the walls of the field (a default classic cage before Init).
  void GetFieldBox(OVector& min, OVector& max) const;

  // The prototype of a cell code, or null for an empty code.
  OBlock* Prototype(u8 cellCode) const;
  // Breakable bricks in `blocks`.
  i32 CountBreakable() const;
  // The end of the crossfade: the incoming level becomes the current one (the old bricks are
  // deleted), and the bat's lives and score are the new level-start values.
  void FinishTransition();
  // Deletes the bricks of a list and empties it.
  static void DeleteBlocks(std::vector<OBlock*>& list);
  // The bat, through the ball set (null without one).
  OPlayer* Bat() const;
  bool HasBallInPlay() const;

  i32 n = 0;                 // bricks per row and per column
  i32 layers = 0;            // layers of a level (classic) or of the corridor (modern)
  const u8* levelData = nullptr;  // next cell byte to read
  const u8* levelEnd = nullptr;   // end of the episode's table: reading stops there
  i32 startLives = 0;        // the bat's lives and score when the level started
  i32 startScore = 0;
  OBonusSet* bonusSet = nullptr;    // not owned
  OBallSet* ballSet = nullptr;      // not owned; its balls, and its bat
  OObjectList* spriteList = nullptr;  // not owned; flares and rocket explosions go here
  i32 hitSound = SOUND_HIT_BLOCK;   // sound of the hit being handled
  f32 scoreMultiplier = 1.0f;       // factor on brick points for this tick's hits
  OModel* box = nullptr;            // the cage; owned
  f32 cellWidth = 0.0f;             // world units
  f32 cellHeight = 0.0f;
  f32 cellDepth = 0.0f;
  OBlock* prototypes[BRICK_PROTOTYPES] = {};  // owned; codes 1..12, 14
  OClip* flare = nullptr;           // sparkle prototype; owned
  i32 timer = 0;                    // ms; the corridor's stage timer
  i32 frontLayer = CLASSIC_FRONT_LAYER;  // first layer of the corridor's current stage
  i32 episode = 0;                  // 0..5
  u8 transition = 0;                // 1 while a level fades in (or the corridor advances)
  i32 status = MAP_IDLE;
  // Something drawn after the field this frame may stand beyond a wall (a spark, a flare by a
  // side wall, a rocket at the far wall), so the walls' depth must hide it. The game screen
  // clears it on calm frames, when every moving thing keeps inside the cage: the walls' depth is
  // then left out, a full-window pass.
  bool wallsMayHide = true;
  u32 brickHits = 0;                // hits that damaged or destroyed a brick, over the grid's life
  u8 bonusDropPending = 0;          // set by RemoveDead, cleared by the bonus set
  OVector bonusDropPosition;        // where the removed brick stood
  std::vector<OBlock*> blocks;      // current bricks, layer order; owned
  std::vector<OBlock*> incoming;    // the next level while it fades in; owned
  OSoundPlayer* soundPlayer = nullptr;  // not owned
  OBloxExpl* explosion = nullptr;   // debris prototype of the heavy ball's hits; owned
  i32 skinIndex = -1;               // configured skin loaded, -1 none
  OTexture skin;                    // one texture for all bricks
  OStillPicture cagePicture;        // the cage as last drawn
  std::vector<f32> cageShell;       // the cage's surfaces for its depth pass (DepthShellTriangles)
  OStillPicture fieldPicture;       // the cage and the standing bricks, with the bricks' depth
  u64 lastField = 0;                // FieldGeneration of the last frame drawn in full
  u32 steadyFrames = 0;             // frames in a row drawn in full with the same field
  u64 refusedField = 0;             // a field whose picture would cost more than drawing it
  i32 depthComesBack = -1;          // depth written back reads the same: 1 yes, 0 no, -1 unknown
  u32 cageGeneration = 0;           // bumped whenever the cage or its textures change
  u32 cageTextures = 0;             // the texture cache's generation the cage was drawn with

  // Crossfade progress 0..1, shared by the program.
  static f32 transitionProgress;
  // Last heavy-hit sound id used, shared by the program.
  static i32 heavySound;

protected:
  void PlaySound(i32 id) const;
  // Makes a brick of `code` at (x, y, z) and appends it (nothing for an empty code).
  OBlock* PlaceBrick(u8 code, f32 x, f32 y, f32 z, std::vector<OBlock*>& out);
  // Draws the first `count` current bricks: the opaque ones, then the fading ones. Expects the
  // cage drawn, front faces culled and the skin bound, and leaves them so.
  void DrawBricks(size_t count);
  void DrawOpaque(size_t count);
  void DrawFading(size_t count);
  // The cage and the first `count` bricks: from the picture of the cage and the standing bricks
  // while nothing standing has changed, else drawn (and the picture taken once they have stood
  // still for a few frames); the fading bricks always drawn. Expects front faces culled and the
  // skin bound, and leaves them so. It must be the first thing drawn after the frame's clear.
  void DrawField(size_t count);
  // The cage with its back faces culled (from its still picture while the view and the light
  // stay the same); then front faces culled and the skin bound again. It must be the first
  // thing drawn after the frame's clear: the picture it takes holds the whole colour buffer.
  // True when the walls came from the picture; their depth then comes from the pass
  // DrawCageDepth makes, drawn only `withDepth` (the drawn cage always writes its depth).
  bool DrawCage(bool withDepth = true);
  // The walls' depth only: no colour, texture, light or fog. The panels tiling a wall go down as
  // one rectangle (DepthShellTriangles): the same depth for a fraction of the triangles.
  void DrawCageDepth();
  // A new cage generation when the textures have changed since the cage was last drawn.
  void NoteTextures();
  // What the cage and the first `count` standing bricks look like, as one number.
  u64 FieldGeneration(size_t count) const;
  // Takes the field picture: the colour buffer, and the depth where the first `count` bricks
  // may have drawn.
  void TakeFieldPicture(u64 field, size_t count);
  // The window rectangle (x, y, width, height in the viewport) that holds every standing brick of
  // the first `count`, from their bounds through the current matrices; false when a brick
  // reaches behind the eye.
  bool BricksOnScreen(size_t count, i32 rect[4]) const;
  // Gives a code-10 brick the collision box of the code-5 model at its position.
  void TakeCode5Box(OBlock* brick);
  // Whether the hit pass looks at a brick of this layer.
  bool InReach(const OBlock* brick) const;
  // The touching pair the hit pass found: debris or a bounce, then the hit.
  void HandleHit(OBall* ball, OBlock* brick);
  // Turns the ball's velocity outward on every face of the brick it came through.
  static void Bounce(OBall* ball, const OBlock* brick);
};
