#pragma once
// Small stand-ins for the effects' pictures, made in the tests: soft dots and flame puffs.
#include <cmath>
#include <string>
#include <vector>

#include "assets/ImageTestSupport.h"
#include "shell/Types.h"

namespace effect_test {

// 0..1: 1 in the middle of a size x size square falling to 0 at `radius` (in half sides).
inline double Falloff(u32 x, u32 y, u32 size, double radius = 1.0) {
  const double h = size / 2.0;
  const double dx = (x + 0.5 - h) / h;
  const double dy = (y + 0.5 - h) / h;
  const double d = std::sqrt(dx * dx + dy * dy) / radius;
  return d >= 1.0 ? 0.0 : (1.0 - d) * (1.0 - d);
}

// A 32-bit TGA of one colour whose alpha is the soft dot raised to `sharpness` (higher: a
// smaller bright core).
inline std::string SoftDotTga(u32 size, u8 r, u8 g, u8 b, double sharpness = 1.0) {
  std::string pixels;
  for (u32 y = 0; y < size; ++y)
    for (u32 x = 0; x < size; ++x) {
      pixels += static_cast<char>(b);
      pixels += static_cast<char>(g);
      pixels += static_cast<char>(r);
      const double a = std::pow(Falloff(x, y, size), sharpness);
      pixels += static_cast<char>(static_cast<u8>(255.0 * a));
    }
  return image_test::MakeTga(2, size, size, 32, pixels, 8);
}

// A 32-bit TGA of a solid chip with a one-pixel soft rim: brick debris.
inline std::string ChipTga(u32 size) {
  std::string pixels;
  for (u32 y = 0; y < size; ++y)
    for (u32 x = 0; x < size; ++x) {
      const bool rim = x == 0 || y == 0 || x + 1 == size || y + 1 == size;
      pixels += std::string(3, static_cast<char>(static_cast<u8>(255)));
      pixels += static_cast<char>(static_cast<u8>(rim ? 96 : 255));
    }
  return image_test::MakeTga(2, size, size, 32, pixels, 8);
}

// A 2 x 2 atlas of flame puffs on black (the flames are added to the picture, so black is
// nothing): four differently stretched warm blobs, 64 pixels each.
inline std::string FlameAtlasJpeg() {
  const u32 cell = 64, size = 2 * cell;
  std::vector<u8> rgb(size * size * 3);
  const double stretch[4] = {1.0, 1.3, 0.8, 1.15};
  for (u32 y = 0; y < size; ++y)
    for (u32 x = 0; x < size; ++x) {
      const int c = (y / cell) * 2 + x / cell;
      const double h = cell / 2.0;
      const double dx = (x % cell + 0.5 - h) / h * stretch[c];
      const double dy = (y % cell + 0.5 - h) / h / stretch[c];
      const double d = std::sqrt(dx * dx + dy * dy);
      const double v = d >= 1.0 ? 0.0 : (1.0 - d);
      u8* p = &rgb[(y * size + x) * 3];
      p[0] = static_cast<u8>(255.0 * std::min(1.0, v * 1.6));
      p[1] = static_cast<u8>(255.0 * v * v * 1.1 > 255.0 ? 255 : 255.0 * v * v * 1.1);
      p[2] = static_cast<u8>(255.0 * v * v * v * 0.6);
    }
  return image_test::MakeJpeg(size, size, 3, rgb, 90);
}

}  // namespace effect_test
