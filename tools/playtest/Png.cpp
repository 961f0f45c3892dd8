#include "Png.h"

#include <algorithm>
#include <fstream>

namespace {

u32 Crc32(const u8* data, size_t size, u32 crc = 0) {
  static u32 table[256];
  static bool ready = false;
  if (!ready) {
    for (u32 n = 0; n < 256; ++n) {
      u32 c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    ready = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32(std::vector<u8>& out, u32 v) {
  out.push_back(static_cast<u8>(v >> 24));
  out.push_back(static_cast<u8>(v >> 16));
  out.push_back(static_cast<u8>(v >> 8));
  out.push_back(static_cast<u8>(v));
}

void Chunk(std::vector<u8>& out, const char* type, const std::vector<u8>& data) {
  PutU32(out, static_cast<u32>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

std::vector<u8> EncodePng(i32 width, i32 height, const std::vector<u8>& rgb) {
  std::vector<u8> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<u8> header;
  PutU32(header, static_cast<u32>(width));
  PutU32(header, static_cast<u32>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  Chunk(out, "IHDR", header);

  // The raw scanlines, each led by filter type 0.
  const size_t row = static_cast<size_t>(width) * 3;
  std::vector<u8> raw;
  raw.reserve((row + 1) * static_cast<size_t>(height));
  for (i32 y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb.begin() + static_cast<long>(row * y),
               rgb.begin() + static_cast<long>(row * (y + 1)));
  }
  // zlib stream: header, stored blocks of at most 65535 bytes, Adler-32 of the raw data.
  std::vector<u8> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<u8>(n));
    z.push_back(static_cast<u8>(n >> 8));
    z.push_back(static_cast<u8>(~n));
    z.push_back(static_cast<u8>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
  } while (at < raw.size());
  u32 a = 1, b = 0;
  for (u8 c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutU32(z, (b << 16) | a);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

bool WritePng(const std::string& path, i32 width, i32 height, const std::vector<u8>& rgb) {
  if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3) return false;
  const std::vector<u8> bytes = EncodePng(width, height, rgb);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
