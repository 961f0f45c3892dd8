#include "pictures/Canvas.h"

#include <algorithm>
#include <cmath>

OColorF Rgb(float r, float g, float b, float a) { return OColorF{r, g, b, a}; }

OColorF Hex(u32 rgb, float a) {
  return OColorF{((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
                 a};
}

OColorF Mix(const OColorF& x, const OColorF& y, float t) {
  return OColorF{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
                 x.a + (y.a - x.a) * t};
}

OColorF Scaled(const OColorF& c, float k) { return OColorF{c.r * k, c.g * k, c.b * k, c.a}; }

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

float Smooth(float edge0, float edge1, float v) {
  float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

float Cover(float distance) { return Clamp01(0.5f - distance); }

float RoundRectDistance(float x, float y, float cx, float cy, float hw, float hh, float r) {
  float qx = std::fabs(x - cx) - (hw - r), qy = std::fabs(y - cy) - (hh - r);
  float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float SegmentDistance(float x, float y, float ax, float ay, float bx, float by) {
  float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  float len = dx * dx + dy * dy;
  float t = len > 0 ? Clamp01((px * dx + py * dy) / len) : 0;
  float ex = px - dx * t, ey = py - dy * t;
  return std::sqrt(ex * ex + ey * ey);
}

float TriangleDistance(float x, float y, const float* c) {
  float d = 1e30f;
  int sign = 0;
  for (int i = 0; i < 3; ++i) {
    int j = (i + 1) % 3;
    d = std::min(d, SegmentDistance(x, y, c[2 * i], c[2 * i + 1], c[2 * j], c[2 * j + 1]));
    float cross = (c[2 * j] - c[2 * i]) * (y - c[2 * i + 1]) - (c[2 * j + 1] - c[2 * i + 1]) * (x - c[2 * i]);
    sign += cross >= 0 ? 1 : -1;
  }
  return (sign == 3 || sign == -3) ? -d : d;
}

float Hash(int x, int y, int seed) {
  u32 h = static_cast<u32>(x) * 374761393u + static_cast<u32>(y) * 668265263u +
          static_cast<u32>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 16777216.0f;
}

float ValueNoise(float x, float y, int seed) {
  float fx = std::floor(x), fy = std::floor(y);
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  float a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
  float c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Fractal(float x, float y, int octaves, int seed) {
  float sum = 0, amplitude = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + i * 101) * amplitude;
    total += amplitude;
    x *= 2.03f;
    y *= 2.03f;
    amplitude *= 0.5f;
  }
  return sum / total;
}

OMask::OMask(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h, 0.0f) {}

float OMask::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  return values[static_cast<size_t>(y) * width + x];
}

namespace {

// One box pass along rows (step 1) or columns (step width) with a running sum.
void BoxPass(std::vector<float>& v, int count, int lines, int along, int across, int radius) {
  std::vector<float> line(count);
  for (int l = 0; l < lines; ++l) {
    float sum = 0;
    for (int i = 0; i < count; ++i) line[i] = v[static_cast<size_t>(l) * across + static_cast<size_t>(i) * along];
    for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < count) ? line[i] : 0;
    for (int i = 0; i < count; ++i) {
      v[static_cast<size_t>(l) * across + static_cast<size_t>(i) * along] = sum / (2 * radius + 1);
      int out = i - radius, in = i + radius + 1;
      if (out >= 0) sum -= line[out];
      if (in < count) sum += line[in];
    }
  }
}

}  // namespace

void OMask::Blur(int radius) {
  if (radius <= 0) return;
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(values, width, height, 1, width, radius);
    BoxPass(values, height, width, width, 1, radius);
  }
}

void OMask::Max(const OMask& other, int ox, int oy) {
  for (int y = 0; y < other.Height(); ++y)
    for (int x = 0; x < other.Width(); ++x) {
      int cx = ox + x, cy = oy + y;
      if (cx < 0 || cy < 0 || cx >= width || cy >= height) continue;
      Ref(cx, cy) = std::max(Ref(cx, cy), other.At(x, y));
    }
}

void OMask::Dilate(int radius) {
  std::vector<float> row(values.size());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      float m = 0;
      for (int i = -radius; i <= radius; ++i) m = std::max(m, At(x + i, y));
      row[static_cast<size_t>(y) * width + x] = m;
    }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      float m = 0;
      for (int i = -radius; i <= radius; ++i) {
        int yy = y + i;
        if (yy >= 0 && yy < height) m = std::max(m, row[static_cast<size_t>(yy) * width + x]);
      }
      Ref(x, y) = m;
    }
}

void OMask::Scale(float k) {
  for (float& v : values) v = Clamp01(v * k);
}

OCanvas::OCanvas(int w, int h, const OColorF& fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

OColorF Blend(const OColorF& d, const OColorF& c, float coverage) {
  float sa = Clamp01(c.a * coverage);
  if (sa <= 0) return d;
  float outA = sa + d.a * (1 - sa);
  OColorF out;
  out.r = (c.r * sa + d.r * d.a * (1 - sa)) / outA;
  out.g = (c.g * sa + d.g * d.a * (1 - sa)) / outA;
  out.b = (c.b * sa + d.b * d.a * (1 - sa)) / outA;
  out.a = outA;
  return out;
}

void OCanvas::Over(int x, int y, const OColorF& c, float coverage) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  Ref(x, y) = Blend(At(x, y), c, coverage);
}

void OCanvas::Add(int x, int y, const OColorF& c, float amount) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  OColorF& d = Ref(x, y);
  float k = amount * c.a;
  d.r += c.r * k;
  d.g += c.g * k;
  d.b += c.b * k;
  d.a = std::min(1.0f, d.a + k);
}

OCanvas OCanvas::Resized(int nw, int nh) const {
  OCanvas out(nw, nh);
  float sx = static_cast<float>(width) / nw, sy = static_cast<float>(height) / nh;
  for (int y = 0; y < nh; ++y) {
    float y0 = y * sy, y1 = (y + 1) * sy;
    for (int x = 0; x < nw; ++x) {
      float x0 = x * sx, x1 = (x + 1) * sx;
      float r = 0, g = 0, b = 0, a = 0, area = 0;
      // When enlarging, sample the nearest source pixel's neighbourhood bilinearly instead.
      if (sx < 1 || sy < 1) {
        float fx = std::max(0.0f, (x + 0.5f) * sx - 0.5f), fy = std::max(0.0f, (y + 0.5f) * sy - 0.5f);
        int ix = std::min(static_cast<int>(fx), width - 1), iy = std::min(static_cast<int>(fy), height - 1);
        int jx = std::min(ix + 1, width - 1), jy = std::min(iy + 1, height - 1);
        float tx = fx - ix, ty = fy - iy;
        const OColorF* corners[4] = {&At(ix, iy), &At(jx, iy), &At(ix, jy), &At(jx, jy)};
        float w[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
        for (int i = 0; i < 4; ++i) {
          r += corners[i]->r * corners[i]->a * w[i];
          g += corners[i]->g * corners[i]->a * w[i];
          b += corners[i]->b * corners[i]->a * w[i];
          a += corners[i]->a * w[i];
        }
        area = 1;
      } else {
        for (int py = static_cast<int>(y0); py < height && py < y1; ++py) {
          float wy = std::min<float>(py + 1, y1) - std::max<float>(py, y0);
          for (int px = static_cast<int>(x0); px < width && px < x1; ++px) {
            float w = (std::min<float>(px + 1, x1) - std::max<float>(px, x0)) * wy;
            const OColorF& c = At(px, py);
            r += c.r * c.a * w;
            g += c.g * c.a * w;
            b += c.b * c.a * w;
            a += c.a * w;
            area += w;
          }
        }
      }
      OColorF& d = out.Ref(x, y);
      if (a > 0) d = OColorF{r / a, g / a, b / a, a / area};
    }
  }
  return out;
}

void OCanvas::FlipVertical() {
  for (int y = 0; y < height / 2; ++y)
    for (int x = 0; x < width; ++x) std::swap(Ref(x, y), Ref(x, height - 1 - y));
}

std::vector<u8> OCanvas::Bytes(int channels) const {
  std::vector<u8> out;
  out.reserve(pixels.size() * channels);
  auto byte = [](float v) { return static_cast<u8>(std::lround(Clamp01(v) * 255.0f)); };
  for (const OColorF& c : pixels) {
    if (channels == 1) {
      out.push_back(byte(c.r * 0.299f + c.g * 0.587f + c.b * 0.114f));
      continue;
    }
    out.push_back(byte(c.r));
    out.push_back(byte(c.g));
    out.push_back(byte(c.b));
    if (channels == 4) out.push_back(byte(c.a));
  }
  return out;
}
