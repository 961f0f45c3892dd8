#include "audio/AudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "audio/Limiter.h"

namespace {
int users = 0;  // players holding the device open; the device is open while this is above 0
}

bool OpenAudioDevice() {
  if (users > 0) {
    ++users;
    return true;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // No format change allowed: SDL converts for the hardware, and we always mix in our own format.
  if (Mix_OpenAudioDevice(AUDIO_RATE, AUDIO_S16SYS, AUDIO_CHANNELS, AUDIO_CHUNK, nullptr, 0) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  // Several effects over the music can still add up past full scale: the limiter holds the sum.
  InstallMixLimiter();
  users = 1;
  return true;
}

void CloseAudioDevice() {
  if (users <= 0) return;
  if (--users > 0) return;
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioDeviceOpen() { return users > 0; }
