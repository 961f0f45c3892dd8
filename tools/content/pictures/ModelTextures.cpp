// Surfaces for the 3D models. A model names its texture in its header (up to 15 characters);
// these are the ones on offer, listed with their intended use in content/pictures/README.
//   "Ball.Tga"   chrome: a sky-and-floor reflection laid out by latitude (u around, v up)
//   "Bat.Tga"    the bat's face: dark metal with cyan light strips along its long edges
//   "Cage.jpg"   classic cage walls: blue steel panels with rivets and a cyan seam
//   "CageM.jpg"  modern cage walls: dark tech plates with gold trim and light slots
//   "Bonus.Tga"  glossy enamel for the bonus capsules (the model's colour tints it)
//   "Metal.jpg"  brushed light metal for the interface models (slider, check box, episodes)
#include <algorithm>
#include <cmath>

#include "pictures/Pictures.h"

namespace {

OCanvas Chrome() {
  const int w = 128, h = 128;
  OCanvas canvas(w, h);
  canvas.Shade([&](float x, float y, OColorF) {
    float v = 1 - y / h;  // 0 at the bottom, 1 at the top
    float u = x / w;
    OColorF sky = Mix(Hex(0x9fd8ff), Hex(0xffffff), Smooth(0.55f, 1.0f, v));
    OColorF floor = Mix(Hex(0x02040f), Hex(palette::kSpace), Smooth(0.0f, 0.5f, v));
    OColorF c = v > 0.5f ? sky : floor;
    // The horizon: a sharp cyan line and a soft glow, the look of polished chrome.
    float horizon = std::exp(-std::pow((v - 0.5f) / 0.012f, 2.0f));
    float glow = std::exp(-std::pow((v - 0.5f) / 0.08f, 2.0f)) * 0.35f;
    c = Mix(c, Hex(palette::kCyan), Clamp01(horizon + glow));
    // Two window-like highlights around the ball, so spinning shows.
    for (float centre : {0.25f, 0.75f}) {
      float du = std::fabs(u - centre), dv = std::fabs(v - 0.78f);
      float window = Cover((std::max(du * w - 10, dv * h - 6)) * 1.0f);
      c = Mix(c, Hex(0xffffff), window * 0.9f);
    }
    return c;
  });
  return canvas;
}

OCanvas BatFace() {
  const int w = 256, h = 64;
  OCanvas canvas(w, h);
  canvas.Shade([&](float x, float y, OColorF) {
    float brushed = Fractal(x / 40.0f, y / 1.5f, 3, 121);
    OColorF c = Mix(Hex(0x10204a), Hex(0x2a4a8a), 0.3f + 0.5f * brushed);
    float edge = std::min(y, h - y);
    float strip = std::exp(-std::pow((edge - 6) / 2.5f, 2.0f));
    float sideEdge = std::min(x, w - x);
    float cap = std::exp(-std::pow((sideEdge - 6) / 2.5f, 2.0f)) * Smooth(4.0f, 10.0f, edge);
    c = Mix(c, Hex(palette::kCyan), Clamp01(strip + cap));
    // A gold mark in the middle, where the ball meets the bat.
    float mark = Cover(RoundRectDistance(x, y, w * 0.5f, h * 0.5f, 14, 5, 5));
    c = Mix(c, Hex(palette::kGold), mark);
    return c;
  });
  return canvas;
}

OCanvas ClassicCage() {
  const int size = 256;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    float n = Fractal(x / 30.0f, y / 30.0f, 4, 131);
    OColorF c = Mix(Hex(0x0c1c48), Hex(0x1f3c80), 0.35f + 0.5f * n);
    float edge = std::min(std::min(x, size - x), std::min(y, size - y));
    c = Scaled(c, 0.7f + 0.3f * Smooth(0.0f, 10.0f, edge));
    float seam = std::exp(-edge * edge / 3.0f);
    c = Mix(c, Hex(palette::kCyan), seam * 0.9f);
    // Rivets in the corners.
    for (float cx : {18.0f, size - 18.0f})
      for (float cy : {18.0f, size - 18.0f}) {
        float d = std::hypot(x - cx, y - cy);
        float rivet = Cover(d - 5);
        float light = Clamp01(0.5f - (x - cx + y - cy) * 0.08f);
        c = Mix(c, Mix(Hex(0x4a6aa8), Hex(0xd0e8ff), light), rivet);
      }
    return c;
  });
  return canvas;
}

OCanvas ModernCage() {
  const int size = 256;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    float n = Fractal(x / 50.0f, y / 50.0f, 3, 141);
    OColorF c = Mix(Hex(0x070b1e), Hex(0x18203e), 0.4f + 0.5f * n);
    // Plates of 64 pixels with bevelled joints.
    float px = std::fmod(x, 64.0f), py = std::fmod(y, 64.0f);
    float joint = std::min(std::min(px, 64 - px), std::min(py, 64 - py));
    c = Scaled(c, 0.6f + 0.4f * Smooth(0.0f, 4.0f, joint));
    // Gold trim around the whole tile and light slots in every other plate.
    float edge = std::min(std::min(x, size - x), std::min(y, size - y));
    c = Mix(c, Hex(palette::kGold), std::exp(-std::pow((edge - 3) / 1.5f, 2.0f)));
    int plate = static_cast<int>(x / 64) + static_cast<int>(y / 64);
    if (plate % 2 == 0) {
      float slot = Cover(RoundRectDistance(px, py, 32, 32, 18, 3, 3));
      c = Mix(c, Hex(palette::kCyan), slot * 0.9f);
    }
    return c;
  });
  return canvas;
}

OCanvas Enamel() {
  const int size = 128;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    // Bright with a band of highlight across the middle and darker rims: gloss on a capsule.
    float v = (y - size * 0.5f) / (size * 0.5f);
    float value = 0.75f + 0.25f * std::exp(-std::pow((v + 0.35f) / 0.18f, 2.0f)) - 0.2f * v * v;
    float speck = Fractal(x / 6.0f, y / 6.0f, 2, 151) * 0.04f;
    value += speck;
    return Rgb(value, value, value);
  });
  return canvas;
}

OCanvas BrushedMetal() {
  const int size = 128;
  OCanvas canvas(size, size);
  canvas.Shade([&](float x, float y, OColorF) {
    float brushed = Fractal(x / 48.0f, y / 1.2f, 4, 161);
    float value = 0.62f + 0.28f * brushed;
    return Rgb(value * 0.95f, value * 0.98f, value);
  });
  return canvas;
}

}  // namespace

void AddModelPictures(std::vector<OContentFile>& archive) {
  AddTga(archive, "Ball.Tga", Chrome(), 3);
  AddTga(archive, "Bat.Tga", BatFace(), 3);
  AddJpeg(archive, "Cage.jpg", ClassicCage(), 90, false);
  AddJpeg(archive, "CageM.jpg", ModernCage(), 90, false);
  AddTga(archive, "Bonus.Tga", Enamel(), 3);
  AddJpeg(archive, "Metal.jpg", BrushedMetal(), 90, false);
}
