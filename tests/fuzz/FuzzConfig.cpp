// The settings file: whatever it holds loads, and the record saved, loaded and saved writes the same.
#include "FuzzSupport.h"
#include "core/Config.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  WriteScratch(data, size);
  OConfig config;
  config.fileName = FuzzScratchPath();
  FUZZ_CHECK(config.Load());
  FUZZ_CHECK(config.Save());
  const std::string saved = ReadScratch();
  OConfig reread;
  reread.fileName = FuzzScratchPath();
  FUZZ_CHECK(reread.Load() && reread.Save());
  FUZZ_CHECK(ReadScratch() == saved);
  return 0;
}
