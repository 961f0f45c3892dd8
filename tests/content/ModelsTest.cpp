// The generated models, read back through the game's own model reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/ModelFormat.h"
#include "ContentTestSupport.h"

namespace {

bool Load(const std::string& dir, const std::string& name, OModelFile& model) {
  const std::string bytes = ReadFile(dir + "/Data/Models/" + name);
  return !bytes.empty() && ReadZmod(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), model) &&
         model.magicValid;
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
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    OModelFile m;
    ASSERT_TRUE(Load(dir.Path(), name, m));
    ASSERT_FALSE(m.objects.empty());
    for (const OModelFileObject& o : m.objects) EXPECT_FALSE(o.faces.empty());
    // A named texture comes with the models as a TGA; the skin sampler and the title name none.
    EXPECT_EQ(name == "SkinBlocks.Zmod" || name == "GameName.Zmod", m.texture.empty());
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
