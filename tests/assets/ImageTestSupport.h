#pragma once
// Picture files made in the tests: TGAs byte by byte, JPEGs through the game's writer.
#include <string>
#include <vector>

#include "assets/ImageWriter.h"
#include "core/Types.h"

namespace image_test {

// A TGA with the given header fields and pixel bytes (stored as given, no conversion).
inline std::string MakeTga(u8 type, u32 width, u32 height, u8 depth, const std::string& pixels,
                           u8 descriptor = 0) {
  std::string h(18, '\0');
  h[2] = static_cast<char>(type);
  h[12] = static_cast<char>(width & 0xFF);
  h[13] = static_cast<char>(width >> 8);
  h[14] = static_cast<char>(height & 0xFF);
  h[15] = static_cast<char>(height >> 8);
  h[16] = static_cast<char>(depth);
  h[17] = static_cast<char>(descriptor);
  return h + pixels;
}

// An opaque w x h TGA of one colour.
inline std::vector<unsigned char> SolidTga(u32 w, u32 h, u8 r, u8 g, u8 b) {
  std::string bgr;
  for (u32 i = 0; i < w * h; ++i) bgr += {char(b), char(g), char(r)};
  const std::string t = MakeTga(2, w, h, 24, bgr);
  return {t.begin(), t.end()};
}

// Bytes 0..n-1 of a repeating pattern that differs in every channel.
inline std::string PixelBytes(size_t n, int seed = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 37 + seed * 11 + 5);
  return s;
}

// The game's JPEG writer, giving the file as a string the archives and decoders take.
inline std::string MakeJpeg(u32 width, u32 height, int channels, const std::vector<u8>& pixels,
                            int quality = 95, bool progressive = false) {
  const std::vector<u8> bytes = EncodeJpeg(width, height, static_cast<u32>(channels),
                                           pixels.data(), quality, progressive);
  return std::string(bytes.begin(), bytes.end());
}

// A solid block per half: the top half one colour, the bottom half another (RGB).
inline std::vector<u8> TwoBandsRgb(u32 width, u32 height, const u8 top[3], const u8 bottom[3]) {
  std::vector<u8> p(static_cast<size_t>(width) * height * 3);
  for (u32 y = 0; y < height; ++y)
    for (u32 x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) p[(y * width + x) * 3 + c] = (y < height / 2 ? top : bottom)[c];
  return p;
}

inline const u8* AsBytes(const std::string& s) { return reinterpret_cast<const u8*>(s.data()); }

}  // namespace image_test
