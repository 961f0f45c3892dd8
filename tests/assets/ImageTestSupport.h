#pragma once
// Picture files made in the tests: TGAs byte by byte, JPEGs through libjpeg's encoder.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

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

// Bytes 0..n-1 of a repeating pattern that differs in every channel.
inline std::string PixelBytes(size_t n, int seed = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 37 + seed * 11 + 5);
  return s;
}

// Encodes rows (top first) of `channels` bytes per pixel: 1 greyscale, 3 RGB, 4 CMYK (written with
// the Adobe marker, as image editors do).
inline std::string MakeJpeg(u32 width, u32 height, int channels, const std::vector<u8>& pixels,
                            int quality = 95, bool progressive = false) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = channels;
  cinfo.in_color_space = channels == 1 ? JCS_GRAYSCALE : channels == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<u8*>(pixels.data()) +
                   static_cast<size_t>(cinfo.next_scanline) * width * channels;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
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
