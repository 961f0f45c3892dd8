#include <gtest/gtest.h>

#include <memory>

#include "AudioTestUtil.h"
#include "audio/Module.h"

// Bytes that are not a module are refused (random damage is the module fuzzer's part; playing,
// position and gain are the music player's and the mix's tests).
TEST(Module, RefusesBadBytes) {
  auto load = [](const std::string& s) {
    return std::unique_ptr<OModule>(OModule::Load(reinterpret_cast<const u8*>(s.data()), s.size()));
  };
  EXPECT_EQ(OModule::Load(nullptr, 0), nullptr);
  EXPECT_EQ(load(""), nullptr);
  EXPECT_EQ(load("RIFF\x24\0\0\0WAVEfmt "), nullptr);
  EXPECT_EQ(load(std::string(4096, '\0')), nullptr);
  EXPECT_NE(load(audiotest::MakeMod(8, 3)), nullptr) << "while a real one loads";
}
