// The archive tool: pack, list and extract round-trip a folder, and extraction never writes
// outside the destination folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "ArchiveTestSupport.h"
#include "assets/ArchiveWriter.h"
#include "support/TestSupport.h"

using namespace archive_test;

namespace {

int Tkr(const std::string& args, std::string* output = nullptr) {
  return RunCommand("'" BRIKON_BINARY_DIR "/tools/tkr/tkr' " + args, output);
}

}  // namespace

TEST(Tkr, PackListExtractRoundTrip) {
  ScratchDir dir;
  std::string big(70000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 3);
  mkdir("root", 0755);
  mkdir("root/Textures", 0755);
  WriteFile("root/Textures/Font.Tga", big);
  WriteFile("root/Empty", "");

  std::string out;
  ASSERT_EQ(Tkr("pack Data/Resource.Tkr root", &out), 0) << out;
  ASSERT_EQ(Tkr("list Data/Resource.Tkr", &out), 0) << out;
  EXPECT_NE(out.find("Textures/Font.Tga"), std::string::npos) << out;
  EXPECT_NE(out.find("Empty"), std::string::npos) << out;
  // Extracting everything gives the files back byte for byte.
  ASSERT_EQ(Tkr("extract Data/Resource.Tkr out", &out), 0) << out;
  EXPECT_EQ(ReadFile("out/Textures/Font.Tga"), big);
  EXPECT_TRUE(FileExists("out/Empty"));
}

TEST(Tkr, RefusesNamesThatEscapeTheDestination) {
  ScratchDir dir;
  std::string out;
  // Absolute names and ".." are refused; safe neighbours still come out.
  ASSERT_TRUE(WriteArchive("evil.Tkr", {{"../escaped", Bytes("x")},
                                        {dir.Path() + "/absolute", Bytes("x")},
                                        {"fine/file", Bytes("ok")}}));
  EXPECT_EQ(Tkr("extract evil.Tkr inner", &out), 1);
  EXPECT_NE(out.find("refusing to extract ../escaped"), std::string::npos) << out;
  EXPECT_FALSE(FileExists("escaped"));
  EXPECT_FALSE(FileExists("absolute"));
  EXPECT_EQ(ReadFile("inner/fine/file"), "ok");
}
