// The main menu counts the time it is left alone, for the demo: every kind of input starts the
// count again, and a game of the player's in memory is never replaced by one.
#include "ScreenTestSupport.h"

using namespace screens_test;

namespace {
class MenuIdle : public ScreensTest {};
}  // namespace

TEST_F(MenuIdle, AnyInputRestartsTheCount) {
  struct Case {
    const char* what;
    OInputEvent event;
  };
  const Case cases[] = {
      {"a pointer move", At(EV_MOUSEMOVE, 100, 100)},
      {"a click", At(EV_BUTTONDOWN, 10, 10)},
      {"a key", KeyDown('A')},
      {"a character", MakeEvent(EV_CHAR, 'a')},
  };
  for (const Case& c : cases) {
    menu->idleMs = 0;
    for (int i = 0; i < 10; ++i) menu->Update(100);
    EXPECT_EQ(menu->idleMs, 1000) << c.what;
    Send(c.event);
    if (OApplication::Current() != menu) app.SwitchScreen(SCREEN_MENU);
    EXPECT_EQ(menu->idleMs, 0) << c.what;
  }
  menu->idleMs = 5000;
  app.SwitchScreen(SCREEN_SCORES);
  app.SwitchScreen(SCREEN_MENU);
  EXPECT_EQ(menu->idleMs, 0) << "coming back to the menu starts the count anew";
}

TEST_F(MenuIdle, NoDemoOverAGameInMemory) {
  app.gameInProgress = 1;
  menu->idleMs = DEMO_IDLE_TIME - 10;
  menu->Update(100);
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_GE(menu->idleMs, DEMO_IDLE_TIME) << "the count goes on, the demo waits";
}
