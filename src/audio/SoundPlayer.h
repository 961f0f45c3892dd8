#pragma once
// The sound effects: short WAV files under "Data/Sounds/", loaded whole at start and played by
// number. Every registered id owns one mixer channel, so an id never overlaps itself while
// different ids (also ids registered with the same file) sound together.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Types.h"

class OVolumeOut;
struct Mix_Chunk;

class OSoundPlayer {
public:
  OSoundPlayer();
  ~OSoundPlayer();
  OSoundPlayer(const OSoundPlayer&) = delete;
  OSoundPlayer& operator=(const OSoundPlayer&) = delete;

  // Opens (wanted true) or closes (false) the audio output; opening prepares every sound
  // registered so far. True when the output is in the wanted state afterwards. Without a device
  // every later call stays safe and silent.
  bool Init(bool wanted);
  // Loads a loose file under an id (a game name such as "Data/Sounds/x.wav", found in the game's
  // data folder), replacing what the id held. False when the file cannot be read: the id then
  // stays unregistered. A file that is read but cannot be played (not PCM, damaged) keeps the id
  // registered and silent.
  bool Register(i32 id, const std::string& file);
  // Forgets one id, or every id when id is -1.
  void Remove(i32 id);
  // Plays a registered id once at the effect volume, while `on` is 1. An id still sounding keeps
  // sounding, unless restart rewinds it.
  void Play(i32 id, bool restart = false);
  // The effect volume, 0..65535: 65535 plays at full level, 0 at -30 dB. Without an open output
  // the value goes to the system's output volume at once.
  void SetVolume(u32 v);
  u32 GetVolume() const;

  // Whether the id is registered (file read).
  bool IsRegistered(i32 id) const;
  // Whether the id's channel is sounding now.
  bool IsPlaying(i32 id) const;
  // The mixer's linear level (0..128) for an effect volume, through the attenuation in hundredths
  // of a decibel: volume / 65535 * 3000 - 3000, truncated.
  static int MixerLevel(u32 volume);

  u8 on = 1;  // effects sound only while 1 (the sound switch of the options, window activation)

private:
  // One registered id: its file, its samples in the output format (decoded once, at
  // registration, so playing costs no work) and its channel. Ids registered with one file share
  // one copy of its samples.
  struct Entry {
    std::string name;
    std::shared_ptr<const std::vector<u8>> samples;  // null or empty when the file cannot be played
    Mix_Chunk* chunk = nullptr;   // over `samples`; only while the output is open
    int channel = -1;
  };

  void Prepare(Entry& entry);
  void Release(Entry& entry);
  int TakeChannel();

  OVolumeOut* mixer;  // owned
  u32 savedMixerVolume;   // the system volume found at start, in the mixer's own units
  bool mixerChanged = false;
  u32 volume = 32768;
  u8 deviceOpen = 0;       // 1 while this player holds the audio output open
  int channelsAllocated = 0;
  std::vector<int> freeChannels;
  int nextChannel = 0;
  std::map<i32, Entry> entries;
};
