// The high-score screen: browsing the tables, and a finished game's score under the name typed.
#include <sys/stat.h>

#include "ScreenTestSupport.h"
#include "core/Notice.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/TextField.h"

using namespace screens_test;

namespace {

constexpr f32 LEFT[2] = {200, 57};
constexpr f32 RIGHT[2] = {350, 57};
constexpr f32 MENU_BUTTON[2] = {275, 57};

class ScoreScreen : public ScreensTest {
protected:
  // Ten entries 1000, 900, ..., 100 named A..J.
  static void Fill(OTop& table) {
    for (int i = 0; i < 10; ++i) {
      ASSERT_TRUE(table.Insert(std::string(1, static_cast<char>('A' + i)), 1000 - 100 * i));
    }
  }
  // A game that has just ended with this score in this episode.
  void EndGame(i32 episode, i32 score) {
    game->episode = episode;
    game->score = score;
    game->state = 7;
    app.SwitchScreen(SCREEN_SCORES);
  }
};

}  // namespace

// No name is asked without a finished game that reaches the table (not one running, in memory or
// below the table); browsing stops silently at either table, each visit starts on the classic. A
// score at the top rank is entered under the name typed; a table that cannot be saved is told.
// Leaving the name prompt by Esc, another screen or the window closing records the score once,
// under the letters typed so far or "NoName"; a modern episode's goes in the modern table.
TEST_F(ScoreScreen, BrowsingTheNameEntryAndLeavingThePrompt) {
  Fill(game->classic);
  game->episode = 0;
  game->score = 5000;
  app.SwitchScreen(SCREEN_SCORES);
  EXPECT_FALSE(scores->enteringName);
  EXPECT_TRUE(scores->nameField->hidden);
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_EQ(game->classic.Entry(0).name, "A");
  EXPECT_EQ(game->score, 5000);
  app.gameInProgress = 1;
  game->state = 5;
  app.SwitchScreen(SCREEN_SCORES);
  EXPECT_FALSE(scores->enteringName);
  app.gameInProgress = 0;
  EndGame(0, 50);
  EXPECT_FALSE(scores->enteringName);
  EXPECT_FALSE(scores->menuButton->disabled);

  Click(LEFT[0], LEFT[1]);
  EXPECT_EQ(scores->tableIndex, 0);
  EXPECT_FALSE(ClickSounding());
  Click(RIGHT[0], RIGHT[1]);
  EXPECT_EQ(scores->currentTable, &game->modern);
  Silence();
  Click(RIGHT[0], RIGHT[1]);
  EXPECT_EQ(scores->tableIndex, 1);
  EXPECT_FALSE(ClickSounding());
  app.SwitchScreen(SCREEN_MENU);
  app.SwitchScreen(SCREEN_SCORES);
  EXPECT_EQ(scores->tableIndex, 0);

  // A finished game at the top rank.
  EndGame(1, 5000);
  ASSERT_TRUE(scores->enteringName);
  EXPECT_EQ(scores->entryRank, 1);
  // The field holds the keys; the buttons are gone and clicks where they were do nothing.
  EXPECT_EQ(scores->focused, scores->nameField);
  Click(RIGHT[0], RIGHT[1]);
  Click(MENU_BUTTON[0], MENU_BUTTON[1]);
  EXPECT_EQ(scores->tableIndex, 0);
  EXPECT_EQ(OApplication::Current(), scores);

  Type("Ann");
  // The prompt under the table (rows 28 to 75 from the bottom hold nothing else white), pictured
  // in <build>/screenshots/ to be looked at.
  Frame();
  const std::vector<u8> p = ReadBackBuffer(640, 480);
  SavePicture("screenshots", "scores_name_entry", 640, 480, p);
  const std::vector<u8> rows(p.begin() + 28 * 640 * 3, p.begin() + 75 * 640 * 3);
  EXPECT_GT(WhitePixels(rows), 100) << "the prompt and the name under the table";
  // Enter records it at the top and stores the table.
  Press(VK_RETURN);
  EXPECT_EQ(OApplication::Current(), scores);
  EXPECT_FALSE(scores->enteringName);
  EXPECT_TRUE(scores->nameField->hidden);
  EXPECT_FALSE(scores->menuButton->hidden || scores->menuButton->disabled);
  EXPECT_EQ(game->classic.Entry(0).name, "Ann");
  EXPECT_EQ(game->classic.Entry(0).score, 5000);
  EXPECT_EQ(game->score, 0);
  OTop reread("Data/Classic.Top", 10);
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Entry(0).name, "Ann");
  // A second Enter or the next visit records nothing more.
  Press(VK_RETURN);
  EXPECT_EQ(game->classic.Entry(1).name, "A");
  app.SwitchScreen(SCREEN_MENU);
  app.SwitchScreen(SCREEN_SCORES);
  EXPECT_FALSE(scores->enteringName);

  // A table that cannot be saved (a folder in the file's place) is never silent: the player sees
  // one line saying so for a while, and the score is recorded once all the same.
  TakeNotice();
  ASSERT_EQ(mkdir("Data/Classic.Top.dir", 0755), 0);
  game->classic.fileName = "Data/Classic.Top.dir";
  EndGame(0, 4000);
  Type("Bo");
  Press(VK_RETURN);
  EXPECT_EQ(game->score, 0);
  EXPECT_EQ(game->classic.Entry(1).name, "Bo");
  app.UpdateScreen(16);
  EXPECT_EQ(app.noticeLine.find("Scores not saved: "), 0u) << app.noticeLine;
  app.UpdateScreen(7000);
  EXPECT_TRUE(app.noticeLine.empty());

  Fill(game->modern);
  EndGame(4, 50000);
  EXPECT_EQ(scores->currentTable, &game->modern);
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_EQ(game->modern.Entry(0).name, "NoName");
  EXPECT_TRUE(scores->nameField->hidden);

  game->classic.fileName = "Data/Classic.Top";
  game->classic.Reset();
  Fill(game->classic);
  EndGame(0, 4000);
  ASSERT_TRUE(scores->enteringName);
  app.SwitchScreen(SCREEN_MENU);
  EXPECT_EQ(game->classic.Entry(0).name, "NoName");
  EXPECT_EQ(game->classic.Entry(0).score, 4000);
  EXPECT_EQ(game->score, 0);  // recorded once
  EndGame(0, 4500);
  ASSERT_TRUE(scores->enteringName);
  Type("Bo|b{\xFF");
  app.Unload();  // what Run does when the window closes; the screens are gone then
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Entry(0).name, "Bob");
  EXPECT_EQ(reread.Entry(0).score, 4500);
  EXPECT_EQ(reread.Entry(1).name, "NoName");
}
