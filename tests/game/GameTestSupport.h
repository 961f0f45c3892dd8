#pragma once
// The game screen in an application with stand-in menu and high-score screens, on a real context
// with the game's archive, every sound played logged. Nothing is drawn unless a test draws.
#include <filesystem>
#include <string>
#include <vector>

#include "assets/Resource.h"
#include "effects/FireworkPool.h"
#include "effects/ParticleList.h"
#include "game/GameWindow.h"
#include "objects/Ball.h"
#include "objects/Player.h"
#include "playfield/Block.h"
#include "playfield/Levels.h"
#include "playfield/VoxelMap.h"
#include "scene/Font.h"
#include "shell/Application.h"
#include "core/Config.h"
#include "support/GLContext.h"
#include "support/InputEvents.h"
#include "support/SoundLog.h"
#include "support/TestSupport.h"

// Everything a game needs, in the order it must be torn down (last member first).
struct GameRig {
  ScratchDir dir;
  TestGLWindow window;
  OApplication* app = nullptr;
  OGameWindow* game = nullptr;

  // False (test skipped by the caller) without a display or without the built game's archive.
  bool Open(bool withFont = false) {
    if (!HaveDisplay() || !window.Open()) return false;
    const std::string archive = std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr";
    if (!FileExists(archive)) return false;
    std::filesystem::create_symlink(archive, "Data/Resource.Tkr");
    if (!GetResource().Open()) return false;
    GetConfig() = OConfig();
    GetConfig().musicOn = 0;
    ListenToSounds();
    GetParticleList().Clear();
    GetFireworkPool().Clear();
    app = new OApplication;
    app->width = 640;
    app->height = 480;
    app->gameSpeed = 125;
    if (withFont) {
      app->font = new OFont("Font.Tga");
      app->font->Build(65534);
    }
    app->AddScreen(new ORenderWindow(SCREEN_MENU));
    app->AddScreen(new ORenderWindow(SCREEN_SCORES));
    game = new OGameWindow;
    return app->AddScreen(game);
  }

  ~GameRig() {
    SetObjectSoundListener(nullptr);
    if (app != nullptr) app->Unload();  // leaves the current screen, deletes the screens
    delete app;
    GetParticleList().Clear();
    GetFireworkPool().Clear();
  }

  // Starts a game the way the episode selection does.
  void NewGame(i32 episode) {
    game->episodeIndex = episode;
    app->gameRequest = GAME_REQUEST_NEW;
    app->SwitchScreen(SCREEN_GAME);
  }

  // Ticks of `ms` with the frame's non-drawing steps, as the autoplayer runs them.
  void Run(int ticks, u32 ms = 16) {
    for (int i = 0; i < ticks; ++i) {
      game->Update(ms);
      game->UndrawnFrame();
    }
  }

  // Lets the classic crossfade (or the corridor's first advance) finish.
  void SettleLevel() {
    for (int i = 0; i < 2000 && game->grid->transition; ++i) Run(1);
  }

  // A new game of the episode, its first level in place.
  void StartSettled(i32 episode) {
    NewGame(episode);
    SettleLevel();
  }

  // Clears the last level of a new game of the episode: "Episode Complete!" from the next tick.
  void ClearLastLevel(i32 episode) {
    StartSettled(episode);
    game->levelIndex = game->levelCount - 1;
    game->grid->DeleteBlocks(game->grid->blocks);
  }

  u32 Current() const {
    const ORenderWindow* screen = OApplication::Current();
    return screen != nullptr ? screen->id : 0;
  }

  void Key(u16 key) { game->HandleInput(MakeEvent(EV_KEYDOWN, key)); }

  // Deletes the corridor's front-stage breakable bricks, so the next tick finds the stage cleared.
  void ClearFrontStage() {
    OVoxelMap& grid = *game->grid;
    std::vector<OBlock*> front, rest;
    for (OBlock* b : grid.blocks)
      (b->IsBreakable() && b->layerIndex < grid.frontLayer + STAGE_LAYERS ? front : rest).push_back(b);
    grid.blocks = rest;
    OVoxelMap::DeleteBlocks(front);
  }

  // Puts the only ball behind the bat, launched, so the next tick loses it.
  void LoseBall() {
    OBallSet& set = *game->ballSet;
    set.launched = 1;
    while (set.balls.size() > 1) {
      delete set.balls.back();
      set.balls.pop_back();
    }
    set.balls[0]->SetPosition(0.0f, 0.0f, -20.0f);
    set.balls[0]->velocity = {0.0f, 0.0f, -1.0f};
  }
};
