#pragma once
// Building resource archives (the archive tool and the content compiler use it).
#include <string>
#include <vector>

// One file to store: its name as the game loads it ("Data/Textures/Font.Tga") and its bytes.
struct OArchiveEntry {
  std::string name;
  std::vector<unsigned char> bytes;
};

// Writes the archive: the header, one directory record per entry in the given order, then the
// files in the same order. Entries whose names differ only in ASCII letter case are all written;
// the reader then finds the last of them. False when the file cannot be written, or when a name
// holds a zero byte, or when the archive would not fit the format's 32-bit sizes and offsets; no
// partial file is left behind then.
bool WriteArchive(const std::string& path, const std::vector<OArchiveEntry>& entries);

// The archive's bytes as WriteArchive would store them; false under the same conditions.
bool BuildArchive(const std::vector<OArchiveEntry>& entries, std::vector<unsigned char>& out);
