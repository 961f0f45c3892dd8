#pragma once
// Small signal-processing kit for the content compiler's synthesised sounds and instruments:
// a seeded noise source, filters, envelopes, and the conversions to 16-bit and 8-bit samples.
// Signals are float sample vectors, nominally -1..1. Everything is deterministic.
#include <cstddef>
#include <cstdint>
#include <vector>

using OSignal = std::vector<float>;

constexpr double kPi = 3.14159265358979323846;

// White noise from a private generator, so each sound's noise depends only on its own seed.
class ONoise {
public:
  explicit ONoise(std::uint32_t seed) : state(seed ? seed : 1u) {}
  // Next value, -1..1.
  float Next();

private:
  std::uint32_t state;
};

// Second-order filter (the usual audio biquad). Frequencies in Hz, q the resonance (0.707 is flat).
class OBiquad {
public:
  enum Kind { LOWPASS, HIGHPASS, BANDPASS };
  OBiquad(Kind kind, double rate) : kind(kind), rate(rate) {}
  // Recomputes the coefficients; can be called per sample for sweeps.
  void Set(double frequency, double q);
  float Process(float x);

private:
  Kind kind;
  double rate;
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Exponential decay from 1 towards 0: value after t seconds with the given time constant.
double Decay(double t, double seconds);
// Linear attack over `attack` seconds, then exponential decay with time constant `decay`.
double AttackDecay(double t, double attack, double decay);
// A short fade at both ends (seconds) so that a sound never starts or stops with a click.
void FadeEnds(OSignal& s, double rate, double in, double out);
// Scales the signal so its largest magnitude is `peak` (0..1).
void Normalise(OSignal& s, float peak);
// Adds `other` into `s` from sample `at`, scaled by `gain`, growing `s` when needed.
void MixInto(OSignal& s, const OSignal& other, std::size_t at, float gain);

// Conversions with rounding and saturation.
std::int16_t ToPcm16(float x);
std::int8_t ToPcm8(float x);

// A mono 16-bit PCM WAV file with the canonical 44-byte header (RIFF, fmt of 16 bytes, data).
std::vector<unsigned char> MakeWav(const OSignal& s, std::uint32_t rate);
