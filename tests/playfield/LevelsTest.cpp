#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "playfield/LevelCheck.h"
#include "playfield/Levels.h"

namespace {

std::vector<i32> BrickHits() {
  std::vector<i32> hits;
  std::string error;
  EXPECT_TRUE(ParseBrickHits(ReadFile(BRIKON_SOURCE_DIR "/content/bricks.txt"), hits, error))
      << error;
  return hits;
}

// The bricks of level k of an episode: the whole level (classic) or the stage's six layers.
OLevelStats LevelStats(i32 episode, i32 level, const std::vector<i32>& hits) {
  const LevelSpan span = GetLevelBytes(episode, level);
  const u32 step = LevelStepBytes(episode);
  return MeasureCells(span.data, static_cast<i32>(span.size < step ? span.size : step), hits);
}

// A 3 x 3 x 3 block built layer by layer from text ('.' empty, digits, 'A' on for 10 on).
std::vector<u8> Cells(const std::vector<std::string>& layers) {
  std::vector<u8> cells;
  for (const std::string& layer : layers)
    for (char c : layer) cells.push_back(c == '.' ? 0 : c >= 'A' ? 10 + (c - 'A') : c - '0');
  return cells;
}

const std::string LEVELC = BRIKON_BINARY_DIR "/tools/levelc/levelc";

const std::string HEADER = "episode 0 classic size 3 layers 2 levels 1\n";

}  // namespace

// Difficulty, as the hits it takes to clear a level, rises through every episode (last third over
// first) and from demo to hard; brikon-playtest orders the levels by time, the hits follow roughly.
// A corridor stage starts above the hurry-up count (8, 10, 12), or its timer is cut at once.
TEST(Levels, DifficultyRisesAndStagesStartAboveTheHurryUpCount) {
  const std::vector<i32> hits = BrickHits();
  double mean[EPISODE_COUNT] = {};
  for (i32 e = 0; e < EPISODE_COUNT; ++e) {
    i32 count = GetEpisodeInfo(e).levelCount;
    while (GetLevelBytes(e, count - 1).size == 0) --count;  // the modern demo's corridor runs out
    const i32 third = count / 3;
    double first = 0, last = 0, all = 0;
    for (i32 k = 0; k < count; ++k) {
      const OLevelStats stats = LevelStats(e, k, hits);
      if (k < third) first += stats.hits;
      if (k >= count - third) last += stats.hits;
      all += stats.hits;
      if (IsModernEpisode(e)) {
        EXPECT_GT(stats.breakable, e * 2 + 2) << "episode " << e << " stage " << k;
      }
    }
    EXPECT_LT(first / third, last / third) << "episode " << e;
    mean[e] = all / count;
  }
  EXPECT_LT(mean[0], mean[1]);
  EXPECT_LT(mean[1], mean[2]);
  EXPECT_LT(mean[3], mean[4]);
  EXPECT_LT(mean[4], mean[5]);
}

// Looking up a level never gives bytes outside the episode's table; a corridor stage k reads from
// layer 6k to the end of the table. A level designer's tool may put a table of the same size in
// place of an episode's compiled one; nothing else fits, and null brings the compiled table back.
TEST(Levels, LookUpStaysInsideTheTableOrTheOneUnderDesign) {
  // An unknown episode has no levels and no cells rather than someone else's.
  for (i32 e : {-1, 6, INT_MAX}) {
    EXPECT_EQ(GetEpisodeInfo(e).levelCount, 0);
    EXPECT_EQ(GetEpisodeBytes(e).size, 0u);
    EXPECT_EQ(GetLevelBytes(e, 0).size, 0u);
  }
  // Where level k starts in its episode's table, in bytes, and how much is left from there. The
  // tables hold 3750, 9000, 20580, 2800, 11232 and 10878 bytes.
  struct Case {
    i32 episode, level;
    u32 offset, size;
    const char* what;
  } cases[] = {
      {0, 0, 0, 3750, "the first level: the whole table"},
      {0, 1, 250, 3500, "classic levels are 5 x 5 x 10 cells"},
      {0, 14, 3500, 250, "the last classic demo level"},
      {0, 15, 3750, 0, "past the last level: empty, at the end"},
      {1, 24, 8640, 360, "classic normal: 6 x 6 x 10"},
      {2, 34, 19992, 588, "classic hard: 7 x 7 x 12"},
      {3, 1, 150, 2650, "a stage is six corridor layers: 5 x 5 x 6"},
      {3, 18, 2700, 100, "the modern demo's corridor runs out during stage 18"},
      {3, 19, 2800, 0, "a stage beyond the corridor: empty"},
      {4, 24, 5184, 6048, "modern normal: 6 x 6 x 6 a stage"},
      {5, 34, 9996, 882, "modern hard: 7 x 7 x 6 a stage"},
      {5, 37, 10878, 0, "a stage starting exactly at the end"},
  };
  for (const Case& c : cases) {
    const LevelSpan table = GetEpisodeBytes(c.episode);
    const LevelSpan span = GetLevelBytes(c.episode, c.level);
    EXPECT_EQ(span.data - table.data, static_cast<i64>(c.offset)) << c.what;
    EXPECT_EQ(span.size, c.size) << c.what;
  }
  // Levels no game reaches, and numbers that would wrap round in 32 bits.
  for (i32 e = 0; e < EPISODE_COUNT; ++e) {
    const LevelSpan table = GetEpisodeBytes(e);
    for (i32 k : {-1, INT_MIN, INT_MAX, 0x40000000, 0x7FFFFFF}) {
      EXPECT_EQ(GetLevelBytes(e, k).size, 0u) << "episode " << e << " level " << k;
      EXPECT_EQ(GetLevelBytes(e, k).data, table.data + table.size);
    }
  }

  const LevelSpan compiled = GetEpisodeBytes(0);
  const u8* other = GetEpisodeBytes(1).data;
  std::vector<u8> design(compiled.data, compiled.data + compiled.size);
  design[0] = design[0] == 1 ? 2 : 1;
  std::vector<u8> shorter(compiled.size - 1, 1);
  EXPECT_FALSE(UseLevelBytes(0, shorter.data(), static_cast<u32>(shorter.size())))
      << "a table of another size";
  EXPECT_FALSE(UseLevelBytes(EPISODE_COUNT, design.data(), static_cast<u32>(design.size())))
      << "an unknown episode";
  EXPECT_EQ(GetEpisodeBytes(0).data, compiled.data);
  ASSERT_TRUE(UseLevelBytes(0, design.data(), static_cast<u32>(design.size())));
  EXPECT_EQ(GetLevelBytes(0, 0).data, design.data()) << "levels are read from the design";
  EXPECT_EQ(GetEpisodeBytes(1).data, other) << "other episodes untouched";
  EXPECT_TRUE(UseLevelBytes(0, nullptr, 0));
  EXPECT_EQ(GetEpisodeBytes(0).data, compiled.data) << "restored";
}

// The playability rules on small blocks; a corridor stage is entered from its layer 0 and needs a
// breakable brick in its own six layers. The hits a block takes to clear.
TEST(LevelCheck, RulesAndHits) {
  const struct {
    std::vector<std::string> layers;
    bool corridor, ok;
    const char* what;
  } cases[] = {
      {{".........", "....1...."}, false, true, "a brick reachable across the empty front layer"},
      {{"....1....", "1111B1111", "222222222"}, false, true, "breakable bricks give way"},
      {{"....1....", "555555555"}, false, false, "a front layer of unbreakable bricks shuts all out"},
      {{"1........", "55555555."}, false, true, "one gap in it lets in"},
      {{"......9..", "444444...", "4444444.4"}, false, true, "the way in may wind"},
      {{"1........", "4........", ".44444444"}, false, false, "but not diagonally between walls"},
      {{".........", ".........", ".........", ".........", ".........", "4........", "1........"},
       true, false, "bricks behind the stage do not count for it"},
      {{".........", "....2...."}, true, true, "a stage with a reachable brick"},
      {{"555555555", "....2...."}, true, false, "a stage shut at its layer 0"},
      {{"1...F....", "........."}, false, false, "codes outside 0..14 never pass"},
  };
  for (const auto& c : cases) {
    const std::vector<u8> cells = Cells(c.layers);
    const i32 layers = static_cast<i32>(c.layers.size());
    EXPECT_EQ((c.corridor ? CheckCorridorStage : CheckClassicLevel)(cells.data(), 3, layers).ok, c.ok)
        << c.what;
  }

  // Only unbreakable bricks (or none): nothing to play.
  OLevelFault f = CheckClassicLevel(Cells({"4.5......", "........."}).data(), 3, 2);
  EXPECT_FALSE(f.ok);
  EXPECT_EQ(f.message, "no breakable brick");
  // A brick boxed in by unbreakable bricks on all six sides (the walls of the box do the rest):
  // the brick at fault is named.
  const std::vector<u8> boxed = Cells({"....5....", "4444A4444", "....5...."});
  f = CheckClassicLevel(boxed.data(), 3, 3);
  EXPECT_FALSE(f.ok);
  EXPECT_EQ(f.layer, 1);
  EXPECT_EQ(f.row, 1);
  EXPECT_EQ(f.column, 1);
  // A malformed block is rejected, not read.
  EXPECT_FALSE(CheckCorridorStage(nullptr, 3, 2).ok);
  EXPECT_FALSE(CheckClassicLevel(Cells({"1........"}).data(), 3, 0).ok);

  // The difficulty measure counts the hits of the content's table; a broken table is named.
  std::vector<i32> hits = BrickHits();
  std::string error;
  const OLevelStats s = MeasureCells(Cells({"13B45D..."}).data(), 9, hits);
  EXPECT_EQ(s.breakable, 3);
  EXPECT_EQ(s.hits, 6);
  EXPECT_EQ(s.multiHit, 2);
  EXPECT_EQ(s.unbreakable, 2);
  EXPECT_FALSE(ParseBrickHits("3 two\n", hits, error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
}

// A broken level file fails levelc with the file, the line and what is wrong; so does a missing
// one, and compiling fewer episodes than the game has. (Good files are the build's own levels.)
TEST(LevelCheck, BrokenFilesAreNamed) {
  ScratchDir dir;
  const std::string corridor = "episode 3 corridor size 3 layers 8 levels 2\n";
  const std::string stage6 = "stage S\n  ... .1. ... ... ... ...\n  ... ... ... ... ... ...\n"
                             "  ... ... ... ... ... ...\n";
  const struct {
    std::string file;
    const char* message;
  } cases[] = {
      // An unknown cell character: its line and column.
      {HEADER + "level Typo\n  ... ...\n  ... .x.\n  ... ...\n", "episode.txt:4:8: 'x' is not a cell"},
      // A walled-in brick: the row it stands in.
      {HEADER + "level Shut\n  .4. 555\n  414 555\n  .4. 555\n",
       "episode.txt:4:4: level \"Shut\": layer 0"},
      // No breakable brick at all: the level's heading.
      {HEADER + "# empty level\nlevel Void\n  ... ...\n  ... ...\n  ... ...\n",
       "episode.txt:3:0: level \"Void\": no breakable brick"},
      // Shape errors: a short group, a missing level.
      {HEADER + "level A\n  ... ...\n  ... .1\n  ... ...\n", "episode.txt:4:7: group \".1\" has 2 cells"},
      {HEADER, "holds 0 levels, the heading says 1"},
      // A corridor whose stages do not add up to its length.
      {corridor + stage6, "the stages hold 6 layers"},
  };
  for (const auto& c : cases) {
    std::string out;
    WriteFile("episode.txt", c.file);
    EXPECT_EQ(RunCommand(LEVELC + " check episode.txt", &out), 1) << c.file << out;
    EXPECT_NE(out.find(c.message), std::string::npos) << out;
  }
  std::string out;
  EXPECT_EQ(RunCommand(LEVELC + " check missing.txt", &out), 1);
  EXPECT_NE(out.find("missing.txt:0:0: cannot read"), std::string::npos) << out;
  // An incomplete set of episodes is refused rather than compiled into a partial table.
  WriteFile("one.txt", HEADER + "level Fine\n  ... ...\n  ... .1.\n  ... ...\n");
  EXPECT_EQ(RunCommand(LEVELC + " compile . one.txt", &out), 1);
  EXPECT_NE(out.find("no level file holds episode 1"), std::string::npos) << out;
  EXPECT_FALSE(FileExists("LevelData.cpp"));
}
