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
    {"Font.Tga", 512, 256, RGBA},          {"Brikon3D.jpg", 1024, 128, RGB},
    {"Menu.jpg", 1024, 1024, RGB},         {"SBackTex.jpg", 1024, 1024, RGB},
    {"Cursor.Tga", 64, 64, RGBA},          {"Bricks.Tga", 256, 256, RGB},
    {"BricksC.jpg", 256, 256, RGB},        {"BricksJ.jpg", 256, 256, RGB},
    {"go.tga", 128, 128, RGB},             {"Flare.Tga", 256, 128, RGBA},
    {"RExpl.Tga", 256, 256, RGBA},         {"pLight.Tga", 64, 64, RGBA},
    {"xFlame2x2.jpg", 256, 256, RGB},      {"CoDSmoke2.Tga", 128, 128, RGBA},
    {"ParticleBit.Tga", 32, 32, RGBA},     {"Particle.Tga", 32, 32, RGBA},
    {"Menu/nContinue.Tga", 1024, 128, RGB}, {"Menu/aContinue.Tga", 1024, 128, RGB},
    {"Menu/mContinue.Tga", 1024, 128, RGB}, {"Menu/nNew.Tga", 1024, 128, RGB},
    {"Menu/aNew.Tga", 1024, 128, RGB},     {"Menu/mNew.Tga", 1024, 128, RGB},
    {"Menu/nOptions.Tga", 1024, 128, RGB}, {"Menu/aOptions.Tga", 1024, 128, RGB},
    {"Menu/mOptions.Tga", 1024, 128, RGB}, {"Menu/nTop.Tga", 512, 128, RGB},
    {"Menu/aTop.Tga", 512, 128, RGB},      {"Menu/mTop.Tga", 512, 128, RGB},
    {"Menu/nHelp.Tga", 512, 128, RGB},     {"Menu/aHelp.Tga", 512, 128, RGB},
    {"Menu/mHelp.Tga", 512, 128, RGB},     {"Menu/nExit.Tga", 256, 128, RGB},
    {"Menu/aExit.Tga", 256, 128, RGB},     {"Menu/mExit.Tga", 256, 128, RGB},
    {"Menu/nMenu.Tga", 512, 64, RGB},      {"Menu/aMenu.Tga", 512, 64, RGB},
    {"Menu/mMenu.Tga", 512, 64, RGB},      {"Menu/nOk.Tga", 256, 64, RGB},
    {"Menu/aOk.Tga", 256, 64, RGB},        {"Menu/mOk.Tga", 256, 64, RGB},
    {"Menu/nCancel.Tga", 512, 64, RGB},    {"Menu/aCancel.Tga", 512, 64, RGB},
    {"Menu/mCancel.Tga", 512, 64, RGB},    {"Menu/nlArrow.Tga", 128, 128, RGB},
    {"Menu/alArrow.Tga", 128, 128, RGB},   {"Menu/lArrowMask.Tga", 128, 128, RGB},
    {"Menu/nrArrow.Tga", 128, 128, RGB},   {"Menu/arArrow.Tga", 128, 128, RGB},
    {"Menu/rArrowMask.Tga", 128, 128, RGB},
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

}  // namespace

TEST(Pictures, EveryPictureDecodesThroughTheGameAtItsSize) {
  for (const ExpectedPicture& expected : kPictures) {
    SCOPED_TRACE(expected.name);
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(expected.name, image)) << "missing from the archive or undecodable";
    EXPECT_EQ(image.width, expected.width);
    EXPECT_EQ(image.height, expected.height);
    EXPECT_EQ(image.format, expected.format);
    // Sides that are powers of two upload unscaled at every texture quality.
    EXPECT_TRUE(IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height));
  }
}

TEST(Pictures, FontMeasuresAsTheGameExpects) {
  ODecodedImage font;
  ASSERT_TRUE(LoadTexture("Font.Tga", font));
  // The space is empty, so it advances the game's default 12 pixels.
  EXPECT_EQ(MeasuredAdvance(font, 0), 12);
  // Every printable ASCII glyph is wide enough to read and leaves the last column clear, so a
  // letter never runs into the next one.
  for (int c = 33; c <= 126; ++c) {
    int advance = MeasuredAdvance(font, c - 32);
    EXPECT_GE(advance, 4) << "character " << static_cast<char>(c);
    EXPECT_LE(advance, 31) << "character " << static_cast<char>(c);
  }
  // Narrow and wide letters differ: the advances really come from the glyphs.
  EXPECT_LT(MeasuredAdvance(font, 'i' - 32) + 8, MeasuredAdvance(font, 'W' - 32));
  // Letters are white (the game tints them); the icon cells '|' and '{' are coloured pictures.
  auto colourful = [&](int i) {
    int count = 0;
    for (u32 y = 0; y < 32; ++y)
      for (u32 x = 0; x < 32; ++x) {
        const u8* p = PixelFromTop(font, true, (i % 16) * 32 + x, (i / 16) * 32 + y);
        if (p[3] > 128 && (p[0] != p[2] || p[1] != p[2])) ++count;
      }
    return count;
  };
  EXPECT_EQ(colourful('A' - 32), 0);
  EXPECT_GT(colourful('|' - 32), 50);
  EXPECT_GT(colourful('{' - 32), 50);
  // Glyphs stand in their own cells: cell 'A' (33) holds ink, cell 127 (delete) holds none.
  EXPECT_NE(MeasuredAdvance(font, 'A' - 32), 12);
  EXPECT_EQ(MeasuredAdvance(font, 127 - 32), 12);
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

TEST(Pictures, ButtonMasksCoverWhatTheImagesDraw) {
  const char* buttons[] = {"Continue", "New", "Options", "Top", "Help", "Exit", "Menu", "Ok", "Cancel"};
  for (const char* x : buttons) {
    SCOPED_TRACE(x);
    ODecodedImage normal, active, mask;
    ASSERT_TRUE(LoadTexture(std::string("Menu/n") + x + ".Tga", normal));
    ASSERT_TRUE(LoadTexture(std::string("Menu/a") + x + ".Tga", active));
    ASSERT_TRUE(LoadTexture(std::string("Menu/m") + x + ".Tga", mask));
    size_t pixels = static_cast<size_t>(mask.width) * mask.height;
    size_t lit = 0, litUncovered = 0, differing = 0;
    for (size_t i = 0; i < pixels; ++i) {
      const u8* n = &normal.pixels[i * 3];
      const u8* a = &active.pixels[i * 3];
      // The caption is added over a frame buffer the mask has blacked out; where the caption
      // is bright the mask must be dark, or the background would shine through the letters.
      if (n[0] > 160) {
        ++lit;
        if (mask.pixels[i * 3] > 64) ++litUncovered;
      }
      if (n[0] != a[0] || n[1] != a[1] || n[2] != a[2]) ++differing;
    }
    EXPECT_GT(lit, pixels / 50) << "the caption is visible";
    EXPECT_LE(litUncovered, lit / 50);
    EXPECT_GT(differing, pixels / 50) << "highlighting shows";
    // Far from the caption the mask leaves the background untouched.
    EXPECT_EQ(mask.pixels[0], 255);
    EXPECT_EQ(mask.pixels[(pixels - 1) * 3], 255);
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

TEST(Pictures, FontGlyphsSitOnOneBaselineWithAGapBefore) {
  ODecodedImage font;
  ASSERT_TRUE(LoadTexture("Font.Tga", font));
  auto inkRows = [&](int c, int& top, int& bottom, int& left) {
    int i = c - 32;
    top = 32, bottom = -1, left = 32;
    for (u32 y = 0; y < 32; ++y)
      for (u32 x = 0; x < 32; ++x)
        if (PixelFromTop(font, true, (i % 16) * 32 + x, (i / 16) * 32 + y)[3] > 100) {
          top = std::min(top, static_cast<int>(y));
          bottom = std::max(bottom, static_cast<int>(y));
          left = std::min(left, static_cast<int>(x));
        }
  };
  int top, bottom, left;
  inkRows('H', top, bottom, left);
  int baseline = bottom, capTop = top;
  // Capitals stand tall enough to read at the game's smallest text scale (0.5).
  EXPECT_GE(baseline - capTop, 14);
  for (int c : {'A', 'E', 'Z', 'a', 'x', '1', '0'}) {
    inkRows(c, top, bottom, left);
    EXPECT_NEAR(bottom, baseline, 1) << static_cast<char>(c) << " stands on the baseline";
  }
  inkRows('g', top, bottom, left);
  EXPECT_GT(bottom, baseline + 2) << "descenders go below it";
  EXPECT_LT(bottom, 32);
  // Every glyph keeps at least one clear column on its left: the advance is measured to the
  // glyph's right edge, so that column is the only gap between two letters.
  for (int c = 33; c <= 126; ++c) {
    inkRows(c, top, bottom, left);
    EXPECT_GE(left, 1) << static_cast<char>(c);
  }
  // Windows-1252 cells: the euro sign and Y with diaeresis have glyphs; 129 is no character.
  for (int c : {128, 159}) {
    inkRows(c, top, bottom, left);
    EXPECT_GE(bottom, 0) << c;
  }
  inkRows(129, top, bottom, left);
  EXPECT_EQ(bottom, -1);
}

TEST(Pictures, BrickSkinsAreColourfulSymmetricAndDistinct) {
  const char* names[] = {"Bricks.Tga", "BricksC.jpg", "BricksJ.jpg"};
  ODecodedImage skins[3];
  for (int s = 0; s < 3; ++s) {
    SCOPED_TRACE(names[s]);
    ASSERT_TRUE(LoadTexture(names[s], skins[s]));
    const ODecodedImage& skin = skins[s];
    bool tga = s == 0;
    double sum = 0, saturation = 0, asymmetry = 0;
    for (u32 y = 0; y < skin.height; ++y)
      for (u32 x = 0; x < skin.width; ++x) {
        const u8* p = PixelFromTop(skin, tga, x, y);
        const u8* q = PixelFromTop(skin, tga, x, skin.height - 1 - y);
        sum += std::max({p[0], p[1], p[2]});
        saturation += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
        asymmetry += std::abs(p[1] - q[1]);
      }
    double pixels = static_cast<double>(skin.width) * skin.height;
    // Bricks are drawn in white: the skin is their colour, and a dark or grey one makes the whole
    // playfield muddy.
    EXPECT_GT(sum / pixels, 140.0);
    EXPECT_GT(saturation / pixels, 60.0);
    // TGA and JPEG come out with opposite row orders; a skin must look the same either way.
    EXPECT_LT(asymmetry / pixels, 4.0);
  }
  // Three looks, not three copies: the pictures differ clearly from each other.
  for (int a = 0; a < 3; ++a)
    for (int b = a + 1; b < 3; ++b) {
      double difference = 0;
      for (u32 y = 0; y < 256; ++y)
        for (u32 x = 0; x < 256; ++x)
          for (int c = 0; c < 3; ++c)
            difference += std::abs(PixelFromTop(skins[a], a == 0, x, y)[c] - PixelFromTop(skins[b], false, x, y)[c]);
      EXPECT_GT(difference / (256.0 * 256.0), 60.0) << names[a] << " and " << names[b];
    }
}

TEST(Pictures, ParticlesFadeOutBeforeTheirEdges) {
  // Particles are drawn as squares; any alpha on the picture's border shows the square.
  for (const char* name : {"pLight.Tga", "CoDSmoke2.Tga", "ParticleBit.Tga", "Particle.Tga", "Cursor.Tga"}) {
    SCOPED_TRACE(name);
    ODecodedImage image;
    ASSERT_TRUE(LoadTexture(name, image));
    bool cursor = std::string(name) == "Cursor.Tga";
    u32 inked = 0;
    for (u32 y = 0; y < image.height; ++y)
      for (u32 x = 0; x < image.width; ++x) {
        u8 alpha = image.pixels[(y * image.width + x) * 4 + 3];
        bool edge = x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1;
        if (alpha > 128) ++inked;
        // The pointer's tip touches its top-left corner on purpose.
        if (edge && !cursor) {
          EXPECT_EQ(alpha, 0) << x << "," << y;
        }
      }
    EXPECT_GT(inked, image.width * image.height / 40);
  }
  // The flame atlas is added on black: its four cells must stay black where they meet.
  ODecodedImage flames;
  ASSERT_TRUE(LoadTexture("xFlame2x2.jpg", flames));
  for (u32 i = 0; i < flames.width; ++i)
    for (u32 line : {0u, flames.height / 2 - 1, flames.height / 2, flames.height - 1}) {
      const u8* across = &flames.pixels[(line * flames.width + i) * 3];
      const u8* down = &flames.pixels[(i * flames.width + line) * 3];
      EXPECT_LT(across[0] + across[1] + across[2], 24) << i << "," << line;
      EXPECT_LT(down[0] + down[1] + down[2], 24) << line << "," << i;
    }
}

TEST(Pictures, ButtonCaptionsSitWhereTheMenusTakeClicks) {
  // Drawn rectangle and hit rectangle (virtual units) of each button as the menus place them: the
  // caption must lie inside the area that reacts to the pointer.
  struct Placement {
    const char* x;
    float dx, dy, dw, dh, hx, hy, hw, hh;
  };
  const Placement placements[] = {
      {"Continue", 90, 320, 326.68f, 54.6133f, 157, 334, 196.68f, 33.6133f},
      {"New", 93, 272, 326.68f, 54.6133f, 147, 286, 216.68f, 33.6133f},
      {"Options", 89, 224, 326.68f, 54.6133f, 173, 238, 165.68f, 33.6133f},
      {"Top", 169, 176, 163.84f, 54.6133f, 187, 190, 135.84f, 33.6133f},
      {"Help", 171, 128, 163.84f, 54.6133f, 205, 142, 98.84f, 33.6133f},
      {"Exit", 215, 80, 82, 54.6133f, 215, 94, 79.92f, 33.6133f},
      {"Menu", 194, 44, 163.84f, 27.3f, 229, 44, 93.84f, 27.3f},
  };
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.x);
    ODecodedImage normal;
    ASSERT_TRUE(LoadTexture(std::string("Menu/n") + p.x + ".Tga", normal));
    // Bright caption pixels in virtual units (TGA rows from the bottom, as the game maps them).
    u32 inside = 0, outside = 0;
    for (u32 y = 0; y < normal.height; ++y)
      for (u32 x = 0; x < normal.width; ++x) {
        if (normal.pixels[(y * normal.width + x) * 3] < 160) continue;
        float vx = p.dx + (x + 0.5f) / normal.width * p.dw;
        float vy = p.dy + (y + 0.5f) / normal.height * p.dh;
        bool hit = vx >= p.hx && vx < p.hx + p.hw && vy >= p.hy && vy < p.hy + p.hh;
        ++(hit ? inside : outside);
      }
    EXPECT_GT(inside, 0u);
    EXPECT_LE(outside, inside / 20) << "caption spills out of the clickable area";
  }
}

TEST(Pictures, HudIconsLeadTheirNumbers) {
  ODecodedImage font;
  ASSERT_TRUE(LoadTexture("Font.Tga", font));
  // The score and lives icons are followed by digits: each must be wide enough to read as an
  // icon and stand on the digits' line, not above or below it.
  auto rows = [&](int c, int& top, int& bottom) {
    int i = c - 32;
    top = 32, bottom = -1;
    for (u32 y = 0; y < 32; ++y)
      for (u32 x = 0; x < 32; ++x)
        if (PixelFromTop(font, true, (i % 16) * 32 + x, (i / 16) * 32 + y)[3] > 100) {
          top = std::min(top, static_cast<int>(y));
          bottom = std::max(bottom, static_cast<int>(y));
        }
  };
  int digitTop, digitBottom;
  rows('0', digitTop, digitBottom);
  for (int icon : {'|', '{'}) {
    SCOPED_TRACE(static_cast<char>(icon));
    int top, bottom;
    rows(icon, top, bottom);
    EXPECT_GE(MeasuredAdvance(font, icon - 32), 18);
    EXPECT_LE(top, digitTop + 2);
    EXPECT_GE(bottom, digitBottom - 2);
    EXPECT_LE(bottom - top, 26);
  }
}

TEST(Pictures, ExplosionFramesPlayInOrder) {
  // The game plays frames row by row from the sheet's bottom-left (the TGA's first rows): the
  // fireball must grow over the first frames and thin out toward the last, or it plays backwards
  // or jumps between rows.
  ODecodedImage sheet;
  ASSERT_TRUE(LoadTexture("RExpl.Tga", sheet));
  u32 columns = sheet.width / 64;
  auto frameStats = [&](u32 f, u32& covered, i64& total) {
    u32 left = (f % columns) * 64, bottom = (f / columns) * 64;
    covered = 0;
    total = 0;
    for (u32 y = 0; y < 64; ++y)
      for (u32 x = 0; x < 64; ++x) {
        u8 a = sheet.pixels[((bottom + y) * sheet.width + left + x) * 4 + 3];
        total += a;
        if (a > 30) ++covered;
      }
  };
  u32 frames = columns * (sheet.height / 64);
  ASSERT_GE(frames, 8u);
  u32 first, middle, last;
  i64 firstTotal, middleTotal, lastTotal;
  frameStats(0, first, firstTotal);
  frameStats(frames / 3, middle, middleTotal);
  frameStats(frames - 1, last, lastTotal);
  EXPECT_LT(first, middle) << "the fireball grows";
  EXPECT_LT(lastTotal, middleTotal / 2) << "and fades at the end";
  EXPECT_GT(firstTotal, 0);
}

TEST(Pictures, ScreenBackgroundLeavesTextReadable) {
  // Score rows, help pages and options are printed in white and light grey over "SBackTex.jpg":
  // its middle must stay dark, and it must not be one flat colour either.
  ODecodedImage background;
  ASSERT_TRUE(LoadTexture("SBackTex.jpg", background));
  double sum = 0, sumSquares = 0;
  u32 count = 0;
  for (u32 y = background.height / 4; y < background.height * 3 / 4; ++y)
    for (u32 x = background.width / 4; x < background.width * 3 / 4; ++x) {
      const u8* p = PixelFromTop(background, false, x, y);
      double v = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
      sum += v;
      sumSquares += v * v;
      ++count;
    }
  double mean = sum / count, variance = sumSquares / count - mean * mean;
  EXPECT_LT(mean, 70.0);
  EXPECT_GT(variance, 4.0);
}
