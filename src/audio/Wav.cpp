#include "audio/Wav.h"

#include <SDL.h>

#include <cstring>

#include "audio/AudioDevice.h"

namespace {

u16 Le16(const u8* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }
u32 Le32(const u8* p) {
  return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
         (static_cast<u32>(p[3]) << 24);
}

constexpr u16 WAVE_FORMAT_PCM = 1;
constexpr u16 WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

}  // namespace

bool ParseWav(const u8* bytes, size_t size, OWavInfo& info) {
  info = OWavInfo();
  if (bytes == nullptr || size < 12) return false;
  if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return false;

  bool haveFormat = false;
  bool haveData = false;
  // The RIFF size field is not trusted: the chunks are walked over the bytes really present.
  size_t pos = 12;
  while (size - pos >= 8 && !(haveFormat && haveData)) {
    const u8* head = bytes + pos;
    const size_t chunkSize = Le32(head + 4);
    const size_t body = pos + 8;
    const size_t present = size - body < chunkSize ? size - body : chunkSize;
    if (!haveFormat && std::memcmp(head, "fmt ", 4) == 0) {
      if (present < 16) return false;
      const u8* f = bytes + body;
      info.formatTag = Le16(f);
      info.channels = Le16(f + 2);
      info.sampleRate = Le32(f + 4);
      info.blockAlign = Le16(f + 12);
      info.bitsPerSample = Le16(f + 14);
      // The extensible header names the real format in the first two bytes of its sub-format GUID.
      if (info.formatTag == WAVE_FORMAT_EXTENSIBLE && present >= 40 && Le16(f + 16) >= 22)
        info.formatTag = Le16(f + 24);
      haveFormat = true;
    } else if (!haveData && std::memcmp(head, "data", 4) == 0) {
      info.dataOffset = body;
      info.dataSize = present;
      haveData = true;
    }
    if (chunkSize >= size - body) break;  // the chunk runs to (or past) the end of the file
    pos = body + chunkSize + (chunkSize & 1);
    if (pos > size) break;
  }

  if (!haveFormat || !haveData) return false;
  if (info.formatTag != WAVE_FORMAT_PCM) return false;
  if (info.channels != 1 && info.channels != 2) return false;
  if (info.bitsPerSample != 8 && info.bitsPerSample != 16) return false;
  if (info.blockAlign != info.channels * info.bitsPerSample / 8) return false;
  if (info.sampleRate < 1000 || info.sampleRate > 192000) return false;
  info.dataSize -= info.dataSize % info.blockAlign;
  return info.dataSize > 0;
}

bool ConvertWavToOutput(const u8* bytes, const OWavInfo& info, std::vector<u8>& out) {
  out.clear();
  if (bytes == nullptr || info.dataSize == 0 || info.blockAlign == 0) return false;
  // First to signed 16-bit stereo by hand, so that sample values pass through exactly.
  const size_t frames = info.dataSize / info.blockAlign;
  if (frames > 0x1000000) return false;  // over six minutes: far beyond any effect
  const u8* in = bytes + info.dataOffset;
  std::vector<i16> stereo(frames * 2);
  for (size_t f = 0; f < frames; ++f) {
    for (int c = 0; c < 2; ++c) {
      const size_t source = info.channels == 2 ? static_cast<size_t>(c) : 0;
      i16 value;
      if (info.bitsPerSample == 8) {
        value = static_cast<i16>((in[f * info.blockAlign + source] - 128) * 256);
      } else {
        value = static_cast<i16>(Le16(in + f * info.blockAlign + source * 2));
      }
      stereo[f * 2 + static_cast<size_t>(c)] = value;
    }
  }
  const size_t bytesIn = stereo.size() * sizeof(i16);
  if (info.sampleRate == static_cast<u32>(AUDIO_RATE)) {
    out.resize(bytesIn);
    std::memcpy(out.data(), stereo.data(), bytesIn);
    return true;
  }
  // Another rate: SDL's resampler.
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, AUDIO_CHANNELS, static_cast<int>(info.sampleRate),
                        AUDIO_S16SYS, AUDIO_CHANNELS, AUDIO_RATE) < 0)
    return false;
  std::vector<u8> work(bytesIn * static_cast<size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1));
  std::memcpy(work.data(), stereo.data(), bytesIn);
  cvt.buf = work.data();
  cvt.len = static_cast<int>(bytesIn);
  if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return false;
  work.resize(cvt.needed ? static_cast<size_t>(cvt.len_cvt) : bytesIn);
  work.resize(work.size() - work.size() % (AUDIO_CHANNELS * sizeof(i16)));  // whole frames
  if (work.empty()) return false;
  out.swap(work);
  return true;
}
