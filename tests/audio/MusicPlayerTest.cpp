#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "audio/MusicPlayer.h"
#include "audio/Playlist.h"
#include "core/Config.h"

using namespace audiotest;

namespace {
OPlaylist ListOf(std::initializer_list<std::string> modules) {
  OPlaylist list;
  for (const std::string& m : modules) list.AddTrack(Bytes(m));
  return list;
}
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

// At load the lists are always built and the volume set; the menu music starts only when music
// is on, and the game screen's swap starts nothing while it is off.
TEST(MusicPlayer, MusicSwitchAtLoad) {
  ScratchDir dir;
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
}

// Without an audio device nothing starts and nothing fails.
TEST(MusicPlayer, NoDeviceStartsNothing) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  OPlaylist list = ListOf({MakeMod(8, 3)});
  OMusicPlayer player;
  EXPECT_EQ(player.ready, 0);
  player.playlist = &list;
  player.PlayCurrent();
  EXPECT_EQ(player.playing, 0);
  player.PlayNext();
  player.Resume();
  player.SavePosition();
  EXPECT_EQ(player.GetPosition(), 0u);
}

// A track that cannot be loaded when the one before it ends is skipped: the next good one plays.
// A list with no good track is tried once round and left silent, so the main loop does not retry
// every frame; so is no list.
TEST(MusicPlayer, UnloadableTrackMovesOnToTheNext) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
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
  OPlaylist bad = ListOf({"not a module at all", "", "still not one"});
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
}
