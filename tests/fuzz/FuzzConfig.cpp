// The settings file: whatever it holds, loading it fills the record, and saving that record and
// loading it again gives the same record.
#include "FuzzSupport.h"
#include "core/Config.h"

namespace {

bool Same(const OConfig& a, const OConfig& b) {
  return a.resolutionIndex == b.resolutionIndex && a.colorBits == b.colorBits &&
         a.textureQuality == b.textureQuality && a.modelDetail == b.modelDetail &&
         a.soundOn == b.soundOn && a.musicOn == b.musicOn && a.soundVolume == b.soundVolume &&
         a.musicVolume == b.musicVolume && a.gameSpeed == b.gameSpeed &&
         a.brickSkin == b.brickSkin && a.fullscreen == b.fullscreen &&
         a.savedEpisode == b.savedEpisode && a.savedScore == b.savedScore &&
         a.savedLives == b.savedLives && a.savedLevel == b.savedLevel;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  WriteScratch(data, size);
  OConfig config;
  config.fileName = FuzzScratchPath();
  FUZZ_CHECK(config.Load());
  FUZZ_CHECK(config.Save());
  OConfig reread;
  reread.fileName = FuzzScratchPath();
  FUZZ_CHECK(reread.Load());
  FUZZ_CHECK(Same(config, reread));
  return 0;
}
