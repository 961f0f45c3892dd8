// The sound effects' WAV reader, and the conversion to the mixer's format of what it accepts.
#include <vector>

#include "FuzzSupport.h"
#include "audio/Wav.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  OWavInfo info;
  if (!ParseWav(data, size, info)) return 0;
  FUZZ_CHECK(info.dataOffset <= size && info.dataSize <= size - info.dataOffset);
  FUZZ_CHECK(info.blockAlign > 0 && info.dataSize % info.blockAlign == 0 && info.dataSize > 0);
  std::vector<u8> out;
  ConvertWavToOutput(data, info, out);
  return 0;
}
