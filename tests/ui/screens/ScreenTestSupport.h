#pragma once
// The menu screens in a real application window, with the game's archive and a stand-in game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include "assets/ModelCache.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "game/Top.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "shell/Application.h"
#include "core/Config.h"
#include "support/GLContext.h"
#include "support/InputEvents.h"
#include "support/TestSupport.h"
#include "ui/screens/GameLink.h"
#include "ui/screens/MenuWindow.h"
#include "ui/screens/ScoreWindow.h"
#include "ui/screens/SelectWindow.h"

namespace screens_test {

// A screen that only counts how often it was entered.
class StubScreen : public ORenderWindow {
public:
  explicit StubScreen(u32 id) : ORenderWindow(id) {}
  void Enter() override {
    ORenderWindow::Enter();
    ++entered;
  }
  void Draw() override {}
  int entered = 0;
};

// The game screen as the menu screens see it.
class FakeGame : public StubScreen, public OGameLink {
public:
  FakeGame() : StubScreen(SCREEN_GAME), classic("Data/Classic.Top", 10), modern("Data/Modern.Top", 10) {
    classic.Reset();
    modern.Reset();
  }
  void SetEpisode(i32 e) override { episode = e; }
  i32 Episode() const override { return episode; }
  i32 Score() const override { return score; }
  void SetScore(i32 s) override { score = s; }
  u32 LevelState() const override { return state; }
  OTop* ClassicTable() override { return &classic; }
  OTop* ModernTable() override { return &modern; }

  i32 episode = -1;
  i32 score = 0;
  u32 state = 0;
  OTop classic;
  OTop modern;
};

// Window pixels (y down) of an overlay point on the 640 x 480 window.
inline OInputEvent At(u32 type, f32 vx, f32 vy) {
  return MakeEvent(type, 0, static_cast<u16>(vx * 640.0f / 512.0f),
                   static_cast<u16>((512.0f - vy) * 480.0f / 512.0f));
}

inline OInputEvent KeyDown(u16 key) { return MakeEvent(EV_KEYDOWN, key); }

// Near-white pixels of a frame: titles and headings (the backgrounds are dark).
inline int WhitePixels(const std::vector<u8>& rgb) {
  int n = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) n += rgb[i] > 230 && rgb[i + 1] > 230 && rgb[i + 2] > 230;
  return n;
}

// One application with all six screens, the menu current; each TEST runs in a process of its own.
class ScreensTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    WriteFile("Data/Config.Cfg", WindowedConfigText());
    app.Create("3D", "Brikon 3D test", 640, 480, false);
    ASSERT_TRUE(app.HasContext() && app.MakeCurrent());
    std::filesystem::create_symlink(std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr",
                                    "Data/Resource.Tkr");
    ASSERT_TRUE(GetResource().Open());
    GetModelCache().detail = 2;
    // The process-wide texture cache may keep a quality an earlier test chose in Options.
    GetTextureCache().quality = GetConfig().textureQuality;

    // The application owns these from here on.
    ASSERT_TRUE(app.LoadFont("Font.Tga"));
    app.camera = new OCamera(640, 480, 60.0f, 1.0f, 1024.0f);
    app.camera->SetPosition(0.0f, 0.0f, -64.0f);
    app.camera->LookAt(0.0f, 0.0f, 0.0f);
    app.light = new OLight(0);
    sound = app.soundPlayer;
    sound->Init(true);
    sound->Register(SND_CLICK_MENU, std::string(BRIKON_GAME_DIR) + "/Data/Sounds/click_menu.wav");

    BeforeLoad();
    menu = new OMenuWindow();
    game = new FakeGame();
    options = MakeOptions();
    help = MakeHelp();
    scores = new OScoreWindow();
    select = new OSelectWindow();
    for (ORenderWindow* s : std::vector<ORenderWindow*>{menu, game, options, help, scores, select}) {
      ASSERT_TRUE(app.AddScreen(s));
      s->SetBackground(s == menu ? "Menu.jpg" : "SBackTex.jpg");
    }
    scores->game = game;
    select->game = game;
    app.SwitchScreen(SCREEN_MENU);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }

  // Runs before the screens load: the place to change the stored configuration.
  virtual void BeforeLoad() {}
  // The options and help screens: stand-ins unless a test brings the real ones.
  virtual ORenderWindow* MakeOptions() { return new StubScreen(SCREEN_OPTIONS); }
  virtual ORenderWindow* MakeHelp() { return new StubScreen(SCREEN_HELP); }

  bool Send(const OInputEvent& e) { return OApplication::Current()->HandleInput(e); }
  // A left click: press and release at the same overlay point.
  void Click(f32 vx, f32 vy) {
    Send(At(EV_MOUSEMOVE, vx, vy));
    Send(At(EV_BUTTONDOWN, vx, vy));
    Send(At(EV_BUTTONUP, vx, vy));
  }
  // A key as the window delivers it: the key-down (whose answer is returned), then for Backspace,
  // Tab, Enter and Esc also the character.
  bool Press(u16 key) {
    const bool used = Send(KeyDown(key));
    if (key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) {
      Send(MakeEvent(EV_CHAR, key));
    }
    return used;
  }
  void Type(const std::string& text) {
    for (char c : text) Send(MakeEvent(EV_CHAR, static_cast<u8>(c)));
  }
  // One frame as the application draws it.
  void Frame(u32 elapsedMs = 16) {
    app.ClearFrame();
    app.UpdateScreen(elapsedMs);
    app.DrawScreen();
    glFinish();
  }
  bool QuitPosted() {
    SDL_PumpEvents();
    SDL_Event e;
    return SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT) > 0;
  }
  bool ClickSounding() const { return sound->IsPlaying(SND_CLICK_MENU); }
  // Stops whatever sounds, so that the next check sees only what comes after.
  void Silence() {
    sound->Init(false);
    sound->Init(true);
  }

  ScratchDir dir;  // first in, last out: everything below lives in it
  MessageRecorder recorder;
  OApplication app;  // owns the screens and deletes them before its window goes
  OSoundPlayer* sound = nullptr;
  OMenuWindow* menu = nullptr;
  FakeGame* game = nullptr;
  ORenderWindow* options = nullptr;
  ORenderWindow* help = nullptr;
  OScoreWindow* scores = nullptr;
  OSelectWindow* select = nullptr;
};

}  // namespace screens_test
