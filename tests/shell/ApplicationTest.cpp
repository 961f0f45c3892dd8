#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "TestSupport.h"
#include "support/InputEvents.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "shell/Application.h"
#include "core/Config.h"
#include "shell/RenderWindow.h"

namespace {

// A screen that records the calls the application makes on it.
class Recorder : public ORenderWindow {
public:
  explicit Recorder(u32 id) : ORenderWindow(id) {}
  void Enter() override { calls.push_back("Enter"); }
  void Leave() override { calls.push_back("Leave"); }
  bool Load() override {
    calls.push_back("Load");
    return id != 999;
  }
  bool HandleInput(const OInputEvent&) override {
    calls.push_back("Input");
    return true;
  }
  std::vector<std::string> calls;
};

}  // namespace

TEST(Application, ScreenManagement) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  OApplication app;
  auto* a = new Recorder(201);
  auto* b = new Recorder(202);
  auto* bad = new Recorder(999);
  EXPECT_TRUE(app.AddScreen(a));
  EXPECT_TRUE(app.AddScreen(a));  // a second add changes nothing
  EXPECT_EQ(a->calls, (std::vector<std::string>{"Load"}));
  app.AddScreen(b);
  EXPECT_FALSE(app.AddScreen(bad));  // the screen's own Load result

  EXPECT_TRUE(app.SwitchScreen(201));
  EXPECT_TRUE(app.SwitchScreen(202));
  EXPECT_EQ(a->calls.back(), "Leave");
  EXPECT_EQ(OApplication::Current(), b);
  EXPECT_FALSE(app.SwitchScreen(205));  // no such screen: none is current
  EXPECT_EQ(OApplication::Current(), nullptr);

  // Input always moves the game's cursor, drawn or not, and goes to the current screen only.
  app.cursor = new OCursor("Cursor.Tga");
  app.cursorVisible = 0;
  const OInputEvent e = MakeEvent(EV_KEYDOWN, 0, 33, 44);
  EXPECT_FALSE(app.HandleInput(e));  // nothing current
  EXPECT_EQ(app.cursor->x, 33);
  app.SwitchScreen(202);
  EXPECT_TRUE(app.HandleInput(e));
  EXPECT_EQ(b->calls.back(), "Input");

  app.width = 1024;
  app.height = 768;
  app.Resize();  // every screen learns the new size
  EXPECT_EQ(bad->height, 768);
  app.Unload();
  EXPECT_TRUE(app.screens.empty());
}

// Minimising silences effects and stops the music; restoring follows the configuration.
TEST(Application, ActivationFollowsConfiguration) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  OApplication app;
  app.soundPlayer->on = 1;
  app.musicPlayer->playing = 1;
  app.Deactivate();
  EXPECT_EQ(app.soundPlayer->on, 0);
  EXPECT_EQ(app.musicPlayer->playing, 0);
  EXPECT_EQ(app.active, 1);  // the window's own flag is left alone

  GetConfig().soundOn = 1;
  GetConfig().musicOn = 0;
  app.Activate();
  EXPECT_EQ(app.soundPlayer->on, 1);
  EXPECT_EQ(app.musicPlayer->playing, 0);  // music off: stays stopped
  GetConfig().musicOn = 1;
  app.Activate();
  EXPECT_EQ(app.musicPlayer->playing, 1);
}

// Applications come and go in one process (tests, a display re-creation) without touching a
// pointer that no longer exists.
TEST(Application, SeveralInOneProcess) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs a display");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  for (int i = 0; i < 3; ++i) {
    ScratchDir dir;
    WriteFile("Data/Config.Cfg", "0\n32\n10\n2\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0");
    MessageRecorder boxes;
    OApplication app;
    GetConfig().Reset();
    EXPECT_TRUE(app.Create("3D", "Brikon 3D 2.0", 640, 480, true));
    EXPECT_EQ(app.pointerCounter, -1);  // the system pointer stays hidden
  }
}
