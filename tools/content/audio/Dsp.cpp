#include "audio/Dsp.h"

#include <algorithm>
#include <cmath>

float ONoise::Next() {
  // xorshift32: cheap, full period, and the same on every machine.
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<float>(static_cast<double>(state) / 2147483648.0 - 1.0);
}

void OBiquad::Set(double frequency, double q) {
  frequency = std::clamp(frequency, 10.0, rate * 0.45);
  double w = 2.0 * kPi * frequency / rate;
  double cw = std::cos(w), alpha = std::sin(w) / (2.0 * q);
  double a0 = 1.0 + alpha;
  switch (kind) {
    case LOWPASS:
      b0 = (1.0 - cw) / 2.0;
      b1 = 1.0 - cw;
      b2 = b0;
      break;
    case HIGHPASS:
      b0 = (1.0 + cw) / 2.0;
      b1 = -(1.0 + cw);
      b2 = b0;
      break;
    case BANDPASS:  // peak gain 1 at the centre
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
  }
  b0 /= a0;
  b1 /= a0;
  b2 /= a0;
  a1 = -2.0 * cw / a0;
  a2 = (1.0 - alpha) / a0;
}

float OBiquad::Process(float x) {
  double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
  x2 = x1;
  x1 = x;
  y2 = y1;
  y1 = y;
  return static_cast<float>(y);
}

double Decay(double t, double seconds) { return t < 0 ? 0.0 : std::exp(-t / seconds); }

double AttackDecay(double t, double attack, double decay) {
  if (t < 0) return 0.0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

void FadeEnds(OSignal& s, double rate, double in, double out) {
  size_t nIn = std::min(s.size(), static_cast<size_t>(in * rate));
  size_t nOut = std::min(s.size(), static_cast<size_t>(out * rate));
  for (size_t i = 0; i < nIn; ++i) s[i] *= static_cast<float>(i) / nIn;
  for (size_t i = 0; i < nOut; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / nOut;
}

void Normalise(OSignal& s, float peak) {
  float m = 0.0f;
  for (float x : s) m = std::max(m, std::fabs(x));
  if (m <= 0.0f) return;
  float g = peak / m;
  for (float& x : s) x *= g;
}

void MixInto(OSignal& s, const OSignal& other, size_t at, float gain) {
  if (s.size() < at + other.size()) s.resize(at + other.size(), 0.0f);
  for (size_t i = 0; i < other.size(); ++i) s[at + i] += other[i] * gain;
}

std::int16_t ToPcm16(float x) {
  long v = std::lround(static_cast<double>(x) * 32767.0);
  return static_cast<std::int16_t>(std::clamp(v, -32768L, 32767L));
}

std::int8_t ToPcm8(float x) {
  long v = std::lround(static_cast<double>(x) * 127.0);
  return static_cast<std::int8_t>(std::clamp(v, -128L, 127L));
}

namespace {
void Put32(std::vector<unsigned char>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void Put16(std::vector<unsigned char>& b, std::uint16_t v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}
}  // namespace

std::vector<unsigned char> MakeWav(const OSignal& s, std::uint32_t rate) {
  std::vector<unsigned char> b;
  std::uint32_t dataBytes = static_cast<std::uint32_t>(s.size() * 2);
  b.reserve(44 + dataBytes);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  Put32(b, 36 + dataBytes);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(b, 16);
  Put16(b, 1);  // PCM
  Put16(b, 1);  // mono
  Put32(b, rate);
  Put32(b, rate * 2);  // bytes per second
  Put16(b, 2);         // block align
  Put16(b, 16);        // bits per sample
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  Put32(b, dataBytes);
  for (float x : s) Put16(b, static_cast<std::uint16_t>(ToPcm16(x)));
  return b;
}
