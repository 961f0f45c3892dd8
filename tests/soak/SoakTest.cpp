// The soak program on a short run: the real application plays every episode and logs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "support/TestSupport.h"

namespace {

// The number printed after `label` at the start of a summary line, or -1.
int SummaryNumber(const std::string& output, const std::string& label) {
  const size_t at = output.find("\n" + label);
  if (at == std::string::npos) return -1;
  return std::atoi(output.c_str() + at + 1 + label.size());
}

}  // namespace

TEST(Soak, ShortRunPlaysEveryEpisodeThroughTheRealScreens) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs the virtual display");
  ScratchDir dir;
  std::string output;
  const int status = RunCommand(std::string(BRIKON_BINARY_DIR) +
                                    "/tools/soak/brikon-soak --minutes 4 --drawn 2 --every 5 --csv rows.csv --game "
                                    BRIKON_GAME_DIR " 2>&1",
                                &output);
  // Exit 0, or 2 when memory grew: a few minutes are too short to judge that, the hour-long run
  // of soak.sh does. 1 would be an error of the game.
  EXPECT_TRUE(status == 0 || status == 2) << output;
  EXPECT_EQ(SummaryNumber(output, "errors"), 0) << output;
  // Six episodes, each begun from the episode selection; a demo episode has time to finish.
  EXPECT_GE(SummaryNumber(output, "episodes"), 6) << output;
  EXPECT_NE(output.find(" completed"), std::string::npos);
  EXPECT_EQ(output.find(" 0 completed"), std::string::npos) << output;
  // Every level the soak ended with the next-level bonus led to the next one.
  EXPECT_GT(SummaryNumber(output, "levels played"), 6 * 4) << output;

  // The log: a header, then rows in game-time order covering every episode, each with memory.
  const std::vector<std::string> rows = Lines(ReadFile("rows.csv"));
  ASSERT_GE(rows.size(), 1u + 4 * 60 / 5);
  EXPECT_EQ(rows[0], "game_s,wall_s,episode,level,ticks,drawing,rss_kb");
  double lastGame = -1.0;
  std::set<int> episodes;
  for (size_t i = 1; i < rows.size(); ++i) {
    double game = 0.0;
    int episode = -1;
    long long rss = 0;
    ASSERT_EQ(std::sscanf(rows[i].c_str(), "%lf,%*f,%d,%*d,%*d,%*d,%lld", &game, &episode, &rss), 3) << rows[i];
    EXPECT_GE(game, lastGame) << rows[i];
    EXPECT_GT(rss, 0) << rows[i];
    lastGame = game;
    episodes.insert(episode);
  }
  EXPECT_GE(lastGame, 240.0);
  EXPECT_EQ(episodes, (std::set<int>{0, 1, 2, 3, 4, 5}));
}
