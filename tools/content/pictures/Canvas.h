#pragma once
// The content compiler's small painting kit: floating-point RGBA canvases and coverage masks,
// painted with signed-distance shapes, gradients and hash noise, then resampled and packed into
// the 8-bit pixels the picture writers take. Everything is deterministic (no random generator,
// no time): the same code paints the same bytes.
#include <cstddef>
#include <vector>

#include "core/Types.h"

// A straight (not premultiplied) colour, each channel 0..1.
struct OColorF {
  float r = 0, g = 0, b = 0, a = 0;
};

OColorF Rgb(float r, float g, float b, float a = 1.0f);
// Hex form 0xRRGGBB, the way the palette below is written.
OColorF Hex(u32 rgb, float a = 1.0f);
OColorF Mix(const OColorF& x, const OColorF& y, float t);
OColorF Scaled(const OColorF& c, float k);  // colour channels times k, alpha kept

// `over` painted on `under` with the given coverage (source over).
OColorF Blend(const OColorF& under, const OColorF& over, float coverage);

float Clamp01(float v);
float Smooth(float edge0, float edge1, float v);  // smoothstep
// Coverage of a signed distance (pixels, negative inside) with a one-pixel antialiased edge.
float Cover(float distance);
// Distance from (x, y) to a rectangle centred at (cx, cy) with half sides hw, hh and corner
// radius r; negative inside.
float RoundRectDistance(float x, float y, float cx, float cy, float hw, float hh, float r);
// Distance to the segment a-b (always >= 0).
float SegmentDistance(float x, float y, float ax, float ay, float bx, float by);
// Distance to a triangle (negative inside), corners in any winding.
float TriangleDistance(float x, float y, const float* corners);

// Hash noise: the same arguments always give the same value, 0..1.
float Hash(int x, int y, int seed);
float ValueNoise(float x, float y, int seed);
// Sum of `octaves` octaves of value noise, 0..1; x, y in noise cells of the first octave.
float Fractal(float x, float y, int octaves, int seed);

// A single-channel coverage map, 0..1 (text, shapes, glows).
class OMask {
public:
  OMask() = default;
  OMask(int width, int height);

  int Width() const { return width; }
  int Height() const { return height; }
  // Outside the mask reads 0.
  float At(int x, int y) const;
  float& Ref(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
  // Gaussian-like blur: three box passes of the given radius in pixels.
  void Blur(int radius);
  // Each value raised to the maximum of itself and `other` placed at (ox, oy).
  void Max(const OMask& other, int ox, int oy);
  // Grows the shape by `radius` pixels (square neighbourhood maximum).
  void Dilate(int radius);
  void Scale(float k);

private:
  int width = 0, height = 0;
  std::vector<float> values;
};

// An RGBA picture in floating point; row 0 is the top row, as one looks at the picture.
class OCanvas {
public:
  OCanvas(int width, int height, const OColorF& fill = OColorF());

  int Width() const { return width; }
  int Height() const { return height; }
  const OColorF& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  OColorF& Ref(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }

  // Every pixel set by f(x, y, current) with (x, y) the pixel centre.
  template <class F>
  void Shade(F f) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Ref(x, y) = f(x + 0.5f, y + 0.5f, At(x, y));
  }
  // Paints `colour` over the pixel with the given coverage (source over).
  void Over(int x, int y, const OColorF& colour, float coverage);
  // Adds colour * amount to the colour channels (light), alpha raised by amount.
  void Add(int x, int y, const OColorF& colour, float amount);
  // The mask placed at (ox, oy) painted with a colour chosen per pixel: colourAt(x, y).
  template <class F>
  void OverMask(const OMask& mask, int ox, int oy, F colourAt) {
    for (int y = 0; y < mask.Height(); ++y)
      for (int x = 0; x < mask.Width(); ++x) {
        int cx = ox + x, cy = oy + y;
        float m = mask.At(x, y);
        if (m <= 0 || cx < 0 || cy < 0 || cx >= width || cy >= height) continue;
        Over(cx, cy, colourAt(cx + 0.5f, cy + 0.5f), m);
      }
  }
  template <class F>
  void AddMask(const OMask& mask, int ox, int oy, F colourAt) {
    for (int y = 0; y < mask.Height(); ++y)
      for (int x = 0; x < mask.Width(); ++x) {
        int cx = ox + x, cy = oy + y;
        float m = mask.At(x, y);
        if (m <= 0 || cx < 0 || cy < 0 || cx >= width || cy >= height) continue;
        Add(cx, cy, colourAt(cx + 0.5f, cy + 0.5f), m);
      }
  }
  // Area-averaged resampling to any size (alpha-weighted so that transparent pixels do not darken
  // their neighbours).
  OCanvas Resized(int newWidth, int newHeight) const;
  void FlipVertical();
  // 8-bit pixels, top row first: 1 (luminance of RGB), 3 (RGB) or 4 (RGBA) channels. Values are
  // rounded, so 0.5/255 steps never flicker between builds.
  std::vector<u8> Bytes(int channels) const;

private:
  int width, height;
  std::vector<OColorF> pixels;
};
