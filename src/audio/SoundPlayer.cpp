#include "audio/SoundPlayer.h"

#include <SDL_mixer.h>

#include <cmath>
#include <cstdint>
#include <fstream>

#include "audio/AudioDevice.h"
#include "audio/VolumeOut.h"
#include "audio/Wav.h"
#include "core/Paths.h"

namespace {

bool ReadWholeFile(const std::string& name, std::vector<u8>& out) {
  std::ifstream in(name, std::ios::binary | std::ios::ate);
  if (!in) return false;
  // One read of the known size: copying a stream character by character cost more than the
  // whole conversion at start-up.
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  out.resize(static_cast<size_t>(size));
  in.seekg(0);
  if (size > 0) in.read(reinterpret_cast<char*>(out.data()), size);
  if (in.gcount() != size) out.resize(static_cast<size_t>(in.gcount()));
  return !in.bad();
}

}  // namespace

OSoundPlayer::OSoundPlayer()
    : mixer(new OVolumeOut(OVolumeOut::VOLUME_LINE_WAVE)), savedMixerVolume(mixer->GetVolume()) {}

OSoundPlayer::~OSoundPlayer() {
  Remove(-1);
  if (deviceOpen) CloseAudioDevice();
  // The system volume is put back only when this player changed it.
  if (mixerChanged) mixer->SetVolume(savedMixerVolume);
  delete mixer;
}

bool OSoundPlayer::Init(bool wanted) {
  if ((deviceOpen != 0) == wanted) return true;
  if (!wanted) {
    for (auto& item : entries) Release(item.second);
    CloseAudioDevice();
    deviceOpen = 0;
    return true;
  }
  if (!OpenAudioDevice()) return false;
  deviceOpen = 1;
  channelsAllocated = Mix_AllocateChannels(-1);
  for (auto& item : entries) Prepare(item.second);
  return true;
}

bool OSoundPlayer::Register(i32 id, const std::string& file) {
  Remove(id);
  Entry entry;
  entry.name = file;
  // Sounds that overlap themselves are registered under several ids with one file: the
  // samples converted for the first id serve the others.
  const Entry* same = nullptr;
  for (const auto& item : entries) {
    if (item.second.name == file) same = &item.second;
  }
  if (same != nullptr) {
    entry.samples = same->samples;
  } else {
    std::vector<u8> image;
    if (!ReadWholeFile(GameFile(file), image)) return false;
    auto samples = std::make_shared<std::vector<u8>>();
    OWavInfo info;
    if (ParseWav(image.data(), image.size(), info)) ConvertWavToOutput(image.data(), info, *samples);
    entry.samples = std::move(samples);
  }
  entry.channel = TakeChannel();
  Entry& stored = entries[id] = std::move(entry);
  Prepare(stored);
  return true;
}

void OSoundPlayer::Remove(i32 id) {
  if (id == -1) {
    for (auto& item : entries) {
      Release(item.second);
      freeChannels.push_back(item.second.channel);
    }
    entries.clear();
    return;
  }
  auto found = entries.find(id);
  if (found == entries.end()) return;
  Release(found->second);
  freeChannels.push_back(found->second.channel);
  entries.erase(found);
}

void OSoundPlayer::Play(i32 id, bool restart) {
  if (!on) return;
  auto found = entries.find(id);
  if (found == entries.end()) return;
  Entry& entry = found->second;
  if (entry.chunk == nullptr) return;
  Mix_Volume(entry.channel, MixerLevel(volume));
  if (!restart && Mix_Playing(entry.channel)) return;
  Mix_PlayChannel(entry.channel, entry.chunk, 0);
}

void OSoundPlayer::SetVolume(u32 v) {
  volume = v;
  if (deviceOpen || !mixer->HasVolume()) return;
  // Nothing of ours can sound without an output, but the setting still acts on the system volume,
  // scaled from 0..65535 to the control's own range.
  const u32 lo = mixer->GetMinimum();
  const u32 hi = mixer->GetMaximum();
  const u32 clamped = v > 65535 ? 65535 : v;
  mixer->SetVolume(lo + static_cast<u32>(static_cast<std::uint64_t>(hi - lo) * clamped / 65535));
  mixerChanged = true;
}

u32 OSoundPlayer::GetVolume() const { return volume; }

bool OSoundPlayer::IsRegistered(i32 id) const { return entries.count(id) != 0; }

bool OSoundPlayer::IsPlaying(i32 id) const {
  auto found = entries.find(id);
  if (found == entries.end() || found->second.chunk == nullptr) return false;
  return Mix_Playing(found->second.channel) != 0;
}

int OSoundPlayer::MixerLevel(u32 v) {
  const double clamped = v > 65535 ? 65535.0 : static_cast<double>(v);
  // Hundredths of a decibel, -3000..0, truncated toward zero.
  const int attenuation = static_cast<int>(clamped / 65535.0 * 3000.0 - 3000.0);
  const double linear = std::pow(10.0, attenuation / 2000.0);
  const long level = std::lround(MIX_MAX_VOLUME * linear);
  return level < 0 ? 0 : (level > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : static_cast<int>(level));
}

void OSoundPlayer::Prepare(Entry& entry) {
  if (!deviceOpen || !entry.samples || entry.samples->empty() || entry.chunk != nullptr) return;
  if (entry.channel >= channelsAllocated) channelsAllocated = Mix_AllocateChannels(nextChannel);
  if (entry.channel >= channelsAllocated) return;
  // The chunk points into our own buffer and does not free it; the mixer only reads it (the
  // library's signature is not const).
  u8* data = const_cast<u8*>(entry.samples->data());
  entry.chunk = Mix_QuickLoad_RAW(data, static_cast<Uint32>(entry.samples->size()));
}

void OSoundPlayer::Release(Entry& entry) {
  if (entry.chunk == nullptr) return;
  Mix_HaltChannel(entry.channel);  // returns once the mixer no longer reads the samples
  Mix_FreeChunk(entry.chunk);
  entry.chunk = nullptr;
}

int OSoundPlayer::TakeChannel() {
  if (!freeChannels.empty()) {
    const int channel = freeChannels.back();
    freeChannels.pop_back();
    return channel;
  }
  return nextChannel++;
}
