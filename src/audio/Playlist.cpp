#include "audio/Playlist.h"

#include <ctime>
#include <memory>
#include <utility>

#include "assets/Resource.h"
#include "core/Random.h"

namespace {

u32 ClockSeed() { return static_cast<u32>(std::time(nullptr)); }

}  // namespace

const char* const GAME_TRACKS[] = {
    "Data/Music/01_Popcorn.Xm", "Data/Music/02_Magnitude.It", "Data/Music/04_Believing.Xm",
    "Data/Music/05_Modern.Xm",  "Data/Music/06_Otis.Xm",      "Data/Music/07_Star.Xm",
    "Data/Music/08_Madsad.Xm",
};
const size_t GAME_TRACK_COUNT = sizeof(GAME_TRACKS) / sizeof(GAME_TRACKS[0]);
const char* const MENU_TRACK = "Data/Music/MegaMix_Menu.Mod";

void OPlaylist::Add(const std::string& name) {
  OResource& archive = GetResource();
  const u32 size = archive.GetSize(name);
  std::unique_ptr<u8[]> data = archive.Read(name);
  std::vector<u8> bytes;
  if (data) bytes.assign(data.get(), data.get() + size);
  tracks.push_back(std::move(bytes));
}

void OPlaylist::AddTrack(std::vector<u8> bytes) { tracks.push_back(std::move(bytes)); }

void OPlaylist::Shuffle() {
  if (tracks.size() <= 2) return;
  SeedRandom(ClockSeed());
  ShuffleOrder();
}

void OPlaylist::ShuffleOrder() {
  const size_t n = tracks.size();
  if (n <= 2) return;
  std::swap(tracks[0], tracks[static_cast<size_t>(Random()) % (n - 1)]);
  for (size_t i = 1; i < n; ++i) std::swap(tracks[i], tracks[i + static_cast<size_t>(Random()) % (n - i)]);
}

const std::vector<u8>* OPlaylist::Next() {
  position = 0;
  if (tracks.empty()) {
    index = 0;
    return nullptr;
  }
  if (index + 1u >= tracks.size()) {
    Shuffle();
    index = 0;
  } else {
    ++index;
  }
  return &tracks[index];
}

const std::vector<u8>* OPlaylist::Current() const {
  return index < tracks.size() ? &tracks[index] : nullptr;
}

void BuildPlaylists(OPlaylist& game, OPlaylist& menu) {
  for (size_t i = 0; i < GAME_TRACK_COUNT; ++i) game.Add(GAME_TRACKS[i]);
  menu.Add(MENU_TRACK);
  SeedRandom(ClockSeed());
  game.Shuffle();
  game.index = 0;
  game.position = 0;
  game.Next();
}
