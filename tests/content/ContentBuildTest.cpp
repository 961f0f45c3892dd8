// The content compiler as the build runs it.
#include <string>

#include <gtest/gtest.h>

#include "ContentTestSupport.h"

TEST(ContentBuild, TwoBuildsWriteTheSameBytes) {
  ScratchDir scratch;
  std::string output;
  std::string compiler = ContentCompiler(), sources = ContentSources();
  ASSERT_EQ(RunCommand(compiler + " build " + sources + " first", &output), 0) << output;
  ASSERT_EQ(RunCommand(compiler + " build " + sources + " second", &output), 0) << output;
  ASSERT_GT(ReadFile("first/Data/Resource.Tkr").size(), 100000u);
  EXPECT_EQ(RunCommand("diff -r first second", &output), 0) << output;  // the archive and loose sounds
  RunCommand("find first -name '*.part'", &output);  // no partial files left behind
  EXPECT_EQ(output, "");
}

TEST(ContentBuild, FailuresAreReportedNotHidden) {
  ScratchDir scratch;
  std::string output;
  std::string compiler = ContentCompiler(), sources = ContentSources();
  // Wrong command lines print the usage and fail.
  EXPECT_EQ(RunCommand(compiler, &output), 2);
  EXPECT_NE(output.find("usage"), std::string::npos);
  EXPECT_EQ(RunCommand(compiler + " pack " + sources + " out", &output), 2);
  // A misspelt generator is an error, not an empty success.
  EXPECT_EQ(RunCommand(compiler + " dump " + sources + " out picture", &output), 2);
  // A game folder whose Data is a file cannot take the archive: the build fails and says so.
  ASSERT_EQ(RunCommand("mkdir -p game && touch game/Data", &output), 0);
  EXPECT_EQ(RunCommand(compiler + " build " + sources + " game", &output), 1);
  EXPECT_NE(output.find("cannot write"), std::string::npos) << output;
  // Without the DejaVu fonts the build names the package instead of writing blank pictures.
  EXPECT_EQ(RunCommand("BRIKON_FONT_DIR=/nonexistent/ " + compiler + " build " + sources + " nofonts", &output), 1);
  EXPECT_NE(output.find("fonts-dejavu-core"), std::string::npos) << output;
  EXPECT_FALSE(FileExists("nofonts/Data/Resource.Tkr"));
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
  // The menu page (the second) shows its background everywhere: no corner is left black.
  for (u32 y : {768u + 10u, 768u + 700u})
    for (u32 x : {10u, 1000u}) {
      const u8* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3];
      EXPECT_GT(p[0] + p[1] + p[2], 20) << x << "," << y;
    }
  // The working directory the game needs is made elsewhere and not left here.
  EXPECT_FALSE(FileExists("Data/Resource.Tkr"));
}
