// A picture of the game screen drawn through its own Draw, from the game's data: a classic game
// in play, written as <build>/screenshots/game_classic.png to be looked at; the test checks that
// the scene and the head-up display were drawn. Skipped without a display or the game's archive.
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

// Pixels brighter than near-black inside the rectangle (x0, y0)..(x1, y1), y up from the bottom.
int Lit(const std::vector<u8>& p, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const u8* c = &p[(y * W + x) * 3];
      n += (c[0] | c[1] | c[2]) > 24 ? 1 : 0;
    }
  }
  return n;
}

}  // namespace

TEST(GamePictures, ClassicGameWithItsHud) {
  GameRig rig;
  if (!rig.Open(true)) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  ASSERT_NE(rig.app->font, nullptr);
  // A classic game a few seconds in.
  rig.NewGame(1);
  OAutoPlayer player(*rig.game, 7, true);
  player.tickMs = 33;  // a 30-frame-per-second run: fewer frames to draw here
  for (int i = 0; i < 160; ++i) Frame(player);
  const std::vector<u8> p = ReadBackBuffer(W, H);
  SavePicture("screenshots", "game_classic", W, H, p);
  EXPECT_GT(Lit(p, 0, 0, W, H), W * H / 10);
  // The corners: score at the top right, lives at the bottom left, level at the bottom right.
  EXPECT_GT(Lit(p, W - 120, H - 40, W, H), 20) << "score";
  EXPECT_GT(Lit(p, 0, 0, 80, 30), 20) << "lives";
  EXPECT_GT(Lit(p, W - 160, 0, W, 30), 20) << "level";
}
