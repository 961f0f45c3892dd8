// The balance of what the player hears at the default volumes.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "GameTestSupport.h"
#include "audio/AudioTestUtil.h"
#include "audio/Module.h"
#include "audio/MusicPlayer.h"
#include "audio/Playlist.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "game/AutoPlayer.h"

namespace {

constexpr u32 DEFAULT_MUSIC_VOLUME = 50;     // the configuration's defaults
constexpr u32 DEFAULT_SOUND_VOLUME = 65000;

// RMS of 16-bit samples relative to full scale, in dBFS (-200 for silence).
double RmsDb(const i16* s, size_t n) {
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) sum += static_cast<double>(s[i]) * s[i];
  return sum > 0.0 ? 20.0 * std::log10(std::sqrt(sum / n) / 32768.0) : -200.0;
}

size_t Clipped(const i16* s, size_t n) {
  size_t c = 0;
  for (size_t i = 0; i < n; ++i) c += s[i] >= 32767 || s[i] <= -32767;
  return c;
}

// A whole module rendered at the default music volume, as the player renders it.
std::vector<i16> RenderTrack(const std::vector<u8>& bytes, size_t maxFrames) {
  std::vector<i16> out;
  std::unique_ptr<OModule> module(OModule::Load(bytes.data(), bytes.size()));
  if (!module) return out;
  module->SetGain(MusicGainFor(DEFAULT_MUSIC_VOLUME));
  std::vector<i16> block(2 * 4096);
  while (out.size() / 2 < maxFrames) {
    const size_t got = module->Render(block.data(), 4096);
    if (got == 0) break;
    out.insert(out.end(), block.begin(), block.begin() + static_cast<long>(2 * got));
  }
  out.resize(std::min(out.size(), 2 * maxFrames));
  return out;
}

}  // namespace

// Every track at the default music volume sits at -20 dBFS and never clips alone; a minute of play
// in real time (the disk driver plays like a sound card, so a suite run pays for it once) never
// clips and keeps the music audible.
TEST(Mix, TheMusicAtTwentyDecibelsAndAMinuteOfPlayWithThreeBallsNeverClipping) {
  GameRig rig;
  const std::string recording = audiotest::UseDiskAudio(rig.dir);
  const bool opened = rig.Open();
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
  if (!opened) GTEST_SKIP() << "needs the virtual display and the game's archive";
  ASSERT_TRUE(rig.app->musicPlayer->ready) << "the disk driver opens";
  std::filesystem::create_symlink(std::string(BRIKON_GAME_DIR) + "/Data/Sounds", "Data/Sounds");
  ASSERT_TRUE(rig.app->soundPlayer->Init(true));
  ASSERT_EQ(RegisterGameSounds(*rig.app->soundPlayer), SOUND_FILE_COUNT);
  SetObjectSoundListener(nullptr);
  rig.app->soundPlayer->SetVolume(DEFAULT_SOUND_VOLUME);
  rig.app->musicPlayer->SetVolume(DEFAULT_MUSIC_VOLUME);
  GetConfig().musicOn = 1;
  BuildPlaylists(rig.app->gamePlaylist, rig.app->menuPlaylist);

  rig.NewGame(1);
  OAutoPlayer player(*rig.game, 4242, false);
  const u32 start = SDL_GetTicks();
  u32 firstGameTrack = rig.app->gamePlaylist.index;
  // The game in real time, three balls whenever the one in play has been launched, until the
  // driver has written a minute of sound (on a loaded machine it falls behind the clock), or two
  // minutes have passed.
  const std::uintmax_t minute = 60ull * 44100 * 2 * sizeof(i16);
  auto recorded = [&recording] {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(recording, error);
    return error ? std::uintmax_t{0} : size;
  };
  while (recorded() < minute && SDL_GetTicks() - start < 120000) {
    if (player.GameEnded()) rig.NewGame(1);
    OBallSet& balls = *rig.game->ballSet;
    if (balls.balls.size() == 1 && balls.launched) balls.AddMoreBalls();
    player.Steer();
    rig.game->Update(16);
    rig.game->UndrawnFrame();
    const u32 due = static_cast<u32>(player.ticks + 1) * 16;
    ++player.ticks;
    const u32 now = SDL_GetTicks() - start;
    if (now < due) SDL_Delay(due - now);
  }
  const std::vector<u8> track = rig.app->gamePlaylist.tracks[firstGameTrack];
  delete rig.app;  // closes the output, so the whole recording is on disk
  rig.app = nullptr;
  rig.game = nullptr;

  const std::vector<i16> mix = audiotest::ReadRecording(recording);
  ASSERT_GE(mix.size(), 2u * 44100 * 60) << "a minute was recorded";
  const std::vector<i16> music = RenderTrack(track, mix.size() / 2);
  const double mixDb = RmsDb(mix.data(), mix.size()), musicDb = RmsDb(music.data(), music.size());
  EXPECT_EQ(Clipped(mix.data(), mix.size()), 0u);
  EXPECT_LE(mixDb - musicDb, 10.0) << "the music is buried under the effects";
  // Rendered after the play, so that the recording holds no silence of their making.
  std::vector<std::string> names(GAME_TRACKS, GAME_TRACKS + GAME_TRACK_COUNT);
  names.push_back(MENU_TRACK);  // the menu piece is held to the same level as the game's
  for (const std::string& name : names) {
    const std::unique_ptr<u8[]> bytes = GetResource().Read(name);
    ASSERT_TRUE(bytes) << name;
    const u8* data = bytes.get();
    const std::vector<i16> pcm =
        RenderTrack({data, data + GetResource().GetSize(name)}, 44100u * 600);
    ASSERT_GT(pcm.size(), 44100u * 20) << name << " renders at least 10 s";
    EXPECT_NEAR(RmsDb(pcm.data(), pcm.size()), -20.0, 3.0) << name << " over the whole track";
    EXPECT_EQ(Clipped(pcm.data(), pcm.size()), 0u) << name << " alone never reaches full scale";
  }
}
