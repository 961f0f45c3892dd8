// The link of the menu screens to the real game screen.
#include "ScreenTestSupport.h"
#include "game/GameWindow.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"
#include "ui/screens/GameScreenLink.h"

using namespace screens_test;

TEST_F(ScreensTest, LinkReachesTheGameScreensOwnState) {
  auto* real = new OGameWindow();
  ASSERT_TRUE(app.AddScreen(real));
  // Only the game screen has a link.
  EXPECT_EQ(MakeGameLink(menu), nullptr);
  std::unique_ptr<OGameLink> link = MakeGameLink(real);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->ClassicTable(), &real->classicTable);
  EXPECT_EQ(link->ModernTable(), &real->modernTable);
  // Before the first game there is no bat and no grid: nothing scored, nothing ended, and a
  // score handed over has nowhere to go.
  link->SetScore(5);
  EXPECT_EQ(link->Score(), 0);
  EXPECT_EQ(link->LevelState(), 0u);
  link->SetEpisode(4);
  EXPECT_EQ(real->episodeIndex, 4);
  EXPECT_EQ(link->Episode(), 4);
  // With a game built the score is the bat's, both ways, and the state is the playfield's.
  real->BuildGame();
  real->ResetGame();
  link->SetScore(5);
  EXPECT_EQ(real->bat->score, 5);
  real->bat->score = 12;
  EXPECT_EQ(link->Score(), 12);
  real->grid->status = MAP_GAME_OVER;
  EXPECT_EQ(link->LevelState(), static_cast<u32>(MAP_GAME_OVER));
}
