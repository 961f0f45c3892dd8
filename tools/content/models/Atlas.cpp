#include "models/Atlas.h"

#include <algorithm>
#include <cmath>

const char* const ATLAS_NAME = "ModelAtlas.Tga";

namespace {

const int SIZE = 256;
const int PALETTE_ROW = 128;  // first pixel row of the palette
const int BAND = 64;          // pixel rows per palette band
const int COLUMN = 16;        // pixel columns per colour
const f32 SHADE_LOW = 0.35f, SHADE_HIGH = 1.2f;

struct ORgba {
  u8 r, g, b, a;
};

// The palette, in the order of OPaletteColour. Glass colours are see-through where the game
// draws a model blended (the bat).
const ORgba PALETTE[PAL_COUNT] = {
    {240, 240, 236, 255},  // WHITE
    {190, 196, 204, 255},  // SILVER
    {128, 132, 140, 255},  // GREY
    {70, 76, 86, 255},     // GUNMETAL
    {28, 30, 36, 255},     // BLACK
    {220, 40, 36, 255},    // RED
    {128, 18, 22, 255},    // DARKRED
    {245, 132, 28, 255},   // ORANGE
    {250, 222, 50, 255},   // YELLOW
    {222, 170, 40, 255},   // GOLD
    {56, 190, 70, 255},    // GREEN
    {24, 100, 44, 255},    // DARKGREEN
    {40, 210, 230, 255},   // CYAN
    {40, 96, 224, 255},    // BLUE
    {24, 40, 110, 255},    // NAVY
    {130, 60, 200, 255},   // PURPLE
    {246, 120, 170, 255},  // PINK
    {120, 72, 36, 255},    // BROWN
    {210, 176, 120, 255},  // TAN
    {104, 128, 156, 255},  // STEEL
    {214, 232, 250, 255},  // CHROME
    {90, 200, 255, 110},   // GLASS
    {220, 240, 255, 70},   // GLASSWHITE
    {160, 230, 40, 255},   // LIME
    {226, 50, 200, 255},   // MAGENTA
    {30, 150, 140, 255},   // TEAL
    {246, 236, 200, 255},  // CREAM
    {200, 110, 60, 255},   // COPPER
    {120, 190, 250, 255},  // SKY
    {190, 20, 60, 255},    // CRIMSON
    {255, 250, 200, 255},  // GLOW
    {100, 70, 230, 255},   // VIOLET
};

u8 Clamp8(f32 v) { return static_cast<u8>(std::min(255.0f, std::max(0.0f, v + 0.5f))); }

// Deterministic value noise in 0..1 from integer coordinates (no generator state).
f32 Hash(int x, int y, int seed) {
  unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u +
               static_cast<unsigned>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<f32>(h & 0xFFFF) / 65535.0f;
}

// One 64 x 64 panel: x, y within the panel (y = 0 is the panel's t = 0 row).
ORgba PanelPixel(int panel, int x, int y) {
  f32 n = Hash(x, y, panel + 1) * 0.08f - 0.04f;
  f32 r = 0, g = 0, b = 0;
  auto Base = [&](f32 br, f32 bg, f32 bb) {
    r = br;
    g = bg;
    b = bb;
  };
  // Distance from the panel's edge, for bevels and frames.
  int edge = std::min(std::min(x, 63 - x), std::min(y, 63 - y));
  switch (panel) {
    case PANEL_TILE_BLUE: Base(0.17f, 0.27f, 0.58f); break;
    case PANEL_TILE_GREEN: Base(0.13f, 0.44f, 0.33f); break;
    case PANEL_TILE_RED: Base(0.52f, 0.15f, 0.2f); break;
    case PANEL_GRID: Base(0.16f, 0.18f, 0.26f); break;
    case PANEL_PLATE_STEEL: Base(0.5f, 0.58f, 0.66f); break;
    case PANEL_PLATE_AMBER: Base(0.5f, 0.4f, 0.3f); break;
    case PANEL_PLATE_CRIMSON: Base(0.42f, 0.14f, 0.2f); break;
    case PANEL_LIGHT: Base(0.9f, 0.97f, 1.0f); break;
  }
  // Walls stay darker than any brick skin, so that bricks of every skin stand out on them.
  if (panel != PANEL_LIGHT && panel != PANEL_GRID) {
    r *= 0.8f;
    g *= 0.8f;
    b *= 0.8f;
  }
  f32 k = 1.0f + n;
  if (panel <= PANEL_TILE_RED) {
    // A glazed tile: bright upper-left bevel, dark lower-right bevel, a soft sheen inside.
    if (edge < 5) {
      bool lit = (x < 5 && x <= y) || (y >= 59 && 63 - y <= 63 - x) ? true : false;
      k = lit ? 1.45f : 0.6f;
      if (edge == 0) k = 0.35f;
    } else {
      f32 sheen = 1.0f - (static_cast<f32>(x) + static_cast<f32>(63 - y)) / 126.0f;
      k = 0.9f + 0.25f * sheen + n;
    }
  } else if (panel == PANEL_GRID) {
    // Dark glass with a fine bright grid line on its border and across its middle.
    bool line = edge == 0 || x == 31 || x == 32 || y == 31 || y == 32;
    if (line) Base(0.4f, 0.75f, 1.0f);
    k = line ? 1.0f : 0.9f + n * 2.0f;
  } else if (panel == PANEL_LIGHT) {
    k = edge < 3 ? 0.7f : 1.0f;
  } else {
    // A brushed metal plate with a recessed seam and four rivets.
    f32 brush = Hash(0, y, panel + 7) * 0.12f;
    k = 0.92f + brush + n;
    if (edge < 2) k = 0.45f;
    else if (edge < 4) k = 1.3f;
    int rx = x < 32 ? x - 9 : x - 54, ry = y < 32 ? y - 9 : y - 54;
    int d2 = rx * rx + ry * ry;
    if (d2 <= 9) k = d2 <= 2 ? 1.5f : 1.15f;
  }
  return ORgba{Clamp8(r * k * 255.0f), Clamp8(g * k * 255.0f), Clamp8(b * k * 255.0f), 255};
}

}  // namespace

void PaletteUV(int colour, f32 shade, f32& s, f32& t) {
  colour = std::min(std::max(colour, 0), static_cast<int>(PAL_COUNT) - 1);
  f32 k = (std::min(std::max(shade, SHADE_LOW), SHADE_HIGH) - SHADE_LOW) / (SHADE_HIGH - SHADE_LOW);
  int column = colour % 16, band = colour / 16;
  s = (static_cast<f32>(column * COLUMN) + COLUMN * 0.5f) / SIZE;
  // Rows 2..61 of the band carry the ramp; the outer two rows are kept away from filtering.
  t = (static_cast<f32>(PALETTE_ROW + band * BAND) + 2.5f + k * 58.0f) / SIZE;
}

void PanelRect(int panel, f32 rect[4]) {
  int cx = (panel % 4) * 64, cy = (panel / 4) * 64;
  rect[0] = (static_cast<f32>(cx) + 1.0f) / SIZE;
  rect[1] = (static_cast<f32>(cy) + 1.0f) / SIZE;
  rect[2] = (static_cast<f32>(cx + 64) - 1.0f) / SIZE;
  rect[3] = (static_cast<f32>(cy + 64) - 1.0f) / SIZE;
}

std::vector<unsigned char> BuildAtlasTga() {
  std::vector<unsigned char> out(18 + SIZE * SIZE * 4, 0);
  out[2] = 2;  // uncompressed true colour
  out[12] = SIZE & 0xFF;
  out[13] = SIZE >> 8;
  out[14] = SIZE & 0xFF;
  out[15] = SIZE >> 8;
  out[16] = 32;
  out[17] = 8;  // eight alpha bits; rows are stored from t = 0 up
  for (int y = 0; y < SIZE; ++y) {
    for (int x = 0; x < SIZE; ++x) {
      ORgba p{0, 0, 0, 255};
      if (y < PALETTE_ROW) {
        int panel = (y / 64) * 4 + x / 64;
        p = PanelPixel(panel, x % 64, y % 64);
      } else {
        int band = (y - PALETTE_ROW) / BAND, row = (y - PALETTE_ROW) % BAND;
        const ORgba& c = PALETTE[band * 16 + x / COLUMN];
        f32 k = std::min(std::max((static_cast<f32>(row) - 2.0f) / 58.0f, 0.0f), 1.0f);
        f32 shade = SHADE_LOW + k * (SHADE_HIGH - SHADE_LOW);
        // Above the plain colour the ramp also moves toward white, as a highlight does.
        f32 white = shade > 1.0f ? (shade - 1.0f) * 1.5f : 0.0f;
        auto Mix = [&](u8 v) {
          f32 lit = static_cast<f32>(v) * std::min(shade, 1.0f);
          return Clamp8(lit + (255.0f - lit) * white);
        };
        p = ORgba{Mix(c.r), Mix(c.g), Mix(c.b), c.a};
      }
      size_t o = 18 + (static_cast<size_t>(y) * SIZE + x) * 4;
      out[o + 0] = p.b;
      out[o + 1] = p.g;
      out[o + 2] = p.r;
      out[o + 3] = p.a;
    }
  }
  return out;
}
