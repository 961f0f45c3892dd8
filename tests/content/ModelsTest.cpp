// The generated models, read back through the game's own model reader: every name the game
// loads exists, has triangles, and brings a texture the game can upload.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assets/ModelFormat.h"
#include "ContentTestSupport.h"

namespace {

inline bool Load(const std::string& dir, const std::string& name, OModelFile& model) {
  std::string bytes = ReadFile(dir + "/Data/Models/" + name);
  if (bytes.empty()) return false;
  return ReadZmod(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), model) &&
         model.magicValid;
}

// Brick code -> hits to break it, as the content's brick table says.
std::map<int, int> BrickTable() {
  std::map<int, int> hits;
  std::istringstream in(ReadFile(ContentSources() + "/bricks.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int code, count;
    if (fields >> code >> count) hits[code] = count;
  }
  return hits;
}

}  // namespace

TEST(Models, EveryModelTheGameLoadsReadsBackWithItsTexture) {
  ScratchDir dir;
  std::string log;
  ASSERT_EQ(Dump(ContentSources(), dir.Path(), "models", &log), 0) << log;
  // Every name the game loads, with the exact letter case (the archive lookup is letter-exact).
  std::vector<std::string> names = {
      "Ball.Zmod", "BallB.Zmod", "BallW.Zmod", "Player.Zmod", "GameOver.Zmod", "GameName.Zmod",
      "GnBall.Zmod", "Interface/Slider.Zmod", "Interface/SliderStem.Zmod",
      "Interface/CheckBox.Zmod", "SkinBlocks.Zmod", "Bonus/Life.zmod", "Bonus/MoreBalls.zmod",
      "Bonus/Gun.Zmod", "Bonus/Slow.Zmod", "Bonus/HavyBall.Zmod", "Bonus/Score.Zmod",
      "Bonus/TNT.Zmod", "Bonus/Big.Zmod", "Bonus/Small.Zmod", "Bonus/NextLevel.Zmod",
      "CDBox.Zmod", "CNBox.Zmod", "CHBox.Zmod", "MDBox.Zmod", "MNBox.Zmod", "MHBox.Zmod",
      "Episodes/CDemo.Zmod", "Episodes/CNormal.Zmod", "Episodes/CHard.Zmod",
      "Episodes/MDemo.Zmod", "Episodes/MNormal.Zmod", "Episodes/MHard.Zmod"};
  std::map<int, int> hits = BrickTable();
  ASSERT_EQ(13u, hits.size());
  for (const auto& entry : hits)
    for (const char* detail : {"Hi/", "Low/"})
      names.push_back(detail + std::string("Block/") + std::to_string(entry.first) + ".Zmod");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    OModelFile m;
    ASSERT_TRUE(Load(dir.Path(), name, m));
    ASSERT_FALSE(m.objects.empty());
    for (const OModelFileObject& o : m.objects) EXPECT_FALSE(o.faces.empty());
    // A brick has one damage stage per hit, at both detail levels.
    const size_t block = name.find("Block/");
    if (block != std::string::npos) {
      EXPECT_EQ(static_cast<size_t>(hits[std::stoi(name.substr(block + 6))]), m.objects.size());
    }
    // A texture the model names must come with the models, as a TGA the game's decoder takes.
    // Bricks name none (the grid binds the skin), nor does the title (the menu binds its picture).
    bool screenBinds = block != std::string::npos || name == "SkinBlocks.Zmod" ||
                       name == "GameName.Zmod";
    EXPECT_EQ(screenBinds, m.texture.empty());
    if (!m.texture.empty()) {
      std::string tga = ReadFile(dir.Path() + "/Data/Textures/" + m.texture);
      ODecodedImage image;
      ASSERT_TRUE(DecodeTga(reinterpret_cast<const u8*>(tga.data()), tga.size(), image));
      // Power-of-two sides: the lower texture qualities upload without rescaling.
      EXPECT_EQ(0u, image.width & (image.width - 1));
      EXPECT_EQ(0u, image.height & (image.height - 1));
    }
  }
}

// A missing or unreadable brick table fails the build rather than guessing the hits.
TEST(Models, BuildRefusesABrokenBrickTable) {
  ScratchDir dir;
  RunCommand("mkdir -p '" + dir.Path() + "/empty' '" + dir.Path() + "/bad'");
  EXPECT_NE(Dump(dir.Path() + "/empty", dir.Path() + "/c", "models"), 0);
  WriteFile(dir.Path() + "/bad/bricks.txt", "# code hits\n1 1\n3 two\n");
  EXPECT_NE(Dump(dir.Path() + "/bad", dir.Path() + "/d", "models"), 0);
  WriteFile(dir.Path() + "/bad/bricks.txt", "1 1\n3 2\n");
  EXPECT_EQ(Dump(dir.Path() + "/bad", dir.Path() + "/e", "models"), 0);
  OModelFile m;
  ASSERT_TRUE(Load(dir.Path() + "/e", "Hi/Block/3.Zmod", m));
  EXPECT_EQ(2u, m.objects.size());
}
