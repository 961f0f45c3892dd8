// Asset loading costs: indexing a resource archive of 1,000 entries, reading entries, and decoding
// a 512x512 JPEG and a 512x512 32-bit TGA. Prints the median of several runs of each. Run it in a
// scratch folder: it writes "bench.Tkr" into the working directory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/ArchiveWriter.h"
#include "assets/ImageDecode.h"
#include "assets/ImageWriter.h"
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
  const std::vector<u8> jpeg = EncodeJpeg(512, 512, 3, rgb.data(), 90);
  std::string tga(18, '\0');
  tga[2] = 2;
  tga[13] = tga[15] = 2;  // 512 = 0x200, little-endian
  tga[16] = 32;
  for (size_t i = 0; i < 512 * 512 * 4; ++i) tga.push_back(static_cast<char>(i * 37));

  ODecodedImage image;
  double jpegMs = MedianMs(15, [&] {
    if (!DecodeJpeg(jpeg.data(), jpeg.size(), image)) std::abort();
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
