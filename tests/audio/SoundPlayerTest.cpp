#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <functional>

#include "AudioTestUtil.h"
#include "audio/MusicPlayer.h"
#include "audio/Playlist.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "audio/Wav.h"

using namespace audiotest;

namespace {

constexpr int FRAMES = 22050;  // 500 ms at 44100 Hz: ample time to play a second id meanwhile
constexpr i16 LEVEL = 8000;

// Runs `script` on a player whose output goes to SDL's disk driver, with "Data/flat.wav" (FRAMES
// frames at LEVEL) registered under ids 10 and 15, at full volume; returns what was heard.
std::vector<i16> Record(const std::function<void(OSoundPlayer&)>& script) {
  ScratchDir dir;
  const std::string file = UseDiskAudio(dir);
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  {
    OSoundPlayer p;
    EXPECT_TRUE(p.Init(true));
    EXPECT_TRUE(p.Register(10, "Data/flat.wav"));
    EXPECT_TRUE(p.Register(15, "Data/flat.wav"));
    p.SetVolume(65535);
    script(p);
    for (i32 id = 0; id < 20; ++id) EXPECT_TRUE(WaitFor([&] { return !p.IsPlaying(id); }, 3000));
    SDL_Delay(150);  // the last mixed buffers reach the file
  }
  return ReadRecording(file);
}

}  // namespace

// A played effect reaches the output whole and unattenuated at volume 65535; an id that still
// sounds is not restarted; two ids of one file sound together; restart rewinds.
TEST(SoundPlayer, PlayingOverlapAndRestart) {
  std::vector<i16> out = Record([](OSoundPlayer& p) {
    p.Play(10);
    EXPECT_TRUE(p.IsPlaying(10));
  });
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));   // every frame, nothing more
  EXPECT_EQ(FramesAt(out, LEVEL), static_cast<size_t>(FRAMES));  // at full level

  out = Record([](OSoundPlayer& p) {
    p.Play(10);
    SDL_Delay(60);
    p.Play(10);  // still sounding: keeps going
  });
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));

  out = Record([](OSoundPlayer& p) {
    p.Play(10);
    SDL_Delay(60);
    p.Play(15);  // the second copy joins the first
  });
  EXPECT_GT(SoundingFrames(out), static_cast<size_t>(FRAMES));
  EXPECT_GT(FramesAt(out, 2 * LEVEL), 0u);  // summed while both sound

  out = Record([](OSoundPlayer& p) {
    p.Play(10);
    SDL_Delay(60);
    p.Play(10, true);
  });
  EXPECT_GT(SoundingFrames(out), static_cast<size_t>(FRAMES));
  EXPECT_EQ(FramesAt(out, 2 * LEVEL), 0u);  // one channel: never two copies at once
}

// Effects and music share one output: the music (here silent, at volume 0) never wipes out an
// effect, and the music player closing its use of the output leaves the effect sounding.
TEST(SoundPlayer, SharesTheOutputWithTheMusic) {
  const std::vector<i16> out = Record([](OSoundPlayer& p) {
    OPlaylist list;
    list.AddTrack(Bytes(MakeMod(32, 6)));
    OMusicPlayer music;
    ASSERT_TRUE(music.ready);
    music.playlist = &list;
    music.SetVolume(0);
    music.PlayCurrent();
    p.Play(10);
    SDL_Delay(100);
  });  // the music player is gone halfway through the effect
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));
  EXPECT_EQ(FramesAt(out, LEVEL), static_cast<size_t>(FRAMES));
}

// Volume 0 is 30 dB down (quiet, not silent), through the attenuation in hundredths of a dB.
TEST(SoundPlayer, VolumeIsAnAttenuationOfUpTo30dB) {
  EXPECT_EQ(OSoundPlayer::MixerLevel(65535), 128);
  EXPECT_EQ(OSoundPlayer::MixerLevel(32768), 23);     // -1499: 128 * 10^(-0.7495)
  EXPECT_EQ(OSoundPlayer::MixerLevel(1000000), 128);  // out of range counts as full

  const std::vector<i16> out = Record([](OSoundPlayer& p) {
    p.SetVolume(0);
    p.Play(15);
  });
  ASSERT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));
  i16 peak = 0;
  for (size_t i = 0; i < out.size(); i += 2) peak = std::max(peak, out[i]);
  EXPECT_NEAR(20.0 * std::log10(static_cast<double>(peak) / LEVEL), -30.0, 0.5);
}

// `on` 0 plays nothing; registering an id again replaces its sound; missing or unplayable files
// and removed ids stay silent; closing the output silences everything.
TEST(SoundPlayer, SwitchReplacementAndMissingFiles) {
  const std::vector<i16> out = Record([](OSoundPlayer& p) {
    WriteFile("Data/b.wav", FlatWav(FRAMES / 2, 3000));
    WriteFile("Data/float.wav", Riff(Chunk("fmt ", Fmt(3, 1, 44100, 32)) + Chunk("data", std::string(400, '@'))));
    p.on = 0;
    p.Play(10);
    EXPECT_FALSE(p.IsPlaying(10));
    p.on = 1;
    ASSERT_TRUE(p.Register(10, "Data/b.wav"));  // id 10 now plays b
    EXPECT_FALSE(p.Register(6, "Data/missing.wav"));
    EXPECT_FALSE(p.IsRegistered(6));
    p.Play(6);
    EXPECT_TRUE(p.Register(7, "Data/float.wav"));  // read, but cannot play
    p.Play(7);
    EXPECT_FALSE(p.IsPlaying(7));
    p.Remove(15);
    p.Play(15);
    EXPECT_FALSE(p.IsPlaying(15));
    p.Play(10);
    EXPECT_TRUE(WaitFor([&] { return !p.IsPlaying(10); }, 3000));
    EXPECT_TRUE(p.Init(false));
    p.Play(10);
    EXPECT_FALSE(p.IsPlaying(10));
  });
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES / 2));
  EXPECT_EQ(FramesAt(out, 3000), static_cast<size_t>(FRAMES / 2));
}

// Without any audio device every call is safe and nothing sounds; sounds registered before the
// output opens play once it does.
TEST(SoundPlayer, NoDeviceAndLateInit) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  {
    OSoundPlayer p;
    EXPECT_FALSE(p.Init(true));
    EXPECT_TRUE(p.Register(0, "Data/flat.wav"));
    p.SetVolume(12345);
    p.Play(0, true);
    EXPECT_FALSE(p.IsPlaying(0));
    p.Remove(-1);
    p.Play(0);
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  OSoundPlayer p;
  ASSERT_TRUE(p.Register(8, "Data/flat.wav"));
  ASSERT_TRUE(p.Init(true));
  p.Play(8);
  EXPECT_TRUE(p.IsPlaying(8));
}

// The game's table registers whatever files exist; a missing one costs only its own ids.
TEST(SoundPlayer, GameSoundTable) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  mkdir("Data/Sounds", 0755);
  for (size_t i = 0; i < SOUND_FILE_COUNT; ++i) {
    const std::string f = SOUND_FILES[i].file;
    if (f != "Data/Sounds/hit_wall.wav") WriteFile(f, FlatWav(100, 1));
  }
  OSoundPlayer p;
  EXPECT_EQ(RegisterGameSounds(p), SOUND_FILE_COUNT - 1);  // all but the missing wall hit
  EXPECT_FALSE(p.IsRegistered(SND_HIT_WALL));
  EXPECT_TRUE(p.IsRegistered(SND_HEAVY_LAST));
}

// Ids registered with one file share its samples: removing or replacing the id that read the
// file first leaves the others whole.
TEST(SoundPlayer, SharedSamplesOutliveTheFirstId) {
  const std::vector<i16> out = Record([](OSoundPlayer& p) {
    WriteFile("Data/b.wav", FlatWav(FRAMES / 2, 3000));
    p.Remove(10);
    ASSERT_TRUE(p.Register(10, "Data/b.wav"));
    ASSERT_TRUE(p.Register(16, "Data/flat.wav"));  // served from id 15's copy
    p.Remove(15);
    p.Play(16);
  });
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));
  EXPECT_EQ(FramesAt(out, LEVEL), static_cast<size_t>(FRAMES));
}
