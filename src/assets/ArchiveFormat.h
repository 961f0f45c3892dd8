#pragma once
// The byte-level constants of the resource archive ("Data/Resource.Tkr"), shared by the reader
// and the writer so that the two can never disagree.
//
// Layout (little-endian): 8 tag bytes, the signed 32-bit record count, 20 reserved bytes, then
// the directory records back to back, each {recordSize, dataSize, dataOffset, name field of
// recordSize - 12 bytes}, then the stored files. Names and the first bytes of every stored file are
// scrambled with one key byte.
#include <cstddef>

#include "core/Types.h"

// Bytes of the fixed header in front of the directory.
constexpr size_t ARCHIVE_HEADER_SIZE = 32;
// Offset of the signed record count inside the header.
constexpr size_t ARCHIVE_COUNT_OFFSET = 8;
// Bytes of the three integers that open every directory record.
constexpr size_t ARCHIVE_RECORD_FIXED = 12;
// Only this many leading bytes of a name field or stored file are scrambled, so that large files
// (music) cost almost nothing to unscramble.
constexpr size_t ARCHIVE_SCRAMBLE_LIMIT = 2048;
// The scrambling key: every scrambled byte is xor-ed with it (both directions).
constexpr u8 ARCHIVE_KEY = 0xB5;
// The eight bytes in front of the record count. The reader does not check them; they only let a
// person (or the file command) recognise the archive.
constexpr u8 ARCHIVE_TAG[8] = {'B', 'R', 'K', 'T', 'K', 'R', 0x1A, 0x01};
// The twenty bytes after the record count are reserved and written as zero.
constexpr size_t ARCHIVE_RESERVED_SIZE = 20;

// Xors the first min(count, ARCHIVE_SCRAMBLE_LIMIT) bytes with the key; scrambling and
// unscrambling are the same operation.
inline void Unscramble(u8* bytes, size_t count) {
  if (count > ARCHIVE_SCRAMBLE_LIMIT) count = ARCHIVE_SCRAMBLE_LIMIT;
  for (size_t i = 0; i < count; ++i) bytes[i] ^= ARCHIVE_KEY;
}

// Little-endian 32-bit fields of the header and directory records.
inline u32 ArchiveRead32(const u8* p) {
  return static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 | static_cast<u32>(p[2]) << 16 |
         static_cast<u32>(p[3]) << 24;
}

inline void ArchiveWrite32(u8* p, u32 v) {
  p[0] = static_cast<u8>(v);
  p[1] = static_cast<u8>(v >> 8);
  p[2] = static_cast<u8>(v >> 16);
  p[3] = static_cast<u8>(v >> 24);
}
