// The game screen drawn from the game's data, written to <build>/screenshots/ to be looked at.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "GameTestSupport.h"
#include "game/AutoPlayer.h"

namespace {

constexpr int W = 640, H = 480;

// One frame as the application runs it: clear, tick, draw.
void Frame(OAutoPlayer& player) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  player.Tick();
}

// Pixels inside the rectangle (x0, y0)..(x1, y1), y up from the bottom, whose colour `pick` takes.
template <typename Pick>
int Count(const std::vector<u8>& p, int x0, int y0, int x1, int y1, Pick pick) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += pick(&p[(y * W + x) * 3]) ? 1 : 0;
  return n;
}
int Lit(const std::vector<u8>& p, int x0, int y0, int x1, int y1) {
  return Count(p, x0, y0, x1, y1, [](const u8* c) { return (c[0] | c[1] | c[2]) > 24; });
}
// Near white: the text of the banners and hints.
int Bright(const std::vector<u8>& p, int x0, int y0, int x1, int y1) {
  return Count(p, x0, y0, x1, y1, [](const u8* c) { return c[0] > 215 && c[1] > 215 && c[2] > 215; });
}

}  // namespace

// The stage banner, then the launch hint, the head-up display, the hurry-up's red seconds and a
// cleared stage's yellow caption.
TEST(GamePictures, CorridorTellsThePlayerWhatHappens) {
  GameRig rig;
  if (!rig.Open(true)) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  rig.NewGame(3);
  OAutoPlayer corridor(*rig.game, 11, true);
  corridor.tickMs = 33;  // a 30-frame-per-second run: fewer frames to draw here
  // Held back from launching: the banner shows for its first seconds, then the launch hint.
  auto waitUntil = [&rig](i32 ms) {
    while (rig.game->waitingMs < ms) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      rig.game->Update(33);
      rig.game->Draw();
    }
    return ReadBackBuffer(W, H);
  };
  const std::vector<u8> banner = waitUntil(1000);
  SavePicture("screenshots", "game_modern_banner", W, H, banner);
  const std::vector<u8> hint = waitUntil(LAUNCH_HINT_DELAY + 200);
  SavePicture("screenshots", "game_modern_launch", W, H, hint);
  // Text is near white; the corridor behind it is not.
  const int bannerRows[2] = {H * 380 / 512, H * 450 / 512}, hintRows[2] = {H * 140 / 512, H * 175 / 512};
  EXPECT_GT(Bright(banner, W / 2 - 90, bannerRows[0], W / 2 + 90, bannerRows[1]),
            Bright(hint, W / 2 - 90, bannerRows[0], W / 2 + 90, bannerRows[1]) + 50)
      << "the stage banner, gone by the time of the hint";
  EXPECT_GT(Bright(hint, W / 2 - 90, hintRows[0], W / 2 + 90, hintRows[1]),
            Bright(banner, W / 2 - 90, hintRows[0], W / 2 + 90, hintRows[1]) + 50)
      << "the launch hint, only after three seconds";
  EXPECT_GT(Bright(hint, W / 2 - 60, H - 32, W / 2 + 60, H), 20) << "seconds left";
  rig.game->ballSet->Launch();
  rig.game->Update(33);
  EXPECT_EQ(rig.game->waitingMs, 0) << "a launched ball takes the hint away";

  // A few seconds of play, then the hurry-up.
  for (int i = 0; i < 90; ++i) Frame(corridor);
  rig.game->grid->timer = 8000;
  Frame(corridor);
  std::vector<u8> p = ReadBackBuffer(W, H);
  SavePicture("screenshots", "game_modern_hurry", W, H, p);
  EXPECT_GT(Lit(p, 0, 0, W, H), W * H / 10);
  EXPECT_GT(Lit(p, W - 120, H - 40, W, H), 20) << "score, top right";
  EXPECT_GT(Lit(p, 0, 0, 80, 30), 20) << "lives, bottom left";
  EXPECT_GT(Lit(p, W - 160, 0, W, 30), 20) << "stage, bottom right";
  const int red = Count(p, W / 2 - 50, H - 32, W / 2 + 50, H,
                        [](const u8* c) { return c[0] > 150 && c[1] < 110 && c[2] < 110; });
  EXPECT_GT(red, 10) << "the seconds turn red in the hurry-up";

  // The stage cleared: its caption over the corridor's advance.
  rig.game->grid->timer = 20000;
  rig.ClearFrontStage();
  for (int i = 0; i < 12; ++i) Frame(corridor);
  p = ReadBackBuffer(W, H);
  SavePicture("screenshots", "game_modern_cleared", W, H, p);
  const int yellow = Count(p, W / 2 - 90, bannerRows[0], W / 2 + 90, bannerRows[1],
                           [](const u8* c) { return c[0] > 200 && c[1] > 180 && c[2] < 140; });
  EXPECT_GT(yellow, 50) << "the cleared caption, in yellow";
}
