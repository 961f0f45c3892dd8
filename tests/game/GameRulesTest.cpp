// The rules of the game screen: game over, leaving and resuming, the ends of levels and episodes.
#include <gtest/gtest.h>

#include "GameTestSupport.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundTable.h"
#include "core/Settings.h"
#include "game/FirstLevelResume.h"
#include "objects/Bonus.h"

// The game-over sequence ends by a key or by itself; the next-level bonus starts the next level
// in the same tick; the last level ends the episode. A game left is resumed at its level's start,
// the first level's too.
TEST(GameRules, EndsLeavingAndResuming) {
  GameRig rig;
  if (!rig.Open()) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  for (int i = 0; i < 10; ++i) rig.game->classicTable.Insert("Ace", 1000);  // out of reach
  rig.NewGame(1);
  ASSERT_EQ(rig.Current(), SCREEN_GAME);
  rig.SettleLevel();
  GetConfig().savedLevel = 4;  // a record from before: the lost game wipes it
  rig.game->levelIndex = 2;    // lost on a later level: still nothing to resume

  // Five lost balls end the game; each plays the lost-ball sound.
  for (int life = 0; life < START_LIVES; ++life) {
    rig.LoseBall();
    rig.Run(2);
  }
  EXPECT_EQ(CountSound(SND_BALL_LOST), START_LIVES);
  ASSERT_EQ(rig.game->grid->status, MAP_GAME_OVER);
  rig.game->bat->score = 50;  // below every entry of the table

  // The sound plays once, also when the first tick of the sequence takes no time.
  rig.game->Update(0);
  rig.Run(200);
  EXPECT_EQ(CountSound(SND_GAME_OVER), 1);
  EXPECT_EQ(rig.Current(), SCREEN_GAME);  // still showing the model after 3.2 s

  // A key ends the sequence on the next tick; the score that does not qualify becomes 0 and
  // the menu follows.
  rig.Key('A');
  EXPECT_EQ(rig.Current(), SCREEN_GAME);
  rig.Run(1);
  EXPECT_EQ(rig.Current(), SCREEN_MENU);
  EXPECT_EQ(rig.game->bat->score, 0);
  // Nothing is left to resume on disk.
  OConfig reread;
  reread.Load();
  EXPECT_EQ(reread.savedLevel, 0u);

  // Left alone, the sequence ends after 10 s; a qualifying score of a modern episode goes to
  // the modern table's screen, kept for it.
  rig.StartSettled(4);
  rig.game->bat->lives = 1;
  rig.LoseBall();
  rig.Run(2);
  ASSERT_EQ(rig.game->grid->status, MAP_GAME_OVER);
  rig.game->bat->score = 120;
  rig.Run(GAME_OVER_TIME / 16 - 2);
  EXPECT_EQ(rig.Current(), SCREEN_GAME);
  rig.Run(3);
  EXPECT_EQ(rig.Current(), SCREEN_SCORES);
  EXPECT_EQ(rig.game->currentTable, &rig.game->modernTable);
  EXPECT_EQ(rig.game->bat->score, 120);
  EXPECT_EQ(rig.game->currentTable->rank, 1);

  // The next-level bonus.
  PlayedSounds().clear();
  rig.StartSettled(0);
  ASSERT_FALSE(rig.game->grid->transition);
  rig.game->bat->score = 70;
  const OVector at = rig.game->bat->Position();
  rig.game->bonusSet->Spawn(BONUS_NEXT_LEVEL, {at.x, at.y, rig.game->bat->boxMax.z});
  rig.Run(1);
  EXPECT_EQ(rig.game->levelIndex, 1);
  EXPECT_TRUE(rig.game->grid->transition);
  EXPECT_EQ(CountSound(SND_NEXT_LEVEL), 2);  // the first level's and this one's
  // The bricks of the old level shrink away without giving points.
  rig.SettleLevel();
  EXPECT_EQ(rig.game->bat->score, 70);
  EXPECT_EQ(rig.game->grid->startScore, 70);

  // The last level completes the episode.
  rig.ClearLastLevel(3);
  rig.game->bat->score = 900;
  rig.Run(1);  // the grid reports the cleared stage in its update; the same tick acts on it
  ASSERT_EQ(rig.game->episodeComplete, 1);
  EXPECT_EQ(rig.game->levelIndex, rig.game->levelCount);
  EXPECT_FALSE(rig.game->grid->transition);  // no further stage starts

  // The bonus rain goes on until more than 128 bonuses have fallen, then the table takes the score.
  int frames = 0;
  while (rig.Current() == SCREEN_GAME && frames < 5000) {
    rig.Run(1);
    ++frames;
  }
  EXPECT_EQ(rig.Current(), SCREEN_SCORES);
  EXPECT_GT(frames, BONUS_RAIN_COUNT);  // 64 in 257 per frame: about 520 frames
  EXPECT_EQ(rig.game->bat->score, 900);
  EXPECT_EQ(GetConfig().savedLevel, 0u);  // a completed episode leaves nothing to resume

  // Any key ends the celebration, Ctrl too, and Esc says it handled the key; a score that
  // does not qualify goes nowhere.
  for (u16 key : {static_cast<u16>(VK_CONTROL), static_cast<u16>(VK_ESCAPE)}) {
    rig.ClearLastLevel(0);
    rig.Run(1);
    ASSERT_EQ(rig.game->episodeComplete, 1);
    rig.game->bat->score = 10;
    const bool handled = rig.game->HandleInput(MakeEvent(EV_KEYDOWN, key));
    EXPECT_TRUE(handled || key != VK_ESCAPE);
    EXPECT_EQ(rig.Current(), SCREEN_MENU) << key;
    EXPECT_EQ(rig.game->bat->score, 0);
  }

  // A resumed game restarts the saved level with the score and lives it started with.
  OConfig& config = GetConfig();
  config.savedEpisode = 1;
  config.savedLevel = 3;
  config.savedScore = 1234;
  config.savedLives = 2;
  config.musicOn = 1;
  rig.app->gameRequest = GAME_REQUEST_RESUME;
  PlayedSounds().clear();
  rig.app->SwitchScreen(SCREEN_GAME);
  ASSERT_TRUE(rig.game->HasGame());
  // Straight into the saved level: nothing of level 1 fades out, one next-level sound.
  EXPECT_TRUE(rig.game->grid->blocks.empty()) << "an earlier level is shrinking away";
  EXPECT_FALSE(rig.game->grid->incoming.empty());
  EXPECT_EQ(CountSound(SOUND_NEXT_LEVEL), 1);
  EXPECT_EQ(rig.app->musicPlayer->playlist, &rig.app->gamePlaylist);  // the game music plays
  EXPECT_EQ(rig.game->episodeIndex, 1);
  EXPECT_EQ(rig.game->levelIndex, 3);
  EXPECT_EQ(rig.game->bat->score, 1234);
  EXPECT_EQ(rig.game->bat->lives, 2);
  rig.SettleLevel();

  // Points scored during the level are not in the record: it holds the level's start.
  rig.game->bat->score = 1500;
  rig.game->bat->lives = 1;
  rig.Key(VK_ESCAPE);
  EXPECT_EQ(rig.Current(), SCREEN_MENU);
  EXPECT_EQ(rig.app->musicPlayer->playlist, &rig.app->menuPlaylist);  // and the menu's again
  OConfig stored;  // written for a later run
  stored.Load();
  EXPECT_EQ(stored.savedEpisode, 1u);
  EXPECT_EQ(stored.savedLevel, 3u);
  EXPECT_EQ(stored.savedScore, 1234u);
  EXPECT_EQ(stored.savedLives, 2u);

  // A record naming no episode, a level past the episode's end, no life left or a negative score
  // starts a new game of the selected episode instead of an empty playfield or an endless game.
  const struct {
    u32 episode, level;
    i32 lives, score;
  } damaged[] = {{9, 2, 3, 0},
                 {0, static_cast<u32>(GetEpisodeInfo(0).levelCount), 3, 0},
                 {1, 2, 0, 100},
                 {1, 2, 3, -5}};
  for (const auto& d : damaged) {
    config.savedEpisode = d.episode;
    config.savedLevel = d.level;
    config.savedLives = static_cast<u32>(d.lives);
    config.savedScore = static_cast<u32>(d.score);
    EXPECT_FALSE(IsResumable(config)) << d.episode << " " << d.level << " " << d.lives;
    rig.game->episodeIndex = 2;
    rig.app->gameRequest = GAME_REQUEST_RESUME;
    rig.app->SwitchScreen(SCREEN_GAME);
    EXPECT_EQ(rig.game->episodeIndex, 2) << d.episode;
    EXPECT_EQ(rig.game->levelIndex, 0);
    EXPECT_EQ(rig.game->bat->lives, START_LIVES);
    EXPECT_EQ(rig.game->bat->score, 0);
    rig.Key(VK_ESCAPE);
  }

  // A game left at its first level can be continued; a game that ends forgets it.
  const std::string file = SettingsFileName(GetConfig().fileName);
  WriteFile(file, "display.scale = 3\n");  // another part of the game's key
  rig.StartSettled(1);
  rig.Key(VK_ESCAPE);
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

// Each ball template wears the model of its glow colour: red, green, blue.
TEST(GameRules, BallTemplatesMatchTheirGlowColours) {
  GameRig rig;
  if (!rig.Open()) SKIP_OR_FAIL_IN_CI("needs the virtual display and the game's archive");
  rig.NewGame(0);
  const char* const expected[3] = {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(rig.game->ballSet->ballTemplates[i], nullptr);
    EXPECT_EQ(rig.game->ballSet->ballTemplates[i]->name, expected[i]) << "index " << i;
  }
}

// A game left at its first level can be continued: Config.Cfg keeps its fifteen values (level 0
// still reads "nothing to resume" to older copies) and Settings.Cfg beside it tells the two apart.
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
