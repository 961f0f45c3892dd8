// The episode selection: starting each episode by pointer and keyboard, the way back, and the
// difficulty line that follows the pointer.
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
  // A window point over the episode's button, found by the button's own picking.
  bool PointOver(i32 episode, OInputEvent& out) {
    for (u16 y = 0; y < 480; y += 4) {
      for (u16 x = 0; x < 640; x += 4) {
        OInputEvent e;
        e.type = EV_MOUSEMOVE;
        e.x = x;
        e.y = y;
        bool others = false;
        for (i32 i = 0; i < EPISODE_COUNT; ++i) {
          if (i != episode && select->episodes[i]->HitTest(e)) others = true;
        }
        if (!others && select->episodes[episode]->HitTest(e)) {
          out = e;
          return true;
        }
      }
    }
    return false;
  }
};

}  // namespace

TEST_F(SelectScreen, ChoosingAnEpisodeStartsANewGame) {
  // The middle modern episode is episode 4, and a new game forgets the saved one.
  app.savedGameAvailable = 1;
  OInputEvent over;
  ASSERT_TRUE(PointOver(4, over));
  Send(over);
  over.type = EV_BUTTONDOWN;
  Send(over);
  over.type = EV_BUTTONUP;
  Send(over);
  EXPECT_EQ(OApplication::Current(), game);
  EXPECT_EQ(game->episode, 4);
  EXPECT_EQ(app.gameRequest, GAME_REQUEST_NEW);
  EXPECT_EQ(app.savedGameAvailable, 0u);
  EXPECT_FALSE(ClickSounding());

  // Every episode can be picked where it is drawn, each apart from the others.
  for (i32 i = 0; i < EPISODE_COUNT; ++i) EXPECT_TRUE(PointOver(i, over)) << "episode " << i;
}

TEST_F(SelectScreen, KeyboardWalksTheEpisodesOnly) {
  // Tab goes through the six episodes in order and wraps; the Menu button is never reached.
  for (int round = 0; round < 2; ++round) {
    for (i32 i = 0; i < EPISODE_COUNT; ++i) {
      Press(VK_TAB);
      EXPECT_EQ(select->focused, select->episodes[i]);
      EXPECT_EQ(select->HighlightedEpisode(), i);
    }
  }
  EXPECT_FALSE(select->menuButton->highlighted);
  // Enter on the focused episode starts it like a click.
  Press(VK_TAB);
  Press(VK_TAB);
  Press(VK_RETURN);
  EXPECT_EQ(OApplication::Current(), game);
  EXPECT_EQ(game->episode, 1);
  EXPECT_EQ(app.gameRequest, GAME_REQUEST_NEW);
}

TEST_F(SelectScreen, WaysBackToTheMenu) {
  // The Menu button, silently.
  Click(275, 57);
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_FALSE(ClickSounding());
  // Esc, also with an episode focused.
  app.SwitchScreen(SCREEN_SELECT);
  Press(VK_TAB);
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_EQ(game->entered, 0);
  // Other keys are left alone.
  app.SwitchScreen(SCREEN_SELECT);
  EXPECT_FALSE(Send(KeyDown('A')));
}

TEST_F(SelectScreen, DifficultyLineFollowsThePointer) {
  // Nothing pointed at: no line, and every episode shows its normal face only.
  Send(At(EV_MOUSEMOVE, 5, 5));
  EXPECT_EQ(select->HighlightedEpisode(), -1);
  for (OButton* b : select->episodes) EXPECT_TRUE(b->visible[0] == 1 && b->visible[1] == 0);
  Frame();
  const std::vector<u8> none = ReadFrame();
  SaveFrame("screen-select");

  OInputEvent over;
  ASSERT_TRUE(PointOver(3, over));
  Send(over);
  EXPECT_EQ(select->HighlightedEpisode(), 3);
  Frame();
  const std::vector<u8> easy = ReadFrame();
  SaveFrame("screen-select-modern-easy");
  EXPECT_GT(DifferingPixels(none, easy, 60, 148, 260, 20), 200);
  // The pointed episode's face lights up (its button spans about x 95..190, y 215..320).
  EXPECT_GT(DifferingPixels(none, easy, 100, 220, 80, 90), 1000);

  // Moving to a classic episode of the same difficulty changes the line.
  ASSERT_TRUE(PointOver(0, over));
  Send(over);
  EXPECT_EQ(select->HighlightedEpisode(), 0);
  Frame();
  const std::vector<u8> classicEasy = ReadFrame();
  EXPECT_GT(DifferingPixels(easy, classicEasy, 60, 148, 260, 20), 0);

  // Leaving the screen and coming back shows no stale line.
  Press(VK_ESCAPE);
  app.SwitchScreen(SCREEN_SELECT);
  EXPECT_EQ(select->HighlightedEpisode(), -1);
}
