#pragma once
// The resource archive: every texture, model and music module of the game lives in one file,
// "Data/Resource.Tkr". Its directory is indexed once at start-up; loaders then ask for a file by
// its path name ("Data/Textures/Menu.jpg") and receive its bytes in a fresh buffer. Names match
// case-insensitively for ASCII letters and exactly otherwise (no separator conversion).
#include <map>
#include <memory>
#include <string>

#include "core/Types.h"

// One indexed file of the archive.
struct OResourceEntry {
  u32 recordSize;
  u32 dataSize;    // bytes
  u32 dataOffset;  // absolute offset in the archive
  std::string name;  // as stored (letter case kept)
};

// The index of one archive file and the reads from it.
class OResource {
public:
  // The game's archive is "Data/Resource.Tkr" in the game's data folder (GetResource); the
  // archive tool indexes other paths.
  explicit OResource(std::string path = "Data/Resource.Tkr");
  OResource(const OResource&) = delete;
  OResource& operator=(const OResource&) = delete;

  // Builds the index from the archive's directory. A missing file prints "File was not opened"
  // and returns false with an empty index. Records that are damaged (see ArchiveDirectory.h) are
  // left out, so reading them yields null like a missing name.
  bool Open();
  // The named file's bytes, unscrambled, in a buffer of exactly GetSize(name) bytes owned by the
  // caller; null for a name not in the index, a missing archive or a file that has become shorter
  // since it was indexed. Sets lastSize to the entry's size once the archive is open.
  std::unique_ptr<u8[]> Read(const std::string& name);
  // Why Read gives nothing for that name: the archive could not be opened, the name is not in
  // it (or its record was damaged), or the file has become shorter.
  std::string WhyUnreadable(const std::string& name) const;
  // Bytes of the named file; 0 when the name is not in the index.
  u32 GetSize(const std::string& name) const;

  // Records of the directory that were left out of the index as damaged at the last Open.
  u32 DamagedRecords() const { return damagedRecords; }
  const std::string& Path() const { return path; }

  u8 header[32];
  // Keyed by the lower-cased name; a later record with an equal key replaces an earlier one.
  std::map<std::string, std::unique_ptr<OResourceEntry>> index;
  i32 lastSize;  // dataSize of the most recent Read, -1 before the first

private:
  const OResourceEntry* Find(const std::string& name) const;

  std::string path;
  u32 damagedRecords;
  bool opened = false;  // the last Open found the file
};

// The game's one archive, GameFile("Data/Resource.Tkr"), created on first use (not yet opened)
// and alive until the process ends.
OResource& GetResource();
