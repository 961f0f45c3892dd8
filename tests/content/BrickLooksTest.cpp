// Bricks readable by kind: every damage stage wears its own tile of the skin atlas, and in every
// skin the breakable kinds differ in colour while metal and stone are grey.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>

#include "../../tools/content/BrickTiles.h"
#include "ContentTestSupport.h"
#include "assets/ImageDecode.h"
#include "assets/ModelFormat.h"

namespace {

// Every brick code with its hits: single-hit kinds, multi-hit kinds, and metal (4) and stone (5).
const struct {
  int code, hits;
} kBricks[] = {{1, 1}, {2, 1}, {3, 2}, {4, 1}, {5, 1}, {6, 1}, {7, 1},
               {8, 1}, {9, 2}, {10, 1}, {11, 3}, {12, 2}, {14, 3}};

using Colour = std::array<double, 3>;

// The mean colour of one tile (its middle half, away from the rim) of a decoded skin.
Colour TileMean(const ODecodedImage& image, int tile) {
  const int side = kBrickTileSize * static_cast<int>(image.width) / kBrickAtlasSize;
  const int x0 = (tile % kBrickTileColumns) * side, y0 = (tile / kBrickTileColumns) * side;
  Colour m{};
  for (int y = y0 + side / 4; y < y0 + side * 3 / 4; ++y)
    for (int x = x0 + side / 4; x < x0 + side * 3 / 4; ++x)
      for (size_t c = 0; c < 3; ++c)
        m[c] += image.pixels[(static_cast<size_t>(y) * image.width + x) * image.components + c] * 4.0 / side / side;
  return m;
}

}  // namespace

TEST(BrickLooks, EveryStageWearsItsOwnTileAndKindsDifferInColourInEverySkin) {
  std::set<int> used;
  for (const auto& c : kBricks) {
    for (const char* detail : {"Hi/", "Low/"}) {
      const std::string name = "Data/Models/" + std::string(detail) + "Block/" + std::to_string(c.code) + ".Zmod";
      SCOPED_TRACE(name);
      const u32 size = BuiltArchive().GetSize(name);
      std::unique_ptr<u8[]> bytes = BuiltArchive().Read(name);
      OModelFile model;
      ASSERT_TRUE(bytes && ReadZmod(bytes.get(), size, model));
      ASSERT_EQ(model.objects.size(), static_cast<size_t>(c.hits));
      for (size_t stage = 0; stage < model.objects.size(); ++stage) {
        const int tile = BrickTile(c.code, c.hits - static_cast<int>(stage));
        EXPECT_EQ(kBrickLooks[tile].code, c.code) << "stage " << stage << " has a look of its own";
        used.insert(tile);
        float rect[4];
        BrickTileRect(tile, rect);
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

  for (const char* skin : {"Bricks.Tga", "BricksC.jpg", "BricksJ.jpg"}) {
    SCOPED_TRACE(skin);
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(skin, image));  // its size is the pictures' test's
    std::vector<Colour> kinds;
    for (const auto& c : kBricks) {
      const Colour m = TileMean(image, BrickTile(c.code, c.hits));  // undamaged
      if (c.code == 4 || c.code == 5) {
        EXPECT_LT(*std::max_element(m.begin(), m.end()) - *std::min_element(m.begin(), m.end()), 30.0)
            << "code " << c.code << " is grey, metal or stone";
      } else {
        kinds.push_back(m);
      }
    }
    for (size_t i = 0; i < kinds.size(); ++i)
      for (size_t j = i + 1; j < kinds.size(); ++j) {
        double d = 0;
        for (size_t c = 0; c < 3; ++c) d += std::fabs(kinds[i][c] - kinds[j][c]);
        EXPECT_GT(d, 24.0) << "kinds " << i << " and " << j << " look alike";
      }
    // The lower half mirrors the upper (TGA and JPEG rows run opposite ways).
    const Colour top = TileMean(image, BrickTile(8, 1));
    const Colour mirrored = TileMean(image, BrickTile(8, 1) % kBrickTileColumns +
                                              (2 * kBrickTileRows - 1 - BrickTile(8, 1) / kBrickTileColumns) * kBrickTileColumns);
    EXPECT_NEAR(top[0] + top[1] + top[2], mirrored[0] + mirrored[1] + mirrored[2], 12.0);
  }
}
