#pragma once
// Builders of small WAV files and tracker modules, and readers of what SDL's disk driver recorded.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"
#include "audio/Playlist.h"
#include "support/TestSupport.h"
#include "core/Types.h"

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
inline std::string MakeMod(int rows, int speed, int patterns = 1) {
  std::string m(1084 + 1024 * static_cast<size_t>(patterns), '\0');
  auto set = [&](size_t at, int v) { m[at] = static_cast<char>(v); };
  // sample 1 (its 30-byte header at 20): 32 words long, volume 64, looping over all of it
  set(20 + 23, 32);
  set(20 + 25, 64);
  set(20 + 29, 32);
  for (size_t s = 1; s < 31; ++s) set(20 + 30 * s + 29, 1);  // unused samples: loop length 1
  set(950, patterns);
  set(951, 127);
  for (int p = 0; p < patterns; ++p) set(952 + static_cast<size_t>(p), p);
  m.replace(1080, 4, "M.K.");
  for (size_t p = 0; p < static_cast<size_t>(patterns); ++p) {
    const size_t pattern = 1084 + 1024 * p;  // 64 rows of 4 cells of 4 bytes
    // row 0, channel 0: sample 1 at period 428 (0x1AC), command F (speed)
    set(pattern, 0x01);
    set(pattern + 1, 0xAC);
    set(pattern + 2, 0x1F);
    set(pattern + 3, speed);
    if (rows < 64) set(pattern + static_cast<size_t>(rows - 1) * 16 + 4 + 2, 0x0D);  // D00 on channel 1
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

// Samples of the recording that are not zero.
inline size_t Sounding(const std::vector<i16>& s) {
  return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](i16 v) { return v != 0; }));
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
