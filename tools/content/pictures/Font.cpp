// "Font.Tga": the game's one bitmap font. 512x256 pixels, 16 x 8 cells of 32 x 32; cell i holds
// the Windows-1252 character 32 + i, white with antialiased alpha. The game measures each
// character's advance as the index of the right-most column of the cell that has any alpha, so
// every glyph starts a little in from the cell's left edge (that margin is the gap between
// letters) and must end before the last column. The cells of '{' and '|' hold the HUD's lives and
// score icons.
#include <algorithm>
#include <cmath>

#include "pictures/Pictures.h"
#include "pictures/Text.h"

namespace {

const int kCell = 32;
const float kPixelSize = 22.0f;  // the em; caps stand 16 px tall
const int kBaseline = 24;        // cell row of the baseline, counted from the top
const int kPen = 1;              // where the pen starts in the cell: with the bearing, the gap before each glyph
const int kLastInkColumn = 30;   // keeps one clear column so neighbours never touch

int CellLeft(int i) { return (i % 16) * kCell; }
int CellTop(int i) { return (i / 16) * kCell; }

// Copies one glyph's coverage into cell i as alpha over white.
void PutGlyph(OCanvas& canvas, int i, const OGlyph& glyph, int pen) {
  for (int y = 0; y < glyph.mask.Height(); ++y)
    for (int x = 0; x < glyph.mask.Width(); ++x) {
      int cx = pen + glyph.left + x, cy = kBaseline - glyph.top + y;
      if (cx < 0 || cy < 0 || cx > kLastInkColumn || cy >= kCell) continue;
      float a = glyph.mask.At(x, y);
      if (a <= 0) continue;
      OColorF& p = canvas.Ref(CellLeft(i) + cx, CellTop(i) + cy);
      p.a = std::max(p.a, a);
    }
}

// The glyph of one code point, narrowed until it fits between the pen and the last column.
OGlyph FittedGlyph(OTextFace& face, u32 codePoint, int& pen) {
  float xScale = 1.0f;
  for (;;) {
    face.SetSize(kPixelSize, xScale);
    OGlyph glyph = face.Glyph(codePoint);
    // A glyph that reaches left of its pen (j, some italics of quotes) starts one column in.
    pen = std::max(kPen, 1 - glyph.left);
    int right = pen + glyph.left + glyph.mask.Width() - 1;
    if (right <= kLastInkColumn || xScale < 0.5f) return glyph;
    xScale *= 0.95f;
  }
}

// The lives icon: a small glowing ball like the one in play.
void PaintLivesIcon(OCanvas& cell) { PaintBall(cell, 13.0f, 16.5f, 9.5f, Hex(palette::kCyan)); }

// The score icon: a gold star.
void PaintScoreIcon(OCanvas& cell) { PaintStar(cell, 13.5f, 17.0f, 12.0f); }

void PutIcon(OCanvas& canvas, int i, void (*paint)(OCanvas&)) {
  OCanvas cell(kCell, kCell, OColorF{1, 1, 1, 0});
  paint(cell);
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x <= kLastInkColumn; ++x) {
      OColorF c = cell.At(x, y);
      if (c.a <= 0) continue;
      canvas.Ref(CellLeft(i) + x, CellTop(i) + y) = c;
    }
}

}  // namespace

void AddFontPicture(std::vector<OContentFile>& archive) {
  OCanvas canvas(16 * kCell, 8 * kCell, OColorF{1, 1, 1, 0});
  OTextFace face("DejaVuSans.ttf");
  for (int i = 0; i < 128; ++i) {
    u8 code = static_cast<u8>(32 + i);
    if (code == '{') {
      PutIcon(canvas, i, PaintLivesIcon);
      continue;
    }
    if (code == '|') {
      PutIcon(canvas, i, PaintScoreIcon);
      continue;
    }
    u32 codePoint = Windows1252ToUnicode(code);
    if (code == ' ' || codePoint == 0) continue;  // empty cells advance 12 px in the game
    int pen = kPen;
    OGlyph glyph = FittedGlyph(face, codePoint, pen);
    PutGlyph(canvas, i, glyph, pen);
  }
  AddTga(archive, "Font.Tga", canvas, 4);
}
