// Pictures of the game screen drawn through its own Draw, from the game's data: a classic game
// and a modern game in play, the game-over model and "Episode Complete!". Written as PNG files
// under <build>/screenshots/ to be looked at; the test checks that the scene and the head-up
// display were drawn. Skipped without a display or the game's archive.
#include <gtest/gtest.h>

#include <GL/gl.h>


#include "GameTestSupport.h"
#include "game/AutoPlayer.h"
#include "playfield/Levels.h"

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

std::vector<u8> ReadPixels() { return ReadBackBuffer(W, H); }

// Kept as screenshots/<name>.png to be looked at.
void Save(const std::vector<u8>& pixels, const std::string& name) { SavePicture("screenshots", name, W, H, pixels); }

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

// The HUD's corners: score at the top right, lives at the bottom left, level at the bottom right.
void ExpectHud(const std::vector<u8>& p) {
  EXPECT_GT(Lit(p, W - 120, H - 40, W, H), 20) << "score";
  EXPECT_GT(Lit(p, 0, 0, 80, 30), 20) << "lives";
  EXPECT_GT(Lit(p, W - 160, 0, W, 30), 20) << "level";
}

}  // namespace

TEST(GamePictures, ClassicModernGameOverAndEpisodeComplete) {
  GameRig rig;
  if (!rig.Open(true)) GTEST_SKIP() << "needs the virtual display and the game's archive";
  ASSERT_NE(rig.app->font, nullptr);

  // A classic game a few seconds in.
  rig.NewGame(1);
  {
    OAutoPlayer player(*rig.game, 7, true);
    player.tickMs = 33;  // a 30-frame-per-second run: fewer frames to draw here
    for (int i = 0; i < 160; ++i) Frame(player);
    const std::vector<u8> p = ReadPixels();
    Save(p, "game_classic");
    EXPECT_GT(Lit(p, 0, 0, W, H), W * H / 10);
    ExpectHud(p);
  }

  // A modern game: the corridor in its fog.
  rig.NewGame(4);
  {
    OAutoPlayer player(*rig.game, 8, true);
    player.tickMs = 33;
    for (int i = 0; i < 100; ++i) Frame(player);
    const std::vector<u8> p = ReadPixels();
    Save(p, "game_modern");
    EXPECT_GT(Lit(p, 0, 0, W, H), W * H / 10);
    ExpectHud(p);

    // The last ball lost: the game-over model grows in over the scattering bricks.
    rig.game->bat->lives = 1;
    rig.LoseBall();
    for (int i = 0; i < 75; ++i) Frame(player);
    ASSERT_EQ(rig.game->grid->status, MAP_GAME_OVER);
    const std::vector<u8> over = ReadPixels();
    Save(over, "game_over");
    // Something stands in the middle of the view (the model itself is checked by eye).
    EXPECT_GT(Lit(over, W / 2 - 120, H / 2 - 60, W / 2 + 120, H / 2 + 60), 2000);
    ExpectHud(over);
  }

  // The last level of the demo episode cleared: "Episode Complete!" over the bonus rain.
  rig.ClearLastLevel(0);
  {
    OAutoPlayer player(*rig.game, 9, true);
    player.tickMs = 33;
    for (int i = 0; i < 70; ++i) Frame(player);
    ASSERT_EQ(rig.game->episodeComplete, 1);
    const std::vector<u8> p = ReadPixels();
    Save(p, "game_episode_complete");
    // The caption across the top middle.
    EXPECT_GT(Lit(p, W / 2 - 150, H * 425 / 512 - 5, W / 2 + 150, H * 425 / 512 + 30), 300);
  }
}
