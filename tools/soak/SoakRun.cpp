#include "SoakRun.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "audio/MusicPlayer.h"
#include "game/AutoPlayer.h"
#include "game/GameWindow.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"
#include "core/Config.h"
#include "core/Input.h"
#include "app/Odizovid.h"
#include "shell/RenderWindow.h"
#include "ui/screens/MenuWindow.h"
#include "ui/screens/SelectWindow.h"

namespace {

// Game time of one tick, ms: about one frame of the game at 60 frames a second.
constexpr u32 TICK_MS = 16;
// Game time an episode keeps after its last level for the "Episode Complete!" bonus rain (about
// 8 s) and a lost game's ten seconds of "Game Over" (ms).
constexpr i64 EPISODE_END_RESERVE_MS = 20000;
// A level is played at least this long before the soak moves on (ms).
constexpr i64 MIN_LEVEL_MS = 1000;
// A level still going this long after its share is stuck (ms).
constexpr i64 STUCK_MS = 60000;
// Frames drawn of a menu screen on the way from one game to the next.
constexpr int SCREEN_FRAMES = 30;
// What the soak types on the high-score screen.
const char* const SOAK_NAME = "Soak";

bool Finite(const OVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Send(OApplication& app, u32 type, u16 key) {
  OInputEvent e;
  e.type = type;
  e.key = key;
  app.HandleInput(e);
}

std::string Where(i32 episode, i32 level) {
  return "episode " + std::to_string(episode) + " level " + std::to_string(level + 1);
}

}  // namespace

OSoakRun::OSoakRun(ROdizovid& a, const OSoakOptions& o, OSoakRecord& r)
    : app(a), game(*static_cast<OGameWindow*>(a.game)), options(o), record(r) {
  wallStart = WallSeconds();
}

OSoakRun::~OSoakRun() = default;

u32 OSoakRun::CurrentScreen() const {
  const ORenderWindow* screen = OApplication::Current();
  return screen != nullptr ? screen->id : 0;
}

void OSoakRun::Run() {
  const i64 totalMs = static_cast<i64>(options.minutes * 60000.0);
  const i64 share = std::max<i64>(1, totalMs / (EPISODE_COUNT * std::max<u32>(1, options.rounds)));
  Sample();
  for (i32 episode = 0; runMs < totalMs && record.errors.empty();
       episode = (episode + 1) % EPISODE_COUNT) {
    PlayEpisode(episode, std::min(totalMs, runMs + share));
  }
  Sample();
  record.endKb = ResidentKb();
  if (record.startKb == 0) record.startKb = record.endKb;
}

void OSoakRun::NewPlayer() {
  player = std::make_unique<OAutoPlayer>(game, options.seed + static_cast<u32>(players++), drawing);
  player->tickMs = TICK_MS;
}

void OSoakRun::PlayEpisode(i32 episode, i64 endMs) {
  app.SwitchScreen(SCREEN_SELECT);
  ShowScreen(SCREEN_FRAMES);
  app.select->OnCommand(CMD_EPISODE_FIRST + static_cast<u32>(episode), 0);
  if (CurrentScreen() != SCREEN_GAME || !game.HasGame() || game.episodeIndex != episode) {
    record.Error("the episode selection did not start episode " + std::to_string(episode));
    return;
  }
  ++record.episodesStarted;
  const i64 drawnEnd = runMs + static_cast<i64>(options.drawnSeconds * 1000.0);
  // Each level gets an equal part of what is left of the episode's share.
  auto levelShare = [&](i32 level) {
    const i64 left = endMs - EPISODE_END_RESERVE_MS - runMs;
    return std::max(MIN_LEVEL_MS, left / std::max(1, game.levelCount - level));
  };
  drawing = runMs < drawnEnd;
  NewPlayer();
  i32 level = game.levelIndex;
  ++record.levelsPlayed;
  i64 levelStart = runMs;
  i64 levelMs = levelShare(level);
  bool ended = false;
  while (runMs < endMs && record.errors.empty()) {
    if (player->GameEnded()) {
      const bool complete = game.episodeComplete != 0;
      AfterGame();
      ended = true;
      if (complete || !record.errors.empty()) break;
      ++record.gamesLost;
      if (!ResumeAt(episode, level)) break;
      ++record.levelsPlayed;
      levelStart = runMs;
      levelMs = levelShare(level);
      continue;
    }
    drawing = runMs < drawnEnd;
    OVoxelMap& grid = *game.grid;
    // A level that has had its time ends as the next-level bonus ends it: the bat applies the
    // caught bonus in its tick and the game goes on to the next level by its own rules.
    bool movedOn = false;
    if (runMs - levelStart >= levelMs && grid.status == MAP_PLAYING && !grid.transition &&
        !game.episodeComplete && game.bat->caughtBonus == nullptr) {
      game.bat->caughtBonus = game.bonusSet->templates[BONUS_NEXT_LEVEL];
      movedOn = true;
    }
    Tick(drawing);
    if (!game.HasGame()) continue;
    if (game.levelIndex != level) {
      if (movedOn) {
        ++record.levelsMovedOn;
      } else {
        ++record.levelsEndedInPlay;
      }
      if (record.startKb == 0) record.startKb = ResidentKb();
      level = game.levelIndex;
      if (game.episodeComplete) ++record.episodesCompleted;
      if (level < game.levelCount) {
        ++record.levelsPlayed;
        levelStart = runMs;
        levelMs = levelShare(level);
      }
    } else if (runMs - levelStart > levelMs + STUCK_MS && !game.episodeComplete &&
               grid.status != MAP_GAME_OVER) {
      record.Error(Where(episode, level) + " did not end after the next-level bonus");
    }
  }
  if (!ended && CurrentScreen() == SCREEN_GAME) {
    // Time is up in the middle of the game: the player leaves with Esc, as one would. On the
    // "Episode Complete!" screen that ends the game, which may go on to the high scores.
    Send(app, EV_KEYDOWN, VK_ESCAPE);
    // On the "Game Over" screen a key only cuts the sequence short: the next tick ends the game.
    if (game.HasGame() && game.grid->status == MAP_GAME_OVER && !player->GameEnded()) Tick(false);
    if (player->GameEnded()) {
      AfterGame();
    } else if (CurrentScreen() != SCREEN_MENU) {
      record.Error("Esc did not leave the game for the menu");
    }
  }
  player.reset();
  OSoakSample end;
  end.gameSeconds = runMs / 1000.0;
  end.episode = episode;
  end.level = level;
  end.residentKb = ResidentKb();
  HeapKb(end.heapInUseKb, end.heapFreeKb);
  record.episodeEnds.push_back(end);
  // Each episode's first play brings what only it uses (its models' display lists, the driver's
  // code for states first met there) and lets the heap's kept top fill: with several rounds the
  // memory is judged from the end of the first one, when all of that has happened.
  if (options.rounds >= 2 && record.episodeEnds.size() == static_cast<size_t>(EPISODE_COUNT)) {
    record.startKb = end.residentKb;
    record.startWhen = "after every episode's first play";
  }
}

void OSoakRun::Tick(bool draw) {
  if (draw) {
    // What the main loop's frame does around the screen's own drawing.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
  }
  player->drawing = draw;
  player->Tick();
  if (draw) {
    app.Present();
    ++record.drawnTicks;
  }
  // The main loop starts the next music track when one has ended.
  if (trackEnded.load()) app.musicPlayer->PlayNext();
  runMs += TICK_MS;
  ++record.ticks;
  record.gameSeconds = static_cast<double>(runMs) / 1000.0;
  Check();
  if (runMs >= nextSampleMs) Sample();
}

void OSoakRun::ShowScreen(int frames) {
  for (int i = 0; i < frames; ++i) app.Frame(TICK_MS);
}

void OSoakRun::AfterGame() {
  if (CurrentScreen() == SCREEN_SCORES) {
    ShowScreen(SCREEN_FRAMES);
    // A qualifying score waits for a name; Esc records it and goes back to the menu.
    for (const char* c = SOAK_NAME; *c != '\0'; ++c) Send(app, EV_CHAR, static_cast<u16>(*c));
    Send(app, EV_KEYDOWN, VK_ESCAPE);
    ++record.namesEntered;
  }
  if (CurrentScreen() != SCREEN_MENU) {
    record.Error("the ended game did not lead back to the menu");
    return;
  }
  ShowScreen(SCREEN_FRAMES);
}

bool OSoakRun::ResumeAt(i32 episode, i32 level) {
  // The record a game left in the middle of a level would hold, taken up by the menu's button.
  OConfig& config = GetConfig();
  config.savedEpisode = static_cast<u32>(episode);
  config.savedLevel = static_cast<u32>(level);
  config.savedScore = 0;
  config.savedLives = START_LIVES;
  app.savedGameAvailable = 1;
  app.menu->OnCommand(CMD_MENU_CONTINUE, 0);
  if (CurrentScreen() != SCREEN_GAME || !game.HasGame() || game.levelIndex != level) {
    record.Error("the menu did not resume " + Where(episode, level));
    return false;
  }
  NewPlayer();
  return true;
}

void OSoakRun::Check() {
  if (!game.HasGame()) return;
  const std::string where = Where(game.episodeIndex, game.levelIndex);
  for (const OBall* b : game.ballSet->balls) {
    if (!Finite(b->Position()) || !Finite(b->velocity)) {
      record.Error("a ball left the numbers in " + where);
      return;
    }
  }
  if (!Finite(game.bat->Position())) record.Error("the bat left the numbers in " + where);
  if (game.bat->lives < 0) record.Error("lives below zero in " + where);
}

void OSoakRun::Sample() {
  OSoakSample s;
  s.gameSeconds = static_cast<double>(runMs) / 1000.0;
  s.wallSeconds = WallSeconds() - wallStart;
  s.episode = game.episodeIndex;
  s.level = game.levelIndex;
  s.ticks = record.ticks;
  s.drawing = drawing;
  s.residentKb = ResidentKb();
  record.wallSeconds = s.wallSeconds;
  record.Add(s);
  nextSampleMs = runMs + static_cast<i64>(options.everySeconds * 1000.0);
}
