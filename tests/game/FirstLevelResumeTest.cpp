// A game left at its first level can be continued: Config.Cfg keeps its fifteen values (level 0
// still reads "nothing to resume" to older copies) and Settings.Cfg beside it tells the two apart.
#include <gtest/gtest.h>

#include "GameTestSupport.h"
#include "core/Settings.h"
#include "game/FirstLevelResume.h"

TEST(FirstLevelResume, TheSettingsFileTellsTheFirstLevelFromNothing) {
  ScratchDir dir;
  const struct {
    const char* what;
    u32 level, lives;
    const char* settings;  // Settings.Cfg's text
    bool available;
  } cases[] = {
      {"a later level needs no second file", 4, 3, "", true},
      {"level 0 alone is nothing to resume (older files)", 0, 5, "", false},
      {"level 0 with its mark is the first level", 0, 5, "resumeFirstLevel = 3 250 5\n", true},
      {"a mark for another record (Config.Cfg rewritten by an older copy)", 0, 5,
       "resumeFirstLevel = 3 250 4\n", false},
      {"a damaged mark", 0, 5, "resumeFirstLevel = 3 25\n", false},
      {"a cleared record never resumes, mark or not", 0, 0, "resumeFirstLevel = 3 250 0\n", false},
  };
  for (const auto& c : cases) {
    OConfig config;
    config.savedEpisode = 3;
    config.savedScore = 250;
    config.savedLevel = c.level;
    config.savedLives = c.lives;
    WriteFile(SettingsFileName(config.fileName), c.settings);
    EXPECT_EQ(SavedGameAvailable(config), c.available) << c.what;
  }
}

TEST(FirstLevelResume, LeavingAtTheFirstLevelCanBeContinuedAndEndingForgetsIt) {
  GameRig rig;
  if (!rig.Open()) GTEST_SKIP() << "needs the virtual display and the game's archive";
  const std::string file = SettingsFileName(GetConfig().fileName);
  WriteFile(file, "display.scale = 3\n");  // another part of the game's key

  rig.NewGame(1);
  rig.SettleLevel();
  rig.Key(VK_ESCAPE);
  OConfig reread;
  reread.Load();
  EXPECT_EQ(reread.savedLevel, 0u) << "Config.Cfg keeps its meaning: level 0";
  EXPECT_TRUE(SavedGameAvailable(reread)) << "but the game at its first level can be continued";
  OSettings settings;
  settings.Load(file);
  EXPECT_EQ(settings.Get("display.scale", ""), "3") << "other keys of the file are kept";

  // Continue from a later run: the first level of the same episode, with its start values.
  rig.app->gameInProgress = 0;
  rig.app->gameRequest = GAME_REQUEST_RESUME;
  rig.app->SwitchScreen(SCREEN_GAME);
  EXPECT_EQ(rig.game->episodeIndex, 1);
  EXPECT_EQ(rig.game->levelIndex, 0);
  EXPECT_EQ(rig.game->bat->lives, START_LIVES);

  // A game that ends leaves nothing to resume, in either file.
  rig.app->gameInProgress = 0;
  rig.Key(VK_ESCAPE);
  reread.Load();
  EXPECT_FALSE(SavedGameAvailable(reread));
  settings.Load(file);
  EXPECT_EQ(settings.Get(RESUME_FIRST_LEVEL_KEY, "none"), "none");
  EXPECT_EQ(settings.Get("display.scale", ""), "3");
}
