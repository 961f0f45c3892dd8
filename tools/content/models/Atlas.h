#pragma once
// The one texture that colours every model except the bricks (which wear the brick skin): the
// game draws models in white and never applies their materials, so a model's colours come from
// where its texture coordinates point. The picture is 256 x 256, 32-bit:
//   rows 0..127    eight 64 x 64 wall panels for the cages (PANEL_...), four per 64-row band;
//   rows 128..255  the palette: 32 colours in two bands of 16, each colour a 16-pixel column
//                  whose rows run from dark (row 0 of the band) to bright, so that a model can
//                  pick a colour and, for models drawn unlit, a baked brightness.
#include <vector>

#include "core/Types.h"

// Name of the texture in the archive, as a model's header names it.
extern const char* const ATLAS_NAME;  // "ModelAtlas.Tga"

enum OPaletteColour {
  PAL_WHITE, PAL_SILVER, PAL_GREY, PAL_GUNMETAL, PAL_BLACK, PAL_RED, PAL_DARKRED, PAL_ORANGE,
  PAL_YELLOW, PAL_GOLD, PAL_GREEN, PAL_DARKGREEN, PAL_CYAN, PAL_BLUE, PAL_NAVY, PAL_PURPLE,
  PAL_PINK, PAL_BROWN, PAL_TAN, PAL_STEEL, PAL_CHROME, PAL_GLASS, PAL_GLASSWHITE, PAL_LIME,
  PAL_MAGENTA, PAL_TEAL, PAL_CREAM, PAL_COPPER, PAL_SKY, PAL_CRIMSON, PAL_GLOW, PAL_VIOLET,
  PAL_COUNT
};

enum OPanel {
  PANEL_TILE_BLUE, PANEL_TILE_GREEN, PANEL_TILE_RED, PANEL_GRID,
  PANEL_PLATE_STEEL, PANEL_PLATE_AMBER, PANEL_PLATE_CRIMSON, PANEL_LIGHT,
  PANEL_COUNT
};

// Texture coordinates of a palette colour at brightness `shade` (0.35 .. 1.2; 1 is the plain
// colour).
void PaletteUV(int colour, f32 shade, f32& s, f32& t);
// The rectangle (u0, v0, u1, v1) of a panel, pulled in by a pixel so that filtering never
// reaches the neighbour.
void PanelRect(int panel, f32 rect[4]);

// The atlas as an uncompressed 32-bit TGA file (first row in the file is t = 0).
std::vector<unsigned char> BuildAtlasTga();
