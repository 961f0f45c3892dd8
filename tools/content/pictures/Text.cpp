#include "pictures/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {
// Debian's fonts-dejavu-core puts the faces here; BRIKON_FONT_DIR (ending in '/') points
// elsewhere, for tests of a machine without them.
std::string FontFolder() {
  const char* folder = std::getenv("BRIKON_FONT_DIR");
  return folder ? folder : "/usr/share/fonts/truetype/dejavu/";
}
}

OTextFace::OTextFace(const std::string& fileName) {
  if (FT_Init_FreeType(&library) != 0) {
    library = nullptr;
    return;
  }
  std::string path = FontFolder() + fileName;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) face = nullptr;
}

OTextFace::~OTextFace() {
  if (face) FT_Done_Face(face);
  if (library) FT_Done_FreeType(library);
}

void OTextFace::SetSize(float pixels, float xScale) {
  if (!face) return;
  // 26.6 fixed point; the horizontal scale goes through the char size so hinting stays sound.
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(pixels * xScale * 64)),
                   static_cast<FT_F26Dot6>(std::lround(pixels * 64)), 72, 72);
}

float OTextFace::Ascender() const { return face ? face->size->metrics.ascender / 64.0f : 0; }
float OTextFace::Descender() const { return face ? -face->size->metrics.descender / 64.0f : 0; }

OGlyph OTextFace::Glyph(u32 codePoint) {
  OGlyph glyph;
  if (!face || codePoint == 0) return glyph;
  if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return glyph;
  FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.mask = OMask(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
  for (unsigned y = 0; y < bitmap.rows; ++y)
    for (unsigned x = 0; x < bitmap.width; ++x)
      glyph.mask.Ref(static_cast<int>(x), static_cast<int>(y)) =
          bitmap.buffer[y * bitmap.pitch + x] / 255.0f;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.advance = slot->advance.x / 64.0f;
  return glyph;
}

OTextLine OTextFace::Line(const std::string& text, float spacing) {
  OTextLine line;
  int pad = 4;
  float ascender = Ascender(), descender = Descender();
  float width = 0;
  std::vector<OGlyph> glyphs;
  for (unsigned char c : text) {
    glyphs.push_back(Glyph(c));
    width += glyphs.back().advance + spacing;
  }
  int w = static_cast<int>(std::ceil(width)) + 2 * pad + 8;
  int h = static_cast<int>(std::ceil(ascender + descender)) + 2 * pad;
  line.mask = OMask(w, h);
  line.baseline = pad + static_cast<int>(std::ceil(ascender));
  float pen = static_cast<float>(pad);
  for (const OGlyph& g : glyphs) {
    line.mask.Max(g.mask, static_cast<int>(std::lround(pen)) + g.left, line.baseline - g.top);
    pen += g.advance + spacing;
  }
  line.inkLeft = w;
  line.inkTop = h;
  line.inkRight = line.inkBottom = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (line.mask.At(x, y) > 0) {
        line.inkLeft = std::min(line.inkLeft, x);
        line.inkRight = std::max(line.inkRight, x);
        line.inkTop = std::min(line.inkTop, y);
        line.inkBottom = std::max(line.inkBottom, y);
      }
  return line;
}

bool FontsAvailable(const char* const* fileNames, int count) {
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    OTextFace face(fileNames[i]);
    if (!face.Ok()) {
      std::fprintf(stderr, "brikon-content: cannot open the font %s%s (package fonts-dejavu-core)\n",
                   FontFolder().c_str(), fileNames[i]);
      ok = false;
    }
  }
  return ok;
}

u32 Windows1252ToUnicode(u8 c) {
  static const u32 high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (c == 0x7F) return 0;  // delete: a control code, no glyph
  if (c >= 0x80 && c < 0xA0) return high[c - 0x80];
  return c;
}
