#pragma once
// Hand-made archives for the reader's tests: records whose fields can be anything, including
// values no writer would produce.
#include <string>
#include <vector>

#include "assets/ArchiveFormat.h"
#include "core/Types.h"

namespace archive_test {

struct RawRecord {
  u32 recordSize;
  u32 dataSize;
  u32 dataOffset;
  std::string nameField;  // plain bytes; scrambled when written
};

// Header with the given count, then the records; `tail` is appended after the directory.
inline std::string RawArchive(i32 entryCount, const std::vector<RawRecord>& records,
                              const std::string& tail = "") {
  std::string out(ARCHIVE_HEADER_SIZE, '\0');
  ArchiveWrite32(reinterpret_cast<u8*>(&out[ARCHIVE_COUNT_OFFSET]), static_cast<u32>(entryCount));
  for (const RawRecord& r : records) {
    u8 fixed[12];
    ArchiveWrite32(fixed, r.recordSize);
    ArchiveWrite32(fixed + 4, r.dataSize);
    ArchiveWrite32(fixed + 8, r.dataOffset);
    out.append(reinterpret_cast<const char*>(fixed), 12);
    std::string field = r.nameField;
    Unscramble(reinterpret_cast<u8*>(&field[0]), field.size());
    out += field;
  }
  return out + tail;
}

inline std::string Scrambled(std::string bytes) {
  Unscramble(reinterpret_cast<u8*>(&bytes[0]), bytes.size());
  return bytes;
}

inline std::vector<unsigned char> Bytes(const std::string& s) {
  return std::vector<unsigned char>(s.begin(), s.end());
}

}  // namespace archive_test
