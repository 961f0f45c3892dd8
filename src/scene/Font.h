#pragma once
// The game's one bitmap font, made from the picture "Font.Tga": a grid of 16 x 8 glyph cells of
// 32 x 32 pixels, cell i showing the character 32 + i. Each character is a textured square in a
// display list that ends by moving the pen right by the character's advance. All text on screen
// (HUD, captions, help and score pages, text fields) goes through it, in the pixel projection of
// Ortho2D (origin bottom left, y up).
#include <string>

#include "scene/Color.h"
#include "core/Types.h"

class OTexture;

constexpr u32 FONT_LISTS = 256;         // display lists made by Build
constexpr u32 FONT_ADVANCES = 512;      // entries of the advance table (0..127 are measured)
constexpr u32 FONT_FIRST_CHAR = 32;     // character of cell 0
constexpr u32 FONT_GLYPH_CELLS = 128;   // cells in the picture
constexpr f32 FONT_DEFAULT_ADVANCE = 10.0f;
constexpr f32 FONT_BLANK_ADVANCE = 12.0f;  // a cell without ink (the space)

// Measures the advances of the 128 glyph cells from the alpha of a font picture: `pixels` holds
// `height` rows of `width` pixels of `components` bytes, bottom row first (as a TGA stores
// them). Entry i becomes the index of the right-most inked column of cell i (0..31), or 12 when
// the cell has no ink; entries 128..511 become 10. Pictures of another size are measured where
// they have pixels (cells beyond them are blank); pictures without alpha have no ink.
void MeasureFontAdvances(const u8* pixels, u32 width, u32 height, u32 components,
                         f32 advance[FONT_ADVANCES]);

// The part of a glyph cell that can change a pixel: the texels with ink, grown by `margin` texels
// on every side for the filter's reach (one for bilinear filtering, more where mipmaps blend in),
// and by the ink of the neighbouring cells that filtering at the cell's edge draws in. Columns
// count from the cell's left, rows from its top, both 0..31 and inclusive; a cell that draws
// nothing has `empty` set.
struct OGlyphBox {
  u8 left = 0, right = 31, top = 0, bottom = 31;
  bool empty = false;
};

// Measures the boxes of the 128 glyph cells from a font picture laid out as for
// MeasureFontAdvances. Pictures without alpha leave every box the whole cell.
void MeasureFontInk(const u8* pixels, u32 width, u32 height, u32 components, u32 margin,
                    OGlyphBox boxes[FONT_GLYPH_CELLS]);

class OFont {
public:
  explicit OFont(const std::string& fileName);
  // Releases the texture and deletes the display lists.
  ~OFont();
  OFont(const OFont&) = delete;
  OFont& operator=(const OFont&) = delete;

  // Loads the picture and compiles the 256 character lists; the advances are measured on the
  // first build only and stay for the run. Needs the rendering context; called again after each
  // display change. `value` is not used. False when the picture did not load (a missing one
  // throws OFileNotFound).
  bool Build(u32 value);
  void DeleteLists();

  // Pixels from the pen to the end of the text at scale 1 (16 bits).
  u16 TextWidth(const std::string& text) const;
  // How many leading characters of the text fit in maxWidth pixels.
  u16 FitCount(const std::string& text, u16 maxWidth) const;
  // The characters at (x, y) scaled by `scale`, with the current colour and texture. `set` 0
  // draws the glyphs; 1 names lists 128 up, which have no picture.
  void DrawText(f32 x, f32 y, const std::string& text, i32 set, f32 scale);
  // The text in `colour`, blended, optionally over a black shadow one pixel right and down.
  void Print(f32 x, f32 y, const std::string& text, i32 n, bool shadow, f32 scale);
  // The characters that fit in maxWidth at the current model-view position; pulsing text takes
  // the pulse as its alpha and moves the pulse one step.
  void PrintClipped(u16 maxWidth, const std::string& text, f32 scale, bool pulsing);
  // Moves the pulse one step, turning round at 1.0 and 0.5.
  void AdvancePulse();

  // The advance of one character byte; 0 for the control codes below 32, which have no cell.
  f32 Advance(u8 c) const;

  f32 pulse = 1.0f;       // alpha of pulsing text, 0.5..1.0
  f32 pulseStep = 0.01f;  // change per pulsing print
  OTexture* texture = nullptr;  // owned
  u32 listBase = 0;       // first of the 256 lists, 0 before the first build
  std::string fileName;
  u16 cellSize = 32;      // texture pixels
  u8 listsDeleted = 0;
  f32 advance[FONT_ADVANCES];  // pixels the pen moves after list i
  // What of each cell is drawn, whole cells until measured: for text at its size or larger,
  // where one texel round the ink is all the filter reads, and for smaller text, where the
  // mipmaps blend in texels from further away.
  OGlyphBox boxes[FONT_GLYPH_CELLS];
  OGlyphBox smallBoxes[FONT_GLYPH_CELLS];
  OColor4 colour;         // text colour, set by callers before printing

private:
  // The vertices (inside glBegin(GL_QUADS)) of glyph cell i with its pen at (x, y), scaled: the
  // part of the cell's square that its box covers, with the texture coordinates the whole square
  // gives those points. A letter's blended square is mostly clear, and the clear texels leave
  // the pixel as it was: the head-up text costs the renderer a fraction of what it did.
  void GlyphSquare(u32 i, f32 x, f32 y, f32 scale) const;
  // The bytes of the text that name one of our lists in `set`: control codes, and in set 1 the
  // bytes past the last list, would call display lists that belong to others.
  std::string Drawable(const std::string& text, i32 set, size_t count) const;
};
