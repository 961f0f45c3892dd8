#pragma once
// 3D letters for the game's titles and buttons: a 5 x 7 pixel font whose pixels are built as
// small bevelled blocks, so that words look built from bricks.
#include <string>

#include "models/Mesh.h"

// Pixel rows of a glyph, top row first, 5 columns each ('#' set). Unknown characters are blank.
const char* const* GlyphRows(char c);
// Width in pixel columns of `text` at one pixel per column: 5 per glyph, 3 for a space, 1 between.
int TextColumns(const std::string& text);

// How a word is built. Local space: x to the right, y up, the letters' front face toward -z
// when `facePlusZ` is false (the game's own cameras look along +z), else toward +z.
struct OTextStyle {
  f32 pixel = 1.0f;     // size of one pixel block
  f32 gap = 0.08f;      // fraction of a pixel left between neighbouring blocks
  f32 depth = 1.0f;     // thickness of the letters along z
  f32 bevel = 0.18f;    // fraction of a pixel cut off every edge
  bool facePlusZ = false;
  // Join each horizontal run of pixels into one block: cleaner strokes for small lettering.
  bool mergeRuns = false;
  // Colour of the block at glyph column/row (row 0 is the top row), glyph index in the text.
  OPaint (*paintOf)(int glyph, int column, int row, const void* user) = nullptr;
  const void* user = nullptr;
  OPaint paint;  // used when paintOf is null
  // Every face of every block maps the whole texture the screen binds (instead of `paint`).
  bool skinPerBlock = false;
};

// Builds `text` with its left edge at x = left and its vertical middle at y = 0 (the glyph cell
// spans 7 pixels), letters spanning z from 0 to the depth (behind their front face).
void BuildText(OMeshObject& o, const OFrame& f, const std::string& text, f32 left,
               const OTextStyle& style);
