// The score tables: the plain text's parser, and a scrambled file loaded whole or not at all.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "game/Top.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<OTopEntry> parsed;
  if (ParseTop(text, 10, parsed)) FUZZ_CHECK(parsed.size() == 10);

  std::string scrambled = text;
  ScrambleTop(scrambled);
  WriteScratch(reinterpret_cast<const u8*>(scrambled.data()), scrambled.size());
  OTop top(FuzzScratchPath(), 10);
  top.Load();
  FUZZ_CHECK(top.Count() == 10);
  for (int place = 0; place < top.Count(); ++place) (void)top.Entry(place).name.size();
  // A score entered into whatever was loaded keeps the table at ten places.
  top.Insert("Fuzz", 1 << 30);
  FUZZ_CHECK(top.Count() == 10);
  return 0;
}
