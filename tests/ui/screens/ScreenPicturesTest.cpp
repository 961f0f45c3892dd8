// Pictures of the menu screens in the states the player must be able to read, written to
// <build>/screenshots/ to be looked at: the main menu with nothing to continue, and the name entry
// of a new high score. Each check looks at what sets the state apart in the picture.
#include <GL/gl.h>

#include "ScreenTestSupport.h"
#include "support/GLContext.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/TextField.h"

using namespace screens_test;

namespace {

constexpr int W = 640, H = 480;

// Sum of the pixels' brightest channel inside an overlay rectangle.
long Light(const std::vector<u8>& p, f32 vx0, f32 vy0, f32 vx1, f32 vy1) {
  long sum = 0;
  for (int y = static_cast<int>(vy0 * H / 512); y < static_cast<int>(vy1 * H / 512); ++y) {
    for (int x = static_cast<int>(vx0 * W / 512); x < static_cast<int>(vx1 * W / 512); ++x) {
      const u8* c = &p[(y * W + x) * 3];
      sum += std::max(c[0], std::max(c[1], c[2]));
    }
  }
  return sum;
}

class ScreenPictures : public ScreensTest {};

}  // namespace

TEST_F(ScreenPictures, ContinueLooksDisabledWhenNothingCanBeResumed) {
  app.gameInProgress = 0;
  app.savedGameAvailable = 0;
  app.SwitchScreen(SCREEN_MENU);
  ASSERT_TRUE(menu->continueButton->disabled);
  Frame();
  const std::vector<u8> off = ReadBackBuffer(W, H);
  SavePicture("screenshots", "menu_continue_disabled", W, H, off);
  // The pointer over it lights nothing either.
  Send(At(EV_MOUSEMOVE, 255, 348));
  Frame();
  const std::vector<u8> hovered = ReadBackBuffer(W, H);
  app.savedGameAvailable = 1;
  app.SwitchScreen(SCREEN_MENU);
  Send(At(EV_MOUSEMOVE, 500, 500));
  Frame();
  const std::vector<u8> on = ReadBackBuffer(W, H);
  SavePicture("screenshots", "menu_continue_enabled", W, H, on);
  const long dim = Light(off, 190, 335, 320, 362), lit = Light(on, 190, 335, 320, 362);
  EXPECT_LT(dim * 10, lit * 6) << "a disabled Continue is clearly darker than an active one";
  EXPECT_EQ(Light(hovered, 190, 335, 320, 362), dim) << "and does not glow under the pointer";
}

TEST_F(ScreenPictures, NameEntryTellsThePlayerWhatToDo) {
  game->episode = 1;
  game->score = 5000;
  game->state = 7;
  app.SwitchScreen(SCREEN_SCORES);
  ASSERT_TRUE(scores->enteringName);
  Type("Ann");
  Frame();
  const std::vector<u8> p = ReadBackBuffer(W, H);
  SavePicture("screenshots", "scores_name_entry", W, H, p);
  EXPECT_TRUE(scores->nameField->drawFill && scores->nameField->drawFrame) << "a field, framed";
  EXPECT_GT(Light(p, 150, 30, 360, 80), 150L * 50 * 20) << "the prompt under the table";
}
