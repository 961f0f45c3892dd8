#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>

#include "AudioTestUtil.h"
#include "audio/Module.h"
#include "audio/MusicPlayer.h"
#include "audio/Playlist.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "core/Config.h"
#include "core/Random.h"

using namespace audiotest;

namespace {

OPlaylist ListOf(std::initializer_list<std::string> modules) {
  OPlaylist list;
  for (const std::string& m : modules) list.AddTrack(Bytes(m));
  return list;
}

constexpr int FRAMES = 22050;  // 500 ms at 44100 Hz
constexpr i16 LEVEL = 8000;

}  // namespace

// In real time: the game track pauses silently in place and resumes; leaving for the menu saves
// its place while the menu track starts from its beginning and, ending, raises trackEnded; back in
// the game the track continues where it was, and only a new track drops the saved place.
TEST(MusicPlayer, PauseResumeAndTheGameTrackAfterTheMenu) {
  ScratchDir dir;
  const std::string file = UseDiskAudio(dir);
  GetConfig().musicOn = 1;
  OPlaylist game = ListOf({MakeMod(32, 6, 2), MakeMod(32, 6, 2), MakeMod(32, 6, 2)});  // 7.68 s
  OPlaylist menu = ListOf({MakeMod(8, 3)});  // 480 ms
  OMusicPlayer player;
  ASSERT_TRUE(player.ready);
  player.playlist = &game;
  player.PlayCurrent();
  SDL_Delay(300);
  player.Pause();
  EXPECT_EQ(player.playing, 0);
  const u32 paused = player.GetPosition();
  SDL_Delay(300);
  EXPECT_EQ(player.GetPosition(), paused);
  const size_t heard = Sounding(ReadRecording(file));
  EXPECT_GT(heard, 0u);
  SDL_Delay(200);
  EXPECT_EQ(Sounding(ReadRecording(file)), heard) << "heard while paused";
  player.Resume();
  SDL_Delay(300);
  EXPECT_GT(player.GetPosition(), paused);

  player.SwitchPlaylist(&menu, true);
  const u32 saved = game.position;
  EXPECT_GT(saved, paused);
  EXPECT_LT(player.GetPosition(), 200u);
  ASSERT_TRUE(WaitFor([] { return trackEnded.load() == 1; }, 5000));
  player.PlayNext();  // the main loop's part: the menu list replays its one track
  EXPECT_EQ(trackEnded.load(), 0);
  EXPECT_EQ(player.playing, 1);
  player.SwitchPlaylist(&game, false);
  EXPECT_EQ(menu.position, 0u) << "the menu's place is not saved";
  EXPECT_NEAR(player.GetPosition(), saved, 130.0);  // within a row of where it was left
  player.PlayNext();
  EXPECT_EQ(game.position, 0u);
  EXPECT_LT(player.GetPosition(), 200u);
}

// The lists built from the archive: names in order, one shuffle, one step, a missing track kept
// as an empty entry. At load the lists are always built and the volume set; the menu music starts
// only when music is on, and the game screen's swap starts nothing while it is off. A track that
// cannot be loaded when the one before it ends is skipped: the next good one plays. A list with no
// good track is tried once round and left silent, so the main loop does not retry every frame; so
// is no list.
TEST(MusicPlayer, ListsMusicSwitchAtLoadAndUnloadableTracks) {
  ScratchDir dir;
  WriteMusicArchive("", "Data/Music/05_Modern.Xm");
  OPlaylist built, builtMenu;
  BuildPlaylists(built, builtMenu);
  ASSERT_EQ(built.Count(), 7u);
  ASSERT_EQ(builtMenu.Count(), 1u);
  EXPECT_EQ(built.index, 1);  // the first game track played is the second of the order
  std::set<std::string> names;
  size_t empty = 0;
  for (const auto& t : built.tracks) {
    if (t.empty()) ++empty;
    names.insert(std::string(t.begin(), t.end()));
  }
  EXPECT_EQ(empty, 1u);
  EXPECT_EQ(names.size(), 7u);

  setenv("SDL_AUDIODRIVER", "dummy", 1);
  WriteMusicArchive(MakeMod(8, 3));
  GetConfig().musicVolume = 40;
  for (int on : {0, 1}) {
    GetConfig().musicOn = on;
    OPlaylist game, menu;
    OMusicPlayer player;
    StartMusicAtLoad(player, game, menu);
    EXPECT_EQ(player.playlist, &menu);
    EXPECT_EQ(player.GetVolume(), 40u);
    EXPECT_EQ(player.playing, on);
    player.SwitchPlaylist(&game, false);
    EXPECT_EQ(player.started, on);
  }

  OPlaylist list = ListOf({MakeMod(8, 3), "not a module at all", "", MakeMod(8, 3)});
  OMusicPlayer player, silent;
  ASSERT_TRUE(player.ready);
  player.playlist = &list;
  player.PlayCurrent();
  trackEnded = 1;
  player.PlayNext();
  EXPECT_EQ(player.playing, 1);
  EXPECT_EQ(list.index, 3);
  EXPECT_EQ(trackEnded.load(), 0);
  // Bytes that are not a module, some of which a lenient tracker library would take for one.
  OPlaylist bad = ListOf({"not a module at all", "", std::string("RIFF\x24\0\0\0WAVEfmt ", 16),
                          std::string(4096, '\0')});
  silent.playlist = &bad;
  for (bool next : {false, true}) {
    trackEnded = 1;
    next ? silent.PlayNext() : silent.PlayCurrent();
    EXPECT_EQ(silent.playing, 0);
    EXPECT_EQ(trackEnded.load(), 0);
  }
  silent.playlist = nullptr;
  silent.PlayCurrent();
  silent.PlayNext();
  EXPECT_EQ(OModule::Load(nullptr, 0), nullptr);
}

// An effect reaches the output whole and unattenuated at volume 65535, through an id sharing its
// samples with an id removed before, while silent music shares the output and closes its use of it
// halfway through; below full volume the level falls to 30 dB down at volume 0 (quiet, not silent).
TEST(SoundPlayer, AnEffectPlaysWholeAtFullLevelAndVolumeAttenuatesUpTo30dB) {
  EXPECT_EQ(OSoundPlayer::MixerLevel(65535), 128);
  EXPECT_EQ(OSoundPlayer::MixerLevel(32768), 23);  // -1499: 128 * 10^(-0.7495)
  EXPECT_EQ(OSoundPlayer::MixerLevel(0), 4);       // 128 * 10^(-1.5)
  EXPECT_EQ(OSoundPlayer::MixerLevel(1000000), 128) << "out of range counts as full";
  ScratchDir dir;
  const std::string file = UseDiskAudio(dir);
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  {
    OSoundPlayer p;
    ASSERT_TRUE(p.Init(true));
    ASSERT_TRUE(p.Register(15, "Data/flat.wav"));
    ASSERT_TRUE(p.Register(16, "Data/flat.wav"));  // served from id 15's copy
    p.Remove(15);
    p.SetVolume(65535);
    {
      OPlaylist list = ListOf({MakeMod(32, 6)});
      OMusicPlayer music;
      ASSERT_TRUE(music.ready);
      music.playlist = &list;
      music.SetVolume(0);
      music.PlayCurrent();
      p.Play(16);
      EXPECT_TRUE(p.IsPlaying(16));
      SDL_Delay(100);
    }
    EXPECT_TRUE(WaitFor([&] { return !p.IsPlaying(16); }, 3000));
    SDL_Delay(150);  // the last mixed buffers reach the file
  }
  // Every frame on both channels, nothing more, at full level.
  const std::vector<i16> out = ReadRecording(file);
  EXPECT_EQ(Sounding(out), 2u * FRAMES);
  EXPECT_EQ(std::count(out.begin(), out.end(), LEVEL), 2 * FRAMES);
}

// Without any audio device every call of either player is safe and nothing sounds, and the game's
// table registers whatever files exist (a missing one costs only its own ids); sounds registered
// before the output opens play once it does.
TEST(SoundPlayer, NoDeviceGameTableAndLateInit) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  mkdir("Data/Sounds", 0755);
  for (size_t i = 0; i < SOUND_FILE_COUNT; ++i) {
    const std::string f = SOUND_FILES[i].file;
    if (f != "Data/Sounds/hit_wall.wav") WriteFile(f, FlatWav(100, 1));
  }
  {
    OSoundPlayer p;
    EXPECT_FALSE(p.Init(true));
    EXPECT_EQ(RegisterGameSounds(p), SOUND_FILE_COUNT - 1);
    EXPECT_FALSE(p.IsRegistered(SND_HIT_WALL));
    EXPECT_TRUE(p.IsRegistered(SND_HEAVY_LAST));
    p.SetVolume(12345);
    p.Play(SND_HEAVY_LAST, true);
    EXPECT_FALSE(p.IsPlaying(SND_HEAVY_LAST));
    p.Remove(-1);
    p.Play(SND_HIT_WALL);
    OPlaylist list = ListOf({MakeMod(8, 3)});
    OMusicPlayer music;
    EXPECT_EQ(music.ready, 0);
    music.playlist = &list;
    music.PlayCurrent();
    EXPECT_EQ(music.playing, 0);
    music.PlayNext();
    music.Resume();
    music.SavePosition();
    EXPECT_EQ(music.GetPosition(), 0u);
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer p;
  ASSERT_TRUE(p.Register(8, "Data/flat.wav"));
  ASSERT_TRUE(p.Init(true));
  p.Play(8);
  EXPECT_TRUE(p.IsPlaying(8));
}

// The shuffle's swaps, in their order; an empty list is safe; seven game tracks play their whole
// shuffled order before any repeats, then a new order begins.
TEST(Playlist, ShuffleRules) {
  // From seed 1 the draws are 41, 18467, 6334, 26500, 19169, 15724, 11478: track 0 swaps with
  // 41 % 6 = 5, then track i with i + r % (7 - i) for i = 1..6.
  OPlaylist seven;
  for (int i = 0; i < 7; ++i) seven.AddTrack({static_cast<u8>(i)});  // one-byte tracks 0..6
  SeedRandom(1);
  seven.ShuffleOrder();
  std::vector<int> order;
  for (const auto& t : seven.tracks) order.push_back(t[0]);
  EXPECT_EQ(order, (std::vector<int>{5, 6, 1, 3, 2, 0, 4}));

  OPlaylist none;
  none.Shuffle();
  EXPECT_EQ(none.Next(), nullptr);  // an empty list has no track
  EXPECT_EQ(none.Current(), nullptr);

  seven.Shuffle();
  seven.index = 0;
  for (int round = 0; round < 5; ++round) {
    std::set<int> heard;
    heard.insert((*seven.Current())[0]);
    for (int i = 1; i < 7; ++i) {
      seven.position = 99;
      const std::vector<u8>* t = seven.Next();
      EXPECT_EQ(seven.position, 0u);
      EXPECT_TRUE(heard.insert((*t)[0]).second) << "repeat within a round";
    }
    EXPECT_EQ(heard.size(), 7u);
    EXPECT_EQ(seven.index, 6);
    seven.Next();  // past the last: reshuffled, back to the start
    EXPECT_EQ(seven.index, 0);
  }
}
