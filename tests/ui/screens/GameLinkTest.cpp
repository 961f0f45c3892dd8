// The link of the menu screens to the real game screen, when the game screen is built in.
#include "ScreenTestSupport.h"
#include "ui/screens/GameScreenLink.h"

#if __has_include("game/GameWindow.h")
#include "game/GameWindow.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"

using namespace screens_test;

TEST_F(ScreensTest, LinkReachesTheGameScreensOwnState) {
  auto* real = new OGameWindow();
  ASSERT_TRUE(app.AddScreen(real));
  // Only the game screen has a link.
  EXPECT_EQ(MakeGameLink(menu), nullptr);
  std::unique_ptr<OGameLink> link = MakeGameLink(real);
  ASSERT_NE(link, nullptr);
  // Before the first game there is no bat and no grid: nothing scored, nothing ended. (The
  // hand-off of a finished game's score is the game rules' test.)
  EXPECT_EQ(link->Score(), 0);
  link->SetScore(5);
  EXPECT_EQ(link->LevelState(), 0u);
  link->SetEpisode(4);
  EXPECT_EQ(real->episodeIndex, 4);
}

#endif
