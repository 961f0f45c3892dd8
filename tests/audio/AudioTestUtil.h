#pragma once
// Builders of small WAV files and tracker modules, and readers of what SDL's disk driver recorded.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"
#include "audio/Playlist.h"
#include "support/TestSupport.h"
#include "shell/Types.h"

namespace audiotest {

inline void Put16(std::string& s, u32 v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, u32 v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// One RIFF chunk; `declared` overrides the size field (to lie about it).
inline std::string Chunk(const char* id, const std::string& body, long declared = -1) {
  std::string s(id, 4);
  Put32(s, declared < 0 ? static_cast<u32>(body.size()) : static_cast<u32>(declared));
  s += body;
  if (body.size() % 2) s += '\0';
  return s;
}

inline std::string Fmt(u32 tag, u32 channels, u32 rate, u32 bits, u32 blockAlign = 0) {
  std::string f;
  if (blockAlign == 0) blockAlign = channels * bits / 8;
  Put16(f, tag);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * blockAlign);
  Put16(f, blockAlign);
  Put16(f, bits);
  return f;
}

inline std::string Riff(const std::string& chunks) {
  std::string s = "RIFF";
  Put32(s, static_cast<u32>(4 + chunks.size()));
  return s + "WAVE" + chunks;
}

// Mono 16-bit samples as little-endian bytes.
inline std::string Samples16(const std::vector<i16>& v) {
  std::string s;
  for (i16 x : v) Put16(s, static_cast<u16>(x));
  return s;
}

// A canonical 44-byte-header file of `frames` mono 16-bit frames at 44100 Hz, all of value `level`:
// a constant level survives the mixer unchanged, so the recording tells exactly what was played.
inline std::string FlatWav(int frames, i16 level) {
  return Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16)) +
              Chunk("data", Samples16(std::vector<i16>(static_cast<size_t>(frames), level))));
}

// A four-channel "M.K." module: one looped square-wave sample, `patterns` patterns of `rows` rows at
// `speed` ticks per row (125 BPM: 20 ms a tick), a note on channel 0 at each pattern's first row
// and a pattern break on its last. It plays patterns * rows * speed * 20 ms, then ends.
inline std::string MakeMod(int rows, int speed, int patterns = 1, int volume = 64) {
  std::string m(20, '\0');
  m.replace(0, 8, "testtune");
  for (int s = 0; s < 31; ++s) {
    std::string h(22, '\0');
    if (s == 0) {
      h.replace(0, 6, "square");
      h += '\0'; h += static_cast<char>(32);  // length 32 words
      h += '\0';                               // finetune
      h += static_cast<char>(volume);
      h += '\0'; h += '\0';                    // loop start
      h += '\0'; h += static_cast<char>(32);  // loop length 32 words
    } else {
      h += std::string(4, '\0');
      h += '\0'; h += '\0';
      h += '\0'; h += static_cast<char>(1);
    }
    m += h;
  }
  m += static_cast<char>(patterns);
  m += static_cast<char>(127);
  std::string orders(128, '\0');
  for (int p = 0; p < patterns; ++p) orders[static_cast<size_t>(p)] = static_cast<char>(p);
  m += orders;
  m += "M.K.";
  for (int p = 0; p < patterns; ++p) {
    std::string pat(64 * 4 * 4, '\0');
    auto cell = [&](int row, int ch, int sample, int period, int effect, int param) {
      size_t at = static_cast<size_t>((row * 4 + ch) * 4);
      pat[at] = static_cast<char>((sample & 0xF0) | ((period >> 8) & 0x0F));
      pat[at + 1] = static_cast<char>(period & 0xFF);
      pat[at + 2] = static_cast<char>(((sample & 0x0F) << 4) | (effect & 0x0F));
      pat[at + 3] = static_cast<char>(param);
    };
    cell(0, 0, 1, 428, 0xF, speed);
    if (rows < 64) cell(rows - 1, 1, 0, 0, 0xD, 0);
    m += pat;
  }
  for (int i = 0; i < 64; ++i) m += static_cast<char>(i < 32 ? 100 : -100);
  return m;
}

inline std::vector<u8> Bytes(const std::string& s) { return std::vector<u8>(s.begin(), s.end()); }

// Writes "Data/Resource.Tkr" holding the game's music names (all but `missing`), each stored with
// `bytes` or, when that is empty, with its own name as content; then indexes it.
inline void WriteMusicArchive(const std::string& bytes, const std::string& missing = "") {
  std::vector<OArchiveEntry> entries;
  std::vector<std::string> names(GAME_TRACKS, GAME_TRACKS + GAME_TRACK_COUNT);
  names.push_back(MENU_TRACK);
  for (const std::string& name : names) {
    if (name == missing) continue;
    const std::string content = bytes.empty() ? name : bytes;
    entries.push_back({name, std::vector<unsigned char>(content.begin(), content.end())});
  }
  WriteArchive("Data/Resource.Tkr", entries);
  GetResource().Open();
}

// Sends SDL's output to a file (the disk driver plays in real time, like a sound card).
inline std::string UseDiskAudio(const ScratchDir& dir) {
  const std::string file = dir.Path() + "/output.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  return file;
}

// The recording as interleaved stereo samples (the device runs signed 16-bit stereo).
inline std::vector<i16> ReadRecording(const std::string& file) {
  const std::string raw = ReadFile(file);
  std::vector<i16> out(raw.size() / 2);
  if (!out.empty()) std::memcpy(out.data(), raw.data(), out.size() * 2);
  return out;
}

// Stereo frames in which either channel is not zero.
inline size_t SoundingFrames(const std::vector<i16>& s) {
  size_t n = 0;
  for (size_t i = 0; i + 1 < s.size(); i += 2)
    if (s[i] != 0 || s[i + 1] != 0) ++n;
  return n;
}

// Frames whose left channel equals `value`.
inline size_t FramesAt(const std::vector<i16>& s, i16 value) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += 2)
    if (s[i] == value) ++n;
  return n;
}

// Waits (real time) until `done` holds or `ms` pass; true when it held.
template <class F>
bool WaitFor(F done, int ms) {
  for (int t = 0; t < ms; t += 10) {
    if (done()) return true;
    SDL_Delay(10);
  }
  return done();
}

}  // namespace audiotest
