// The level compiler's episode reader and playability rules, and the brick table parser.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "LevelFile.h"
#include "playfield/LevelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  std::vector<i32> hits;
  if (ParseBrickHits(text, hits, error)) {
    std::vector<u8> cells = {0, 1, 2, 3, 4, 5, 13, 14};
    MeasureCells(cells.data(), static_cast<i32>(cells.size()), hits);
  }
  OEpisodeFile file;
  if (!ReadEpisodeFile("fuzz.txt", text, file, error)) return 0;
  FUZZ_CHECK(!file.bytes.empty());
  ValidateEpisode(file, error);
  return 0;
}
