#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

#include "AudioTestUtil.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"

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

// An effect reaches the output whole and unattenuated at volume 65535, through an id sharing its
// samples with an id removed before, while silent music shares the output and its player closes
// its use of the output halfway through the effect.
TEST(SoundPlayer, AnEffectPlaysWholeAtFullLevel) {
  const std::vector<i16> out = Record([](OSoundPlayer& p) {
    ASSERT_TRUE(p.Register(16, "Data/flat.wav"));  // served from id 15's copy
    p.Remove(15);
    OPlaylist list;
    list.AddTrack(Bytes(MakeMod(32, 6)));
    OMusicPlayer music;
    ASSERT_TRUE(music.ready);
    music.playlist = &list;
    music.SetVolume(0);
    music.PlayCurrent();
    p.Play(16);
    EXPECT_TRUE(p.IsPlaying(16));
    SDL_Delay(100);
  });
  // Every frame on both channels, nothing more, at full level.
  EXPECT_EQ(Sounding(out), 2u * FRAMES);
  EXPECT_EQ(std::count(out.begin(), out.end(), LEVEL), 2 * FRAMES);
}

// Volume 0 is 30 dB down (quiet, not silent), through the attenuation in hundredths of a dB.
TEST(SoundPlayer, VolumeIsAnAttenuationOfUpTo30dB) {
  EXPECT_EQ(OSoundPlayer::MixerLevel(65535), 128);
  EXPECT_EQ(OSoundPlayer::MixerLevel(32768), 23);  // -1499: 128 * 10^(-0.7495)
  EXPECT_EQ(OSoundPlayer::MixerLevel(0), 4);       // 128 * 10^(-1.5)
  EXPECT_EQ(OSoundPlayer::MixerLevel(1000000), 128) << "out of range counts as full";
}

// Without any audio device every call is safe and nothing sounds, and the game's table registers
// whatever files exist (a missing one costs only its own ids); sounds registered before the
// output opens play once it does.
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
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer p;
  ASSERT_TRUE(p.Register(8, "Data/flat.wav"));
  ASSERT_TRUE(p.Init(true));
  p.Play(8);
  EXPECT_TRUE(p.IsPlaying(8));
}
