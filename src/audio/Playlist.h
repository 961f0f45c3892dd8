#pragma once
// A list of music tracks (module files held in memory for the whole run) with the current track
// and its saved play position. The game has two: the shuffled game list and the one-track menu list.
#include <cstddef>
#include <string>
#include <vector>

#include "core/Types.h"

class OPlaylist {
public:
  // Appends the named module, read from the resource archive. A track the archive lacks stays in
  // the list as an empty entry, which simply fails to play.
  void Add(const std::string& name);
  // Appends a module already in memory.
  void AddTrack(std::vector<u8> bytes);
  // Reseeds the program's generator from the clock, then ShuffleOrder.
  void Shuffle();
  // Lists of one or two tracks stay as they are. Otherwise, with n tracks and r a new Random()
  // each time: track 0 swaps with track r % (n - 1), then each track i from 1 to n - 1 swaps with
  // track i + r % (n - i).
  void ShuffleOrder();
  // Moves to the next track: after the last one the list is shuffled and starts again at 0. The
  // saved position is dropped. Returns the track now current (null for an empty list).
  const std::vector<u8>* Next();
  // The current track, or null when there is none.
  const std::vector<u8>* Current() const;
  size_t Count() const { return tracks.size(); }

  u16 index = 0;     // the current track
  u32 position = 0;  // saved play position of the current track in ms; 0 = from the start
  std::vector<std::vector<u8>> tracks;
};

// The game tracks in the order the list is filled before its first shuffle, and the menu track.
extern const char* const GAME_TRACKS[];
extern const size_t GAME_TRACK_COUNT;
extern const char* const MENU_TRACK;

// Fills both lists at load: the game list is shuffled and advanced once, so the first game track
// played is the second of the shuffled order; the menu list stays as it is.
void BuildPlaylists(OPlaylist& game, OPlaylist& menu);
