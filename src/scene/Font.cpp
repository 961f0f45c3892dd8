#include "scene/Font.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <GL/gl.h>

#include "assets/Texture.h"

namespace {

constexpr u32 CELL = 32;          // glyph cell side, picture pixels
constexpr u32 CELLS_ACROSS = 16;  // cells per picture row

// Alpha of picture pixel (px, py), py counted from the top; 0 outside the picture.
u8 AlphaAt(const u8* pixels, u32 width, u32 height, u32 components, u32 px, u32 py) {
  if (px >= width || py >= height || components != 4) return 0;
  const u32 storedRow = height - 1 - py;  // rows are kept bottom first
  return pixels[(static_cast<size_t>(storedRow) * width + px) * 4 + 3];
}

}  // namespace

void MeasureFontInk(const u8* pixels, u32 width, u32 height, u32 components, u32 margin,
                    OGlyphBox boxes[FONT_GLYPH_CELLS]) {
  for (u32 cell = 0; cell < FONT_GLYPH_CELLS; ++cell) boxes[cell] = OGlyphBox();
  if (pixels == nullptr || components != 4) return;
  const i32 side = static_cast<i32>(CELL);
  for (u32 cell = 0; cell < FONT_GLYPH_CELLS; ++cell) {
    const i32 left = static_cast<i32>((cell % CELLS_ACROSS) * CELL);
    const i32 top = static_cast<i32>((cell / CELLS_ACROSS) * CELL);
    i32 x0 = side + 1, x1 = -2, y0 = side + 1, y1 = -2;
    // The ring of texels round the cell counts too: filtering at the cell's edge reads them.
    for (i32 row = -1; row <= side; ++row) {
      for (i32 col = -1; col <= side; ++col) {
        const i32 px = left + col, py = top + row;
        if (px < 0 || py < 0) continue;
        if (AlphaAt(pixels, width, height, components, static_cast<u32>(px), static_cast<u32>(py)) ==
            0) {
          continue;
        }
        x0 = std::min(x0, col);
        x1 = std::max(x1, col);
        y0 = std::min(y0, row);
        y1 = std::max(y1, row);
      }
    }
    OGlyphBox& box = boxes[cell];
    if (x1 < x0) {
      box.empty = true;
      continue;
    }
    const i32 m = static_cast<i32>(margin);
    box.left = static_cast<u8>(std::clamp(x0 - m, 0, side - 1));
    box.right = static_cast<u8>(std::clamp(x1 + m, 0, side - 1));
    box.top = static_cast<u8>(std::clamp(y0 - m, 0, side - 1));
    box.bottom = static_cast<u8>(std::clamp(y1 + m, 0, side - 1));
  }
}

void MeasureFontAdvances(const u8* pixels, u32 width, u32 height, u32 components,
                         f32 advance[FONT_ADVANCES]) {
  for (u32 i = 0; i < FONT_ADVANCES; ++i) advance[i] = FONT_DEFAULT_ADVANCE;
  for (u32 cell = 0; cell < FONT_GLYPH_CELLS; ++cell) {
    const u32 left = (cell % CELLS_ACROSS) * CELL;
    const u32 top = (cell / CELLS_ACROSS) * CELL;
    f32 measured = FONT_BLANK_ADVANCE;
    // From the cell's right edge leftwards: the first inked column ends the glyph.
    for (i32 col = CELL - 1; col >= 0; --col) {
      bool inked = false;
      for (u32 row = 0; row < CELL && !inked && pixels != nullptr; ++row) {
        inked = AlphaAt(pixels, width, height, components, left + col, top + row) != 0;
      }
      if (inked) {
        measured = static_cast<f32>(col);
        break;
      }
    }
    advance[cell] = measured;
  }
}

OFont::OFont(const std::string& fileName) : fileName(fileName) {
  for (f32& a : advance) a = FONT_DEFAULT_ADVANCE;
  colour.SetWithAlpha(1.0f, 1.0f, 1.0f, 1.0f);
}

OFont::~OFont() {
  delete texture;
  texture = nullptr;
  DeleteLists();
}

bool OFont::Build(u32) {
  // Lists of this context that were never deleted would be lost; after a display change the
  // caller has deleted them already, with the old context.
  if (listBase != 0 && !listsDeleted) glDeleteLists(listBase, FONT_LISTS);
  listBase = glGenLists(FONT_LISTS);
  listsDeleted = 0;

  const bool rebuild = texture != nullptr;
  delete texture;
  texture = new OTexture();
  if (!texture->Load(fileName) || texture->image == nullptr) return false;
  if (!rebuild) {
    const OBaseImage* image = texture->image;
    std::vector<u8> pixels;
    image->CopyPixels(pixels);
    const u8* picture = pixels.empty() ? nullptr : pixels.data();
    MeasureFontAdvances(picture, image->width, image->height, image->components, advance);
    MeasureFontInk(picture, image->width, image->height, image->components, 1, boxes);
    // Text down to a quarter of its size reads mipmap level 2, a texel of which stands for four
    // of the picture's.
    MeasureFontInk(picture, image->width, image->height, image->components, 8, smallBoxes);
  }

  for (u32 i = 0; i < FONT_LISTS; ++i) {
    glNewList(listBase + i, GL_COMPILE);
    glBegin(GL_QUADS);
    GlyphSquare(i, 0.0f, 0.0f, 1.0f);
    glEnd();
    glTranslated(advance[i], 0.0, 0.0);
    glEndList();
  }
  return true;
}

void OFont::DeleteLists() {
  if (listBase != 0 && !listsDeleted) glDeleteLists(listBase, FONT_LISTS);
  listsDeleted = 1;
}

f32 OFont::Advance(u8 c) const {
  if (c < FONT_FIRST_CHAR) return 0.0f;
  return advance[c - FONT_FIRST_CHAR];
}

u16 OFont::TextWidth(const std::string& text) const {
  u16 sum = 0;
  for (unsigned char c : text) sum = static_cast<u16>(sum + static_cast<u16>(Advance(c)));
  return sum;
}

u16 OFont::FitCount(const std::string& text, u16 maxWidth) const {
  u16 sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    sum = static_cast<u16>(sum + static_cast<u16>(Advance(static_cast<u8>(text[i]))));
    if (sum > maxWidth) return static_cast<u16>(i);
  }
  return static_cast<u16>(text.size());
}

std::string OFont::Drawable(const std::string& text, i32 set, size_t count) const {
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count && i < text.size(); ++i) {
    const u32 c = static_cast<unsigned char>(text[i]);
    if (c < FONT_FIRST_CHAR) continue;
    if (c - FONT_FIRST_CHAR + static_cast<u32>(set) * 128 >= FONT_LISTS) continue;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

void OFont::DrawText(f32 x, f32 y, const std::string& text, i32 set, f32 scale) {
  if (set > 1) set = 1;
  if (set < 0) set = 0;
  const std::string drawn = Drawable(text, set, text.size());
  // The letters go down as one batch of squares, each where its list would have put it: a list
  // a letter cost the renderer a draw and a matrix change each, more than their pixels.
  glBegin(GL_QUADS);
  f32 pen = 0.0f;  // font pixels, before scaling
  for (char c : drawn) {
    const u32 i = static_cast<unsigned char>(c) - FONT_FIRST_CHAR + static_cast<u32>(set) * 128;
    GlyphSquare(i, x + pen * scale, y, scale);
    pen += advance[i];
  }
  glEnd();
}

void OFont::GlyphSquare(u32 i, f32 x, f32 y, f32 scale) const {
  // Cell i of the 16 x 8 sheet, row 0 at the top; a letter is a 31-pixel square from its pen
  // showing the cell's 32 texels, of which the box's go down.
  OGlyphBox box;
  if (i < FONT_GLYPH_CELLS) box = scale < 1.0f ? smallBoxes[i] : boxes[i];
  if (box.empty) return;
  const f32 cx = static_cast<f32>(i % 16) * 0.0625f;
  const f32 t = 1.0f - static_cast<f32>(i / 16) * 0.125f;
  const f32 texel = 31.0f * scale / 32.0f;  // units a texel of the cell spans
  const f32 x0 = x + texel * box.left, x1 = x + texel * (box.right + 1);
  const f32 y1 = y + texel * (32 - box.top), y0 = y + texel * (31 - box.bottom);
  const f32 u0 = cx + box.left / 512.0f, u1 = cx + (box.right + 1) / 512.0f;
  const f32 v1 = t - box.top / 256.0f, v0 = t - (box.bottom + 1) / 256.0f;
  glTexCoord2f(u0, v0);
  glVertex2f(x0, y0);
  glTexCoord2f(u1, v0);
  glVertex2f(x1, y0);
  glTexCoord2f(u1, v1);
  glVertex2f(x1, y1);
  glTexCoord2f(u0, v1);
  glVertex2f(x0, y1);
}

void OFont::Print(f32 x, f32 y, const std::string& text, i32, bool shadow, f32 scale) {
  if (texture != nullptr) texture->Bind();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  if (shadow) {
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    DrawText(x + 1.0f, y - 1.0f, text, 0, scale);
  }
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  colour.Apply();
  DrawText(x, y, text, 0, scale);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
}

void OFont::AdvancePulse() {
  pulse += pulseStep;
  if (pulse > 1.0f) {
    pulse = 1.0f;
    pulseStep = -std::fabs(pulseStep);
  }
  if (pulse < 0.5f) {
    pulse = 0.5f;
    pulseStep = std::fabs(pulseStep);
  }
}

void OFont::PrintClipped(u16 maxWidth, const std::string& text, f32 scale, bool pulsing) {
  const u16 n = FitCount(text, maxWidth);
  const std::string drawn = Drawable(text, 0, n);
  glDisable(GL_DEPTH_TEST);
  if (texture != nullptr) texture->Bind();
  glPushMatrix();
  glScalef(scale, scale, scale);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glListBase(listBase - FONT_FIRST_CHAR);
  if (pulsing) {
    colour.SetAlpha(pulse);
    colour.Apply();
    AdvancePulse();
    glCallLists(static_cast<GLsizei>(drawn.size()), GL_UNSIGNED_BYTE, drawn.data());
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    colour.SetAlpha(1.0f);
  } else {
    glDisable(GL_ALPHA_TEST);
    colour.Apply();
    glCallLists(static_cast<GLsizei>(drawn.size()), GL_UNSIGNED_BYTE, drawn.data());
  }
  glPopMatrix();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}
