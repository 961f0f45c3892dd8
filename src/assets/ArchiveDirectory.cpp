#include "assets/ArchiveDirectory.h"

#include <algorithm>
#include <iterator>
#include <streambuf>


namespace {

// A read-only stream buffer over bytes that stay owned by the caller.
class OMemoryBuffer : public std::streambuf {
public:
  OMemoryBuffer(const u8* bytes, size_t size) {
    char* begin = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    setg(begin, begin, begin + size);
  }
};

bool ReadExactly(std::istream& in, u8* dst, size_t n) {
  in.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
  return static_cast<size_t>(in.gcount()) == n;
}

}  // namespace

std::string LowerArchiveName(const std::string& name) {
  std::string lower = name;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

OArchiveDirectory ReadArchiveDirectory(std::istream& in, std::uint64_t fileSize) {
  OArchiveDirectory dir;
  if (fileSize < ARCHIVE_HEADER_SIZE || !ReadExactly(in, dir.header, sizeof dir.header)) {
    std::fill(std::begin(dir.header), std::end(dir.header), 0);
    return dir;
  }
  dir.headerComplete = true;
  dir.entryCount = static_cast<i32>(ArchiveRead32(dir.header + ARCHIVE_COUNT_OFFSET));

  std::uint64_t position = ARCHIVE_HEADER_SIZE;
  std::vector<u8> field;
  for (i32 i = 0; i < dir.entryCount; ++i) {
    u8 fixed[ARCHIVE_RECORD_FIXED];
    if (fileSize - position < ARCHIVE_RECORD_FIXED || !ReadExactly(in, fixed, sizeof fixed)) {
      dir.truncated = true;
      break;
    }
    position += ARCHIVE_RECORD_FIXED;
    OArchiveRecord record;
    record.recordSize = ArchiveRead32(fixed);
    record.dataSize = ArchiveRead32(fixed + 4);
    record.dataOffset = ArchiveRead32(fixed + 8);
    if (record.recordSize < ARCHIVE_RECORD_FIXED) {
      dir.truncated = true;
      break;
    }
    // The name field must lie inside the file before a buffer is sized by it.
    std::uint64_t fieldSize = record.recordSize - ARCHIVE_RECORD_FIXED;
    if (fieldSize > fileSize - position) {
      dir.truncated = true;
      break;
    }
    field.assign(static_cast<size_t>(fieldSize), 0);
    if (!ReadExactly(in, field.data(), field.size())) {
      dir.truncated = true;
      break;
    }
    position += fieldSize;
    Unscramble(field.data(), field.size());
    size_t length = 0;
    while (length < field.size() && field[length] != 0) ++length;
    record.name.assign(reinterpret_cast<const char*>(field.data()), length);
    record.trusted = static_cast<std::uint64_t>(record.dataOffset) + record.dataSize <= fileSize;
    dir.records.push_back(std::move(record));
  }
  return dir;
}

OArchiveDirectory ListArchive(const u8* bytes, size_t size) {
  OMemoryBuffer buffer(bytes, size);
  std::istream in(&buffer);
  return ReadArchiveDirectory(in, size);
}
