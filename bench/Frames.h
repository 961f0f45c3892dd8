#pragma once
// Frames the bench keeps so that a speed-up that changes the picture can be judged: saved as
// binary PPM (RGB, rows from the top) and compared with a previous run's by their PSNR.
#include <string>
#include <vector>

struct BenchFrame {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // width * height * 3 bytes, top row first
};

// The back buffer as it stands (call after glFinish, before the swap).
BenchFrame ReadBackBuffer(int width, int height);
bool WritePpm(const std::string& path, const BenchFrame& frame);
// False for anything but a binary PPM with 255 as its maximum.
bool ReadPpm(const std::string& path, BenchFrame& frame);
// Peak signal-to-noise ratio of `b` against `a` over every colour byte, dB; infinity when they
// are the same, a negative value when their sizes differ.
double Psnr(const BenchFrame& a, const BenchFrame& b);
