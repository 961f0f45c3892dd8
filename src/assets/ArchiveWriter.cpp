#include "assets/ArchiveWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

#include "assets/ArchiveFormat.h"

bool BuildArchive(const std::vector<OArchiveEntry>& entries, std::vector<unsigned char>& out) {
  out.clear();
  if (entries.size() > static_cast<size_t>(std::numeric_limits<i32>::max())) return false;

  // Each name field holds the name and one terminating zero.
  std::uint64_t directorySize = 0;
  std::uint64_t dataSize = 0;
  for (const OArchiveEntry& e : entries) {
    if (e.name.find('\0') != std::string::npos) return false;
    directorySize += ARCHIVE_RECORD_FIXED + e.name.size() + 1;
    dataSize += e.bytes.size();
  }
  std::uint64_t total = ARCHIVE_HEADER_SIZE + directorySize + dataSize;
  if (total > std::numeric_limits<u32>::max()) return false;
  out.assign(static_cast<size_t>(total), 0);

  u8* p = out.data();
  std::memcpy(p, ARCHIVE_TAG, sizeof ARCHIVE_TAG);
  ArchiveWrite32(p + ARCHIVE_COUNT_OFFSET, static_cast<u32>(entries.size()));

  size_t record = ARCHIVE_HEADER_SIZE;
  size_t data = ARCHIVE_HEADER_SIZE + static_cast<size_t>(directorySize);
  for (const OArchiveEntry& e : entries) {
    size_t field = e.name.size() + 1;
    ArchiveWrite32(p + record, static_cast<u32>(ARCHIVE_RECORD_FIXED + field));
    ArchiveWrite32(p + record + 4, static_cast<u32>(e.bytes.size()));
    ArchiveWrite32(p + record + 8, static_cast<u32>(data));
    u8* name = p + record + ARCHIVE_RECORD_FIXED;
    std::memcpy(name, e.name.data(), e.name.size());
    Unscramble(name, field);
    record += ARCHIVE_RECORD_FIXED + field;

    if (!e.bytes.empty()) std::memcpy(p + data, e.bytes.data(), e.bytes.size());
    Unscramble(p + data, e.bytes.size());
    data += e.bytes.size();
  }
  return true;
}

bool WriteArchive(const std::string& path, const std::vector<OArchiveEntry>& entries) {
  std::vector<unsigned char> bytes;
  if (!BuildArchive(entries, bytes)) return false;
  // Written beside the target and renamed over it, so that a failed write never leaves a broken
  // archive where a good one was.
  std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
