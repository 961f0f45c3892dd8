#pragma once
// The soft limiter on the game's final mix. Effects and music are levelled to leave headroom, but
// a bomb blast over a brick hit over the bat's boing can still add up past full scale; the limiter
// then lowers the whole mix at once and lets it come back smoothly, instead of squaring off the
// peaks. It works on the mixer's output format: interleaved stereo signed 16-bit frames.
#include <cstddef>

#include "core/Types.h"

class OLimiter {
public:
  // `ceiling` is the largest magnitude let through, as a fraction of full scale (0..1);
  // `releaseMs` the time constant in which the gain recovers once the peaks have passed.
  explicit OLimiter(f32 ceiling = 0.89f, f32 releaseMs = 120.0f, int rate = 44100);

  // Limits `frames` stereo frames in place. Both channels share one gain, so the stereo picture
  // never shifts.
  void Process(i16* stereo, size_t frames);
  // The gain of the last frame (1 when nothing is being held down).
  f32 Gain() const { return gain; }
  void Reset() { gain = 1.0f; }

private:
  f32 ceiling;
  f32 recovery;  // per frame: how much of the distance to the wanted gain remains
  f32 gain = 1.0f;
};

// Puts a limiter on the mixer's final output (the post-mix hook) while the audio device is open.
void InstallMixLimiter();
