// The resource archive: the directory lister over bytes, and the game's index and reads of a file.
#include <cstdint>
#include <sstream>
#include <vector>

#include "FuzzSupport.h"
#include "assets/ArchiveDirectory.h"
#include "assets/Resource.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  OArchiveDirectory dir = ListArchive(data, size);
  for (const OArchiveRecord& r : dir.records) {
    // A record marked trusted must lie inside the bytes it came from.
    if (r.trusted) FUZZ_CHECK(std::uint64_t{r.dataOffset} + r.dataSize <= size);
  }
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  OArchiveDirectory streamed = ReadArchiveDirectory(in, size);
  FUZZ_CHECK(streamed.records.size() == dir.records.size());

  WriteScratch(data, size);
  OResource archive(FuzzScratchPath());
  if (!archive.Open()) return 0;
  for (const auto& [key, entry] : archive.index) {
    const u32 expected = archive.GetSize(entry->name);
    std::unique_ptr<u8[]> bytes = archive.Read(entry->name);
    FUZZ_CHECK(bytes != nullptr);  // the file has not changed since it was indexed
    FUZZ_CHECK(archive.lastSize == static_cast<i32>(expected));
    // Copied whole, so that a buffer shorter than its stated size is caught.
    const std::vector<u8> copy(bytes.get(), bytes.get() + expected);
  }
  return 0;
}
