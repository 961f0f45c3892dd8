#include "audio/MusicPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstring>

#include "audio/AudioDevice.h"
#include "audio/Module.h"
#include "audio/Playlist.h"
#include "core/Config.h"

std::atomic<u8> trackEnded{0};
// Written from the audio thread without any lock: it must be a plain one-byte store.
static_assert(std::atomic<u8>::is_always_lock_free, "trackEnded must be lock-free");

namespace {

// Volume 0..100 as a linear amplitude factor, in millibel for the renderer.
i32 GainFor(u32 volume) {
  if (volume >= 100) return 0;
  if (volume == 0) return -10000;  // -100 dB; the output is also zeroed (see Mix)
  return static_cast<i32>(std::lround(2000.0 * std::log10(volume / 100.0)));
}

// Holds the player's lock for a scope.
class OLockGuard {
public:
  explicit OLockGuard(SDL_mutex* m) : m(m) { if (m) SDL_LockMutex(m); }
  ~OLockGuard() { if (m) SDL_UnlockMutex(m); }
  OLockGuard(const OLockGuard&) = delete;
  OLockGuard& operator=(const OLockGuard&) = delete;

private:
  SDL_mutex* m;
};

}  // namespace

OMusicPlayer::OMusicPlayer() { Init(); }

OMusicPlayer::~OMusicPlayer() {
  Unload();
  if (ready) CloseAudioDevice();
  if (lock) SDL_DestroyMutex(lock);
}

bool OMusicPlayer::Init() {
  if (ready) return true;
  if (lock == nullptr) lock = SDL_CreateMutex();
  if (lock == nullptr) return false;
  if (!OpenAudioDevice()) return false;
  ready = 1;
  return true;
}

void OMusicPlayer::Unload() {
  if (!ready) return;
  // No hook may run while the module goes away; unhooking waits for a running mix pass. It takes
  // the mixer's lock, so it is never called while holding ours.
  Mix_HookMusic(nullptr, nullptr);
  OLockGuard guard(lock);
  delete module;
  module = nullptr;
  sounding = false;
}

void OMusicPlayer::PlayCurrent() {
  if (!ready) return;
  started = 1;
  Unload();
  // Cleared before loading: a track that fails to load must not look ended, or the main loop
  // would try again every frame.
  trackEnded = 0;
  if (playlist == nullptr) return;
  // A track that does not load is skipped for the next one, as if it had ended at once. After a
  // whole pass of tracks that all fail the music stays silent until a list starts again.
  for (size_t tries = 0; tries < playlist->Count(); ++tries) {
    if (tries > 0) playlist->Next();
    if (LoadCurrent()) {
      playing = 1;
      Mix_HookMusic(Mix, this);
      return;
    }
  }
}

bool OMusicPlayer::LoadCurrent() {
  const std::vector<u8>* track = playlist->Current();
  if (track == nullptr) return false;
  // Every renderer call runs under the lock, loading included (the hook is off meanwhile).
  OLockGuard guard(lock);
  module = OModule::Load(track->data(), track->size());
  if (module == nullptr) return false;
  module->SetGain(GainFor(volume));
  if (playlist->position != 0) module->SetPosition(playlist->position);
  sounding = true;
  return true;
}

void OMusicPlayer::PlayNext() {
  if (playlist == nullptr) return;
  playlist->Next();
  PlayCurrent();
}

void OMusicPlayer::Resume() {
  playing = 1;
  OLockGuard guard(lock);
  sounding = module != nullptr;
}

void OMusicPlayer::Pause() {
  playing = 0;
  OLockGuard guard(lock);
  sounding = false;
}

void OMusicPlayer::Stop() {
  // The loaded track keeps its place: a later Resume continues it.
  Pause();
}

void OMusicPlayer::SavePosition() {
  if (playlist == nullptr) return;
  playlist->position = GetPosition();
}

u32 OMusicPlayer::GetPosition() const {
  OLockGuard guard(lock);
  return module != nullptr ? module->GetPosition() : 0;
}

void OMusicPlayer::SetVolume(u32 v) {
  OLockGuard guard(lock);
  volume = v > 100 ? 100 : v;
  if (module != nullptr) module->SetGain(GainFor(volume));
}

u32 OMusicPlayer::GetVolume() const {
  OLockGuard guard(lock);
  return volume;
}

void OMusicPlayer::SwitchPlaylist(OPlaylist* list, bool saveOld) {
  const bool musicOn = GetConfig().musicOn != 0;
  if (musicOn) {
    if (saveOld) SavePosition();
    Stop();
  }
  playlist = list;
  if (musicOn) PlayCurrent();
}

void OMusicPlayer::Mix(void* self, u8* stream, int length) {
  OMusicPlayer* player = static_cast<OMusicPlayer*>(self);
  if (length <= 0) return;
  const size_t frames = static_cast<size_t>(length) / (AUDIO_CHANNELS * sizeof(i16));
  size_t written = 0;
  {
    OLockGuard guard(player->lock);
    if (player->sounding && player->module != nullptr) {
      i16* out = reinterpret_cast<i16*>(stream);
      while (written < frames) {
        const size_t got = player->module->Render(out + written * AUDIO_CHANNELS, frames - written);
        if (got == 0) {
          // The song is over: the only thing done about it here is raising the flag.
          trackEnded = 1;
          break;
        }
        written += got;
      }
      // The renderer dithers its 16-bit output, so even a very low gain leaves noise: volume 0
      // is made silent here while the song runs on.
      if (player->volume == 0) written = 0;
    }
  }
  const size_t filled = written * AUDIO_CHANNELS * sizeof(i16);
  std::memset(stream + filled, 0, static_cast<size_t>(length) - filled);
}

void StartMusicAtLoad(OMusicPlayer& player, OPlaylist& game, OPlaylist& menu) {
  BuildPlaylists(game, menu);
  player.SetVolume(GetConfig().musicVolume);
  player.playlist = &menu;
  if (GetConfig().musicOn) player.PlayCurrent();
}
