// The brick skins and the title's texture. The grid binds one skin for all bricks and each brick
// face maps the whole picture (texture coordinates 0..1 across the face), so a skin is one brick
// face: a border that reads as the brick's edge and a face inside it. Bricks are drawn in white,
// so the skin is their colour; all three stand out warm or bright against the blue cage and sky.
// Every skin is symmetric top to bottom, because the game shows TGA and JPEG pictures with
// opposite row orders. The options screen shows the three side by side.
//   "Bricks.Tga"  glazed tile: an amber pillow with a bright glaze ring
//   "BricksC.jpg" carved stone: grainy jade with a chiselled rim
//   "BricksJ.jpg" cut crystal: violet facets and sparkles (also the title's reflection map)
// "go.tga" is the surface of the 3D title, made of small bricks: polished gold.
#include <algorithm>
#include <cmath>

#include "pictures/Pictures.h"

namespace {

const int kSkin = 256;

// A colour ramp through three stops: value 0 dark, 0.6 the body colour, 1 the light; above 1
// toward white.
OColorF Ramp(float value, u32 dark, u32 body, u32 light) {
  OColorF c = value < 0.6f ? Mix(Hex(dark), Hex(body), Clamp01(value / 0.6f))
                           : Mix(Hex(body), Hex(light), Clamp01((value - 0.6f) / 0.4f));
  return Mix(c, Hex(0xffffff), Clamp01((value - 1.0f) * 2.0f));
}

// Distance (pixels) from the nearest edge of the square, 0 at the border, kSkin / 2 at the centre.
float EdgeDistance(float x, float y, int size) {
  return std::min(std::min(x, size - x), std::min(y, size - y));
}

OCanvas GlazedTile() {
  OCanvas canvas(kSkin, kSkin);
  canvas.Shade([](float x, float y, OColorF) {
    float d = EdgeDistance(x, y, kSkin);
    float corner = RoundRectDistance(x, y, kSkin * 0.5f, kSkin * 0.5f, kSkin * 0.5f, kSkin * 0.5f, 40);
    d = std::min(d, -corner);
    float u = (x - kSkin * 0.5f) / (kSkin * 0.5f), v = (y - kSkin * 0.5f) / (kSkin * 0.5f);
    // Pillow: the face rises over the first 34 pixels from the edge.
    float rise = Smooth(0.0f, 34.0f, d);
    float shade = 0.45f + 0.40f * rise;
    // Glaze ring where the slope meets the top, and a broad soft sheen in the middle.
    float ring = std::exp(-std::pow((d - 30.0f) / 4.0f, 2.0f)) * 0.14f;
    float sheen = 0.10f * std::exp(-(u * u + v * v) * 2.5f);
    float value = shade + ring + sheen;
    // A fine groove at the very edge separates neighbours.
    value *= 0.55f + 0.45f * Smooth(1.0f, 4.0f, d);
    return Ramp(value, 0x4a1a04, 0xe07a18, 0xffd27a);
  });
  return canvas;
}

OCanvas CarvedStone() {
  OCanvas canvas(kSkin, kSkin);
  canvas.Shade([](float x, float y, OColorF) {
    // Mirror the noise about the middle row so the picture is symmetric top to bottom.
    float my = y < kSkin * 0.5f ? y : kSkin - y;
    float grain = Fractal(x / 22.0f, my / 22.0f, 5, 71);
    float speck = Hash(static_cast<int>(x), static_cast<int>(my), 72);
    float d = EdgeDistance(x, y, kSkin);
    // The chiselled rim: an uneven bevel whose width wanders with the noise.
    float rim = 18.0f + 10.0f * Fractal(x / 15.0f + my / 15.0f, 3.1f, 3, 73);
    float bevel = Smooth(0.0f, rim, d);
    float inset = Smooth(rim + 3, rim + 8, d);
    float value = 0.48f + 0.40f * grain + (speck > 0.97f ? 0.12f : 0) - (speck < 0.03f ? 0.10f : 0);
    value *= 0.42f + 0.46f * bevel + 0.12f * inset;
    // A groove where the bevel meets the face.
    value -= 0.16f * std::exp(-std::pow((d - rim - 2) / 2.0f, 2.0f));
    // Veins: thin dark lines where a second noise crosses its middle value.
    float vein = std::fabs(Fractal(x / 40.0f, my / 40.0f, 4, 74) - 0.5f);
    value -= 0.12f * Clamp01(1 - vein * 70.0f) * inset;
    return Ramp(value * 1.1f, 0x06261c, 0x2f9a6c, 0xb4f2d2);
  });
  return canvas;
}

OCanvas CutCrystal() {
  OCanvas canvas(kSkin, kSkin);
  const float c = kSkin * 0.5f, table = kSkin * 0.24f;
  canvas.Shade([&](float x, float y, OColorF) {
    float u = x - c, v = y - c;
    float au = std::fabs(u), av = std::fabs(v);
    float value;
    if (au < table && av < table) {
      // The table: a clear face with crossed glints along its diagonals.
      float glint = std::max(std::exp(-std::pow((u + v) / 14.0f, 2.0f)),
                             std::exp(-std::pow((u - v) / 14.0f, 2.0f))) * 0.3f;
      value = 0.78f + glint;
    } else if (av > au) {
      // Upper and lower facets, the same brightness so the picture is symmetric.
      value = 0.95f - 0.25f * (av - table) / (c - table);
    } else {
      value = 0.60f + 0.18f * (au - table) / (c - table);
    }
    // Facet edges: bright lines along the diagonals and the table's outline.
    float diagonal = std::fabs(au - av);
    float tableEdge = std::fabs(std::max(au, av) - table);
    float edges = std::exp(-diagonal * diagonal / 4.0f) + std::exp(-tableEdge * tableEdge / 3.0f);
    value += 0.22f * std::min(1.0f, edges) * Smooth(0.0f, table, std::max(au, av));
    // Rim.
    float d = EdgeDistance(x, y, kSkin);
    value *= 0.6f + 0.4f * Smooth(0.0f, 6.0f, d);
    OColorF colour = Ramp(value * 0.9f, 0x1e0a4a, 0x7a3ed8, 0xe6d2ff);
    // Sparkles: a few four-pointed stars, mirrored top to bottom.
    const float spots[4][3] = {{60, 58, 14}, {190, 76, 10}, {150, 118, 8}, {98, 100, 6}};
    for (const auto& s : spots)
      for (int mirror = 0; mirror < 2; ++mirror) {
        float sy = mirror ? kSkin - s[1] : s[1];
        float dx = std::fabs(x - s[0]), dy = std::fabs(y - sy);
        float star = std::exp(-(dx * dy) / (s[2] * 0.6f)) * std::exp(-(dx + dy) / s[2]);
        colour.r += star * 0.9f;
        colour.g += star * 0.95f;
        colour.b += star;
      }
    return colour;
  });
  return canvas;
}

OCanvas PolishedGold() {
  const int size = 128;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    float d = EdgeDistance(x, y, size);
    float rise = Smooth(0.0f, 14.0f, d);
    float u = (x - size * 0.5f) / (size * 0.5f), v = (y - size * 0.5f) / (size * 0.5f);
    // Brushed streaks and a bright band across the face.
    float streak = Fractal(x / 2.0f, y / 40.0f, 3, 81);
    float band = std::exp(-std::pow((u - v) * 1.4f, 2.0f));
    float value = 0.55f + 0.25f * rise + 0.12f * streak + 0.25f * band * rise;
    value *= 0.6f + 0.4f * Smooth(0.5f, 3.0f, d);
    OColorF c = Mix(Hex(palette::kGoldDeep), Hex(palette::kGold), Clamp01(value));
    c = Mix(c, Hex(palette::kIvory), Clamp01(value - 0.85f) * 2.0f);
    return c;
  });
  return canvas;
}

}  // namespace

void AddSkinPictures(std::vector<OContentFile>& archive) {
  AddTga(archive, "Bricks.Tga", GlazedTile(), 3);
  AddJpeg(archive, "BricksC.jpg", CarvedStone(), 90, false);
  AddJpeg(archive, "BricksJ.jpg", CutCrystal(), 92, false);
  AddTga(archive, "go.tga", PolishedGold(), 3);
}
