#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <set>

#include "AudioTestUtil.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"

using namespace audiotest;

namespace {

constexpr int FRAMES = 8820;  // 200 ms at 44100 Hz
constexpr i16 LEVEL = 8000;

// Plays through SDL's disk driver, then hands back what reached the output.
class Recording {
public:
  Recording() : file(UseDiskAudio(dir)) {}
  std::vector<i16> Finish(OSoundPlayer*& player) {
    SDL_Delay(150);  // the last mixed buffers reach the file
    delete player;
    player = nullptr;
    return ReadRecording(file);
  }
  ScratchDir dir;
  std::string file;
};

bool Quiet(OSoundPlayer& p, i32 id) {
  return WaitFor([&] { return !p.IsPlaying(id); }, 3000);
}

}  // namespace

// A played effect reaches the output whole, at full level for volume 65535.
TEST(SoundPlayer, PlayedEffectReachesTheOutput) {
  Recording rec;
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer* p = new OSoundPlayer;
  ASSERT_TRUE(p->Init(true));
  ASSERT_TRUE(p->Register(0, "Data/flat.wav"));
  p->SetVolume(65535);
  p->Play(0);
  EXPECT_TRUE(p->IsPlaying(0));
  ASSERT_TRUE(Quiet(*p, 0));
  const std::vector<i16> out = rec.Finish(p);
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));  // every frame, nothing more
  EXPECT_EQ(FramesAt(out, LEVEL), static_cast<size_t>(FRAMES)); // unattenuated
}

// One id does not restart while it sounds; two ids of one file sound together; restart rewinds.
TEST(SoundPlayer, IdsOverlapOthersButNotThemselves) {
  Recording rec;
  WriteFile("Data/bomb.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer* p = new OSoundPlayer;
  ASSERT_TRUE(p->Init(true));
  ASSERT_TRUE(p->Register(10, "Data/bomb.wav"));
  ASSERT_TRUE(p->Register(15, "Data/bomb.wav"));
  p->SetVolume(65535);

  p->Play(10);
  SDL_Delay(60);
  p->Play(10);  // still sounding: keeps going, not from the start
  ASSERT_TRUE(Quiet(*p, 10));
  std::vector<i16> out = rec.Finish(p);
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));

  Recording rec2;
  WriteFile("Data/bomb.wav", FlatWav(FRAMES, LEVEL));
  p = new OSoundPlayer;
  ASSERT_TRUE(p->Init(true));
  ASSERT_TRUE(p->Register(10, "Data/bomb.wav"));
  ASSERT_TRUE(p->Register(15, "Data/bomb.wav"));
  p->SetVolume(65535);
  p->Play(10);
  SDL_Delay(60);
  p->Play(15);  // the second copy joins the first
  ASSERT_TRUE(Quiet(*p, 10));
  ASSERT_TRUE(Quiet(*p, 15));
  out = rec2.Finish(p);
  EXPECT_GT(SoundingFrames(out), static_cast<size_t>(FRAMES));  // longer than one copy
  EXPECT_GT(FramesAt(out, 2 * LEVEL), 0u);                       // and summed while both sound

  Recording rec3;
  WriteFile("Data/bomb.wav", FlatWav(FRAMES, LEVEL));
  p = new OSoundPlayer;
  ASSERT_TRUE(p->Init(true));
  ASSERT_TRUE(p->Register(10, "Data/bomb.wav"));
  p->SetVolume(65535);
  p->Play(10);
  SDL_Delay(60);
  p->Play(10, true);  // restart: from the beginning again
  ASSERT_TRUE(Quiet(*p, 10));
  out = rec3.Finish(p);
  EXPECT_GT(SoundingFrames(out), static_cast<size_t>(FRAMES));
  EXPECT_EQ(FramesAt(out, 2 * LEVEL), 0u);  // one channel: never two copies at once
}

// Volume 0 is 30 dB down (quiet, not silent); the level follows the attenuation formula.
TEST(SoundPlayer, VolumeIsAnAttenuationOfUpTo30dB) {
  // the formula's ends and middle
  EXPECT_EQ(OSoundPlayer::MixerLevel(65535), 128);
  EXPECT_EQ(OSoundPlayer::MixerLevel(0), 4);  // 128 * 10^(-1.5)
  EXPECT_EQ(OSoundPlayer::MixerLevel(32768), 23);  // -1499 hundredths: 128 * 10^(-0.7495)
  EXPECT_EQ(OSoundPlayer::MixerLevel(1000000), 128);  // out of range counts as full

  Recording rec;
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer* p = new OSoundPlayer;
  ASSERT_TRUE(p->Init(true));
  ASSERT_TRUE(p->Register(3, "Data/flat.wav"));
  p->SetVolume(0);
  EXPECT_EQ(p->GetVolume(), 0u);
  p->Play(3);
  ASSERT_TRUE(Quiet(*p, 3));
  const std::vector<i16> out = rec.Finish(p);
  ASSERT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));  // still audible
  i16 peak = 0;
  for (size_t i = 0; i < out.size(); i += 2) peak = std::max(peak, out[i]);
  const double db = 20.0 * std::log10(static_cast<double>(peak) / LEVEL);
  EXPECT_NEAR(db, -30.0, 0.5);
}

// With `on` 0 nothing sounds; registering an id again replaces its sound; missing files stay silent.
TEST(SoundPlayer, SwitchReplacementAndMissingFiles) {
  Recording rec;
  WriteFile("Data/a.wav", FlatWav(FRAMES, 1000));
  WriteFile("Data/b.wav", FlatWav(FRAMES / 2, 3000));
  WriteFile("Data/float.wav", Riff(Chunk("fmt ", Fmt(3, 1, 44100, 32)) + Chunk("data", std::string(400, '\x40'))));
  OSoundPlayer* p = new OSoundPlayer;
  ASSERT_TRUE(p->Init(true));
  p->SetVolume(65535);

  ASSERT_TRUE(p->Register(5, "Data/a.wav"));
  p->on = 0;
  p->Play(5);  // switched off: nothing
  EXPECT_FALSE(p->IsPlaying(5));
  p->on = 1;

  ASSERT_TRUE(p->Register(5, "Data/b.wav"));  // the id now plays b
  EXPECT_FALSE(p->Register(6, "Data/missing.wav"));
  EXPECT_FALSE(p->IsRegistered(6));
  p->Play(6);  // never registered: nothing
  EXPECT_TRUE(p->Register(7, "Data/float.wav"));  // read, but cannot play: silent
  p->Play(7);
  EXPECT_FALSE(p->IsPlaying(7));
  p->Play(5);
  ASSERT_TRUE(Quiet(*p, 5));
  p->Remove(5);
  p->Play(5);  // removed: nothing
  EXPECT_FALSE(p->IsPlaying(5));
  const std::vector<i16> out = rec.Finish(p);
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES / 2));
  EXPECT_EQ(FramesAt(out, 3000), static_cast<size_t>(FRAMES / 2));
  EXPECT_EQ(FramesAt(out, 1000), 0u);
}

// Sounds registered before the output opens play once it opens; closing it silences them.
TEST(SoundPlayer, RegisteringBeforeInitAndClosing) {
  Recording rec;
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer* p = new OSoundPlayer;
  ASSERT_TRUE(p->Register(8, "Data/flat.wav"));
  p->Play(8);  // no output yet
  EXPECT_FALSE(p->IsPlaying(8));
  ASSERT_TRUE(p->Init(true));
  EXPECT_TRUE(p->Init(true));  // already open
  p->SetVolume(65535);
  p->Play(8);
  ASSERT_TRUE(Quiet(*p, 8));
  EXPECT_TRUE(p->Init(false));
  p->Play(8);
  EXPECT_FALSE(p->IsPlaying(8));
  const std::vector<i16> out = rec.Finish(p);
  EXPECT_EQ(SoundingFrames(out), static_cast<size_t>(FRAMES));
}

// Without any audio device every call is safe and nothing sounds.
TEST(SoundPlayer, NoDeviceIsSafe) {
  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  WriteFile("Data/flat.wav", FlatWav(FRAMES, LEVEL));
  OSoundPlayer p;
  EXPECT_FALSE(p.Init(true));
  EXPECT_TRUE(p.Register(0, "Data/flat.wav"));
  p.SetVolume(12345);
  EXPECT_EQ(p.GetVolume(), 12345u);
  p.Play(0);
  p.Play(0, true);
  EXPECT_FALSE(p.IsPlaying(0));
  EXPECT_TRUE(p.Init(false));
  p.Remove(0);
  p.Remove(-1);
  p.Play(0);
}

// The game's table: every id once, the documented gaps, the shared files, and registration.
TEST(SoundPlayer, GameSoundTable) {
  std::set<i32> ids;
  for (size_t i = 0; i < SOUND_FILE_COUNT; ++i) {
    EXPECT_TRUE(ids.insert(SOUND_FILES[i].id).second) << SOUND_FILES[i].id;
    EXPECT_EQ(std::string(SOUND_FILES[i].file).rfind("Data/Sounds/", 0), 0u);
  }
  EXPECT_EQ(ids.size(), 36u);
  for (i32 gap : {1, 11, 12, 13, 14}) EXPECT_EQ(ids.count(gap), 0u) << gap;
  for (i32 id = 15; id <= 21; ++id) EXPECT_TRUE(ids.count(id));
  for (i32 id = 22; id <= 31; ++id) EXPECT_TRUE(ids.count(id));
  for (i32 id = 101; id <= 106; ++id) EXPECT_TRUE(ids.count(id));

  ScratchDir dir;
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  mkdir("Data/Sounds", 0755);
  std::set<std::string> files;
  for (size_t i = 0; i < SOUND_FILE_COUNT; ++i) files.insert(SOUND_FILES[i].file);
  EXPECT_EQ(files.size(), 15u);
  for (const std::string& f : files)
    if (f != "Data/Sounds/hit_wall.wav") WriteFile(f, FlatWav(100, 1));
  OSoundPlayer p;
  EXPECT_EQ(RegisterGameSounds(p), SOUND_FILE_COUNT - 1);  // all but the missing wall hit
  EXPECT_FALSE(p.IsRegistered(SND_HIT_WALL));
  EXPECT_TRUE(p.IsRegistered(SND_HEAVY_LAST));
}
