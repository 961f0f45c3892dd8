// Pause, and the bat without a mouse.
#include <gtest/gtest.h>

#include <vector>

#include "GameTestSupport.h"

namespace {

// Everything that moves or counts in a game, as numbers.
std::vector<f32> Snapshot(const OGameWindow& g) {
  std::vector<f32> v;
  for (const OBall* b : g.ballSet->balls) {
    const OVector p = b->Position();
    v.insert(v.end(), {p.x, p.y, p.z});
  }
  const OVector bat = g.bat->Position();
  const i32 heavy = g.ballSet->balls.empty() ? 0 : g.ballSet->balls[0]->heavyTime;
  for (i32 n : {g.bat->slowTime, heavy, g.grid->timer, g.bat->score, g.bat->lives, g.grid->status})
    v.push_back(static_cast<f32>(n));
  v.insert(v.end(), {bat.x, bat.y, bat.z});
  return v;
}

}  // namespace

// A paused minute moves nothing (the corridor's timer neither); a click goes on without launching;
// a game over does not pause; Esc while paused leads to the menu, the game kept paused. The bat's
// keys (a gamepad's come as these) move it while held and launch; the window losing them lets go.
TEST(Pause, PausingGoingOnLeavingAndTheBatsKeys) {
  GameRig rig;
  if (!rig.Open()) GTEST_SKIP() << "needs the virtual display and the game's archive";
  const struct {
    i32 episode;
    const char* how;
    u16 key;  // 0: the window loses the player
  } cases[] = {{4, "Pause key", VK_PAUSE}, {1, "focus lost", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    rig.StartSettled(c.episode);
    rig.game->ballSet->Launch();
    rig.game->bat->slowTime = 5000;
    rig.game->ballSet->balls[0]->heavyTime = 5000;
    rig.Run(5);
    if (c.key != 0) {
      rig.Key(c.key);
    } else {
      rig.app->FocusLost();
    }
    ASSERT_EQ(rig.game->paused, 1);
    const std::vector<f32> before = Snapshot(*rig.game);
    rig.Run(60000 / 16, 16);  // a minute of frames
    rig.game->Update(60000);  // and one long one
    EXPECT_EQ(Snapshot(*rig.game), before);
    // The pointer does not move the bat while paused.
    rig.game->HandleInput(MakeEvent(EV_MOUSEMOVE, 0, 600, 100));
    rig.Run(3);
    EXPECT_EQ(Snapshot(*rig.game), before);

    rig.Key('P');
    EXPECT_EQ(rig.game->paused, 0);
    rig.Run(3);
    EXPECT_NE(Snapshot(*rig.game), before);
    rig.app->SwitchScreen(SCREEN_MENU);
  }

  rig.StartSettled(1);
  rig.Key('P');
  rig.game->HandleInput(MakeEvent(EV_BUTTONDOWN));
  EXPECT_EQ(rig.game->paused, 0);
  EXPECT_EQ(rig.game->ballSet->launched, 0);  // the click only went on

  rig.Key('P');
  rig.Key(VK_ESCAPE);
  EXPECT_EQ(rig.Current(), SCREEN_MENU);
  rig.app->gameRequest = GAME_REQUEST_CONTINUE;
  rig.app->SwitchScreen(SCREEN_GAME);
  EXPECT_EQ(rig.game->paused, 1);
  EXPECT_EQ(rig.app->gameInProgress, 1u);  // the game is not lost

  rig.Key('P');
  rig.game->grid->status = MAP_GAME_OVER;
  rig.game->Suspend();
  EXPECT_EQ(rig.game->paused, 0);

  rig.StartSettled(1);
  const struct {
    u16 key;
    f32 dx, dy;  // expected sign of the bat's movement in window terms
  } moves[] = {{VK_LEFT, -1, 0}, {'D', 1, 0}, {VK_UP, 0, 1}, {'S', 0, -1}};
  for (const auto& c : moves) {
    SCOPED_TRACE(c.key);
    rig.game->pointerX = rig.game->windowWidth * 0.5f;
    rig.game->pointerY = rig.game->windowHeight * 0.5f;
    rig.game->bat->SetTarget(320, 240);
    rig.Run(60);
    const OVector before = rig.game->bat->Position();
    rig.Key(c.key);
    rig.Run(20);
    rig.game->HandleInput(MakeEvent(EV_KEYUP, c.key));
    EXPECT_EQ(rig.game->heldKeys, 0);
    rig.Run(60);
    const OVector moved = rig.game->bat->Position() - before;
    // The camera looks along +z from behind the bat: screen left is world +x.
    if (c.dx != 0) {
      EXPECT_LT(moved.x * -c.dx, -0.1f) << moved.x;
    }
    if (c.dy != 0) {
      EXPECT_GT(moved.y * c.dy, 0.1f) << moved.y;
    }
  }
  rig.Key(VK_RIGHT);
  rig.app->FocusLost();
  EXPECT_EQ(rig.game->heldKeys, 0);
  rig.Key('P');  // going on
  for (u16 key : {VK_SPACE, VK_RETURN}) {
    rig.StartSettled(1);
    EXPECT_EQ(rig.game->ballSet->launched, 0);
    rig.Key(key);
    EXPECT_EQ(rig.game->ballSet->launched, 1) << key;
  }
}

