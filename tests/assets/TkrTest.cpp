// The archive tool: pack, list and extract round-trip a folder, and every failure is a message
// with a non-zero exit.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "ArchiveTestSupport.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"
#include "support/TestSupport.h"

using namespace archive_test;

namespace {

const std::string kTkr = BRIKON_BINARY_DIR "/tools/tkr/tkr";

int Tkr(const std::string& args, std::string* output = nullptr) {
  return RunCommand("'" + kTkr + "' " + args, output);
}

void MakeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

std::string Binary(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7919) >> 3);
  return s;
}

}  // namespace

TEST(Tkr, PackListExtractRoundTrip) {
  ScratchDir dir;
  struct File {
    std::string name, bytes;
  };
  const std::vector<File> files = {
      {"Data/Textures/Font.Tga", Binary(70000)},
      {"Data/Textures/Menu.jpg", Binary(100)},
      {"Data/Music/01_Popcorn.Xm", Binary(2049)},
      {"Data/Empty", ""},
  };
  for (const File& f : files) {
    std::string path = "root/" + f.name;
    MakeFolders(path.substr(0, path.rfind('/')));
    WriteFile(path, f.bytes);
  }

  std::string out;
  ASSERT_EQ(Tkr("pack Data/Resource.Tkr root", &out), 0) << out;

  ASSERT_EQ(Tkr("list Data/Resource.Tkr", &out), 0) << out;
  for (const File& f : files) EXPECT_NE(out.find(f.name), std::string::npos) << f.name;

  // Extracting everything gives the files back byte for byte.
  ASSERT_EQ(Tkr("extract Data/Resource.Tkr out", &out), 0) << out;
  for (const File& f : files) EXPECT_EQ(ReadFile("out/" + f.name), f.bytes) << f.name;

  // Extracting by name matches as the game does (letter case ignored).
  ASSERT_EQ(Tkr("extract Data/Resource.Tkr one data/textures/MENU.JPG", &out), 0) << out;
  EXPECT_EQ(ReadFile("one/Data/Textures/Menu.jpg"), files[1].bytes);
  EXPECT_FALSE(FileExists("one/Data/Textures/Font.Tga"));

  // Packing into a file inside ROOT never packs the previous archive into the new one.
  ASSERT_EQ(Tkr("pack root/Self.Tkr root", &out), 0) << out;
  ASSERT_EQ(Tkr("pack root/Self.Tkr root", &out), 0) << out;
  OResource self("root/Self.Tkr");
  ASSERT_TRUE(self.Open());
  EXPECT_EQ(self.index.size(), files.size());
  EXPECT_EQ(self.GetSize("Self.Tkr"), 0u);
}

TEST(Tkr, FailuresAreMessagesAndNonZeroExits) {
  ScratchDir dir;
  std::string out;
  EXPECT_EQ(Tkr("unpack a b", &out), 2);
  EXPECT_NE(out.find("usage"), std::string::npos);
  EXPECT_EQ(Tkr("list missing.Tkr", &out), 1);
  EXPECT_NE(out.find("cannot open missing.Tkr"), std::string::npos) << out;
  // An archive that cannot be written.
  MakeFolders("root");
  WriteFile("root/a", "a");
  EXPECT_EQ(Tkr("pack nofolder/a.Tkr root", &out), 1);
  EXPECT_NE(out.find("cannot write"), std::string::npos) << out;

  // A name the archive does not hold.
  ASSERT_TRUE(WriteArchive("good.Tkr", {{"a", Bytes("a")}}));
  EXPECT_EQ(Tkr("extract good.Tkr out nothere", &out), 1);
  EXPECT_NE(out.find("no entry named nothere"), std::string::npos) << out;

  // Damaged archives: the listing says so, and the damaged entry is not extracted.
  WriteFile("damaged.Tkr", RawArchive(3, {{13, 1, 45 + 13, "g"}, {13, 500, 45 + 13, "p"}},
                                      Scrambled("G")));
  EXPECT_EQ(Tkr("list damaged.Tkr", &out), 1);
  EXPECT_NE(out.find("entry p"), std::string::npos) << out;
  EXPECT_NE(out.find("damaged after 2 of 3"), std::string::npos) << out;
  EXPECT_EQ(Tkr("extract damaged.Tkr dam", &out), 1);
  EXPECT_EQ(ReadFile("dam/g"), "G");
  EXPECT_FALSE(FileExists("dam/p"));

  // Names that would escape the destination folder are refused; safe neighbours still come out.
  ASSERT_TRUE(WriteArchive("evil.Tkr", {{"../escaped", Bytes("x")},
                                        {dir.Path() + "/absolute", Bytes("x")},
                                        {"a/./b", Bytes("x")},
                                        {"fine/file", Bytes("ok")}}));
  EXPECT_EQ(Tkr("extract evil.Tkr inner", &out), 1);
  EXPECT_NE(out.find("refusing to extract ../escaped"), std::string::npos) << out;
  EXPECT_FALSE(FileExists("escaped"));
  EXPECT_FALSE(FileExists("absolute"));
  EXPECT_FALSE(FileExists("inner/a/b"));
  EXPECT_EQ(ReadFile("inner/fine/file"), "ok");
}
