// What the game tells the player: the level's banner, the corridor's seconds and its stage cues.
#include <gtest/gtest.h>

#include "GameTestSupport.h"
#include "audio/SoundTable.h"

TEST(Feedback, BannerSecondsAndCues) {
  GameRig rig;
  if (!rig.Open()) GTEST_SKIP() << "needs the virtual display and the game's archive";
  const struct {
    i32 episode;
    const char* title;
    const char* name;  // the first heading of the episode's level file
  } cases[] = {{0, "Level 1", "First Light"}, {3, "Stage 1", "Welcome Gate"}};
  for (const auto& c : cases) {
    rig.NewGame(c.episode);
    EXPECT_EQ(rig.game->bannerMs, BANNER_TIME) << "a new game announces its first level";
    EXPECT_EQ(rig.game->BannerTitle(), c.title);
    EXPECT_EQ(rig.game->BannerName(), c.name);
    rig.Run(BANNER_TIME / 16 + 2);
    EXPECT_LE(rig.game->bannerMs, 0) << "and the banner goes after its time";
  }
  EXPECT_STREQ(GetLevelName(3, 19), "") << "a corridor stage past the named ones has no name";
  EXPECT_STREQ(GetLevelName(6, 0), "") << "nor has an unknown episode";
  EXPECT_STREQ(GetLevelName(0, -1), "");

  // The corridor's seconds left, red in the hurry-up.
  rig.StartSettled(3);
  const struct {
    i32 timer;
    i32 seconds;
    bool hurry;
  } seconds[] = {
      {69001, 70, false},  // part of a second shows as the whole one still left
      {10001, 11, false},  // just above the hurry-up of episode 3 (10 s)
      {10000, 10, true},   // the hurry-up: red
      {-40, 0, true},      // a tick past the end never shows a negative count
  };
  for (const auto& c : seconds) {
    rig.game->grid->timer = c.timer;
    EXPECT_EQ(rig.game->SecondsLeft(), c.seconds) << c.timer;
    EXPECT_EQ(rig.game->InHurry(), c.hurry) << c.timer;
  }
  rig.NewGame(0);
  EXPECT_EQ(rig.game->SecondsLeft(), 0) << "a classic level has no timer";
  EXPECT_FALSE(rig.game->InHurry());

  // A cleared stage and one out of time each have a cue of their own.
  const struct {
    const char* what;
    bool clear;  // clear the front stage, or let its time run out
    const char* text;
    i32 sound;
  } cues[] = {{"cleared", true, "Stage cleared!", SND_STAGE_CLEAR},
              {"out of time", false, "Time's up!", SND_TIME_UP}};
  for (const auto& c : cues) {
    rig.StartSettled(3);
    rig.game->ballSet->Launch();
    PlayedSounds().clear();
    if (c.clear) {
      rig.ClearFrontStage();
    } else {
      rig.game->grid->timer = 1;
    }
    rig.Run(1);
    EXPECT_EQ(rig.game->levelIndex, 1) << c.what;
    EXPECT_EQ(rig.game->cueText, c.text) << c.what;
    EXPECT_EQ(rig.game->cueMs, CUE_TIME) << c.what;
    EXPECT_EQ(CountSound(c.sound), 1) << c.what;
    EXPECT_EQ(CountSound(c.clear ? SND_TIME_UP : SND_STAGE_CLEAR), 0) << c.what << ": not the other cue";
    EXPECT_EQ(rig.game->BannerTitle(), "Stage 2") << c.what << ": the next stage is announced";
    rig.Run(CUE_TIME / 16);
    EXPECT_EQ(rig.game->bannerMs, BANNER_TIME) << c.what << ": the banner waits for the cue";
  }
}
