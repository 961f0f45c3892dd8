#include "pictures/Icon.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

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

void PutU32(std::vector<u8>& out, u32 v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<u8>(v >> shift));
}

u32 Crc32(const u8* data, size_t size, u32 crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int b = 0; b < 8; ++b) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutChunk(std::vector<u8>& out, const char* type, const std::vector<u8>& data) {
  PutU32(out, static_cast<u32>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32(out, Crc32(out.data() + start, out.size() - start));
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

std::vector<u8> EncodePng(int width, int height, const std::vector<u8>& rgba) {
  std::vector<u8> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<u8> header;
  PutU32(header, static_cast<u32>(width));
  PutU32(header, static_cast<u32>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace
  PutChunk(png, "IHDR", header);

  // Each row: filter type 0 (none), then its pixels.
  std::vector<u8> raw;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgba.begin() + static_cast<long>(y * rowBytes),
               rgba.begin() + static_cast<long>((y + 1) * rowBytes));
  }
  // zlib stream: header, stored blocks of at most 65535 bytes, Adler-32 of the raw bytes.
  std::vector<u8> z = {0x78, 0x01};
  for (size_t at = 0; at < raw.size() || at == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<u8>(n & 0xFF));
    z.push_back(static_cast<u8>(n >> 8));
    z.push_back(static_cast<u8>(~n & 0xFF));
    z.push_back(static_cast<u8>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
    if (last) break;
  }
  u32 a = 1, b = 0;
  for (u8 v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutU32(z, (b << 16) | a);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

bool WriteIcons(const std::string& outDir, const std::vector<int>& sizes) {
  for (int size : sizes) {
    const std::string folder = outDir + "/" + std::to_string(size) + "x" + std::to_string(size);
    mkdir(outDir.c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/apps").c_str(), 0755);
    const std::string path = folder + "/apps/brikon3d.png";
    const OCanvas icon = PaintIcon(size);
    const std::vector<u8> png = EncodePng(size, size, icon.Bytes(4));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) {
      std::fprintf(stderr, "brikon-content: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}
