#include "audio/Limiter.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

OLimiter::OLimiter(f32 ceiling, f32 releaseMs, int rate)
    : ceiling(std::clamp(ceiling, 0.01f, 1.0f)),
      recovery(static_cast<f32>(std::exp(-1000.0 / (std::max(releaseMs, 0.1f) * rate)))) {}

void OLimiter::Process(i16* stereo, size_t frames) {
  const f32 limit = ceiling * 32767.0f;
  for (size_t i = 0; i < frames; ++i) {
    i16* frame = stereo + 2 * i;
    const f32 peak = static_cast<f32>(std::max(std::abs(frame[0]), std::abs(frame[1])));
    const f32 wanted = peak > limit ? limit / peak : 1.0f;
    // Down at once (no frame may pass the ceiling), back up gradually (no pumping on every wave).
    gain = wanted < gain ? wanted : wanted + (gain - wanted) * recovery;
    if (gain < 1.0f) {
      for (int c = 0; c < 2; ++c) {
        // Truncation toward zero keeps the result at or under the ceiling.
        frame[c] = static_cast<i16>(static_cast<f32>(frame[c]) * gain);
      }
    }
  }
}

namespace {

OLimiter mixLimiter;

// Runs on the audio thread after the music hook and every effect channel have been mixed.
void LimitMix(void*, Uint8* stream, int length) {
  if (length <= 0) return;
  mixLimiter.Process(reinterpret_cast<i16*>(stream), static_cast<size_t>(length) / 4);
}

}  // namespace

void InstallMixLimiter() {
  mixLimiter.Reset();
  Mix_SetPostMix(LimitMix, nullptr);
}
