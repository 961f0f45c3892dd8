// The bitmap font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "assets/ArchiveWriter.h"
#include "assets/ImageTestSupport.h"
#include "assets/Resource.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "support/GLContext.h"

namespace {

constexpr u32 kW = 512, kH = 256;

// A 512 x 256 RGBA picture, bottom row first, with nothing inked.
std::vector<u8> BlankSheet() { return std::vector<u8>(kW * kH * 4, 0); }

// Inks the pixel at column px of the row py counted from the top of the picture.
void Ink(std::vector<u8>& p, u32 px, u32 py) {
  const u32 stored = kH - 1 - py;
  for (u32 channel = 0; channel < 4; ++channel) p[(stored * kW + px) * 4 + channel] = 255;
}

// A glyph of cell `cell` as a vertical bar from column 2 to column `right`, all cell rows.
void InkGlyph(std::vector<u8>& p, u32 cell, u32 right) {
  const u32 left = (cell % 16) * 32, top = (cell / 16) * 32;
  for (u32 row = 0; row < 32; ++row)
    for (u32 col = 2; col <= right; ++col) Ink(p, left + col, top + row);
}

// The font picture as a 32-bit TGA file (bottom row first, as the game's pictures are stored);
// inked pixels are white and opaque, so the file's blue-first order needs no swap.
std::vector<unsigned char> SheetTga(const std::vector<u8>& rgba) {
  const std::string t = image_test::MakeTga(2, kW, kH, 32, std::string(rgba.begin(), rgba.end()));
  return {t.begin(), t.end()};
}

}  // namespace

TEST(FontTest, AdvancesMeasuredFromThePictureAndSummedOverText) {
  std::vector<u8> sheet = BlankSheet();
  InkGlyph(sheet, 'A' - 32, 20);  // 'A' ends at column 20
  InkGlyph(sheet, 127, 31);       // the last cell is inked to its right edge
  // One pixel in the bottom row of the '!' cell, far left: found by the column scan.
  Ink(sheet, 1 * 32 + 0, 31);
  f32 advance[FONT_ADVANCES];
  MeasureFontAdvances(sheet.data(), kW, kH, 4, advance);
  EXPECT_EQ(advance['A' - 32], 20.0f);
  EXPECT_EQ(advance[127], 31.0f);
  EXPECT_EQ(advance['!' - 32], 0.0f);
  // An empty cell (the space) advances 12; entries past the picture's cells keep 10.
  EXPECT_EQ(advance[0], 12.0f);
  EXPECT_EQ(advance[511], 10.0f);

  // Rows are stored bottom first: ink in the picture's top row belongs to the first cell row,
  // not to the last one.
  std::vector<u8> top = BlankSheet();
  Ink(top, 5, 0);
  MeasureFontAdvances(top.data(), kW, kH, 4, advance);
  EXPECT_EQ(advance[0], 5.0f);
  EXPECT_EQ(advance[112], 12.0f);

  // A smaller picture is measured where it has pixels; no alpha channel means no ink.
  std::vector<u8> small(64 * 32 * 4, 255);
  MeasureFontAdvances(small.data(), 64, 32, 4, advance);
  EXPECT_EQ(advance[1], 31.0f);
  EXPECT_EQ(advance[16], 12.0f);
  std::vector<u8> rgb(kW * kH * 3, 255);
  MeasureFontAdvances(rgb.data(), kW, kH, 3, advance);
  EXPECT_EQ(advance['A' - 32], 12.0f);

  OFont font("Font.Tga");
  font.advance['A' - 32] = 20.7f;  // advances are truncated when summed
  font.advance['B' - 32] = 15.0f;
  EXPECT_EQ(font.FitCount("", 100), 0);
  EXPECT_EQ(font.TextWidth("AB"), 35);
  // The exact width fits; one pixel less drops the character that overflows.
  EXPECT_EQ(font.FitCount("AB", 35), 2);
  EXPECT_EQ(font.FitCount("AB", 34), 1);
  // Every byte value is measured from inside the table: control codes measure nothing, and the
  // bytes without a picture cell keep the default.
  std::string every;
  for (int c = 1; c < 256; ++c) every.push_back(static_cast<char>(c));
  EXPECT_EQ(font.TextWidth(every), 20 + 15 + (224 - 2) * 10);
  // Widths are 16-bit, as the screens store them.
  std::string wide(7000, 'B');
  EXPECT_EQ(font.TextWidth(wide), static_cast<u16>(7000 * 15));
}

TEST(FontTest, InkBoxesHoldEveryTexelTheFilterReads) {
  std::vector<u8> sheet = BlankSheet();
  Ink(sheet, 32 * 3 + 10, 12);       // cell 3: one texel at column 10, row 12
  Ink(sheet, 32 * 4 + 0, 192);       // cell 100: its top-left texel, so the box stops at the cell
  Ink(sheet, 32 * 6 + 31, 40);       // cell 22's right edge, which cell 23 reads at its left edge
  OGlyphBox boxes[FONT_GLYPH_CELLS];
  MeasureFontInk(sheet.data(), kW, kH, 4, 1, boxes);
  // Left, right, top, bottom; none for a cell that draws nothing.
  auto box = [&boxes](int cell) {
    const OGlyphBox& b = boxes[cell];
    return b.empty ? std::vector<int>{} : std::vector<int>{b.left, b.right, b.top, b.bottom};
  };
  EXPECT_EQ(box(3), (std::vector<int>{9, 11, 11, 13})) << "grown by the margin on every side";
  EXPECT_EQ(box(100), (std::vector<int>{0, 1, 0, 1})) << "clamped to the cell";
  EXPECT_EQ(box(23), (std::vector<int>{0, 0, 7, 9})) << "the neighbour's ink read across the edge";
  EXPECT_EQ(box(0), std::vector<int>{}) << "no ink near it";
  std::vector<u8> rgb(kW * kH * 3, 255);
  MeasureFontInk(rgb.data(), kW, kH, 3, 1, boxes);
  EXPECT_EQ(box(0), (std::vector<int>{0, 31, 0, 31})) << "no alpha: whole cells";
}

TEST(FontTest, BuildAndPrintOnAContext) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("no display");
  ScratchDir dir;
  TestGLWindow window;
  ASSERT_TRUE(window.Open());
  std::vector<u8> sheet = BlankSheet();
  InkGlyph(sheet, 'I' - 32, 9);
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"Data/Textures/Font.Tga", SheetTga(sheet)}}));
  ASSERT_TRUE(GetResource().Open());

  OFont font("Font.Tga");
  ASSERT_TRUE(font.Build(65534));
  EXPECT_EQ(font.advance['I' - 32], 9.0f);
  EXPECT_TRUE(glIsList(font.listBase + 255));

  // "II" printed white at (100, 100): two bars of ink, 9 pixels apart, black elsewhere.
  glViewport(0, 0, window.width, window.height);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(window.width, window.height);
  glEnable(GL_TEXTURE_2D);
  font.Print(100, 100, "II\x01", 0, false, 1.0f);
  const std::vector<u8> p = ReadBackBuffer(window.width, window.height);
  auto red = [&](int x, int y) { return p[(y * window.width + x) * 3]; };
  EXPECT_GT(red(100 + 5, 115), 200);
  EXPECT_GT(red(100 + 9 + 5, 115), 200);
  EXPECT_LT(red(100 + 1, 115), 50);
  EXPECT_LT(red(100 + 9 + 16, 115), 50);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // Only the inked part of each cell goes down, and it draws what the whole squares draw, at
  // the size, magnified and at a third of it, where the mipmaps blend in: at most a rounding
  // step apart.
  for (const f32 scale : {1.0f, 1.7f, 0.3f}) {
    std::vector<u8> pictures[2];
    for (int whole = 0; whole < 2; ++whole) {
      const OGlyphBox kept[2] = {font.boxes['I' - 32], font.smallBoxes['I' - 32]};
      if (whole) font.boxes['I' - 32] = font.smallBoxes['I' - 32] = OGlyphBox();
      glClear(GL_COLOR_BUFFER_BIT);
      glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
      font.Print(100.3f, 100.6f, "I I", 0, true, scale);
      pictures[whole] = ReadBackBuffer(window.width, window.height);
      font.boxes['I' - 32] = kept[0];
      font.smallBoxes['I' - 32] = kept[1];
    }
    int worst = 0;
    for (size_t k = 0; k < pictures[0].size(); ++k)
      worst = std::max(worst, std::abs(pictures[0][k] - pictures[1][k]));
    EXPECT_LE(worst, 1) << "scale " << scale;
  }
  EXPECT_LT(font.boxes['I' - 32].right, 31);

  // A rebuild (after a display change) keeps the measured advances and makes new lists.
  font.advance['I' - 32] = 14.0f;
  font.DeleteLists();
  ASSERT_TRUE(font.Build(65534));
  EXPECT_EQ(font.advance['I' - 32], 14.0f);
  EXPECT_TRUE(glIsList(font.listBase));
}
