// Sprites and particles. Sprite sheets are cut into 64 x 64 frames, a power-of-two number of
// columns; the game numbers frames row by row from the sheet's bottom-left corner.
//   "Flare.Tga"       sparkle where a ball strikes a brick (8 frames, alpha blended)
//   "RExpl.Tga"       a rocket's explosion (16 frames, alpha blended)
//   "pLight.Tga"      the light a ball casts on a near wall (white glow, premultiplied; tinted
//                     and added by the game; the middle nine tenths of its square)
//   "xFlame2x2.jpg"   four flame puffs in a 2 x 2 atlas, on black: added, tinted orange
//   "CoDSmoke2.Tga"   a smoke puff (alpha blended)
//   "ParticleBit.Tga" a chip of brick, white: the game colours each burst
//   "Particle.Tga"    a firework spark, white glow, premultiplied: added
#include <algorithm>
#include <cmath>
#include <functional>

#include "pictures/Pictures.h"

namespace {

const int kFrame = 64;
// The spark, smoke and flame pictures hold the middle nine tenths of the particle's square, and
// the game draws their squares that much smaller: the rim left out is nearly clear, while a
// particle's pixels are the dearest part of a frame full of fireworks and rockets.
const float kParticleReach = 0.9f;
// The wall light likewise (the game's WALL_LIGHT_PICTURE_REACH).
const float kWallLightReach = 0.9f;
const float kPi = 3.14159265f;

// A sheet of `frames` frames in `columns` columns; paint(frame, x, y) gives the colour at the
// frame-local pixel centre (x, y), y down. Frame 0 is the bottom-left cell.
OCanvas Sheet(int frames, int columns, const std::function<OColorF(int, float, float)>& paint) {
  int rows = (frames + columns - 1) / columns;
  OCanvas canvas(columns * kFrame, rows * kFrame);
  for (int f = 0; f < frames; ++f) {
    int left = (f % columns) * kFrame, top = (rows - 1 - f / columns) * kFrame;
    for (int y = 0; y < kFrame; ++y)
      for (int x = 0; x < kFrame; ++x) canvas.Ref(left + x, top + y) = paint(f, x + 0.5f, y + 0.5f);
  }
  return canvas;
}

// A star of light: round core, long rays on the axes and shorter ones between them.
OColorF Flare(int frame, float x, float y) {
  float t = frame / 7.0f;
  float dx = x - kFrame * 0.5f, dy = y - kFrame * 0.5f;
  float r = std::hypot(dx, dy);
  float angle = std::atan2(dy, dx) + t * kPi * 0.25f;
  float grow = std::sin(std::min(1.0f, t * 1.6f + 0.15f) * kPi * 0.5f);
  float fade = 1 - Smooth(0.45f, 1.0f, t);
  float core = std::exp(-r * r / (20.0f + 60.0f * grow));
  float longRays = std::pow(std::fabs(std::cos(angle * 2)), 60.0f) * std::exp(-r / (6 + 16 * grow));
  float shortRays = std::pow(std::fabs(std::sin(angle * 2)), 80.0f) * std::exp(-r / (3 + 7 * grow));
  float ring = std::exp(-std::pow((r - 26 * grow) / 2.5f, 2.0f)) * 0.35f * t;
  float edge = Smooth(31.5f, 27.0f, r);  // nothing reaches the neighbouring frames
  float intensity = Clamp01((core + longRays + shortRays * 0.7f + ring) * fade * edge);
  OColorF c = Mix(Hex(palette::kCyan), Hex(0xffffff), Clamp01(core * 1.5f + 0.2f));
  c.a = intensity;
  return c;
}

// A fireball that swells, cools from white through gold and red to smoke, and thins out.
OColorF Explosion(int frame, float x, float y) {
  float t = frame / 15.0f;
  float dx = x - kFrame * 0.5f, dy = y - kFrame * 0.5f;
  float r = std::hypot(dx, dy);
  float radius = 9.0f + 20.0f * std::sqrt(t);
  // Billows: noise that drifts outward with time breaks the ball's outline.
  float angle = std::atan2(dy, dx);
  float billow = Fractal(std::cos(angle) * 2.2f + 3, std::sin(angle) * 2.2f + t * 1.5f, 3, 91);
  float lumps = Fractal(x / 7.0f, y / 7.0f + t * 3, 4, 92);
  float edgeR = radius * (0.75f + 0.45f * billow);
  float body = Smooth(edgeR, edgeR * 0.55f, r) * Smooth(31.5f, 28.0f, r);
  float heat = Clamp01((1 - r / (edgeR + 1)) * (1.3f - t * 1.4f) + lumps * 0.35f - t * 0.2f);
  OColorF smoke = Rgb(0.22f, 0.2f, 0.22f);
  OColorF fire = heat > 0.66f   ? Mix(Hex(palette::kGold), Hex(0xffffff), (heat - 0.66f) * 3)
                 : heat > 0.33f ? Mix(Hex(0xe0401a), Hex(palette::kGold), (heat - 0.33f) * 3)
                                : Mix(smoke, Hex(0xe0401a), heat * 3);
  float density = body * (0.55f + 0.45f * lumps) * (1 - Smooth(0.5f, 1.0f, t));
  fire.a = Clamp01(density * 1.6f);
  return fire;
}

OCanvas WallLight() {
  // Fine enough to be drawn nearest-texel over a whole wall without showing steps.
  const int size = 256;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    float r = std::hypot(x - size * 0.5f, y - size * 0.5f) / (size * 0.5f) * kWallLightReach;
    float a = std::exp(-r * r * 4.0f) * 0.85f + std::exp(-r * r * 20.0f) * 0.15f;
    a = Clamp01(a * Smooth(1.0f, 0.85f, r));
    // Premultiplied: the game adds the colour as it is, without weighing it by alpha.
    return Rgb(a, a, a, a);
  });
  return canvas;
}

OCanvas FlameAtlas() {
  const int size = 256, cell = 128;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    int index = static_cast<int>(x) / cell + 2 * (static_cast<int>(y) / cell);
    // Each cell holds the middle nine tenths of its puff, as for the sparks.
    const float half = cell * 0.5f;
    float lx = half + (std::fmod(x, static_cast<float>(cell)) - half) * kParticleReach;
    float ly = half + (std::fmod(y, static_cast<float>(cell)) - half) * kParticleReach;
    float dx = (lx - cell * 0.5f) / (cell * 0.5f), dy = (ly - cell * 0.5f) / (cell * 0.5f);
    float r = std::sqrt(dx * dx + dy * dy);
    float n = Fractal(lx / 14.0f, ly / 14.0f, 4, 101 + index * 7);
    float tongue = Clamp01(1 - r * (1.25f + 0.9f * (n - 0.5f) * 2));
    float v = std::pow(tongue, 1.4f) * 1.3f;
    // Hot white centre, yellow body, red edge; black outside so the cells never bleed.
    OColorF c = Rgb(Clamp01(v * 1.2f), Clamp01(v * v * 1.1f), Clamp01(v * v * v * 0.9f));
    c = Scaled(c, Smooth(1.0f, 0.8f, r));
    c.a = 1;
    return c;
  });
  return canvas;
}

OCanvas SmokePuff() {
  const int size = 128;
  OCanvas canvas(size, size);
  canvas.Shade([&](float px, float py, OColorF) {
    // The middle nine tenths of the puff, as for the sparks: the rim left out is nearly clear.
    const float x = size * 0.5f + (px - size * 0.5f) * kParticleReach;
    const float y = size * 0.5f + (py - size * 0.5f) * kParticleReach;
    float r = std::hypot(x - size * 0.5f, y - size * 0.5f) / (size * 0.5f);
    float n = Fractal(x / 16.0f, y / 16.0f, 5, 111);
    float a = Clamp01((1 - r) * 1.6f) * (0.35f + 0.65f * n);
    a *= Smooth(1.0f, 0.8f, r);
    float shade = 0.55f + 0.4f * Fractal(x / 10.0f + 5, y / 10.0f, 4, 112);
    return Rgb(shade, shade, shade * 1.03f, Clamp01(a));
  });
  return canvas;
}

OCanvas DebrisChip() {
  const int size = 32;
  // An irregular shard, lit from the upper left.
  const float shard[12] = {5, 9, 14, 3, 27, 7, 29, 20, 18, 29, 4, 23};
  OCanvas canvas(size, size, OColorF{1, 1, 1, 0});
  canvas.Shade([&](float x, float y, OColorF) {
    float d = PolygonDistance(x, y, shard, 6);
    float coverage = Cover(d);
    float bevel = Smooth(0.0f, 4.0f, -d);
    float light = Clamp01(0.8f - (x + y - 32) * 0.01f);
    float v = (0.55f + 0.45f * light) * (0.7f + 0.3f * bevel);
    return Rgb(v, v, v, coverage);
  });
  return canvas;
}

OCanvas Spark() {
  const int size = 32;
  // The picture shows the middle nine tenths of the glow (r is 1 at its rim): the strip left out
  // adds under 4 steps of 255 a spark.
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    float r = std::hypot(x - size * 0.5f, y - size * 0.5f) / (size * 0.5f) * kParticleReach;
    float a = std::exp(-r * r * 14.0f) + std::exp(-r * r * 3.5f) * 0.45f;
    a *= Smooth(1.0f, 0.8f, r);
    // Premultiplied: the game adds the colour as it is, without weighing it by alpha.
    a = Clamp01(a);
    return Rgb(a, a, a, a);
  });
  return canvas;
}

}  // namespace

void AddEffectPictures(std::vector<OContentFile>& archive) {
  AddTga(archive, "Flare.Tga", Sheet(8, 4, Flare), 4);
  AddTga(archive, "RExpl.Tga", Sheet(16, 4, Explosion), 4);
  AddTga(archive, "pLight.Tga", WallLight(), 4);
  AddJpeg(archive, "xFlame2x2.jpg", FlameAtlas(), 92, false);
  AddTga(archive, "CoDSmoke2.Tga", SmokePuff(), 4);
  AddTga(archive, "ParticleBit.Tga", DebrisChip(), 4);
  AddTga(archive, "Particle.Tga", Spark(), 4);
}
