#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "playfield/LevelCheck.h"

namespace {

// A 3 x 3 x 3 block built layer by layer from text ('.' empty, digits, 'A'..'E' for 10..14).
std::vector<u8> Cells(const std::vector<std::string>& layers) {
  std::vector<u8> cells;
  for (const std::string& layer : layers)
    for (char c : layer) cells.push_back(c == '.' ? 0 : c >= 'A' ? 10 + (c - 'A') : c - '0');
  return cells;
}

const std::string LEVELC = BRIKON_BINARY_DIR "/tools/levelc/levelc";

// Runs levelc check on a scratch file; returns its status and output.
int CheckFile(const std::string& text, std::string* output) {
  WriteFile("episode.txt", text);
  return RunCommand(LEVELC + " check episode.txt", output);
}

const std::string HEADER = "episode 0 classic size 3 layers 2 levels 1\n";

}  // namespace

// The rules themselves, on small blocks whose answer is known. A corridor stage is entered from
// its layer 0 and needs a breakable brick in its own six layers.
TEST(LevelCheck, Rules) {
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
  // Codes outside 0..14 never pass; a malformed block is rejected, not read.
  std::vector<u8> bad = Cells({"1........", "........."});
  bad[4] = 15;
  EXPECT_FALSE(CheckClassicLevel(bad.data(), 3, 2).ok);
  EXPECT_FALSE(CheckCorridorStage(nullptr, 3, 2).ok);
  EXPECT_FALSE(CheckClassicLevel(Cells({"1........"}).data(), 3, 0).ok);
}

// The difficulty measure counts the hits of the content's table; a broken table is named.
TEST(LevelCheck, BrickHits) {
  std::vector<i32> hits;
  std::string error;
  ASSERT_TRUE(ParseBrickHits(ReadFile(BRIKON_SOURCE_DIR "/content/bricks.txt"), hits, error));
  const OLevelStats s = MeasureCells(Cells({"13B45D..."}).data(), 9, hits);
  EXPECT_EQ(s.breakable, 3);
  EXPECT_EQ(s.hits, 6);
  EXPECT_EQ(s.multiHit, 2);
  EXPECT_EQ(s.unbreakable, 2);
  EXPECT_FALSE(ParseBrickHits("3 two\n", hits, error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
}

// A broken level file fails levelc with the file, the line and what is wrong.
TEST(LevelCheck, BrokenFilesAreNamed) {
  ScratchDir dir;
  const std::string corridor = "episode 3 corridor size 3 layers 8 levels 2\n";
  const std::string stage6 = "stage S\n  ... .1. ... ... ... ...\n  ... ... ... ... ... ...\n"
                             "  ... ... ... ... ... ...\n";
  const std::string stage2 = "stage T\n  ... .1.\n  ... ...\n  ... ...\n";
  const struct {
    std::string file;
    const char* message;  // nullptr: the file passes
  } cases[] = {
      {HEADER + "level Fine\n  ... ...\n  ... .1.\n  ... ...\n", nullptr},
      {corridor + stage6 + stage2, nullptr},
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
    EXPECT_EQ(CheckFile(c.file, &out), c.message == nullptr ? 0 : 1) << c.file << out;
    if (c.message != nullptr) {
      EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
  }
  // A file that is not there.
  std::string out;
  EXPECT_EQ(RunCommand(LEVELC + " check missing.txt", &out), 1);
  EXPECT_NE(out.find("missing.txt:0:0: cannot read"), std::string::npos) << out;
}

// The compiler refuses an incomplete set of episodes instead of writing a partial table.
TEST(LevelCheck, CompileNeedsEveryEpisode) {
  ScratchDir dir;
  WriteFile("one.txt", HEADER + "level Fine\n  ... ...\n  ... .1.\n  ... ...\n");
  std::string out;
  EXPECT_EQ(RunCommand(LEVELC + " compile . one.txt", &out), 1);
  EXPECT_NE(out.find("no level file holds episode 1"), std::string::npos) << out;
  EXPECT_FALSE(FileExists("LevelData.cpp"));
}
