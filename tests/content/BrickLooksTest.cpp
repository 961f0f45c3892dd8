// Bricks readable by kind: every damage stage wears its own tile of the skin atlas, and in every
// skin the breakable kinds differ in colour while metal and stone are grey.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "../../tools/content/BrickTiles.h"
#include "ContentTestSupport.h"
#include "assets/ImageDecode.h"
#include "assets/ModelFormat.h"

namespace {

struct Mean {
  double r = 0, g = 0, b = 0;
  double Chroma() const { return std::max({r, g, b}) - std::min({r, g, b}); }
};

// The mean colour of one tile (its middle half, away from the rim) of a decoded skin.
Mean TileMean(const ODecodedImage& image, int tile) {
  const int scale = static_cast<int>(image.width) / kBrickAtlasSize;
  const int side = kBrickTileSize * scale;
  const int x0 = (tile % kBrickTileColumns) * side, y0 = (tile / kBrickTileColumns) * side;
  Mean m;
  int n = 0;
  for (int y = y0 + side / 4; y < y0 + side * 3 / 4; ++y)
    for (int x = x0 + side / 4; x < x0 + side * 3 / 4; ++x) {
      const u8* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * image.components];
      m.r += p[0];
      m.g += p[1];
      m.b += p[2];
      ++n;
    }
  m.r /= n;
  m.g /= n;
  m.b /= n;
  return m;
}

}  // namespace

TEST(BrickLooks, EveryStageMapsOntoItsOwnTile) {
  struct Case {
    int code, hits;
  };
  // Single-hit kinds, multi-hit kinds, and metal and stone.
  const Case cases[] = {{1, 1}, {2, 1}, {3, 2}, {4, 1}, {5, 1}, {6, 1}, {7, 1},
                        {8, 1}, {9, 2}, {10, 1}, {11, 3}, {12, 2}, {14, 3}};
  std::set<int> used;
  for (const Case& c : cases) {
    for (const char* detail : {"Hi/", "Low/"}) {
      const std::string name = "Data/Models/" + std::string(detail) + "Block/" + std::to_string(c.code) + ".Zmod";
      SCOPED_TRACE(name);
      const u32 size = BuiltArchive().GetSize(name);
      std::unique_ptr<u8[]> bytes = BuiltArchive().Read(name);
      OModelFile model;
      ASSERT_TRUE(bytes && ReadZmod(bytes.get(), size, model));
      ASSERT_EQ(model.objects.size(), static_cast<size_t>(c.hits));
      EXPECT_TRUE(model.texture.empty()) << "the grid binds the skin";
      for (size_t stage = 0; stage < model.objects.size(); ++stage) {
        const int tile = BrickTile(c.code, c.hits - static_cast<int>(stage));
        EXPECT_EQ(kBrickLooks[tile].code, c.code) << "stage " << stage << " has a look of its own";
        used.insert(tile);
        float rect[4];
        BrickTileRect(tile, rect);
        EXPECT_FALSE(model.objects[stage].faces.empty());
        for (const OModelFileFace& f : model.objects[stage].faces)
          for (const OModelFileCorner& corner : f.corners) {
            const OModelFileTexCoord& t = model.texCoords[static_cast<size_t>(corner.texCoord - 1)];
            ASSERT_TRUE(t.s >= rect[0] - 1e-4f && t.s <= rect[2] + 1e-4f && t.t >= rect[1] - 1e-4f &&
                        t.t <= rect[3] + 1e-4f)
                << "stage " << stage << " reaches outside its tile: " << t.s << ", " << t.t;
          }
      }
    }
  }
  EXPECT_EQ(static_cast<int>(used.size()), kBrickLookCount) << "every look is worn by a brick";
}

TEST(BrickLooks, KindsDifferInColourInEverySkinAndMetalAndStoneAreGrey) {
  for (const char* skin : {"Bricks.Tga", "BricksC.jpg", "BricksJ.jpg"}) {
    SCOPED_TRACE(skin);
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(skin, image));
    ASSERT_EQ(image.width, static_cast<u32>(kBrickAtlasSize));
    ASSERT_EQ(image.height, static_cast<u32>(kBrickAtlasSize));
    std::vector<Mean> kinds;
    for (int code : {1, 2, 6, 7, 8, 10}) kinds.push_back(TileMean(image, BrickTile(code, 1)));
    for (int code : {3, 9, 12}) kinds.push_back(TileMean(image, BrickTile(code, 2)));
    for (int code : {11, 14}) kinds.push_back(TileMean(image, BrickTile(code, 3)));
    for (size_t i = 0; i < kinds.size(); ++i)
      for (size_t j = i + 1; j < kinds.size(); ++j) {
        const double d = std::fabs(kinds[i].r - kinds[j].r) + std::fabs(kinds[i].g - kinds[j].g) +
                         std::fabs(kinds[i].b - kinds[j].b);
        EXPECT_GT(d, 24.0) << "kinds " << i << " and " << j << " look alike";
      }
    for (int code : {4, 5}) {
      const Mean m = TileMean(image, BrickTile(code, 1));
      EXPECT_LT(m.Chroma(), 30.0) << "code " << code << " is grey, metal or stone";
    }
    // The lower half mirrors the upper (TGA and JPEG rows run opposite ways).
    const Mean top = TileMean(image, BrickTile(8, 1));
    const Mean mirrored = TileMean(image, BrickTile(8, 1) % kBrickTileColumns +
                                              (2 * kBrickTileRows - 1 - BrickTile(8, 1) / kBrickTileColumns) * kBrickTileColumns);
    EXPECT_NEAR(top.r + top.g + top.b, mirrored.r + mirrored.g + mirrored.b, 12.0);
  }
}
