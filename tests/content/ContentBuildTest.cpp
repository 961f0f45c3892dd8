// The content compiler as the build runs it.
#include <string>

#include <gtest/gtest.h>

#include "ContentTestSupport.h"

// Wrong command lines, a folder that cannot take the archive, missing fonts, a broken brick table
// (hits are never guessed) or score (past the MOD's limits too) fail and say why, a score where.
TEST(ContentBuild, TwoBuildsWriteTheSameBytesAndFailuresAreReportedNotHidden) {
  ScratchDir scratch;
  const std::string compiler = ContentCompiler() + " ", sources = ContentSources();
  const std::string head =
      "title Bad\ntempo 125\ninstrument tone sine sustain=1\n"
      "channel a tone\nchannel b tone\nchannel c tone\nchannel d tone\n";
  const std::string music = compiler + "dump content out music";
  const struct {
    std::string score, setup, command;  // a score written as all eight tracks, a shell line
    int status;
    const char* told;
  } cases[] = {
      {"", "", compiler, 2, "usage"},
      {"", "", compiler + "pack " + sources + " out", 2, "usage"},
      {"", "", compiler + "dump " + sources + " out picture", 2, ""},  // a misspelt generator
      {"", "mkdir -p game && touch game/Data", compiler + "build " + sources + " game", 1,
       "cannot write"},
      {"", "", "BRIKON_FONT_DIR=/nonexistent/ " + compiler + "build " + sources + " nofonts", 1,
       "fonts-dejavu-core"},
      {"", "mkdir -p none", compiler + "dump none out models", 1, "cannot read the brick table"},
      {"", "mkdir -p content && printf '1 1\\n3 two\\n' > content/bricks.txt",
       compiler + "dump content out models", 1, "cannot read the brick table"},
      {"pattern p\n  a: a4:60 c5:8\norder p\n", "", music, 1, "line 9: channel a runs past the end"},
      {"pattern p\n  a: h4:4\norder p\n", "", music, 1, "bad token"},             // not a note
      {"pattern p\n  e: a4:4\norder p\n", "", music, 1, "unknown channel"},       // undeclared
      {"pattern p\n  a: (a4:4\norder p\n", "", music, 1, "unclosed ("},           // unbalanced repeat
      {"pattern p\n  a: a4:4\norder q\n", "", music, 1, "unknown pattern"},       // in the order
      {"pattern p\n  a: c1:4 c6:4\norder p\n", "", music, 1, "three octaves"},    // too wide for a MOD
      {"instrument x sawtooth\npattern p\n  a: a4\norder p\n", "", music, 1, "unknown instrument kind"},
      {"pattern p\n  a: [a4 c5 e5 g5 b5]:4\norder p\n", "", music, 1, "chord larger"},  // than channels
      {"pattern p 40\n  a: a4\norder p\n", "", music, 1, "64 rows"},               // a short MOD pattern
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command + "\n" + c.score);
    if (!c.score.empty()) WriteScores(head + c.score);
    ASSERT_EQ(RunCommand(c.setup), 0);
    std::string output;
    EXPECT_EQ(RunCommand(c.command, &output), c.status) << output;
    EXPECT_NE(output.find(c.told), std::string::npos) << output;
    if (!c.score.empty()) {
      EXPECT_NE(output.find(".score: "), std::string::npos) << output;
    }
  }
  EXPECT_FALSE(FileExists("nofonts/Data/Resource.Tkr"));

  // Two builds write the same bytes, the archive and the loose sounds, and leave no partial file.
  std::string output;
  ASSERT_EQ(RunCommand(compiler + "build " + sources + " first", &output), 0) << output;
  ASSERT_EQ(RunCommand(compiler + "build " + sources + " second", &output), 0) << output;
  ASSERT_GT(ReadFile("first/Data/Resource.Tkr").size(), 100000u);
  EXPECT_EQ(RunCommand("diff -r first second", &output), 0) << output;
  RunCommand("find first -name '*.part'", &output);
  EXPECT_EQ(output, "");
}

TEST(ContentBuild, ContactSheetLoadsEverythingThroughTheGame) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs the virtual display");
  ScratchDir scratch;
  std::string output;
  // Exit status 0: every texture and model of the built archive loaded through the game's loaders.
  ASSERT_EQ(RunCommand("SDL_AUDIODRIVER=dummy " + ContentCompiler() + " sheet sheet.jpg " + BRIKON_GAME_DIR, &output), 0)
      << output;
  EXPECT_NE(output.find("0 failed"), std::string::npos) << output;
  std::string bytes = ReadFile("sheet.jpg");
  ODecodedImage image;
  ASSERT_TRUE(DecodeJpeg(reinterpret_cast<const u8*>(bytes.data()), bytes.size(), image));
  // Loading, the menu, a level and the scores as the game draws them, textures, then models.
  EXPECT_EQ(image.width, 1024u);
  EXPECT_EQ(image.height % 768u, 0u);
  EXPECT_GE(image.height, 768u * (output.find(" 0 model objects") == std::string::npos ? 6 : 5));
  // The working directory the game needs is made elsewhere and not left here.
  EXPECT_FALSE(FileExists("Data/Resource.Tkr"));
}
