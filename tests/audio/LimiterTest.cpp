// The soft limiter on the final mix: what it lets through untouched, how it holds a sum that
// would pass full scale, and how it lets go afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "audio/Limiter.h"

namespace {

std::vector<i16> Stereo(size_t frames, i16 left, i16 right) {
  std::vector<i16> s(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    s[2 * i] = left;
    s[2 * i + 1] = right;
  }
  return s;
}

int Peak(const std::vector<i16>& s) {
  int p = 0;
  for (i16 v : s) p = std::max(p, std::abs(static_cast<int>(v)));
  return p;
}

}  // namespace

TEST(Limiter, HoldsTheMixUnderItsCeiling) {
  struct Case {
    const char* what;
    i16 left, right;
    int maxPeak;   // the largest magnitude allowed out
    bool touched;  // the samples change
  };
  const int ceiling = static_cast<int>(0.89f * 32767.0f);
  const Case cases[] = {
      {"silence stays silence", 0, 0, 0, false},
      {"a level under the ceiling passes bit for bit", 20000, -20000, 20000, false},
      {"a level just at the ceiling passes", static_cast<i16>(ceiling), 0, ceiling, false},
      {"full scale is brought under the ceiling", 32767, 32767, ceiling, true},
      {"negative full scale too (one more step than positive)", -32768, -32768, ceiling, true},
      {"one loud channel lowers both, keeping the stereo picture", 32767, 10000, ceiling, true},
  };
  for (const Case& c : cases) {
    OLimiter limiter;
    std::vector<i16> s = Stereo(512, c.left, c.right);
    const std::vector<i16> before = s;
    limiter.Process(s.data(), 512);
    EXPECT_LE(Peak(s), c.maxPeak) << c.what;
    EXPECT_EQ(s != before, c.touched) << c.what;
    if (c.touched && c.right != c.left && c.left != 0) {
      // One gain for both channels: the ratio between them stays.
      EXPECT_NEAR(static_cast<double>(s[1]) / s[0], static_cast<double>(c.right) / c.left, 0.01) << c.what;
    }
  }
}

TEST(Limiter, LetsGoGraduallyOnceThePeakHasPassed) {
  OLimiter limiter(0.5f, 100.0f, 44100);
  std::vector<i16> loud = Stereo(64, 32000, 32000);
  limiter.Process(loud.data(), 64);
  EXPECT_NEAR(limiter.Gain(), 0.5f * 32767.0f / 32000.0f, 0.001f) << "held at the ceiling during the peak";
  std::vector<i16> quiet = Stereo(441, 1000, 1000);  // 10 ms
  limiter.Process(quiet.data(), 441);
  EXPECT_GT(limiter.Gain(), 0.52f) << "recovering";
  EXPECT_LT(limiter.Gain(), 0.65f) << "but not at once (no pumping on every wave)";
  std::vector<i16> rest = Stereo(44100, 1000, 1000);  // a second later
  limiter.Process(rest.data(), 44100);
  EXPECT_GT(limiter.Gain(), 0.999f) << "back to unity";
  EXPECT_GE(rest.back(), 999);
}
