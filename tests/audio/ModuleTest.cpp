#include <gtest/gtest.h>

#include <memory>

#include "AudioTestUtil.h"
#include "audio/Module.h"

using namespace audiotest;

namespace {
std::unique_ptr<OModule> LoadBytes(const std::string& s) {
  return std::unique_ptr<OModule>(OModule::Load(reinterpret_cast<const u8*>(s.data()), s.size()));
}

// Renders the whole song; returns its frames and counts the sounding ones.
size_t RenderAll(OModule& m, size_t* sounding = nullptr, size_t limit = 44100 * 60) {
  std::vector<i16> buf(2 * 1024);
  size_t total = 0;
  size_t loud = 0;
  while (total < limit) {
    const size_t got = m.Render(buf.data(), 1024);
    if (got == 0) break;
    for (size_t i = 0; i < got * 2; ++i)
      if (buf[i] != 0) ++loud;
    total += got;
  }
  if (sounding) *sounding = loud;
  return total;
}
}  // namespace

// A module made in memory loads, sounds, lasts what its rows say and then ends.
TEST(Module, PlaysOnceAndEnds) {
  auto m = LoadBytes(MakeMod(8, 3));  // 8 rows x 3 ticks x 20 ms = 480 ms
  ASSERT_TRUE(m);
  EXPECT_NEAR(m->Duration(), 0.48, 0.03);
  size_t loud = 0;
  const size_t frames = RenderAll(*m, &loud);
  EXPECT_NEAR(frames / 44100.0, 0.48, 0.05);  // then it stops: no repeat
  EXPECT_GT(loud, frames / 2);
  EXPECT_EQ(m->Render(std::vector<i16>(64).data(), 32), 0u);  // stays ended
}

// Position in ms moves with rendering and can be set back; gain scales the output.
TEST(Module, PositionAndGain) {
  auto m = LoadBytes(MakeMod(32, 6, 2));  // 7.68 s
  ASSERT_TRUE(m);
  std::vector<i16> buf(2 * 44100);
  ASSERT_EQ(m->Render(buf.data(), 44100), 44100u);
  EXPECT_NEAR(m->GetPosition(), 1000.0, 130.0);  // within a row (120 ms)
  m->SetPosition(5000);
  EXPECT_NEAR(m->GetPosition(), 5000.0, 130.0);

  auto a = LoadBytes(MakeMod(8, 3));
  auto b = LoadBytes(MakeMod(8, 3));
  b->SetGain(-600);  // -6 dB: about half
  std::vector<i16> ba(2 * 4096), bb(2 * 4096);
  a->Render(ba.data(), 4096);
  b->Render(bb.data(), 4096);
  double ea = 0, eb = 0;
  for (size_t i = 0; i < ba.size(); ++i) {
    ea += std::abs(ba[i]);
    eb += std::abs(bb[i]);
  }
  ASSERT_GT(ea, 0.0);
  EXPECT_NEAR(eb / ea, 0.5, 0.05);
}

// Bytes that are not a module are refused (random damage is the module fuzzer's part).
TEST(Module, RefusesBadBytes) {
  EXPECT_EQ(OModule::Load(nullptr, 0), nullptr);
  EXPECT_EQ(LoadBytes(""), nullptr);
  EXPECT_EQ(LoadBytes("RIFF\x24\0\0\0WAVEfmt "), nullptr);
  EXPECT_EQ(LoadBytes(std::string(4096, '\0')), nullptr);

}
