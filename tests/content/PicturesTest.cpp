// The game's pictures as the content compiler makes them, read back from the built archive through
// the game's own decoders.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ContentTestSupport.h"

namespace {

struct ExpectedPicture {
  const char* name;
  u32 width, height, format;
};

const u32 RGB = PIXELS_RGB, RGBA = PIXELS_RGBA;

// Every picture the game loads, with the size and layout its users rely on.
const ExpectedPicture kPictures[] = {
    {"Font.Tga", 512, 256, RGBA},      {"Brikon3D.jpg", 1024, 128, RGB},
    {"Menu.jpg", 1024, 1024, RGB},     {"SBackTex.jpg", 1024, 1024, RGB},
    {"Cursor.Tga", 64, 64, RGBA},      {"Bricks.Tga", 256, 256, RGB},
    {"BricksC.jpg", 256, 256, RGB},    {"BricksJ.jpg", 256, 256, RGB},
    {"go.tga", 128, 128, RGB},         {"Flare.Tga", 256, 128, RGBA},
    {"RExpl.Tga", 256, 256, RGBA},     {"pLight.Tga", 64, 64, RGBA},
    {"xFlame2x2.jpg", 256, 256, RGB},  {"CoDSmoke2.Tga", 128, 128, RGBA},
    {"ParticleBit.Tga", 32, 32, RGBA}, {"Particle.Tga", 32, 32, RGBA},
    {"Menu/nlArrow.Tga", 128, 128, RGB}, {"Menu/alArrow.Tga", 128, 128, RGB},
    {"Menu/lArrowMask.Tga", 128, 128, RGB}, {"Menu/nrArrow.Tga", 128, 128, RGB},
    {"Menu/arArrow.Tga", 128, 128, RGB}, {"Menu/rArrowMask.Tga", 128, 128, RGB},
};

// The menu buttons come in three pictures each: normal (n), active (a) and mask (m).
const ExpectedPicture kButtons[] = {
    {"Continue", 1024, 128, RGB}, {"New", 1024, 128, RGB}, {"Options", 1024, 128, RGB},
    {"Top", 512, 128, RGB},       {"Help", 512, 128, RGB}, {"Exit", 256, 128, RGB},
    {"Menu", 512, 64, RGB},       {"Ok", 256, 64, RGB},    {"Cancel", 512, 64, RGB},
};

bool IsPowerOfTwo(u32 v) { return v != 0 && (v & (v - 1)) == 0; }

// The advance the game's font measures for cell i: the index of the right-most column with any
// alpha, 12 for an empty cell (picture rows counted from the top).
int MeasuredAdvance(const ODecodedImage& font, int i) {
  int left = (i % 16) * 32, top = (i / 16) * 32;
  for (int column = 31; column >= 0; --column)
    for (int y = 0; y < 32; ++y)
      if (PixelFromTop(font, true, static_cast<u32>(left + column), static_cast<u32>(top + y))[3] != 0)
        return column;
  return 12;
}

// Where a character's glyph has ink (alpha above 100) in its 32x32 cell, counted from the cell's
// top-left; bottom -1 for an empty cell. `coloured` counts opaque pixels that are not grey.
struct OInk {
  int top = 32, bottom = -1, left = 32, coloured = 0;
};

OInk InkOf(const ODecodedImage& font, int c) {
  OInk ink;
  const int i = c - 32;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const u8* p = PixelFromTop(font, true, static_cast<u32>((i % 16) * 32 + x),
                                 static_cast<u32>((i / 16) * 32 + y));
      if (p[3] > 128 && (p[0] != p[2] || p[1] != p[2])) ++ink.coloured;
      if (p[3] <= 100) continue;
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ink.left = std::min(ink.left, x);
    }
  return ink;
}

}  // namespace

TEST(Pictures, EveryPictureDecodesThroughTheGameAtItsSize) {
  std::vector<std::pair<std::string, ExpectedPicture>> all;
  for (const ExpectedPicture& p : kPictures) all.push_back({p.name, p});
  for (const ExpectedPicture& b : kButtons)
    for (const char* state : {"n", "a", "m"})
      all.push_back({std::string("Menu/") + state + b.name + ".Tga", b});
  for (const auto& [name, expected] : all) {
    SCOPED_TRACE(name);
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(name, image)) << "missing from the archive or undecodable";
    EXPECT_EQ(image.width, expected.width);
    EXPECT_EQ(image.height, expected.height);
    EXPECT_EQ(image.format, expected.format);
    // Sides that are powers of two upload unscaled at every texture quality.
    EXPECT_TRUE(IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height));
  }
}

TEST(Pictures, FontMeasuresAndAlignsAsTheGameExpects) {
  ODecodedImage font;
  ASSERT_TRUE(LoadTexture("Font.Tga", font));
  // The space is empty, so it advances the game's default 12 pixels.
  EXPECT_EQ(MeasuredAdvance(font, 0), 12);
  // Every printable ASCII glyph is wide enough to read, leaves the last column clear (no letter
  // runs into the next) and keeps a clear column on its left, the only gap between two letters.
  for (int c = 33; c <= 126; ++c) {
    const int advance = MeasuredAdvance(font, c - 32);
    EXPECT_TRUE(advance >= 4 && advance <= 31) << static_cast<char>(c);
    EXPECT_GE(InkOf(font, c).left, 1) << static_cast<char>(c);
  }
  // Narrow and wide letters differ: the advances really come from the glyphs.
  EXPECT_LT(MeasuredAdvance(font, 'i' - 32) + 8, MeasuredAdvance(font, 'W' - 32));
  // Letters stand on one baseline, tall enough to read at the smallest text scale (0.5);
  // descenders go below it.
  const OInk h = InkOf(font, 'H');
  EXPECT_GE(h.bottom - h.top, 14);
  for (int c : {'A', 'Z', 'a', 'x', '1', '0'}) EXPECT_NEAR(InkOf(font, c).bottom, h.bottom, 1) << c;
  EXPECT_GT(InkOf(font, 'g').bottom, h.bottom + 2);
  // Letters are white (the game tints them); the score and lives icons '|' and '{' are coloured
  // pictures wide enough to read, standing on the line of the digits they lead.
  EXPECT_EQ(InkOf(font, 'A').coloured, 0);
  const OInk digit = InkOf(font, '0');
  for (int icon : {'|', '{'}) {
    const OInk ink = InkOf(font, icon);
    EXPECT_GT(ink.coloured, 50) << static_cast<char>(icon);
    EXPECT_GE(MeasuredAdvance(font, icon - 32), 18) << static_cast<char>(icon);
    EXPECT_LE(ink.top, digit.top + 2) << static_cast<char>(icon);
    EXPECT_GE(ink.bottom, digit.bottom - 2) << static_cast<char>(icon);
  }
}

TEST(Pictures, SpriteSheetsCutIntoWholeFramesWithPowerOfTwoColumns) {
  for (const char* name : {"Flare.Tga", "RExpl.Tga"}) {
    SCOPED_TRACE(name);
    ODecodedImage sheet;
    ASSERT_TRUE(LoadTexture(name, sheet));
    ASSERT_EQ(sheet.width % 64, 0u);
    ASSERT_EQ(sheet.height % 64, 0u);
    // The game finds a frame's column with frame AND (columns - 1).
    EXPECT_TRUE(IsPowerOfTwo(sheet.width / 64));
    u32 columns = sheet.width / 64, rows = sheet.height / 64;
    // Frame 0 (bottom-left in the picture, the first rows of the TGA) is visible, and no frame
    // spills onto its neighbours' borders, which linear filtering would show.
    u32 firstInk = 0;
    for (u32 f = 0; f < columns * rows; ++f) {
      u32 left = (f % columns) * 64, bottom = (f / columns) * 64;
      for (u32 y = 0; y < 64; ++y)
        for (u32 x = 0; x < 64; ++x) {
          const u8* p = &sheet.pixels[((bottom + y) * sheet.width + left + x) * 4];
          bool border = x == 0 || y == 0 || x == 63 || y == 63;
          if (border) {
            EXPECT_EQ(p[3], 0) << "frame " << f << " at " << x << "," << y;
          }
          if (f == 0 && p[3] > 200) ++firstInk;
        }
    }
    EXPECT_GT(firstInk, 10u);
  }
}

TEST(Pictures, PicturesStandTheRightWayUpInTheGame) {
  // The pointer's tip is the picture's top-left corner: drawn there, opaque; the opposite corner
  // is clear.
  ODecodedImage cursor;
  ASSERT_TRUE(LoadTexture("Cursor.Tga", cursor));
  EXPECT_GT(PixelFromTop(cursor, true, 0, 0)[3], 60);
  EXPECT_GT(PixelFromTop(cursor, true, 2, 4)[3], 200);
  EXPECT_EQ(PixelFromTop(cursor, true, 63, 63)[3], 0);
  EXPECT_EQ(PixelFromTop(cursor, true, 63, 0)[3], 0);

  // The menu background is drawn with the file's first row at the bottom of the screen, so it is
  // stored upside down: the glowing floor grid (busy, cyan) lies in the file's first rows and the
  // quiet sky in its last rows.
  ODecodedImage menu;
  ASSERT_TRUE(LoadTexture("Menu.jpg", menu));
  auto cyanPixels = [&](u32 from, u32 to) {
    long count = 0;
    for (u32 y = from; y < to; ++y)
      for (u32 x = 0; x < menu.width; ++x) {
        const u8* p = PixelFromTop(menu, false, x, y);
        if (p[1] > p[0] + 40 && p[2] > 110) ++count;
      }
    return count;
  };
  EXPECT_GT(cyanPixels(40, 200), 10 * cyanPixels(menu.height - 200, menu.height - 40) + 1000);
}

TEST(Pictures, BrickSkinsLookTheSameEitherWayUp) {
  // TGA and JPEG come out with opposite row orders; a skin must look the same either way.
  const char* names[] = {"Bricks.Tga", "BricksC.jpg", "BricksJ.jpg"};
  for (int s = 0; s < 3; ++s) {
    SCOPED_TRACE(names[s]);
    ODecodedImage skin;
    ASSERT_TRUE(LoadTexture(names[s], skin));
    double asymmetry = 0;
    for (u32 y = 0; y < skin.height; ++y)
      for (u32 x = 0; x < skin.width; ++x)
        asymmetry += std::abs(PixelFromTop(skin, s == 0, x, y)[1] -
                              PixelFromTop(skin, s == 0, x, skin.height - 1 - y)[1]);
    EXPECT_LT(asymmetry / (skin.width * skin.height), 4.0);
  }
}

// Edges the drawing shows: a button's caption is added over what its mask blacked out, so where
// the caption is bright the mask must be dark; particles are drawn as squares, so any alpha on a
// particle's border would show the square.
TEST(Pictures, ButtonMasksAndParticleEdges) {
  for (const ExpectedPicture& b : kButtons) {
    SCOPED_TRACE(b.name);
    ODecodedImage normal, mask;
    ASSERT_TRUE(LoadTexture(std::string("Menu/n") + b.name + ".Tga", normal));
    ASSERT_TRUE(LoadTexture(std::string("Menu/m") + b.name + ".Tga", mask));
    size_t lit = 0, uncovered = 0;
    for (size_t i = 0; i < normal.pixels.size(); i += 3)
      if (normal.pixels[i] > 160) ++lit, uncovered += mask.pixels[i] > 64;
    EXPECT_GT(lit, normal.pixels.size() / 3 / 50) << "the caption is visible";
    EXPECT_LE(uncovered, lit / 50);
  }
  for (const char* name : {"pLight.Tga", "CoDSmoke2.Tga", "ParticleBit.Tga", "Particle.Tga"}) {
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(name, image)) << name;
    u32 inked = 0, edge = 0;
    for (u32 y = 0; y < image.height; ++y)
      for (u32 x = 0; x < image.width; ++x) {
        const u8 alpha = image.pixels[(y * image.width + x) * 4 + 3];
        inked += alpha > 128;
        if (x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1) edge += alpha != 0;
      }
    EXPECT_EQ(edge, 0u) << name;
    EXPECT_GT(inked, image.width * image.height / 40) << name;
  }
}
