// The playtest program on two short levels, a classic level and a corridor stage, with both
// players: its CSV has the promised header and one row per seed and player, and every row agrees
// with the run's own account of the bricks (the hits the bricks show as taken; a cleared level
// has no breakable brick left). Each episode played gets its chart as a PNG.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

const char* const HEADER =
    "episode,level,seed,player,cleared,time_ms,hits,balls_lost,bonuses,longest_no_hit_ms";

std::vector<std::vector<std::string>> ReadCsv(const std::string& path, std::string& header) {
  std::vector<std::string> lines = Lines(ReadFile(path));
  header = lines.empty() ? "" : lines[0];
  std::vector<std::vector<std::string>> rows;
  for (size_t i = 1; i < lines.size(); ++i) {
    rows.emplace_back();
    std::stringstream s(lines[i]);
    for (std::string cell; std::getline(s, cell, ',');) rows.back().push_back(cell);
  }
  return rows;
}

}  // namespace

TEST(Playtest, CsvRowsAgreeWithTheBricksOwnAccount) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs the virtual display");
  ScratchDir dir;
  struct Case {
    const char* what;
    int episode;
    int level;
    bool surelyCleared;  // short enough for both players to clear it from every seed
  };
  const Case cases[] = {
      {"a classic level: cleared means the cage holds no breakable brick", 0, 1, true},
      {"a corridor stage: cleared means the stage's bricks fell before the timer", 3, 1, false},
  };
  for (const Case& c : cases) {
    const std::string tag = std::to_string(c.episode);
    const std::string command = std::string(BRIKON_BINARY_DIR) +
                                "/tools/playtest/brikon-playtest --episode " + tag + " --level " +
                                std::to_string(c.level) + " --seeds 2 --csv rows" + tag +
                                ".csv --audit audit" + tag + ".csv --charts . --game " +
                                BRIKON_GAME_DIR " 2>&1";
    std::string output;
    ASSERT_EQ(RunCommand(command, &output), 0) << c.what << "\n" << output;
    // The table names the episode and gives the goals' figures for both players.
    EXPECT_NE(output.find("episode " + tag), std::string::npos) << output;
    EXPECT_NE(output.find("skilled:"), std::string::npos) << output;
    EXPECT_NE(output.find("casual :"), std::string::npos) << output;

    std::string header, auditHeader;
    const auto rows = ReadCsv("rows" + tag + ".csv", header);
    const auto audit = ReadCsv("audit" + tag + ".csv", auditHeader);
    EXPECT_EQ(header, HEADER) << c.what;
    // Two seeds for each of the two players, in the same order in both files.
    ASSERT_EQ(rows.size(), 4u) << c.what;
    ASSERT_EQ(audit.size(), rows.size()) << c.what;
    int cleared = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      const auto& row = rows[i];
      ASSERT_EQ(row.size(), 10u) << c.what;
      EXPECT_EQ(row[0], tag);
      EXPECT_EQ(row[1], std::to_string(c.level));
      EXPECT_EQ(row[3], i < 2 ? "skilled" : "casual");
      EXPECT_EQ(row[0] + row[1] + row[2] + row[3], audit[i][0] + audit[i][1] + audit[i][2] + audit[i][3]);
      // The hits counted equal the hits the bricks took.
      EXPECT_EQ(row[6], audit[i][4]) << c.what << ", row " << i;
      EXPECT_GT(std::stoi(row[6]), 0) << c.what << ", row " << i;
      if (row[4] == "1") {
        ++cleared;
        EXPECT_EQ(audit[i][5], "0") << c.what << ", row " << i;
      }
      // A played level takes time; the longest stretch without a hit lies within it.
      EXPECT_GT(std::stoll(row[5]), 0);
      EXPECT_LE(std::stoll(row[9]), std::stoll(row[5]));
    }
    if (c.surelyCleared) {
      EXPECT_EQ(cleared, 4) << c.what;
    }
    // The chart: a PNG file with its header chunk first and its end chunk last.
    const std::string png = ReadFile("playtest-" + tag + ".png");
    ASSERT_GT(png.size(), 100u) << c.what;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
  }
}
