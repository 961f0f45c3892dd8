#pragma once
// The background music: plays the current track of one playlist (the game list or the menu list)
// through the tracker-module renderer, which runs inside the mixer on the audio thread. When a
// track ends, the audio thread only raises `trackEnded`; the main loop then calls PlayNext.
#include <atomic>

#include "core/Types.h"

class OModule;
class OPlaylist;
struct SDL_mutex;

// Raised (1) by the audio thread when the current track has played to its end; cleared when a
// track starts. One byte, read by the main loop once per frame.
extern std::atomic<u8> trackEnded;

class OMusicPlayer {
public:
  // Opens the audio output (Init).
  OMusicPlayer();
  ~OMusicPlayer();
  OMusicPlayer(const OMusicPlayer&) = delete;
  OMusicPlayer& operator=(const OMusicPlayer&) = delete;

  // Opens the audio output; `ready` tells whether music can ever play. Safe to call again.
  bool Init();
  // Starts the current track of `playlist` from its saved position (from the start when 0).
  // A track that does not load is skipped for the list's next one; when a whole pass of the list
  // fails to load, the music stays silent and `playing` as it was.
  void PlayCurrent();
  // The playlist's next track, started.
  void PlayNext();
  // Continues the loaded track where it was paused or stopped.
  void Resume();
  void Pause();
  void Stop();
  // Stores the current track's play position in the playlist.
  void SavePosition();
  // Music volume, 0..100 (values above 100 count as 100); kept across tracks.
  void SetVolume(u32 v);
  u32 GetVolume() const;

  // Makes `list` current the way the game screen swaps lists: while music is on in the
  // configuration, the old track's position is saved first when `saveOld`, the old track stops,
  // and the new list's current track starts.
  void SwitchPlaylist(OPlaylist* list, bool saveOld);
  // Position of the loaded track in ms (0 without one).
  u32 GetPosition() const;

  u8 started = 0;   // a track has been started at least once
  u8 playing = 0;   // music is meant to sound: 1 after play or resume, 0 after pause or stop
  u8 ready = 0;     // the audio output opened
  OPlaylist* playlist = nullptr;  // the current list, not owned

private:
  // The mixer's music hook: renders the module into the output (or silence), on the audio thread.
  static void Mix(void* self, u8* stream, int length);
  void Unload();
  // Loads the playlist's current track at its saved position; false when it is not a module.
  bool LoadCurrent();

  SDL_mutex* lock = nullptr;  // guards `module`, `sounding` and every renderer call
  OModule* module = nullptr;  // the loaded track
  bool sounding = false;      // the audio thread renders (a copy of `playing` under the lock)
  u32 volume = 100;
};

// The music part of the game's loading: builds both lists, applies the configured volume, makes the
// menu list current and, when music is on in the configuration, starts it.
void StartMusicAtLoad(OMusicPlayer& player, OPlaylist& game, OPlaylist& menu);
