// The brick skins and the title's texture. The grid binds one skin for all bricks; a skin is an
// atlas of brick faces (BrickTiles.h), each a border that reads as the brick's edge and a face
// inside it, and each brick face maps its look's tile. Bricks are drawn in white, so the skin is
// their colour: every breakable kind wears the skin's material in its own colour, codes 4 and 5
// are brushed metal and grey stone in every skin, and multi-hit bricks carry a stud per hit left.
// Every tile is symmetric top to bottom and the atlas mirrors its rows, because the game shows TGA
// and JPEG pictures with opposite row orders. The options screen shows the three side by side.
//   "Bricks.Tga"  glazed tile: an amber pillow with a bright glaze ring
//   "BricksC.jpg" carved stone: grainy jade with a chiselled rim
//   "BricksJ.jpg" cut crystal: violet facets and sparkles (also the title's reflection map)
// "go.tga" is the surface of the 3D title, made of small bricks: polished gold.
#include <algorithm>
#include <cmath>

#include "BrickTiles.h"
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

// A colour turned round the colour wheel by `degrees`, keeping its lightness (a rotation about the
// grey axis).
OColorF Turned(OColorF c, float degrees) {
  const float a = degrees * 3.14159265f / 180.0f, cs = std::cos(a), sn = std::sin(a);
  const float k = (1.0f - cs) / 3.0f, q = std::sqrt(1.0f / 3.0f) * sn;
  const float m[3][3] = {{cs + k, k - q, k + q}, {k + q, cs + k, k - q}, {k - q, k + q, cs + k}};
  OColorF out = c;
  out.r = std::max(0.0f, m[0][0] * c.r + m[0][1] * c.g + m[0][2] * c.b);
  out.g = std::max(0.0f, m[1][0] * c.r + m[1][1] * c.g + m[1][2] * c.b);
  out.b = std::max(0.0f, m[2][0] * c.r + m[2][1] * c.g + m[2][2] * c.b);
  return out;
}

// Ramp with its three stops turned by `degrees`: the skin's material in another colour.
OColorF TurnedRamp(float value, u32 dark, u32 body, u32 light, float degrees) {
  OColorF c = value < 0.6f ? Mix(Turned(Hex(dark), degrees), Turned(Hex(body), degrees), Clamp01(value / 0.6f))
                           : Mix(Turned(Hex(body), degrees), Turned(Hex(light), degrees), Clamp01((value - 0.6f) / 0.4f));
  return Mix(c, Hex(0xffffff), Clamp01((value - 1.0f) * 2.0f));
}

// How far round the colour wheel each breakable kind (BrickColourIndex) turns the skin's colour:
// eleven colours spread so that kinds standing side by side in a level differ plainly.
const float kKindTurn[11] = {0, 140, 250, 60, 195, 305, 100, 30, 220, 165, 280};

// Distance (pixels) from the nearest edge of the square, 0 at the border, kSkin / 2 at the centre.
float EdgeDistance(float x, float y, int size) {
  return std::min(std::min(x, size - x), std::min(y, size - y));
}

// The glazed tile's face at (x, y) of a 256-pixel face, its colour turned by `turn` degrees.
OColorF GlazedFace(float x, float y, float turn) {
  {
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
    return TurnedRamp(value, 0x4a1a04, 0xe07a18, 0xffd27a, turn);
  }
}

OColorF CarvedFace(float x, float y, float turn) {
  {
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
    return TurnedRamp(value * 1.1f, 0x06261c, 0x2f9a6c, 0xb4f2d2, turn);
  }
}

OColorF CrystalFace(float x, float y, float turn) {
  const float c = kSkin * 0.5f, table = kSkin * 0.24f;
  {
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
    OColorF colour = TurnedRamp(value * 0.9f, 0x1e0a4a, 0x7a3ed8, 0xe6d2ff, turn);
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
  }
}

// Brushed metal (code 4, unbreakable): cold grey steel with fine horizontal streaks, a raised rim
// and a rivet in each corner.
OColorF MetalFace(float x, float y) {
  const float my = y < kSkin * 0.5f ? y : kSkin - y;
  const float d = EdgeDistance(x, y, kSkin);
  const float streak = Fractal(x / 1.5f, my / 60.0f, 3, 91);
  float value = 0.50f + 0.22f * streak + 0.22f * Smooth(0.0f, 20.0f, d);
  value -= 0.18f * std::exp(-std::pow((d - 22.0f) / 2.5f, 2.0f));  // the rim's seam
  for (float cx : {34.0f, kSkin - 34.0f})
    for (float cy : {34.0f, kSkin - 34.0f}) {
      const float r = std::hypot(x - cx, y - cy);
      if (r < 11.0f) value = 0.55f + 0.5f * (1.0f - r / 11.0f);
    }
  value *= 0.55f + 0.45f * Smooth(1.0f, 4.0f, d);
  return Ramp(value, 0x161c24, 0x7d8896, 0xe4ecf4);
}

// Rough stone (code 5, unbreakable): grey granite, speckled, with a heavy chiselled rim.
OColorF StoneFace(float x, float y) {
  const float my = y < kSkin * 0.5f ? y : kSkin - y;
  const float grain = Fractal(x / 14.0f, my / 14.0f, 5, 95);
  const float speck = Hash(static_cast<int>(x), static_cast<int>(my), 96);
  const float d = EdgeDistance(x, y, kSkin);
  const float rim = 26.0f + 8.0f * Fractal(x / 12.0f + my / 12.0f, 5.3f, 3, 97);
  float value = 0.46f + 0.42f * grain + (speck > 0.96f ? 0.14f : 0) - (speck < 0.04f ? 0.14f : 0);
  value *= 0.40f + 0.45f * Smooth(0.0f, rim, d) + 0.15f * Smooth(rim + 2, rim + 10, d);
  return Ramp(value, 0x1e1c1a, 0x6e6a64, 0xcac4ba);
}

// A face with `hits` studs in a row across its middle: how many hits the brick has left.
OColorF WithStuds(OColorF face, float x, float y, int hits) {
  if (hits < 1) return face;
  const float spacing = 62.0f, radius = 21.0f;
  const float first = kSkin * 0.5f - spacing * (hits - 1) * 0.5f;
  for (int i = 0; i < hits; ++i) {
    const float r = std::hypot(x - (first + spacing * i), y - kSkin * 0.5f);
    if (r > radius + 3.0f) continue;
    // A dark ring, then a bright dome lit from the middle (top and bottom alike).
    const float ring = Smooth(radius + 3.0f, radius, r);
    const OColorF dome = Mix(Hex(0xfff6d8), Hex(0xb8a888), Clamp01(r / radius));
    face = Mix(face, Hex(0x101010), ring);
    if (r < radius) face = Mix(face, dome, Smooth(radius, radius - 2.0f, r));
  }
  return face;
}

// A skin's whole atlas from its face function (x, y on a 256-pixel face, colour turn in degrees).
template <class Face>
OCanvas Atlas(Face face) {
  OCanvas canvas(kBrickAtlasSize, kBrickAtlasSize);
  const float scale = static_cast<float>(kSkin) / kBrickTileSize;
  canvas.Shade([&](float x, float y, OColorF) {
    const int column = static_cast<int>(x) / kBrickTileSize;
    int row = static_cast<int>(y) / kBrickTileSize;
    float ty = y - row * kBrickTileSize;
    if (row >= kBrickTileRows) {  // the mirrored half
      row = 2 * kBrickTileRows - 1 - row;
      ty = kBrickTileSize - ty;
    }
    const float tx = (x - column * kBrickTileSize) * scale;
    ty *= scale;
    int tile = row * kBrickTileColumns + column;
    if (tile >= kBrickLookCount) tile = 0;
    const OBrickLook look = kBrickLooks[tile];
    if (look.code == 4) return MetalFace(tx, ty);
    if (look.code == 5) return StoneFace(tx, ty);
    const int colour = BrickColourIndex(look.code);
    OColorF c = face(tx, ty, kKindTurn[colour < 0 ? 0 : colour]);
    // Studs only on bricks that take more than one hit.
    int most = 1;
    for (const OBrickLook& other : kBrickLooks)
      if (other.code == look.code && other.hitsLeft > most) most = other.hitsLeft;
    return most > 1 ? WithStuds(c, tx, ty, look.hitsLeft) : c;
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
  AddTga(archive, "Bricks.Tga", Atlas(GlazedFace), 3);
  AddJpeg(archive, "BricksC.jpg", Atlas(CarvedFace), 90, false);
  AddJpeg(archive, "BricksJ.jpg", Atlas(CrystalFace), 92, false);
  AddTga(archive, "go.tga", PolishedGold(), 3);
}
