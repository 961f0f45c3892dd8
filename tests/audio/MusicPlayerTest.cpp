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

// The sequence a player goes through in real time: the game track plays, pauses silently in
// place and resumes; leaving for the menu saves its place while the menu track starts from its
// beginning and, ending, raises trackEnded; back in the game the track continues where it was,
// and only a new track drops the saved place.
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
  EXPECT_EQ(player.playing, 1);
  SDL_Delay(300);
  player.Pause();
  EXPECT_EQ(player.playing, 0);
  const u32 paused = player.GetPosition();
  EXPECT_GT(paused, 0u);
  SDL_Delay(300);
  EXPECT_EQ(player.GetPosition(), paused);  // does not move while paused
  const size_t heard = SoundingFrames(ReadRecording(file));
  EXPECT_GT(heard, 0u);
  SDL_Delay(200);
  EXPECT_EQ(SoundingFrames(ReadRecording(file)), heard);  // nothing more was heard
  player.Resume();
  SDL_Delay(300);
  EXPECT_GT(player.GetPosition(), paused);

  player.SwitchPlaylist(&menu, true);  // game -> menu: saved
  const u32 saved = game.position;
  EXPECT_GT(saved, paused);
  EXPECT_LT(player.GetPosition(), 200u);  // the menu track starts from its beginning
  ASSERT_TRUE(WaitFor([] { return trackEnded.load() == 1; }, 5000));
  player.PlayNext();  // the main loop's part: the menu list replays its one track
  EXPECT_EQ(trackEnded.load(), 0);
  EXPECT_EQ(player.playing, 1);
  player.SwitchPlaylist(&game, false);  // menu -> game: the menu position is not saved
  EXPECT_EQ(menu.position, 0u);
  EXPECT_NEAR(player.GetPosition(), saved, 130.0);  // within a row of where it was left
  player.PlayNext();
  EXPECT_EQ(game.position, 0u);
  EXPECT_LT(player.GetPosition(), 200u);
}

// At load the lists are always built; the menu music starts only when music is on.
TEST(MusicPlayer, MusicSwitchAtLoad) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  WriteMusicArchive(MakeMod(8, 3));
  GetConfig().musicVolume = 40;

  GetConfig().musicOn = 0;
  {
    OPlaylist game, menu;
    OMusicPlayer player;
    StartMusicAtLoad(player, game, menu);
    EXPECT_EQ(player.playlist, &menu);
    EXPECT_EQ(player.GetVolume(), 40u);
    EXPECT_EQ(player.started, 0);
    // the game screen's swap does not start anything either while music is off
    player.SwitchPlaylist(&game, false);
    EXPECT_EQ(player.started, 0);
  }
  GetConfig().musicOn = 1;
  {
    OPlaylist game, menu;
    OMusicPlayer player;
    StartMusicAtLoad(player, game, menu);
    EXPECT_EQ(player.playing, 1);
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
// A list that holds no good track is tried once round and left silent; so is no list.
TEST(MusicPlayer, UnloadableTrackMovesOnToTheNext) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  OPlaylist list = ListOf({MakeMod(8, 3), "not a module at all", "", MakeMod(8, 3)});
  OMusicPlayer player;
  ASSERT_TRUE(player.ready);
  player.playlist = &list;
  player.PlayCurrent();
  ASSERT_EQ(player.playing, 1);
  trackEnded = 1;  // the first track ended; the next two are damaged or missing
  player.PlayNext();
  EXPECT_EQ(player.playing, 1);
  EXPECT_EQ(list.index, 3);
  EXPECT_EQ(trackEnded.load(), 0);

  // A list with no good track (not a module, an empty entry for one missing from the archive).
  OPlaylist bad = ListOf({"not a module at all", "", "still not one"});
  OMusicPlayer silent;
  silent.playlist = &bad;
  for (bool next : {false, true}) {
    trackEnded = 1;  // the previous track ended
    next ? silent.PlayNext() : silent.PlayCurrent();
    EXPECT_EQ(silent.playing, 0);
    EXPECT_EQ(trackEnded.load(), 0);  // so the main loop does not retry every frame
  }
  silent.playlist = nullptr;
  silent.PlayCurrent();
  silent.PlayNext();
}
