#include "Frames.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

BenchFrame ReadBackBuffer(int width, int height) {
  BenchFrame frame;
  frame.width = width;
  frame.height = height;
  std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  // GL's rows run from the bottom; a picture file's from the top.
  frame.rgb.resize(rows.size());
  const size_t stride = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    std::copy_n(rows.begin() + static_cast<long>(stride * (height - 1 - y)), stride,
                frame.rgb.begin() + static_cast<long>(stride * y));
  }
  return frame;
}

bool WritePpm(const std::string& path, const BenchFrame& frame) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", frame.width, frame.height);
  const bool ok = std::fwrite(frame.rgb.data(), 1, frame.rgb.size(), f) == frame.rgb.size();
  return std::fclose(f) == 0 && ok;
}

bool ReadPpm(const std::string& path, BenchFrame& frame) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  int maxValue = 0;
  const bool header = std::fscanf(f, "P6 %d %d %d", &frame.width, &frame.height, &maxValue) == 3 &&
                      std::fgetc(f) != EOF && maxValue == 255 && frame.width > 0 &&
                      frame.height > 0 && frame.width <= 16384 && frame.height <= 16384;
  if (header) {
    frame.rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
  }
  const bool ok = header && std::fread(frame.rgb.data(), 1, frame.rgb.size(), f) == frame.rgb.size();
  std::fclose(f);
  return ok;
}

double Psnr(const BenchFrame& a, const BenchFrame& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return -1.0;
  double sum = 0.0;
  for (size_t i = 0; i < a.rgb.size(); ++i) {
    const double d = static_cast<double>(a.rgb[i]) - static_cast<double>(b.rgb[i]);
    sum += d * d;
  }
  if (sum == 0.0) return std::numeric_limits<double>::infinity();
  const double mse = sum / static_cast<double>(a.rgb.size());
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}
