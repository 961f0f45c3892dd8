// The game's pictures and models, read back from the built archive through the game's own readers.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ContentTestSupport.h"
#include "assets/ModelFormat.h"

namespace {

struct ExpectedPicture {
  const char* name;
  u32 width, height, format;
};

const u32 RGB = PIXELS_RGB, RGBA = PIXELS_RGBA, GREY = PIXELS_LUMINANCE;

// Every picture the game loads, with the size and layout its users rely on (sides that are powers
// of two upload unscaled at every texture quality).
const ExpectedPicture kPictures[] = {
    {"Font.Tga", 512, 256, RGBA},      {"Brikon3D.jpg", 1024, 128, RGB},
    {"Menu.jpg", 1024, 1024, RGB},     {"SBackTex.jpg", 1024, 1024, RGB},
    {"Cursor.Tga", 64, 64, RGBA},      {"Bricks.Tga", 512, 512, RGB},
    {"BricksC.jpg", 512, 512, RGB},    {"BricksJ.jpg", 512, 512, RGB},
    {"go.tga", 128, 128, RGB},         {"Flare.Tga", 256, 128, RGBA},
    {"RExpl.Tga", 256, 256, RGBA},     {"pLight.Tga", 256, 256, RGBA},
    {"xFlame2x2.jpg", 256, 256, RGB},  {"CoDSmoke2.Tga", 128, 128, RGBA},
    {"ParticleBit.Tga", 32, 32, RGBA}, {"Particle.Tga", 32, 32, RGBA},
    {"Menu/nlArrow.Tga", 128, 128, RGB}, {"Menu/alArrow.Tga", 128, 128, RGB},
    {"Menu/lArrowMask.Tga", 128, 128, GREY}, {"Menu/nrArrow.Tga", 128, 128, RGB},
    {"Menu/arArrow.Tga", 128, 128, RGB}, {"Menu/rArrowMask.Tga", 128, 128, GREY},
};

// The menu buttons: normal (n) and active (a) in colour, and the mask (m) in grey.
const ExpectedPicture kButtons[] = {
    {"Continue", 1024, 128, RGB}, {"New", 1024, 128, RGB}, {"Options", 1024, 128, RGB},
    {"Top", 512, 128, RGB},       {"Help", 512, 128, RGB}, {"Exit", 256, 128, RGB},
    {"Menu", 512, 64, RGB},       {"Ok", 256, 64, RGB},    {"Cancel", 512, 64, RGB},
};

}  // namespace

// Every picture decodes at its size, every model reads back with its texture.
TEST(PicturesAndModels, EveryOneTheGameLoadsReadsBack) {
  std::vector<std::pair<std::string, ExpectedPicture>> all;
  for (const ExpectedPicture& p : kPictures) all.push_back({p.name, p});
  for (const ExpectedPicture& b : kButtons)
    for (const char* state : {"n", "a", "m"}) {
      ExpectedPicture picture = b;
      if (*state == 'm') picture.format = GREY;
      all.push_back({std::string("Menu/") + state + b.name + ".Tga", picture});
    }
  for (const auto& [name, expected] : all) {
    SCOPED_TRACE(name);
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(name, image)) << "missing from the archive or undecodable";
    EXPECT_EQ(image.width, expected.width);
    EXPECT_EQ(image.height, expected.height);
    EXPECT_EQ(image.format, expected.format);
  }
  // Every model of the archive, the bricks' too (that each one the game loads is there is the
  // suites' that play with it).
  size_t models = 0;
  for (const auto& [key, entry] : BuiltArchive().index) {
    const std::string& path = entry->name;
    if (path.rfind("Data/Models/", 0) != 0) continue;
    SCOPED_TRACE(path);
    ++models;
    std::unique_ptr<u8[]> bytes = BuiltArchive().Read(path);
    OModelFile m;
    ASSERT_TRUE(bytes && ReadZmod(bytes.get(), BuiltArchive().GetSize(path), m) && m.magicValid);
    ASSERT_FALSE(m.objects.empty());
    for (const OModelFileObject& o : m.objects) EXPECT_FALSE(o.faces.empty());
    // A named texture comes with the models; the bricks (the grid binds the skin), the skin
    // sampler and the title name none.
    EXPECT_EQ(path.find("/Block/") != std::string::npos || path == "Data/Models/SkinBlocks.Zmod" ||
                  path == "Data/Models/GameName.Zmod",
              m.texture.empty());
    if (!m.texture.empty()) {
      ODecodedImage image;
      ASSERT_TRUE(LoadTexture(m.texture, image));
      // Power-of-two sides: the lower texture qualities upload without rescaling.
      EXPECT_EQ(0u, image.width & (image.width - 1));
      EXPECT_EQ(0u, image.height & (image.height - 1));
    }
  }
  EXPECT_EQ(models, 33u + 2 * 13);  // the props, bonuses, boxes and interface, and both details' bricks
}
