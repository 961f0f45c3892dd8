// The sound effects and music the content compiler makes, the music played by the game's player.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ContentTestSupport.h"
#include "audio/Module.h"

namespace {

// The little-endian number of `bytes` bytes at `at`.
u32 Le(const std::string& b, size_t at, int bytes = 2) {
  u32 v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<u8>(b[at + i]);
  return v;
}

// A whole module rendered as the game plays it: 44.1 kHz stereo, once, until the module reports
// its end (bounded, so that a module that never ends fails instead of hanging the suite).
struct ORendered {
  bool loaded = false;
  double seconds = 0, rmsDb = -200;  // dB of full scale
  double clipped = 0;                // fraction of samples at full scale
  std::vector<short> left;
};

ORendered Render(const std::string& bytes) {
  ORendered r;
  std::unique_ptr<OModule> m(OModule::Load(reinterpret_cast<const u8*>(bytes.data()), bytes.size()));
  r.loaded = m != nullptr;
  std::vector<i16> buffer(4096 * 2);
  double sum = 0, clipped = 0;
  size_t count = 0, frames = 1;
  while (m && frames > 0 && count < 44100u * 2 * 600) {
    frames = m->Render(buffer.data(), 4096);
    for (size_t i = 0; i < frames * 2; ++i) {
      sum += static_cast<double>(buffer[i]) * buffer[i];
      clipped += buffer[i] >= 32767 || buffer[i] <= -32768;
      if (i % 2 == 0) r.left.push_back(buffer[i]);
    }
    count += frames * 2;
  }
  r.seconds = count / 2 / 44100.0;
  r.rmsDb = 20.0 * std::log10(std::sqrt(sum / std::max<size_t>(count, 1)) / 32768.0 + 1e-12);
  r.clipped = clipped / std::max<size_t>(count, 1);
  return r;
}

// Pitch of a steady tone by counting upward zero crossings between `from` and `to` seconds.
double Pitch(const std::vector<short>& s, double from, double to) {
  std::vector<size_t> ups;
  for (size_t i = static_cast<size_t>(from * 44100) + 1; i < std::min(s.size(), size_t(to * 44100)); ++i)
    if (s[i - 1] < 0 && s[i] >= 0) ups.push_back(i);
  return ups.size() > 1 ? 44100.0 * (ups.size() - 1) / (ups.back() - ups.front()) : 0.0;
}

const char* const kModules[] = {"01_Popcorn.Xm", "02_Magnitude.It", "04_Believing.Xm", "05_Modern.Xm",
                                "06_Otis.Xm",    "07_Star.Xm",      "08_Madsad.Xm",    "MegaMix_Menu.Mod"};

}  // namespace

// Every effect is a canonical PCM file, short, normalised below full scale and a sound of its own.
TEST(AudioContent, EffectsAreShortNormalisedWavsAndTheMusicEvenlyLoudAndInTune) {
  ScratchDir scratch;
  ASSERT_EQ(Dump(ContentSources(), scratch.Path(), "sounds"), 0);
  std::vector<std::string> seen;
  for (const char* name : {"hit_block", "next_level", "click_menu", "hit_wall", "get_bonus", "small_player",
                           "expand_player", "ball_lost", "game_over", "bomb_explosion", "rocket_fire",
                           "ballbatlow_1", "ballbatlow_2", "ballbatlow_3", "exp_normal3", "stage_clear", "time_up"}) {
    SCOPED_TRACE(name);
    std::string b = ReadFile(scratch.Path() + "/Data/Sounds/" + name + ".wav");
    ASSERT_GE(b.size(), 44u + 2u);
    EXPECT_EQ(b.substr(0, 4) + b.substr(8, 8) + b.substr(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ(Le(b, 20), 1u);  // PCM
    u32 channels = Le(b, 22), rate = Le(b, 24, 4);
    EXPECT_EQ(Le(b, 34), 16u);  // bits
    EXPECT_EQ(Le(b, 28, 4), rate * channels * 2);  // bytes per second
    EXPECT_EQ(Le(b, 40, 4), b.size() - 44);  // the samples fill the file exactly
    double seconds = (b.size() - 44) / 2.0 / channels / rate;
    EXPECT_GT(seconds, 0.02);
    // The jingles of a level's and a game's end may last longer than the effects of play.
    EXPECT_LE(seconds, std::string(name) == "next_level" || std::string(name) == "game_over" ? 4.0 : 1.5);
    int peak = 0;
    for (size_t i = 44; i + 1 < b.size(); i += 2)
      peak = std::max(peak, std::abs(static_cast<int>(static_cast<short>(Le(b, i)))));
    EXPECT_GT(peak, 32768 * 0.2);  // normalised: heard over the music (-14 dBFS at least)
    EXPECT_LE(peak, 32768 * 0.5);  // and never above -6 dBFS on its own, leaving the mix headroom
    for (const std::string& other : seen) EXPECT_NE(b, other);
    seen.push_back(b);
  }

  // Every module loads in the game's player (the menu's a MOD of four channels), ends by itself
  // within its bounds (the player waits for a module's end), is audible, hardly clips, and all
  // sit at an even loudness.
  ASSERT_EQ(Dump(ContentSources(), scratch.Path(), "music"), 0);
  double quietest = 0, loudest = -200;
  for (const char* name : kModules) {
    SCOPED_TRACE(name);
    std::string bytes = ReadFile(scratch.Path() + "/Data/Music/" + name);
    ASSERT_GT(bytes.size(), 1084u);
    const bool menu = std::string(name) == "MegaMix_Menu.Mod";

    ORendered r = Render(bytes);
    ASSERT_TRUE(r.loaded);
    EXPECT_TRUE(!menu || bytes.substr(1080, 4) == "M.K.") << "a MOD of four channels";
    EXPECT_GE(r.seconds, menu ? 40.0 : 90.0);
    EXPECT_LE(r.seconds, menu ? 120.0 : 240.0);
    EXPECT_GT(r.rmsDb, -30.0);       // audible
    EXPECT_LE(r.clipped, 0.0001);    // clips in at most 0.01 % of samples
    quietest = std::min(quietest, r.rmsDb);
    loudest = std::max(loudest, r.rmsDb);
  }
  EXPECT_LE(loudest - quietest, 3.0);  // no track jumps out of the playlist

  // Every note sounds at its pitch in all three formats, and a part a pattern leaves out falls
  // silent instead of droning on under a break.
  WriteScores("title Pitch\ntempo 125\nspeed 6\n"
              "instrument tone sine attack=0.01 decay=0.1 sustain=1 release=0.05 ref=50 volume=64\n"
              "instrument kick kick volume=64\n"
              "channel a tone\nchannel b tone\nchannel c tone\nchannel d beat k=kick\n"
              "pattern high\n  a: a4:64\n"
              "pattern low\n  a: a3:64\n"
              "pattern other\n  d: k.......\n"
              "order high low other\n");
  ASSERT_EQ(Dump("content", "out", "music"), 0);
  for (const char* name : {"01_Popcorn.Xm", "02_Magnitude.It", "MegaMix_Menu.Mod"}) {
    SCOPED_TRACE(name);
    const ORendered r = Render(ReadFile(std::string("out/Data/Music/") + name));
    ASSERT_TRUE(r.loaded);
    // A pattern of 64 rows at speed 6 and 125 beats per minute lasts 7.68 s.
    EXPECT_NEAR(r.seconds, 3 * 7.68, 0.3);
    EXPECT_NEAR(Pitch(r.left, 1.0, 6.0), 440.0, 440.0 * 0.0023);  // within 4 cents
    EXPECT_NEAR(Pitch(r.left, 8.7, 14.0), 220.0, 220.0 * 0.0023);
    // Between the kicks of the third pattern (at 15.36 s and 16.32 s; the kick sample lasts
    // 0.45 s) nothing but the kick's own tail remains.
    int loudest = 0;
    for (size_t i = static_cast<size_t>(15.88 * 44100); i < static_cast<size_t>(16.28 * 44100); ++i)
      loudest = std::max(loudest, std::abs(static_cast<int>(r.left[i])));
    EXPECT_LT(loudest, 300);
  }
}
