#include "pictures/Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "assets/ImageWriter.h"
#include "pictures/Text.h"

std::string TexturePath(const std::string& name) { return "Data/Textures/" + name; }

void AddTga(std::vector<OContentFile>& archive, const std::string& name, const OCanvas& canvas,
            int channels) {
  std::vector<u8> pixels = canvas.Bytes(channels);
  archive.push_back(OContentFile{TexturePath(name),
                                 EncodeTga(static_cast<u32>(canvas.Width()),
                                           static_cast<u32>(canvas.Height()),
                                           static_cast<u32>(channels), pixels.data())});
}

void AddJpeg(std::vector<OContentFile>& archive, const std::string& name, const OCanvas& canvas,
             int quality, bool upsideDown) {
  OCanvas stored = canvas;
  if (upsideDown) stored.FlipVertical();
  std::vector<u8> pixels = stored.Bytes(3);
  archive.push_back(OContentFile{
      TexturePath(name), EncodeJpeg(static_cast<u32>(stored.Width()),
                                    static_cast<u32>(stored.Height()), 3, pixels.data(), quality)});
}

float PolygonDistance(float x, float y, const float* c, int n) {
  float d = 1e30f;
  bool inside = false;
  for (int i = 0, j = n - 1; i < n; j = i++) {
    d = std::min(d, SegmentDistance(x, y, c[2 * j], c[2 * j + 1], c[2 * i], c[2 * i + 1]));
    float yi = c[2 * i + 1], yj = c[2 * j + 1];
    if ((yi > y) != (yj > y)) {
      float xCross = c[2 * i] + (y - yi) * (c[2 * j] - c[2 * i]) / (yj - yi);
      if (x < xCross) inside = !inside;
    }
  }
  return inside ? -d : d;
}

void StarCorners(float cx, float cy, float outer, float inner, float rotation, float* corners) {
  for (int i = 0; i < 10; ++i) {
    float angle = rotation + i * 3.14159265f / 5 - 3.14159265f / 2;
    float r = (i % 2) ? inner : outer;
    corners[2 * i] = cx + std::cos(angle) * r;
    corners[2 * i + 1] = cy + std::sin(angle) * r;
  }
}

void PaintBall(OCanvas& canvas, float cx, float cy, float r, const OColorF& base) {
  canvas.Shade([&](float x, float y, OColorF under) {
    float dx = (x - cx) / r, dy = (y - cy) / r;
    float d2 = dx * dx + dy * dy;
    float coverage = Cover((std::sqrt(d2) - 1) * r);
    if (coverage <= 0) return under;
    float nz = std::sqrt(std::max(0.0f, 1 - d2));
    // Light from the upper left and in front; a rim of cool reflected light below.
    float diffuse = Clamp01(-0.45f * dx - 0.55f * dy + 0.7f * nz);
    float shine = std::pow(Clamp01(-0.4f * dx - 0.5f * dy + 0.77f * nz), 24.0f);
    float rim = std::pow(1 - nz, 3.0f) * Clamp01(dy + 0.3f);
    OColorF c = Scaled(base, 0.25f + 0.85f * diffuse);
    c = Mix(c, Hex(palette::kIvory), shine);
    c.r += rim * 0.2f;
    c.g += rim * 0.5f;
    c.b += rim * 0.6f;
    c.a = 1;
    return Blend(under, c, coverage);
  });
}

void PaintStar(OCanvas& canvas, float cx, float cy, float r) {
  float corners[20];
  StarCorners(cx, cy, r, r * 0.45f, 0, corners);
  canvas.Shade([&](float x, float y, OColorF under) {
    float d = PolygonDistance(x, y, corners, 10);
    float coverage = Cover(d);
    if (coverage <= 0) return under;
    // Bevel: brighter toward the upper left, the ridge lines from the centre to the points.
    float depth = Clamp01(-d / (r * 0.25f));
    float light = Clamp01(0.55f - 0.35f * (x - cx) / r - 0.45f * (y - cy) / r);
    OColorF c = Mix(Hex(palette::kGoldDeep), Hex(palette::kGold), light);
    c = Mix(c, Hex(palette::kIvory), (1 - depth) * 0.35f * light);
    c.a = 1;
    return Blend(under, c, coverage);
  });
}

void BuildPictures(const OContentContext&, std::vector<OContentFile>& archive) {
  const char* const fonts[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"};
  if (!FontsAvailable(fonts, 2)) std::exit(1);
  AddFontPicture(archive);
  AddButtonPictures(archive);
  AddScreenPictures(archive);
  AddSkinPictures(archive);
  AddEffectPictures(archive);
}
