// The demo plays by itself until the player's first key or click or its game's end, and never
// writes the player's files: they stay byte for byte as they were.
#include <gtest/gtest.h>

#include <map>

#include "GameTestSupport.h"
#include "core/Paths.h"
#include "core/Settings.h"

namespace {

// Every file of the player's the game writes, each read whole.
std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> files;
  for (const std::string& f : {ConfigFilePath(), SettingsFileName(ConfigFilePath()),
                               ScoreFilePath("Classic.Top"), ScoreFilePath("Modern.Top")}) {
    EXPECT_TRUE(FileExists(f)) << f << " was written before the demo";
    files[f] = ReadFile(f);
  }
  return files;
}

}  // namespace

TEST(Demo, EndsAtOnceOnAKeyAClickOrItsGameOverAndWritesNothing) {
  GameRig rig;
  if (!rig.Open(true)) GTEST_SKIP() << "needs the virtual display and the game's archive";
  // A player's files: a game to resume at level 3, a second settings file, a score in each table.
  OConfig& config = GetConfig();
  config.savedEpisode = 1;
  config.savedLevel = 3;
  config.savedScore = 1234;
  config.savedLives = 2;
  ASSERT_TRUE(config.Save());
  WriteFile(SettingsFileName(config.fileName), "display.scale = 2\nresumeFirstLevel = 4 0 5\n");
  ASSERT_TRUE(rig.game->classicTable.Insert("Ann", 700));
  ASSERT_TRUE(rig.game->modernTable.Insert("Bob", 900));
  const auto before = Snapshot();
  const struct {
    const char* what;
    u32 type;
    i32 episode;
  } cases[] = {{"a key", EV_KEYDOWN, 0}, {"a click", EV_BUTTONDOWN, 3}};
  for (const auto& c : cases) {
    rig.app->SwitchScreen(SCREEN_MENU);
    rig.game->StartDemo(c.episode, 2);
    ASSERT_EQ(rig.Current(), SCREEN_GAME) << c.what;
    ASSERT_TRUE(rig.game->InDemo());
    EXPECT_EQ(rig.game->levelIndex, 2) << c.what << ": the level asked for";
    rig.Run(400);
    EXPECT_TRUE(rig.game->ballSet->launched) << c.what << ": the autoplayer plays";
    // The player's pointer does not steer the demo's bat.
    EXPECT_TRUE(rig.game->HandleInput(MakeEvent(EV_MOUSEMOVE)));
    EXPECT_EQ(rig.Current(), SCREEN_GAME) << c.what << ": a move is not a wish to stop";
    rig.game->HandleInput(MakeEvent(c.type, 'A'));
    EXPECT_EQ(rig.Current(), SCREEN_MENU) << c.what << " returns to the menu at once";
    EXPECT_FALSE(rig.game->InDemo());
    EXPECT_EQ(rig.app->gameInProgress, 0u) << c.what << ": no game left to continue";
  }

  // A game over in the demo returns to the menu too, never to the high-score screen.
  rig.app->SwitchScreen(SCREEN_MENU);
  rig.game->StartDemo(3, 0);
  rig.SettleLevel();
  rig.game->bat->score = 99999;  // would enter either table
  rig.game->bat->lives = 1;
  rig.LoseBall();
  // Ticked while it is the current screen, as the application does.
  for (int i = 0; i < GAME_OVER_TIME / 16 + 50 && rig.Current() == SCREEN_GAME; ++i) rig.Run(1);
  EXPECT_EQ(rig.Current(), SCREEN_MENU) << "not the high-score screen";
  EXPECT_FALSE(rig.game->InDemo());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(GetConfig().savedLevel, 3u) << "the resume record in memory is the player's too";
}
