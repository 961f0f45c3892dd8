#pragma once
// Reading the directory of a resource archive. The reader trusts nothing it reads: a record that
// runs past the end of the file, whose size is too small to hold its own integers, or whose data
// lies outside the file is reported as damaged and never used to read bytes.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "assets/ArchiveFormat.h"
#include "core/Types.h"

// One directory record as stored, with its name unscrambled.
struct OArchiveRecord {
  u32 recordSize = 0;  // bytes of the record including its three integers
  u32 dataSize = 0;    // bytes of the stored file
  u32 dataOffset = 0;  // absolute offset of the stored file's first byte
  std::string name;    // up to the first zero byte, in its stored letter case
  bool trusted = false;  // false when the stored file reaches past the end of the archive
};

// What an archive's header and directory hold, as far as they can be read.
struct OArchiveDirectory {
  bool headerComplete = false;  // false when the file is shorter than its fixed header
  u8 header[ARCHIVE_HEADER_SIZE] = {};  // as read (zero when incomplete)
  i32 entryCount = 0;           // as the header states; 0 or less is an empty archive
  // Every complete record, in file order, including those whose data is out of range.
  std::vector<OArchiveRecord> records;
  // The records stopped before entryCount: the directory runs past the end of the file or a record
  // states a size below its own 12 bytes, so nothing after it can be located.
  bool truncated = false;
};

// Reads the header and directory from a stream positioned at the archive's first byte. fileSize is
// the archive's full length, against which every record is checked. Memory grows only with the
// records actually present, never with the stated count.
OArchiveDirectory ReadArchiveDirectory(std::istream& in, std::uint64_t fileSize);

// The same over an archive held in memory (the archive tool and fuzzers use it).
OArchiveDirectory ListArchive(const u8* bytes, size_t size);

// ASCII-only lower-casing: archive names match case-insensitively for A to Z and exactly otherwise.
std::string LowerArchiveName(const std::string& name);
