#pragma once
// The in-game screen: it owns the objects of one game (bat, brick grid or corridor, balls,
// bonuses, rockets, sprites) and the two high-score tables, and runs the rules that join them:
// a new or resumed game, five lives, the score, level after level up to the episode's level
// count, the game-over sequence, the "Episode Complete!" celebration and the hand-off to the
// high-score screen. It also draws the scene with its own camera and light and the head-up
// display.
#include <string>

#include "assets/Model.h"
#include "game/Top.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "shell/RenderWindow.h"
#include "core/Types.h"

class OAutoPlayer;
class OBall;
class OConfig;
class OBallSet;
class OBonusSet;
class OBulletSet;
class OObjectList;
class OPlayer;
class OVoxelMap;

// Milliseconds the game-over model shows before the game ends by itself.
constexpr i32 GAME_OVER_TIME = 10000;
// The model grows from nothing over this many milliseconds.
constexpr i32 GAME_OVER_GROW_TIME = 2048;
// Bonuses thrown up on the "Episode Complete!" screen before the game ends by itself.
constexpr i32 BONUS_RAIN_COUNT = 128;
// The movement keys' bits in heldKeys.
constexpr u8 BAT_KEY_LEFT = 1;
constexpr u8 BAT_KEY_RIGHT = 2;
constexpr u8 BAT_KEY_UP = 4;
constexpr u8 BAT_KEY_DOWN = 8;
// How fast the keys move the bat's point: window heights per millisecond at speed 100 percent.
constexpr f32 BAT_KEY_SPEED = 0.0011f;
// Lives of a new game.
constexpr i32 START_LIVES = 5;
// What the player is told in play, in ms: how long the banner naming a level or stage shows, how
// long "Level cleared!", "Stage cleared!" or "Time's up!" shows, and how long a ball waits on the
// bat before the launch hint appears.
constexpr i32 BANNER_TIME = 3000;
constexpr i32 CUE_TIME = 2000;
constexpr i32 LAUNCH_HINT_DELAY = 3000;

// Whether the configuration's resume record names a game that can be played on: a level of a
// known episode, at least one life and a score that is not negative. (A saved level of 0 still
// means there is nothing to resume: the menu asks that first.)
bool IsResumable(const OConfig& config);

class OGameWindow : public ORenderWindow {
public:
  OGameWindow();
  // Frees the game objects, the sets, the sprite list and the ball models.
  ~OGameWindow() override;

  // The entry: new game, resumed game or the game in memory, by the application's gameRequest.
  void Enter() override;
  // Writes the resume record and swaps the music back to the menu list.
  void Leave() override;
  void Draw() override;
  // One game tick; elapsedMs may be 0.
  void Update(u32 elapsedMs) override;
  // Camera, light, the object sets, both high-score tables and the game-over model. Needs the
  // rendering context and the archive (a missing model throws OFileNotFound).
  bool Load() override;
  bool HandleInput(const OInputEvent& event) override;
  bool OnCommand(u32 commandId, u32 parameter) override;
  // The window lost the focus, was minimised or the gamepad went: a game in play pauses.
  void Suspend() override;

  // Pauses or resumes. While paused the game's clock stands: Update moves nothing and the
  // picture is the frozen scene under a "Paused" caption.
  void SetPaused(bool on);
  // Whether there is a game in play that a pause would stop (not over, not complete).
  bool CanPause() const;

  // Bat, grid of episodeIndex, ball models and one ball waiting on the bat.
  void BuildGame();
  // A game starting at `level` (0-based) with that score and lives (a new game: level 0, score
  // 0, five lives; a resumed one: its record), and every effect of the last game cleared.
  void ResetGame(i32 level = 0, i32 score = 0, i32 lives = START_LIVES);
  // Deletes the bat, the grid and the three ball models.
  void FreeGame();
  // The score qualifies: the high-score screen; otherwise score 0 and the main menu.
  void EndGame();
  // Score, lives and level over the scene, and the spinning gun while it is loaded.
  void DrawHud();
  // One frame of the celebration: the bonus rain and the caption.
  void DrawEpisodeComplete();
  // The game-over model grows in and sways.
  void AnimateGameOver(u32 elapsedMs);

  // What a frame does to the game besides drawing, for running without a picture: the level
  // crossfade or the corridor advance moves one step, and on the "Episode Complete!" screen the
  // bonus rain goes on. Draw does the same while it draws.
  void UndrawnFrame();

  bool HasGame() const { return grid != nullptr; }
  bool IsModern() const;

  OModel gameOverModel;   // "GameOver.Zmod"
  u8 loaded = 0;          // a game has been built since Load
  i32 gameOverTimer = 1;  // ms into the game-over sequence, plus 1
  OCamera gameCamera;     // the game's own view; the bat picks through it
  OBallSet* ballSet = nullptr;       // owned
  OObjectList* spriteList = nullptr;  // owned
  OPlayer* bat = nullptr;            // owned, per game
  OVoxelMap* grid = nullptr;         // owned, per game; an OModVoxelMap in a modern episode
  OBonusSet* bonusSet = nullptr;     // owned
  OBall* ballModels[3] = {nullptr, nullptr, nullptr};  // owned, per game: the ball templates
  OTop* currentTable = nullptr;      // the table of the game that ended
  OBulletSet* bulletSet = nullptr;   // owned
  OLight gameLight;
  i32 levelIndex = 0;     // 0-based level (classic) or stage (modern) being played
  i32 levelCount = 0;     // of the episode
  i32 episodeIndex = 0;   // 0..5, set by the episode selection before a new game
  u8 episodeComplete = 0;
  u8 paused = 0;          // the game's clock stands (P, Pause, focus lost, minimised)
  // The point the bat follows, whole-window pixels (y down): the mouse's position, moved by the
  // arrow keys, WASD and the gamepad too.
  f32 pointerX = 0.0f;
  f32 pointerY = 0.0f;
  u8 heldKeys = 0;        // BAT_KEY_* bits of the movement keys held down
  OTop classicTable;
  OTop modernTable;
  f32 cameraDistance = -14.4f;  // camera z, world units in front of the bat
  i32 bonusRainCount = 0;

  // Feedback in play: the banner of the level or stage starting (shown once the cue has gone), the
  // cue of the one that ended, and the time the ball has waited on the bat.
  i32 bannerMs = 0;
  i32 cueMs = 0;
  std::string cueText;
  i32 waitingMs = 0;

  // The banner's two lines: "Level 3" or "Stage 3", and the name from the level file.
  std::string BannerTitle() const;
  std::string BannerName() const;
  // The seconds left of the corridor's stage (rounded up), and whether it is in the hurry-up;
  // 0 and false in a classic game.
  i32 SecondsLeft() const;
  bool InHurry() const;

  // The demo on the menu: a new game of `episode` from `level`, played by the autoplayer with
  // sound behind a "Demo" label. A key, a click or a gamepad button returns to the menu at once,
  // as does the end of its game. A demo writes nothing: no resume record, no settings, no score,
  // and it leaves no game to continue.
  void StartDemo(i32 episode, i32 level);
  bool InDemo() const { return demoPlayer != nullptr; }

  // Angle of the game-over model's sway, radians, kept for the run.
  static f32 swayAngle;

private:
  // Camera pose and field of view for the window size (also what mouse picking needs).
  void PlaceCamera();
  // The part of the bonus rain that is not drawing; true when it ended the game.
  bool RainStep();
  // The game has ended without a qualifying check yet: flags, idle grid, EndGame.
  void FinishGame();
  void ClearResumeRecord();
  void PlaySound(i32 id) const;
  // Starts the banner of the current level or stage.
  void Announce();
  // The cue of a level or stage that has just ended: cleared, or (a corridor stage) out of time.
  void CueLevelDone();
  // Timer, banner, cue and launch hint over the scene (HUD style, overlay set up by the caller).
  void DrawFeedback();

  // The demo is over: back to the menu (Leave ends it).
  void StopDemo();

  // Tracks a movement key; true when the key is one.
  bool TrackMovementKey(const OInputEvent& event);
  // Moves the bat's point by the held keys over elapsedMs and hands it to the bat.
  void MoveByKeys(u32 elapsedMs);
  // The frozen scene and the caption over it.
  void DrawPaused();
  // The scene, HUD and overlays of one unpaused frame.
  void DrawScene();
  // Whether anything drawn after the field this frame may stand beyond one of its walls, where
  // only the walls' depth hides it: sparks, smoke and rockets fly anywhere, a flare or a bonus
  // by a side wall reaches into it.
  bool AnythingBeyondTheWalls() const;

  u8 lightingWasOn = 0;  // lighting state saved by Enter, restored by Leave
  OAutoPlayer* demoPlayer = nullptr;  // owned while a demo runs
  bool steering = false;      // the demo's own input is being handled
  OStillPicture pausedPicture;  // the scene as it was when the game paused
};
