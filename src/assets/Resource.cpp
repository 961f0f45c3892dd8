#include "assets/Resource.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "assets/ArchiveDirectory.h"
#include "assets/ArchiveFormat.h"
#include "core/Paths.h"

static_assert(sizeof(OResource::header) == ARCHIVE_HEADER_SIZE, "header size");

OResource::OResource(std::string path) : header{}, lastSize(-1), path(std::move(path)),
                                         damagedRecords(0) {}

bool OResource::Open() {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  opened = static_cast<bool>(in);
  if (!in) {
    std::fputs("File was not opened\n", stdout);
    return false;
  }
  std::uint64_t fileSize = static_cast<std::uint64_t>(in.tellg());
  in.seekg(0);
  OArchiveDirectory dir = ReadArchiveDirectory(in, fileSize);

  std::memcpy(header, dir.header, sizeof header);
  index.clear();
  damagedRecords = dir.truncated ? 1 : 0;
  for (OArchiveRecord& record : dir.records) {
    if (!record.trusted) {
      ++damagedRecords;
      continue;
    }
    auto entry = std::make_unique<OResourceEntry>(
        OResourceEntry{record.recordSize, record.dataSize, record.dataOffset, record.name});
    index[LowerArchiveName(record.name)] = std::move(entry);
  }
  return true;
}

std::string OResource::WhyUnreadable(const std::string& name) const {
  if (!opened) return "the archive " + path + " cannot be opened";
  if (Find(name) == nullptr) return "not in the archive " + path;
  return "cut short in the archive " + path;
}

const OResourceEntry* OResource::Find(const std::string& name) const {
  auto it = index.find(LowerArchiveName(name));
  return it == index.end() ? nullptr : it->second.get();
}

std::unique_ptr<u8[]> OResource::Read(const std::string& name) {
  const OResourceEntry* entry = Find(name);
  if (!entry) return nullptr;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fputs("File was not opened\n", stdout);
    return nullptr;
  }
  lastSize = static_cast<i32>(entry->dataSize);
  // One spare byte keeps the allocation valid for empty files.
  std::unique_ptr<u8[]> bytes(new u8[entry->dataSize + static_cast<size_t>(1)]);
  in.seekg(entry->dataOffset);
  in.read(reinterpret_cast<char*>(bytes.get()), entry->dataSize);
  // The archive may have been replaced by a shorter one since it was indexed: never hand out
  // bytes that were not read.
  if (!in || static_cast<u32>(in.gcount()) != entry->dataSize) return nullptr;
  Unscramble(bytes.get(), entry->dataSize);
  return bytes;
}

u32 OResource::GetSize(const std::string& name) const {
  const OResourceEntry* entry = Find(name);
  return entry ? entry->dataSize : 0;
}

OResource& GetResource() {
  static OResource resource(GameFile("Data/Resource.Tkr"));
  return resource;
}
