// The flat pictures of the screens: the loading banner "Brikon3D.jpg", the main menu's
// background "Menu.jpg", the background of every other screen "SBackTex.jpg" and the mouse
// pointer "Cursor.Tga". All share one night sky: deep blue, a violet-cyan nebula, stars.
#include <algorithm>
#include <cmath>

#include "pictures/Pictures.h"
#include "pictures/Text.h"

namespace {

// Night sky at (x, y) of a picture h pixels tall. `nebula` 0..1 scales the clouds, `stars` 0..1 the stars.
OColorF Sky(float x, float y, int h, float nebula, float stars, int seed) {
  float v = y / h;
  OColorF c = Mix(Hex(palette::kSpaceDeep), Hex(palette::kSpace), Smooth(0.0f, 1.0f, v));
  // Clouds: two layers of fractal noise, violet and cyan, thinned into wisps.
  float s = 1.0f / 180.0f;
  float n1 = Fractal(x * s, y * s, 5, seed);
  float n2 = Fractal(x * s * 1.7f + 9.3f, y * s * 1.7f, 5, seed + 17);
  float wisps = Smooth(0.45f, 0.85f, n1) * nebula;
  float glow = Smooth(0.5f, 0.9f, n2) * nebula;
  c.r += wisps * 0.22f + glow * 0.02f;
  c.g += wisps * 0.05f + glow * 0.16f;
  c.b += wisps * 0.30f + glow * 0.26f;
  // Stars: one candidate per 6x6 cell, most cells empty; brightness and size vary.
  int cx = static_cast<int>(x / 6), cy = static_cast<int>(y / 6);
  for (int oy = -1; oy <= 1; ++oy)
    for (int ox = -1; ox <= 1; ++ox) {
      int gx = cx + ox, gy = cy + oy;
      float pick = Hash(gx, gy, seed + 5);
      if (pick > 0.06f * stars) continue;
      float sx = gx * 6 + 1 + Hash(gx, gy, seed + 6) * 4, sy = gy * 6 + 1 + Hash(gx, gy, seed + 7) * 4;
      float d = std::hypot(x - sx, y - sy);
      float size = 0.5f + Hash(gx, gy, seed + 8) * Hash(gx, gy, seed + 9) * 1.6f;
      float b = std::exp(-d * d / (size * size)) * (0.5f + 0.5f * Hash(gx, gy, seed + 10));
      float tint = Hash(gx, gy, seed + 11);
      c.r += b * (0.8f + 0.2f * tint);
      c.g += b * 0.88f;
      c.b += b * (1.0f - 0.15f * tint);
    }
  c.a = 1;
  return c;
}

// A line of bold text in gold with a cyan glow, centred at (cx, baselineY) in the canvas.
void PaintTitle(OCanvas& canvas, const char* text, float em, float cx, float baselineY, float glowAmount) {
  OTextFace face("DejaVuSans-Bold.ttf");
  face.SetSize(em);
  OTextLine line = face.Line(text, em * 0.06f);
  int ox = static_cast<int>(std::lround(cx - (line.inkLeft + line.inkRight + 1) * 0.5f));
  int oy = static_cast<int>(std::lround(baselineY - line.baseline));
  int top = oy + line.inkTop, bottom = oy + line.inkBottom;
  OMask glow = line.mask;
  glow.Dilate(static_cast<int>(em * 0.06f));
  glow.Blur(static_cast<int>(em * 0.15f));
  OMask outline = line.mask;
  outline.Dilate(std::max(2, static_cast<int>(em * 0.04f)));
  canvas.AddMask(glow, ox, oy, [&](float, float) { return Hex(palette::kCyan, glowAmount); });
  canvas.OverMask(outline, ox, oy, [](float, float) { return Hex(0x050a22); });
  canvas.OverMask(line.mask, ox, oy, [&](float, float y) {
    float t = Clamp01((y - top) / std::max(1, bottom - top));
    return t < 0.5f ? Mix(Hex(palette::kIvory), Hex(palette::kGold), t * 2)
                    : Mix(Hex(palette::kGoldDeep), Hex(palette::kGold), (t - 0.5f) * 1.6f);
  });
}

// The loading banner, drawn 256 x 32 virtual units (512 x 48 pixels at 1024x768).
void AddSplash(std::vector<OContentFile>& archive) {
  const int w = 1024, h = 96;
  OCanvas canvas(w, h);
  canvas.Shade([&](float x, float y, OColorF) {
    OColorF c = Sky(x, y + 300, h + 600, 0.8f, 1.0f, 31);
    // Thin cyan rules along the top and bottom edges, fading toward the sides.
    float edge = std::min(y, h - y);
    float fade = 1 - std::pow(std::fabs(x - w * 0.5f) / (w * 0.5f), 2.0f);
    float rule = std::exp(-(edge - 3) * (edge - 3) / 2.0f) * fade;
    c.r += rule * 0.24f;
    c.g += rule * 0.88f;
    c.b += rule * 1.0f;
    return c;
  });
  PaintTitle(canvas, "BRIKON 3D", 72.0f, w * 0.5f, 75.0f, 0.9f);
  AddJpeg(archive, "Brikon3D.jpg", canvas.Resized(1024, 128), 92, true);
}

// The main menu's background: the sky over a glowing grid floor.
void AddMenuBackground(std::vector<OContentFile>& archive) {
  const int w = 1024, h = 768;
  const float horizon = h * 0.70f;
  OCanvas canvas(w, h);
  canvas.Shade([&](float x, float y, OColorF) {
    OColorF c = Sky(x, y, h, 1.0f, 1.0f, 7);
    // Haze on the horizon.
    float haze = std::exp(-std::pow((y - horizon) / 60.0f, 2.0f));
    c.r += haze * 0.10f;
    c.g += haze * 0.22f;
    c.b += haze * 0.36f;
    if (y > horizon) {
      // The floor: perspective lines toward the centre of the horizon and rows that crowd toward it.
      float depth = (y - horizon) / (h - horizon);  // 0 at the horizon, 1 at the bottom
      float ground = 0.35f + 0.65f * depth;
      c = Mix(c, Hex(0x040a24), Clamp01(depth * 1.5f) * 0.85f);
      float u = (x - w * 0.5f) / (depth + 0.02f) / 90.0f;
      float fu = std::fabs(u - std::round(u)) * 90.0f * (depth + 0.02f);
      float z = 1.0f / (depth + 0.05f);
      float fz = std::fabs(z * 1.5f - std::round(z * 1.5f)) / 1.5f / (z * z) * h * 0.3f;
      // Lines fade toward the horizon, where they would crowd into a moire.
      float line = std::max(Clamp01(1.2f - fu), Clamp01(1.2f - fz)) * ground * Smooth(0.0f, 0.3f, depth);
      c.r += line * 0.10f;
      c.g += line * 0.55f;
      c.b += line * 0.75f;
    }
    // Vignette keeps the corners deep.
    float dx = (x - w * 0.5f) / (w * 0.5f), dy = (y - h * 0.45f) / (h * 0.6f);
    float vignette = 1 - 0.45f * Clamp01(dx * dx + dy * dy - 0.3f);
    return Scaled(c, vignette);
  });
  AddJpeg(archive, "Menu.jpg", canvas.Resized(1024, 1024), 90, true);
}

// The background of the game and the other menus: calmer and darker, a faint hexagon weave.
void AddScreenBackground(std::vector<OContentFile>& archive) {
  const int w = 1024, h = 768;
  OCanvas canvas(w, h);
  canvas.Shade([&](float x, float y, OColorF) {
    OColorF c = Sky(x, y, h, 0.55f, 0.6f, 11);
    // Hexagon cells of 48 pixels: distance to the nearest edge from axial coordinates.
    float size = 48.0f;
    float qx = x / (size * 1.7320508f), qy = y / (size * 1.5f);
    float rowOffset = (static_cast<int>(std::floor(qy)) % 2) * 0.5f;
    float fx = qx - rowOffset - std::floor(qx - rowOffset) - 0.5f;
    float fy = qy - std::floor(qy) - 0.5f;
    float edge = std::max(std::fabs(fx) * 1.7320508f, std::fabs(fx) * 0.866f + std::fabs(fy) * 1.5f);
    float lineAmount = Smooth(0.80f, 0.86f, edge) * 0.05f;
    float band = 0.5f + 0.5f * Fractal(x / 300.0f, y / 300.0f, 3, 41);
    c.g += lineAmount * band * 0.9f;
    c.b += lineAmount * band * 1.4f;
    float dx = (x - w * 0.5f) / (w * 0.5f), dy = (y - h * 0.5f) / (h * 0.5f);
    return Scaled(c, 1 - 0.5f * Clamp01(dx * dx + dy * dy - 0.2f));
  });
  AddJpeg(archive, "SBackTex.jpg", canvas.Resized(1024, 1024), 90, true);
}

// The pointer: an arrow whose tip is the picture's top-left corner, white-cyan with a dark outline
// and a soft shadow so it reads on every background.
void AddCursor(std::vector<OContentFile>& archive) {
  const int size = 64;
  const float k = size / 64.0f;
  const float arrow[14] = {0.5f, 0.5f, 0.5f, 44 * k, 11 * k, 34.5f * k, 19 * k, 52 * k,
                           26 * k, 49 * k, 18.5f * k, 31.5f * k, 32 * k, 31.5f * k};
  OMask shape(size, size), outline(size, size), shadow(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      float d = PolygonDistance(x + 0.5f, y + 0.5f, arrow, 7);
      shape.Ref(x, y) = Cover(d + 2.2f);
      outline.Ref(x, y) = Cover(d);
      shadow.Ref(x, y) = Cover(PolygonDistance(x - 2.5f, y - 3.5f, arrow, 7) - 1.0f);
    }
  shadow.Blur(2);
  OCanvas canvas(size, size, OColorF{0, 0, 0, 0});
  canvas.OverMask(shadow, 0, 0, [](float, float) { return Rgb(0, 0, 0, 0.55f); });
  canvas.OverMask(outline, 0, 0, [](float, float) { return Hex(0x061030); });
  canvas.OverMask(shape, 0, 0, [&](float x, float y) {
    float t = Clamp01((x + y) / (60.0f * k));
    return Mix(Hex(0xffffff), Hex(palette::kCyan), t);
  });
  AddTga(archive, "Cursor.Tga", canvas, 4);
}

}  // namespace

void AddScreenPictures(std::vector<OContentFile>& archive) {
  AddSplash(archive);
  AddMenuBackground(archive);
  AddScreenBackground(archive);
  AddCursor(archive);
}
