// The episode selection by pointer and keyboard.
#include "ScreenTestSupport.h"
#include "ui/controls/Button.h"
#include "ui/controls/Button2D.h"

using namespace screens_test;

namespace {

class SelectScreen : public ScreensTest {
protected:
  void SetUp() override {
    ScreensTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Frame();  // the menu leaves the camera where the episode buttons are seen from
    Click(255, 302);
    ASSERT_EQ(OApplication::Current(), select);
    Frame();
    Silence();  // the menu's click
  }
  // A window point over the episode's button and no other, found by the buttons' own picking.
  bool PointOver(i32 episode, OInputEvent& out) {
    out.type = EV_MOUSEMOVE;
    for (out.y = 0; out.y < 480; out.y += 4) {
      for (out.x = 0; out.x < 640; out.x += 4) {
        int hits = 0;
        for (OButton* b : select->episodes) hits += b->HitTest(out) ? 1 : 0;
        if (hits == 1 && select->episodes[episode]->HitTest(out)) return true;
      }
    }
    return false;
  }
};

}  // namespace

// The difficulty line follows the pointer; each episode is picked where it is drawn, and started.
// The keyboard walks the episodes only; Esc goes back.
TEST_F(SelectScreen, ChoosingAnEpisodeByPointerOrKeyboard) {
  Send(At(EV_MOUSEMOVE, 5, 5));
  EXPECT_EQ(select->HighlightedEpisode(), -1);
  OInputEvent over;
  ASSERT_TRUE(PointOver(3, over));
  Send(over);
  EXPECT_EQ(select->HighlightedEpisode(), 3);
  Frame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // Leaving the screen and coming back shows no stale line: only the keyboard's first episode.
  Press(VK_ESCAPE);
  app.SwitchScreen(SCREEN_SELECT);
  EXPECT_EQ(select->HighlightedEpisode(), 0);
  for (i32 i = 0; i < EPISODE_COUNT; ++i) EXPECT_TRUE(PointOver(i, over)) << "episode " << i;

  // The middle modern episode is episode 4, and a new game forgets the saved one.
  app.savedGameAvailable = 1;
  ASSERT_TRUE(PointOver(4, over));
  for (u32 type : {EV_MOUSEMOVE, EV_BUTTONDOWN, EV_BUTTONUP}) {
    over.type = type;
    Send(over);
  }
  EXPECT_EQ(OApplication::Current(), game);
  EXPECT_EQ(game->episode, 4);
  EXPECT_EQ(app.gameRequest, GAME_REQUEST_NEW);
  EXPECT_EQ(app.savedGameAvailable, 0u);
  EXPECT_FALSE(ClickSounding());

  // Back on the screen, the focus starts on the first episode; Tab goes through the six in order
  // and wraps; the Menu button is never reached by Tab.
  app.SwitchScreen(SCREEN_SELECT);
  EXPECT_EQ(select->focused, select->episodes[0]);
  for (int n = 1; n <= 2 * EPISODE_COUNT; ++n) {
    Press(VK_TAB);
    EXPECT_EQ(select->focused, select->episodes[n % EPISODE_COUNT]);
  }
  EXPECT_FALSE(select->menuButton->highlighted);
  // Up from the first episode reaches the Menu button, Down comes back round.
  Press(VK_UP);
  EXPECT_TRUE(select->menuButton->highlighted);
  EXPECT_EQ(select->keyFocus, select->menuButton);
  Press(VK_DOWN);
  EXPECT_EQ(select->keyFocus, select->episodes[0]);
  EXPECT_FALSE(select->menuButton->highlighted);
  // Other keys are left alone; Esc goes back, also with an episode focused.
  Press(VK_TAB);
  EXPECT_FALSE(Send(KeyDown('A')));
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_EQ(game->entered, 1) << "only by the click before";
  // Enter on the focused episode starts it like a click, once.
  app.SwitchScreen(SCREEN_SELECT);
  Press(VK_TAB);
  Press(VK_RETURN);
  EXPECT_EQ(OApplication::Current(), game);
  EXPECT_EQ(game->episode, 1);
  EXPECT_EQ(app.gameRequest, GAME_REQUEST_NEW);
}

