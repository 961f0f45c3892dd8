#include "pictures/Icon.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "assets/ImageWriter.h"
#include "pictures/Pictures.h"

namespace {

// The icon is drawn on a 256-unit square; every length below is in those units.
constexpr float kUnits = 256.0f;

void PaintBox(OCanvas& c, float k) {
  // The playfield's box: its four edges run from the near corners to the far wall's corners.
  const float nearCorner[4][2] = {{28, 28}, {228, 28}, {228, 228}, {28, 228}};
  const float farCorner[4][2] = {{84, 70}, {172, 70}, {172, 158}, {84, 158}};
  c.Shade([&](float x, float y, OColorF under) {
    float d = 1e9f;
    for (int i = 0; i < 4; ++i) {
      d = std::min(d, SegmentDistance(x, y, nearCorner[i][0] * k, nearCorner[i][1] * k,
                                      farCorner[i][0] * k, farCorner[i][1] * k));
      const int j = (i + 1) % 4;
      d = std::min(d, SegmentDistance(x, y, farCorner[i][0] * k, farCorner[i][1] * k,
                                      farCorner[j][0] * k, farCorner[j][1] * k));
    }
    const float line = Cover(d - 1.6f * k);
    const float glow = std::exp(-d / (6.0f * k)) * 0.35f;
    return Blend(under, Hex(palette::kCyan), std::min(1.0f, line + glow) * under.a);
  });
}

void PaintBricks(OCanvas& c, float k) {
  // Three rows of three on the far wall, gold and cyan, with one gap the ball has already made.
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      if (row == 2 && col == 1) continue;
      const float cx = (100 + col * 28) * k, cy = (86 + row * 18) * k;
      const bool gold = (row + col) % 2 == 0;
      const OColorF body = Hex(gold ? palette::kGold : palette::kCyan);
      const OColorF dark = Hex(gold ? palette::kGoldDeep : palette::kCyanDeep);
      c.Shade([&](float x, float y, OColorF under) {
        const float d = RoundRectDistance(x, y, cx, cy, 12.5f * k, 7.5f * k, 2.5f * k);
        const float coverage = Cover(d);
        if (coverage <= 0) return under;
        const float light = Clamp01(0.5f - (y - cy) / (15.0f * k));
        OColorF col = Mix(dark, body, light);
        col = Mix(col, Hex(palette::kIvory), Clamp01(1 + d / (2.0f * k)) * 0.4f);
        col.a = 1;
        return Blend(under, col, coverage);
      });
    }
}

void PaintBat(OCanvas& c, float k) {
  c.Shade([&](float x, float y, OColorF under) {
    const float d = RoundRectDistance(x, y, 128 * k, 214 * k, 54 * k, 9 * k, 8 * k);
    const float coverage = Cover(d);
    if (coverage <= 0) return under;
    const float light = Clamp01(0.6f - (y - 214 * k) / (18.0f * k));
    OColorF col = Mix(Hex(palette::kSpaceLight), Hex(palette::kIvory), light * 0.8f);
    col.a = 1;
    return Blend(under, col, coverage);
  });
}

}  // namespace

OCanvas PaintIcon(int size) {
  constexpr int kPainted = 256;
  const float k = kPainted / kUnits;
  OCanvas c(kPainted, kPainted);
  // The rounded square of deep space, lighter toward the far end of the box.
  c.Shade([&](float x, float y, OColorF) {
    const float d = RoundRectDistance(x, y, 128 * k, 128 * k, 120 * k, 120 * k, 36 * k);
    const float t = Clamp01(1.0f - std::hypot(x - 128 * k, y - 114 * k) / (150 * k));
    OColorF col = Mix(Hex(palette::kSpaceDeep), Hex(palette::kSpaceLight), t * t);
    col.a = Cover(d);
    return col;
  });
  PaintBox(c, k);
  PaintBricks(c, k);
  PaintBat(c, k);
  PaintBall(c, 150 * k, 168 * k, 22 * k, Hex(palette::kIvory));
  return size == kPainted ? c : c.Resized(size, size);
}

bool WriteIcons(const std::string& outDir, const std::vector<int>& sizes) {
  for (int size : sizes) {
    const std::string folder = outDir + "/" + std::to_string(size) + "x" + std::to_string(size);
    mkdir(outDir.c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/apps").c_str(), 0755);
    const std::string path = folder + "/apps/brikon3d.png";
    const OCanvas icon = PaintIcon(size);
    const std::vector<u8> rgba = icon.Bytes(4);
    const std::vector<u8> png =
        EncodePng(static_cast<u32>(size), static_cast<u32>(size), 4, rgba.data());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) {
      std::fprintf(stderr, "brikon-content: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}
