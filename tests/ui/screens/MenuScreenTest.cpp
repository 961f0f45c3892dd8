// The main menu: when Continue may be used, the keyboard, the title and the demo's idle count.
#include "ScreenTestSupport.h"
#include "ui/controls/Button.h"
#include "ui/controls/Button2D.h"

using namespace screens_test;

namespace {

// The centre of Continue's hit rectangle, overlay units.
constexpr f32 CONTINUE[2] = {255, 350};

class MenuScreen : public ScreensTest {};

class MenuWithSavedGame : public ScreensTest {
protected:
  void BeforeLoad() override {
    GetConfig().savedLevel = 3;
    GetConfig().savedLives = 2;
  }
};

}  // namespace

TEST_F(MenuWithSavedGame, ASavedGameIsResumedBeforeOneInMemory) {
  // The stored resume record makes Continue usable from the start.
  EXPECT_EQ(app.savedGameAvailable, 1u);
  EXPECT_FALSE(menu->continueButton->disabled);
  app.gameInProgress = 1;
  app.gameRequest = GAME_REQUEST_NEW;
  Frame();
  Click(CONTINUE[0], CONTINUE[1]);
  EXPECT_EQ(OApplication::Current(), game);
  EXPECT_EQ(app.gameRequest, GAME_REQUEST_RESUME);
  EXPECT_EQ(app.savedGameAvailable, 0u);
  // Back on the menu, the game in memory is what Continue offers now.
  app.SwitchScreen(SCREEN_MENU);
  EXPECT_FALSE(menu->continueButton->disabled);
  Click(CONTINUE[0], CONTINUE[1]);
  EXPECT_EQ(OApplication::Current(), game);
  EXPECT_EQ(app.gameRequest, GAME_REQUEST_CONTINUE);
}

// With nothing to continue, the keyboard walks and works the buttons. The menu's own time turns
// the title and counts the idle time before the demo: input or coming back starts the count
// again, and a game of the player's in memory is never replaced by one.
TEST_F(MenuScreen, NothingToContinueTheKeyboardTitleAndIdleCount) {
  Frame();
  // Nothing in memory, nothing saved: Continue is disabled. The focus starts on New; Tab walks the
  // buttons top to bottom and wraps, passing Continue; Up and Shift+Tab walk back.
  EXPECT_TRUE(menu->continueButton->disabled);
  EXPECT_TRUE(menu->focused == menu->newButton && menu->newButton->highlighted);
  OButton2D* order[] = {menu->optionsButton, menu->topButton, menu->helpButton,
                        menu->exitButton,    menu->newButton};
  for (OButton2D* expected : order) {
    Press(VK_TAB);
    EXPECT_TRUE(menu->focused == expected && expected->highlighted);
  }
  Press(VK_UP);
  EXPECT_TRUE(menu->focused == menu->exitButton && menu->exitButton->highlighted);
  OInputEvent shiftTab = KeyDown(VK_TAB);
  shiftTab.keyFlags = MK_SHIFT;
  Send(shiftTab);
  EXPECT_TRUE(menu->focused == menu->helpButton && !menu->exitButton->highlighted);
  // Esc does not quit: it saves the settings and gives Exit the focus...
  std::remove("Data/Config.Cfg");
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_TRUE(FileExists("Data/Config.Cfg"));
  EXPECT_EQ(menu->focused, menu->exitButton);
  EXPECT_FALSE(QuitPosted());
  // ...so that a following Enter quits.
  Press(VK_RETURN);
  EXPECT_TRUE(QuitPosted());
  // Ctrl minimises the window and leaves the key to others, on every menu screen alike.
  for (u32 id : {SCREEN_MENU, SCREEN_SELECT, SCREEN_SCORES}) {
    app.SwitchScreen(id);
    app.active = 1;
    EXPECT_FALSE(Send(KeyDown(VK_CONTROL))) << id;
    EXPECT_EQ(app.active, 0) << id;
  }

  app.SwitchScreen(SCREEN_MENU);
  const f32 start = menu->angle;
  Frame(1000);
  EXPECT_NE(menu->angle, start);
  const f32 angle = menu->angle;
  app.SwitchScreen(SCREEN_SCORES);
  Frame(1000);
  EXPECT_EQ(menu->angle, angle);

  app.SwitchScreen(SCREEN_MENU);
  for (const OInputEvent& e : {At(EV_MOUSEMOVE, 100, 100), KeyDown('A')}) {
    menu->idleMs = 0;
    for (int i = 0; i < 10; ++i) menu->Update(100);
    EXPECT_EQ(menu->idleMs, 1000) << e.type;
    Send(e);
    EXPECT_EQ(menu->idleMs, 0) << e.type;
  }
  menu->idleMs = 5000;
  app.SwitchScreen(SCREEN_SCORES);
  app.SwitchScreen(SCREEN_MENU);
  EXPECT_EQ(menu->idleMs, 0);

  app.gameInProgress = 1;
  menu->idleMs = DEMO_IDLE_TIME - 10;
  menu->Update(100);
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_GE(menu->idleMs, DEMO_IDLE_TIME) << "the count goes on, the demo waits";
}

