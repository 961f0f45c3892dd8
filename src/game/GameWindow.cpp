#include "game/GameWindow.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "audio/MusicPlayer.h"
#include "audio/SoundTable.h"
#include "core/Paths.h"
#include "effects/FireworkPool.h"
#include "game/AutoPlayer.h"
#include "effects/ParticleList.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Bullet.h"
#include "objects/ObjectSound.h"
#include "objects/Player.h"
#include "playfield/Levels.h"
#include "playfield/ModVoxelMap.h"
#include "playfield/VoxelMap.h"
#include "scene/Clip.h"
#include "scene/Font.h"
#include "scene/StillPicture.h"
#include "scene/ObjectList.h"
#include "shell/Application.h"
#include "core/Clock.h"
#include "core/Config.h"
#include "game/FirstLevelResume.h"
#include "core/Random.h"

namespace {

// Scales of the models as they come from the archive.
constexpr f32 BAT_MODEL_SCALE = 0.0064285714f;
constexpr f32 GAME_OVER_MODEL_SCALE = 0.1f;
// Where the game-over model hangs in the field (world z).
constexpr f32 GAME_OVER_MODEL_Z = 8.0f;
// Sway of the game-over model: radians per millisecond.
constexpr f32 SWAY_RATE = 0.000625f;
// Chance per frame of a bonus thrown up on the "Episode Complete!" screen: 64 in 257.
constexpr int RAIN_MODULUS = 257;
constexpr int RAIN_BELOW = 64;
// The HUD's right edge and rows in the 512 x 512 overlay.
constexpr f32 HUD_RIGHT = 508.0f;
constexpr f32 HUD_TOP_ROW = 480.0f;
constexpr f32 HUD_BOTTOM_ROW = -2.0f;
constexpr f32 HUD_LEFT = 2.0f;
constexpr f32 CAPTION_ROW = 425.0f;
// The gun spinning in the HUD while it is loaded.
constexpr f32 HUD_GUN_X = -6.0f;
constexpr f32 HUD_GUN_Y = 5.0f;
constexpr f32 HUD_GUN_SPIN = 0.025f;  // radians per frame

// By colour index: the red glow on the plain ball, green on "BallB", blue on "BallW".
const char* const BALL_MODELS[3] = {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod"};

std::string Format(const char* format, i32 value) {
  char text[32];
  std::snprintf(text, sizeof text, format, static_cast<int>(value));
  return text;
}

}  // namespace

f32 OGameWindow::swayAngle = 0.0f;

bool IsResumable(const OConfig& config) {
  if (config.savedEpisode >= static_cast<u32>(EPISODE_COUNT)) return false;
  const i32 count = GetEpisodeInfo(static_cast<i32>(config.savedEpisode)).levelCount;
  return config.savedLevel < static_cast<u32>(count) && static_cast<i32>(config.savedLives) >= 1 &&
         static_cast<i32>(config.savedScore) >= 0;
}

OGameWindow::OGameWindow()
    : ORenderWindow(SCREEN_GAME),
      gameCamera(640, 480, 60.0f, 1.0f, 1024.0f),
      gameLight(1),
      classicTable(ScoreFilePath("Classic.Top"), 10),
      modernTable(ScoreFilePath("Modern.Top"), 10) {
  gameLight.localViewer = 1;
  wholeWindow = true;
}

OGameWindow::~OGameWindow() {
  delete demoPlayer;
  FreeGame();
  delete bulletSet;
  delete spriteList;
  delete ballSet;
  delete bonusSet;
}

bool OGameWindow::IsModern() const { return episodeIndex >= FIRST_MODERN_EPISODE; }

void OGameWindow::PlaySound(i32 id) const {
  PlayObjectSound(app != nullptr ? app->soundPlayer : nullptr, id);
}

void OGameWindow::PlaceCamera() {
  // The field widens or narrows with the whole window; the vertical angle stays.
  gameCamera.viewWidth = static_cast<f32>(windowWidth);
  gameCamera.viewHeight = static_cast<f32>(windowHeight);
  gameCamera.fieldOfView = 45.0f;
  gameCamera.SetPosition(0.0f, 0.0f, cameraDistance);
  gameCamera.LookAt(0.0f, 0.0f, 0.0f);
}

bool OGameWindow::Load() {
  gameCamera = OCamera(width, height, 60.0f, 1.0f, 1024.0f);
  gameLight = OLight(1);
  gameLight.localViewer = 1;

  ballSet = new OBallSet;
  bulletSet = new OBulletSet;
  spriteList = new OObjectList;
  bonusSet = new OBonusSet;
  bonusSet->soundPlayer = app != nullptr ? app->soundPlayer : nullptr;
  bulletSet->bonusSet = bonusSet;
  bonusSet->Load();
  ballSet->Load();
  bulletSet->Load();

  classicTable.Load();
  modernTable.Load();

  cameraDistance = -14.4f;
  levelIndex = 0;
  levelCount = 0;
  // Mouse picking works from the start, before the first frame is drawn.
  PlaceCamera();

  gameOverModel.Load("GameOver.Zmod");
  gameOverModel.ScaleUniform(GAME_OVER_MODEL_SCALE);
  gameOverModel.SetPosition(0.0f, 0.0f, GAME_OVER_MODEL_Z);
  gameOverModel.BuildLists();
  return true;
}

void OGameWindow::Enter() {
  ORenderWindow::Enter();
  if (app != nullptr) app->cursorVisible = 0;
  heldKeys = 0;
  if (grid == nullptr) {
    // A new game's bat starts where the keys find it: the middle.
    pointerX = static_cast<f32>(windowWidth) * 0.5f;
    pointerY = static_cast<f32>(windowHeight) * 0.5f;
  }
  lightingWasOn = glIsEnabled(GL_LIGHTING) ? 1 : 0;
  bonusRainCount = 0;
  episodeComplete = 0;
  if (grid != nullptr) {
    grid->LoadSkin(false);
    grid->timer = CORRIDOR_ENTER_TIMER;
  }
  const u32 request = app != nullptr ? app->gameRequest : GAME_REQUEST_CONTINUE;
  OConfig& config = GetConfig();
  // A record that cannot be played starts a new game in the selected episode instead of an
  // empty playfield or a game that can never end.
  const bool resumable = IsResumable(config);
  if (request == GAME_REQUEST_NEW || (request == GAME_REQUEST_RESUME && !resumable)) {
    if (episodeIndex < 0 || episodeIndex >= EPISODE_COUNT) episodeIndex = 0;
    FreeGame();
    BuildGame();
    ResetGame();
  } else if (request == GAME_REQUEST_RESUME) {
    episodeIndex = static_cast<i32>(config.savedEpisode);
    FreeGame();
    BuildGame();
    // Straight into the saved level: starting level 1 first would crossfade it away and play
    // the next-level sound twice.
    ResetGame(static_cast<i32>(config.savedLevel), static_cast<i32>(config.savedScore),
              static_cast<i32>(config.savedLives));
  }
  if (request == GAME_REQUEST_NEW || request == GAME_REQUEST_RESUME) {
    cueMs = 0;
    waitingMs = 0;
    Announce();
  }
  if (app != nullptr && app->musicPlayer != nullptr && config.musicOn) {
    // The game list continues where it was left; the menu track's place is not kept.
    app->musicPlayer->SwitchPlaylist(&app->gamePlaylist, false);
  }
}

void OGameWindow::Leave() {
  ORenderWindow::Leave();
  heldKeys = 0;
  if (app != nullptr) app->cursorVisible = 1;
  if (lightingWasOn) {
    glEnable(GL_LIGHTING);
  } else {
    glDisable(GL_LIGHTING);
  }
  OConfig& config = GetConfig();
  if (demoPlayer != nullptr) {
    // The demo's game is not the player's: nothing of it is recorded or left to continue.
    delete demoPlayer;
    demoPlayer = nullptr;
    if (app != nullptr) app->gameInProgress = 0;
    if (grid != nullptr) {
      grid->ForgetPictures();
      grid->status = MAP_IDLE;
    }
  } else if (grid != nullptr) {
    grid->ForgetPictures();
    config.savedEpisode = static_cast<u32>(grid->episode);
    config.savedLevel = static_cast<u32>(levelIndex);
    config.savedScore = static_cast<u32>(grid->startScore);
    config.savedLives = static_cast<u32>(grid->startLives);
    // A game that has ended (lost, completed, or already handed to the menu or the scores)
    // leaves nothing to resume.
    const bool ended = episodeComplete || grid->status == MAP_GAME_OVER ||
                       (app != nullptr && app->gameInProgress == 0);
    if (ended) {
      if (app != nullptr) app->savedGameAvailable = 0;
      config.savedLevel = 0;
    }
    config.Save();
    // Level 0 also means "nothing to resume" in Config.Cfg: the second file tells them apart.
    MarkFirstLevelResume(config, !ended && levelIndex == 0);
  }
  if (app != nullptr && app->musicPlayer != nullptr) {
    // Saves the game track's place, stops it and starts the menu track (while music is on).
    app->musicPlayer->SwitchPlaylist(&app->menuPlaylist, true);
  }
}

void OGameWindow::BuildGame() {
  OSoundPlayer* sound = app != nullptr ? app->soundPlayer : nullptr;
  bat = new OPlayer(&gameCamera);
  bat->soundPlayer = sound;
  if (IsModern()) {
    grid = new OModVoxelMap;
  } else {
    grid = new OVoxelMap;
  }
  grid->soundPlayer = sound;
  grid->bonusSet = bonusSet;
  grid->SetLevel(episodeIndex, 0);

  bulletSet->grid = grid;
  bat->bulletSet = bulletSet;
  bat->ballSet = ballSet;
  bonusSet->grid = grid;
  bonusSet->bat = bat;
  ballSet->grid = grid;
  ballSet->bat = bat;
  grid->ballSet = ballSet;
  grid->spriteList = spriteList;

  bat->Load("Player.Zmod");
  bat->SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  bat->ScaleUniform(BAT_MODEL_SCALE);
  bat->BuildLists();
  bat->SetPosition(0.0f, 0.0f, 0.0f);
  bat->alpha = 1.0f;
  bat->UpdateBounds();

  grid->Init(episodeIndex);

  ballSet->Clear();
  for (int i = 0; i < 3; ++i) {
    ballModels[i] = new OBall;
    ballModels[i]->LoadTemplate(BALL_MODELS[i]);
    ballSet->ballTemplates[i] = ballModels[i];
  }
  ballSet->AddBall({0.0f, 0.0f, 0.0f});
  loaded = 1;
}

void OGameWindow::ResetGame(i32 level, i32 score, i32 lives) {
  if (app != nullptr) app->gameInProgress = 1;
  levelIndex = level;
  levelCount = GetEpisodeInfo(episodeIndex).levelCount;
  // The level keeps the score and lives it starts with (its resume record): set them first.
  bat->lives = lives;
  bat->score = score;
  grid->SetLevel(episodeIndex, level);
  grid->StartLevel(level);
  gameOverTimer = 1;
  episodeComplete = 0;
  GetFireworkPool().Clear();
  GetParticleList().Clear();
  spriteList->Clear();
  bonusSet->Clear();
  bulletSet->Clear();
  gameOverModel.matrix = OMatrix();
  gameOverModel.SetPosition(0.0f, 0.0f, GAME_OVER_MODEL_Z);
}

void OGameWindow::FreeGame() {
  // The sets keep pointers to the game's objects: they are forgotten with them.
  if (ballSet != nullptr) {
    ballSet->Clear();
    ballSet->bat = nullptr;
    ballSet->grid = nullptr;
    for (OBall*& t : ballSet->ballTemplates) t = nullptr;
  }
  if (bonusSet != nullptr) {
    bonusSet->Clear();
    bonusSet->grid = nullptr;
    bonusSet->bat = nullptr;
  }
  if (bulletSet != nullptr) {
    bulletSet->Clear();
    bulletSet->grid = nullptr;
  }
  if (spriteList != nullptr) spriteList->Clear();
  delete bat;
  bat = nullptr;
  delete grid;
  grid = nullptr;
  for (OBall*& m : ballModels) {
    delete m;
    m = nullptr;
  }
}

void OGameWindow::ClearResumeRecord() {
  OConfig& config = GetConfig();
  config.savedEpisode = 0;
  config.savedScore = 0;
  config.savedLives = 0;
  config.savedLevel = 0;
}

void OGameWindow::FinishGame() {
  if (demoPlayer != nullptr) {
    StopDemo();
    return;
  }
  if (app != nullptr) app->gameInProgress = 0;
  grid->status = MAP_IDLE;
  EndGame();
}

void OGameWindow::Update(u32 elapsedMs) {
  if (grid == nullptr) return;
  // Paused: the game's clock stands; no ball, timer or bonus moves.
  if (paused) return;
  if (demoPlayer != nullptr) {
    steering = true;
    demoPlayer->tickMs = elapsedMs;
    demoPlayer->Steer();
    steering = false;
  }
  grid->Update(elapsedMs);
  bonusSet->Update(elapsedMs);
  GetFireworkPool().Update(elapsedMs);
  GetParticleList().Update(elapsedMs);
  bulletSet->Update(elapsedMs);

  if (episodeComplete) {
    bat->gunAmmo = 0;
    return;
  }

  MoveByKeys(elapsedMs);
  const f32 speed = static_cast<f32>(app != nullptr ? app->gameSpeed : 100) * 0.01f;
  ballSet->speed = speed;
  bonusSet->speed = speed;
  ballSet->Update(elapsedMs);
  bat->Update(elapsedMs);
  // The rockets' second update of the tick, on purpose: they move twice per tick while the level
  // runs (once above, even in a finished episode, and again here after the bat), which is the
  // speed the levels were made for. Removing either call halves it.
  bulletSet->Update(elapsedMs);
  spriteList->Update(elapsedMs);

  if (grid->status == MAP_GAME_OVER) {
    if (demoPlayer == nullptr) ClearResumeRecord();
    if (gameOverTimer == 1) PlaySound(SND_GAME_OVER);
    // The sound belongs to the first tick only, even when that tick took no time.
    gameOverTimer += elapsedMs > 0 ? static_cast<i32>(elapsedMs) : 1;
    AnimateGameOver(elapsedMs);
    if (gameOverTimer > GAME_OVER_TIME) FinishGame();
    return;
  }

  // The banner waits for the cue before it; the launch hint counts while a ball rides the bat.
  if (cueMs > 0) {
    cueMs -= static_cast<i32>(elapsedMs);
  } else if (bannerMs > 0) {
    bannerMs -= static_cast<i32>(elapsedMs);
  }
  const bool waiting = !ballSet->launched && grid->status == MAP_PLAYING && bat->lives > 0;
  waitingMs = waiting ? waitingMs + static_cast<i32>(elapsedMs) : 0;

  if (grid->status == MAP_LEVEL_DONE) {
    CueLevelDone();
    levelIndex += 1;
    if (levelIndex < levelCount) Announce();
    if (levelIndex == levelCount) {
      episodeComplete = 1;
      grid->Scatter();
    } else if (!IsModern()) {
      bonusSet->Release();
      grid->StartLevel(levelIndex);
    } else {
      grid->transition = 1;
    }
  }
}

void OGameWindow::Announce() { bannerMs = BANNER_TIME; }

void OGameWindow::CueLevelDone() {
  if (!IsModern()) {
    // The grid plays the level fanfare as the next level starts.
    cueText = "Level cleared!";
  } else if (static_cast<const OModVoxelMap*>(grid)->CountFrontBreakable() == 0) {
    cueText = "Stage cleared!";
    PlaySound(SND_STAGE_CLEAR);
  } else {
    cueText = "Time's up!";
    PlaySound(SND_TIME_UP);
  }
  cueMs = CUE_TIME;
}

std::string OGameWindow::BannerTitle() const {
  return Format(IsModern() ? "Stage %i" : "Level %i", levelIndex + 1);
}

std::string OGameWindow::BannerName() const { return GetLevelName(episodeIndex, levelIndex); }

i32 OGameWindow::SecondsLeft() const {
  if (grid == nullptr || !IsModern()) return 0;
  return grid->timer > 0 ? (grid->timer + 999) / 1000 : 0;
}

bool OGameWindow::InHurry() const {
  if (grid == nullptr || !IsModern()) return false;
  return grid->timer <= static_cast<const OModVoxelMap*>(grid)->HurryLimit();
}

void OGameWindow::DrawFeedback() {
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font == nullptr) return;
  auto centred = [font](const std::string& text, f32 y) {
    font->Print(static_cast<f32>((512 - font->TextWidth(text)) / 2), y, text, 0, true, 1.0f);
  };
  if (IsModern() && grid->status != MAP_GAME_OVER) {
    // Top centre, between the score and the spinning gun: the stage's seconds, red in the hurry-up.
    if (InHurry()) font->colour = OColor4(1.0f, 0.25f, 0.2f, 1.0f);
    centred(Format("Time: %i", SecondsLeft()), HUD_TOP_ROW);
    font->colour = OColor4(1.0f, 1.0f, 1.0f, 1.0f);
  }
  if (demoPlayer != nullptr) {
    font->colour = OColor4(1.0f, 0.85f, 0.3f, 0.6f + 0.4f * std::fabs(std::sin(GetTicks() * 0.0025f)));
    centred("Demo", HUD_BOTTOM_ROW);
  }
  if (grid->status == MAP_GAME_OVER) {
    font->colour = OColor4(1.0f, 1.0f, 1.0f, 1.0f);
    return;
  }
  if (cueMs > 0) {
    font->colour = OColor4(1.0f, 0.9f, 0.35f, std::min(1.0f, cueMs / 400.0f));
    centred(cueText, CAPTION_ROW);
  } else if (bannerMs > 0) {
    const f32 alpha = std::min(1.0f, bannerMs / 600.0f);
    font->colour = OColor4(1.0f, 1.0f, 1.0f, alpha);
    centred(BannerTitle(), CAPTION_ROW);
    font->colour = OColor4(0.65f, 0.85f, 1.0f, alpha);
    const std::string name = BannerName();
    if (!name.empty()) centred(name, CAPTION_ROW - 26.0f);
  }
  if (waitingMs >= LAUNCH_HINT_DELAY && demoPlayer == nullptr) {
    // A slow pulse, so the hint is seen without shouting.
    const f32 pulse = 0.7f + 0.3f * std::sin((waitingMs - LAUNCH_HINT_DELAY) * 0.004f);
    font->colour = OColor4(1.0f, 1.0f, 1.0f, pulse);
    centred("Click to launch", 150.0f);
  }
  font->colour = OColor4(1.0f, 1.0f, 1.0f, 1.0f);
}

void OGameWindow::StartDemo(i32 episode, i32 level) {
  if (app == nullptr) return;
  episodeIndex = episode;
  app->gameRequest = GAME_REQUEST_NEW;
  app->SwitchScreen(SCREEN_GAME);
  if (!HasGame() || OApplication::Current() != this) return;
  if (level > 0 && level < levelCount) {
    levelIndex = level;
    grid->SetLevel(episodeIndex, levelIndex);
    grid->StartLevel(levelIndex);
    Announce();
  }
  demoPlayer = new OAutoPlayer(*this, static_cast<u32>(Random()), false);
}

void OGameWindow::StopDemo() {
  if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
}

bool OGameWindow::CanPause() const {
  return grid != nullptr && !episodeComplete && grid->status != MAP_GAME_OVER;
}

void OGameWindow::SetPaused(bool on) {
  paused = on && CanPause() ? 1 : 0;
  if (!paused) pausedPicture.Forget();
}

void OGameWindow::Suspend() {
  // Keys held when the player went away are not held any more when they come back.
  heldKeys = 0;
  if (CanPause()) SetPaused(true);
}

bool OGameWindow::TrackMovementKey(const OInputEvent& event) {
  if (event.type != EV_KEYDOWN && event.type != EV_KEYUP) return false;
  u8 bit = 0;
  switch (event.key) {
    case VK_LEFT: case 'A': bit = BAT_KEY_LEFT; break;
    case VK_RIGHT: case 'D': bit = BAT_KEY_RIGHT; break;
    case VK_UP: case 'W': bit = BAT_KEY_UP; break;
    case VK_DOWN: case 'S': bit = BAT_KEY_DOWN; break;
    default: return false;
  }
  if (event.type == EV_KEYDOWN) {
    heldKeys |= bit;
  } else {
    heldKeys &= static_cast<u8>(~bit);
  }
  return true;
}

void OGameWindow::MoveByKeys(u32 elapsedMs) {
  if (heldKeys == 0 || bat == nullptr) return;
  const f32 percent = app != nullptr ? static_cast<f32>(app->shellSettings.keyboardSpeed) : 100.0f;
  const f32 step = BAT_KEY_SPEED * percent * 0.01f * static_cast<f32>(windowHeight) *
                   static_cast<f32>(elapsedMs);
  if (heldKeys & BAT_KEY_LEFT) pointerX -= step;
  if (heldKeys & BAT_KEY_RIGHT) pointerX += step;
  if (heldKeys & BAT_KEY_UP) pointerY -= step;
  if (heldKeys & BAT_KEY_DOWN) pointerY += step;
  pointerX = std::max(0.0f, std::min(pointerX, static_cast<f32>(windowWidth)));
  pointerY = std::max(0.0f, std::min(pointerY, static_cast<f32>(windowHeight)));
  bat->SetTarget(static_cast<i32>(pointerX), static_cast<i32>(pointerY));
}

bool OGameWindow::HandleInput(const OInputEvent& event) {
  if (demoPlayer != nullptr && !steering) {
    // Only the autoplayer plays a demo; the player's first key, click or button ends it.
    if (event.type == EV_KEYDOWN || event.type == EV_BUTTONDOWN) StopDemo();
    return true;
  }
  if (ORenderWindow::HandleInput(event)) return true;
  if (paused && grid != nullptr) {
    // P, Pause, Space, Enter or a click go on; Esc still leads to the menu (the game stays
    // paused there); the pointer moves nothing.
    const bool key = event.type == EV_KEYDOWN;
    if ((key && (event.key == 'P' || event.key == VK_PAUSE || event.key == VK_SPACE ||
                 event.key == VK_RETURN)) ||
        event.type == EV_BUTTONDOWN) {
      SetPaused(false);
      return true;
    }
    if (key && event.key == VK_ESCAPE && app != nullptr) {
      app->SwitchScreen(SCREEN_MENU);
      return true;
    }
    return false;
  }
  if (event.type == EV_KEYDOWN && (event.key == 'P' || event.key == VK_PAUSE) && CanPause()) {
    SetPaused(true);
    return true;
  }
  if (grid == nullptr) {
    // No game in memory: Esc still leads back to the menu.
    if (event.type == EV_KEYDOWN && event.key == VK_ESCAPE && app != nullptr) {
      app->SwitchScreen(SCREEN_MENU);
      return true;
    }
    return false;
  }
  if (event.type == EV_KEYDOWN && grid->status == MAP_GAME_OVER) {
    gameOverTimer = GAME_OVER_TIME;
    return false;
  }
  if (event.type == EV_KEYDOWN && event.key == VK_ESCAPE) {
    if (episodeComplete) {
      FinishGame();
    } else if (app != nullptr) {
      app->SwitchScreen(SCREEN_MENU);
    }
    return true;
  }
  // The bat follows the pointer over the whole window, where the scene is drawn; at another
  // sensitivity than 100 percent it follows the pointer's movement, scaled.
  if (event.type == EV_MOUSEMOVE) {
    const i32 sensitivity = app != nullptr ? app->shellSettings.mouseSensitivity : 100;
    if (sensitivity == 100) {
      pointerX = static_cast<u16>(event.x + viewLeft);
      pointerY = static_cast<u16>(event.y + viewTop);
    } else {
      const f32 k = static_cast<f32>(sensitivity) * 0.01f;
      pointerX += static_cast<f32>(static_cast<i16>(event.dx)) * k;
      pointerY += static_cast<f32>(static_cast<i16>(event.dy)) * k;
      pointerX = std::max(0.0f, std::min(pointerX, static_cast<f32>(windowWidth)));
      pointerY = std::max(0.0f, std::min(pointerY, static_cast<f32>(windowHeight)));
    }
    bat->SetTarget(static_cast<i32>(pointerX), static_cast<i32>(pointerY));
  }
  if (TrackMovementKey(event)) return true;
  // Space and Enter launch and fire as the left button does.
  const bool launchKey =
      event.type == EV_KEYDOWN && (event.key == VK_SPACE || event.key == VK_RETURN);
  if (event.type == EV_BUTTONDOWN || (launchKey && !episodeComplete)) {
    // The last life is gone and the grid reports game over on its next update: a ball
    // launched now would still be lost afterwards and take the lives below zero.
    if (bat->lives > 0) ballSet->Launch();
    bat->Fire();
  }
  if (event.type == EV_KEYDOWN && episodeComplete) {
    FinishGame();
    return false;
  }
  if (event.type == EV_KEYDOWN && event.key == VK_CONTROL && app != nullptr) app->Minimize(false);
  return false;
}

bool OGameWindow::OnCommand(u32, u32) { return true; }

void OGameWindow::EndGame() {
  currentTable = IsModern() ? &modernTable : &classicTable;
  if (app != nullptr) app->gameInProgress = 0;
  if (currentTable->Qualifies(bat->score)) {
    if (app != nullptr) app->SwitchScreen(SCREEN_SCORES);
  } else {
    bat->score = 0;
    if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
  }
}

void OGameWindow::AnimateGameOver(u32 elapsedMs) {
  if (gameOverTimer < GAME_OVER_GROW_TIME) {
    const f32 s = static_cast<f32>(gameOverTimer) / static_cast<f32>(GAME_OVER_GROW_TIME);
    gameOverModel.SetScale(s, s, s);
  } else {
    gameOverModel.SetScale(1.0f, 1.0f, 1.0f);
  }
  gameOverModel.TurnTo(0.0f, 1024.0f, 0.0f, gameOverModel.matrix.YAxis());
  swayAngle += SWAY_RATE * static_cast<f32>(elapsedMs);
  const f32 z = gameOverModel.Position().z;
  gameOverModel.TurnTo(4.0f * std::sin(swayAngle), 2.0f * std::cos(swayAngle), z - 4.0f,
                       -gameOverModel.matrix.ZAxis());
}

void OGameWindow::UndrawnFrame() {
  if (grid == nullptr || paused) return;
  if (grid->transition) {
    if (IsModern()) {
      auto* corridor = static_cast<OModVoxelMap*>(grid);
      if (corridor->advance <= STAGE_LAYERS * corridor->cellDepth) {
        if (bonusSet != nullptr) bonusSet->RemoveTnt();
        corridor->AdvanceStep();
      }
    } else {
      // The crossfade's steps without its drawing.
      f32& t = OVoxelMap::transitionProgress;
      t += TRANSITION_STEP;
      if (t > 1.0f) t = 1.0f;
      for (OBlock* b : grid->blocks) b->SetScale(1.0f - t, 1.0f - t, 1.0f - t);
      for (OBlock* b : grid->incoming) b->SetScale(t, t, t);
      if (t >= 1.0f) grid->FinishTransition();
    }
  }
  if (episodeComplete) {
    ClearResumeRecord();
    RainStep();
  }
}

bool OGameWindow::RainStep() {
  if (Random() % RAIN_MODULUS < RAIN_BELOW) {
    bonusSet->Celebrate();
    ++bonusRainCount;
  }
  if (bonusRainCount > BONUS_RAIN_COUNT) {
    bonusRainCount = 0;
    FinishGame();
    return true;
  }
  return false;
}

void OGameWindow::Draw() {
  if (grid == nullptr) return;
  if (paused) {
    DrawPaused();
    return;
  }
  DrawScene();
}

void OGameWindow::DrawPaused() {
  // The whole window in pixels, the same state for taking the picture and for giving it back.
  auto wholeWindow2D = [this] {
    glViewport(0, 0, windowWidth, windowHeight);
    Ortho2D(static_cast<u16>(windowWidth), static_cast<u16>(windowHeight));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  };
  const u64 generation = (static_cast<u64>(static_cast<u16>(windowWidth)) << 16) |
                         static_cast<u16>(windowHeight);
  wholeWindow2D();
  if (pausedPicture.Matches(generation)) {
    pausedPicture.Restore();
  } else {
    // One more frame of the scene as it stands (the first paused frame, or a new window size),
    // kept from then on: drawing it again would step the crossfade and the corridor.
    DrawScene();
    wholeWindow2D();
    pausedPicture.Capture(generation, true);
  }

  ApplyOverlayViewport();
  Ortho2D(overlayWidth, overlayHeight);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.0f, 0.0f, 0.0f, 0.55f);
  glRectf(0.0f, 200.0f, 512.0f, 312.0f);
  glDisable(GL_BLEND);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font != nullptr) {
    glEnable(GL_TEXTURE_2D);
    const std::string caption = "Paused";
    font->Print((512.0f - font->TextWidth(caption)) / 2.0f, 258.0f, caption, 0, true, 1.0f);
    const std::string hint = "Press P or click to go on - Esc for the menu";
    font->Print((512.0f - font->TextWidth(hint) * 0.5f) / 2.0f, 222.0f, hint, 0, true, 0.5f);
  }
  glEnable(GL_LIGHTING);
}

namespace {
// Whether a sphere (world units) keeps inside the side walls and in front of the far wall. The
// field is open toward the eye: nothing on that side stands behind a wall.
bool InsideWalls(const OVector& c, f32 r, const OVector& min, const OVector& max) {
  return c.x - r >= min.x && c.x + r <= max.x && c.y - r >= min.y && c.y + r <= max.y &&
         c.z + r <= max.z;
}
}  // namespace

bool OGameWindow::AnythingBeyondTheWalls() const {
  if (episodeComplete || grid->status == MAP_GAME_OVER || bat->gunAmmo > 0) return true;
  if (!bulletSet->bullets.empty() || GetFireworkPool().ActiveCount() > 0 ||
      GetParticleList().Count() > 0) {
    return true;
  }
  OVector min, max;
  grid->GetFieldBox(min, max);
  for (const OBonus* b : bonusSet->active) {
    // A spinning bonus reaches as far as its farthest corner in any direction.
    const f32 reach = std::max(b->localMin.Length(), b->localMax.Length());
    if (!InsideWalls(b->WorldPosition(), reach, min, max)) return true;
  }
  for (const O3D* member : spriteList->members) {
    // A clip is a square turned to the eye: its corners lie half a diagonal from its centre.
    const OClip* clip = dynamic_cast<const OClip*>(member);
    if (clip == nullptr || !InsideWalls(clip->WorldPosition(), clip->halfSize * 1.415f, min, max)) {
      return true;
    }
  }
  const bool batInside = bat->boxMin.x >= min.x && bat->boxMax.x <= max.x &&
                         bat->boxMin.y >= min.y && bat->boxMax.y <= max.y;
  return !batInside && bat->boxMax.z > min.z;
}

void OGameWindow::DrawScene() {
  PlaceCamera();
  gameCamera.viewportX = 0;
  gameCamera.viewportY = 0;
  gameCamera.Apply(windowWidth, windowHeight);
  if (light != nullptr) light->Disable();
  gameLight.SetColor(GL_AMBIENT, 1.0f, 1.0f, 1.0f, 1.0f);
  gameLight.SetPosition(0.0f, 0.0f, -4.0f);
  gameLight.Apply();

  grid->wallsMayHide = AnythingBeyondTheWalls();
  grid->Draw();
  bonusSet->Draw();
  bulletSet->Draw();
  GetFireworkPool().Draw();
  GetParticleList().Draw();

  if (episodeComplete) {
    if (demoPlayer == nullptr) ClearResumeRecord();
    DrawEpisodeComplete();
    return;
  }
  if (grid->status == MAP_GAME_OVER) {
    gameOverModel.Draw();
    DrawHud();
    return;
  }
  ballSet->Draw();
  bat->Draw();
  glEnable(GL_TEXTURE_2D);
  spriteList->Draw(gameCamera);
  DrawHud();
}

void OGameWindow::DrawHud() {
  bat->ClearActiveBonuses();
  if (bat->gunAmmo > 0) {
    OBonus* gun = bonusSet->templates[BONUS_GUN];
    // The template doubles as the falling bonus: it is only borrowed while none is in play.
    if (gun != nullptr && !bonusSet->IsActive(gun)) {
      gun->SetPosition(HUD_GUN_X, HUD_GUN_Y, 0.0f);
      gun->RotateAxis(HUD_GUN_SPIN, {1.0f, 1.0f, 1.0f});
      gun->Draw();
    }
    bat->SetActiveBonus(BONUS_GUN);
  }
  if (ballSet->FirstBallHeavy()) bat->SetActiveBonus(BONUS_HEAVY);
  if (bat->slowTime > 0) bat->SetActiveBonus(BONUS_SLOW);

  OFont* font = app != nullptr ? app->font : nullptr;
  if (font != nullptr) {
    ApplyOverlayViewport();
    Ortho2D(overlayWidth, overlayHeight);
    glEnable(GL_TEXTURE_2D);
    const std::string score = Format("|%i", bat->score);
    font->Print(HUD_RIGHT - font->TextWidth(score), HUD_TOP_ROW, score, 0, true, 1.0f);
    font->colour = OColor4(1.0f, 1.0f, 1.0f, 1.0f);
    font->Print(HUD_LEFT, HUD_BOTTOM_ROW, Format("{%i", bat->lives), 0, true, 1.0f);
    const std::string level = Format("Level: %i", levelIndex + 1);
    font->Print(HUD_RIGHT - font->TextWidth(level), HUD_BOTTOM_ROW, level, 0, true, 1.0f);
    DrawFeedback();
  }
  glEnable(GL_LIGHTING);
}

void OGameWindow::DrawEpisodeComplete() {
  if (RainStep()) return;
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font == nullptr) return;
  ApplyOverlayViewport();
  Ortho2D(overlayWidth, overlayHeight);
  glEnable(GL_TEXTURE_2D);
  const std::string caption = "Episode Complete!";
  const f32 x = static_cast<f32>((512 - font->TextWidth(caption)) / 2);
  font->Print(x, CAPTION_ROW, caption, 0, true, 1.0f);
  glEnable(GL_LIGHTING);
}
