#pragma once
// Every sound the game objects play, by id, from ListenToSounds() until the listener is reset.
#include <algorithm>
#include <vector>

#include "objects/ObjectSound.h"

inline std::vector<i32>& PlayedSounds() {
  static std::vector<i32> ids;
  return ids;
}
inline void ListenToSounds() {
  PlayedSounds().clear();
  SetObjectSoundListener([](i32 id) { PlayedSounds().push_back(id); });
}
inline int CountSound(i32 id) {
  return static_cast<int>(std::count(PlayedSounds().begin(), PlayedSounds().end(), id));
}
