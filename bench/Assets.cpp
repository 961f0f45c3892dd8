// Asset loading costs: indexing a resource archive of 1,000 entries, reading entries, and decoding
// a 512x512 JPEG and a 512x512 32-bit TGA. Prints the median of several runs of each. Run it in a
// scratch folder: it writes "bench.Tkr" into the working directory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "assets/ArchiveWriter.h"
#include "assets/ImageDecode.h"
#include "assets/Resource.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double MedianMs(int runs, F work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

std::string EncodeRgbJpeg(u32 width, u32 height, const std::vector<u8>& rgb, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<u8*>(rgb.data()) + static_cast<size_t>(cinfo.next_scanline) * width * 3;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

}  // namespace

int main() {
  std::vector<OArchiveEntry> entries;
  for (int i = 0; i < 1000; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "Data/Textures/Texture%04d.Tga", i);
    entries.push_back({name, std::vector<unsigned char>(4096 + i, static_cast<unsigned char>(i))});
  }
  if (!WriteArchive("bench.Tkr", entries)) {
    std::fputs("cannot write bench.Tkr\n", stderr);
    return 1;
  }
  double index = MedianMs(21, [] {
    OResource archive("bench.Tkr");
    archive.Open();
    if (archive.index.size() != 1000) std::abort();
  });
  OResource archive("bench.Tkr");
  archive.Open();
  double read = MedianMs(21, [&] {
    for (int i = 0; i < 100; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "data/textures/texture%04d.tga", i * 10);
      if (!archive.Read(name)) std::abort();
    }
  });

  // A picture with gradients and fine detail, so that the JPEG is not trivially small.
  std::vector<u8> rgb(512 * 512 * 3);
  for (u32 y = 0; y < 512; ++y)
    for (u32 x = 0; x < 512; ++x) {
      u8* p = &rgb[(y * 512 + x) * 3];
      p[0] = static_cast<u8>(x / 2);
      p[1] = static_cast<u8>(y / 2);
      p[2] = static_cast<u8>(((x * y) >> 8) ^ (x * 7 + y * 13));
    }
  std::string jpeg = EncodeRgbJpeg(512, 512, rgb, 90);
  std::string tga(18, '\0');
  tga[2] = 2;
  tga[13] = tga[15] = 2;  // 512 = 0x200, little-endian
  tga[16] = 32;
  for (size_t i = 0; i < 512 * 512 * 4; ++i) tga.push_back(static_cast<char>(i * 37));

  ODecodedImage image;
  double jpegMs = MedianMs(15, [&] {
    if (!DecodeJpeg(reinterpret_cast<const u8*>(jpeg.data()), jpeg.size(), image)) std::abort();
  });
  double tgaMs = MedianMs(15, [&] {
    if (!DecodeTga(reinterpret_cast<const u8*>(tga.data()), tga.size(), image)) std::abort();
  });
  std::remove("bench.Tkr");
  std::printf("index an archive of 1000 entries: %.3f ms (median of 21)\n", index);
  std::printf("read 100 entries of about 4.5 KB:  %.3f ms (median of 21)\n", read);
  std::printf("decode a 512x512 JPEG (%zu bytes): %.3f ms (median of 15)\n", jpeg.size(), jpegMs);
  std::printf("decode a 512x512 32-bit TGA:       %.3f ms (median of 15)\n", tgaMs);
  return 0;
}
