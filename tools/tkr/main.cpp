// tkr: the resource archive tool.
//
//   tkr pack ARCHIVE ROOT            stores every regular file under ROOT by its path relative to
//                                    ROOT, with forward slashes ("Data/Textures/Font.Tga")
//   tkr list ARCHIVE                 prints name, size and offset of every entry
//   tkr extract ARCHIVE DEST [NAME...]
//                                    writes the entries (all, or those named; names match as the
//                                    game matches them) under DEST
//
// Exit status 0 on success, 1 when something failed (each failure is reported on standard error),
// 2 for a wrong command line.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "assets/ArchiveDirectory.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::fputs(
      "usage: tkr pack ARCHIVE ROOT\n"
      "       tkr list ARCHIVE\n"
      "       tkr extract ARCHIVE DEST [NAME...]\n",
      stderr);
  return 2;
}

bool ReadWhole(const fs::path& path, std::vector<unsigned char>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int Pack(const std::string& archive, const std::string& root) {
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    std::fprintf(stderr, "tkr: %s is not a folder\n", root.c_str());
    return 1;
  }
  // The archive itself may be written inside ROOT: its old version is never packed into the new.
  fs::path archivePath = fs::absolute(archive, ec);

  std::vector<fs::path> files;
  fs::recursive_directory_iterator it(root, ec), end;
  if (ec) {
    std::fprintf(stderr, "tkr: cannot read %s: %s\n", root.c_str(), ec.message().c_str());
    return 1;
  }
  for (; it != end; it.increment(ec)) {
    if (ec) {
      std::fprintf(stderr, "tkr: cannot read under %s: %s\n", root.c_str(), ec.message().c_str());
      return 1;
    }
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    if (fs::equivalent(it->path(), archivePath, fileEc)) continue;
    files.push_back(it->path());
  }
  // Sorted, so that the same folder always gives the same archive.
  std::vector<OArchiveEntry> entries;
  for (const fs::path& file : files) {
    OArchiveEntry entry;
    entry.name = file.lexically_relative(root).generic_string();
    entries.push_back(std::move(entry));
  }
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return entries[a].name < entries[b].name; });

  std::vector<OArchiveEntry> sorted;
  std::map<std::string, std::string> seen;  // lower-cased name -> first name
  for (size_t i : order) {
    OArchiveEntry& entry = entries[i];
    if (!ReadWhole(files[i], entry.bytes)) {
      std::fprintf(stderr, "tkr: cannot read %s\n", files[i].c_str());
      return 1;
    }
    auto [where, added] = seen.emplace(LowerArchiveName(entry.name), entry.name);
    if (!added)
      std::fprintf(stderr, "tkr: warning: %s and %s differ only in letter case; the game sees %s\n",
                   where->second.c_str(), entry.name.c_str(), entry.name.c_str());
    sorted.push_back(std::move(entry));
  }
  if (!WriteArchive(archive, sorted)) {
    std::fprintf(stderr, "tkr: cannot write %s\n", archive.c_str());
    return 1;
  }
  std::printf("%zu files packed into %s\n", sorted.size(), archive.c_str());
  return 0;
}

bool ReadArchive(const std::string& archive, OArchiveDirectory& dir) {
  std::ifstream in(archive, std::ios::binary | std::ios::ate);
  if (!in) {
    std::fprintf(stderr, "tkr: cannot open %s\n", archive.c_str());
    return false;
  }
  std::uint64_t size = static_cast<std::uint64_t>(in.tellg());
  in.seekg(0);
  dir = ReadArchiveDirectory(in, size);
  if (!dir.headerComplete) {
    std::fprintf(stderr, "tkr: %s is shorter than an archive header\n", archive.c_str());
    return false;
  }
  return true;
}

// Reports damaged records; true when there were none.
bool ReportDamage(const std::string& archive, const OArchiveDirectory& dir) {
  bool clean = true;
  for (const OArchiveRecord& r : dir.records) {
    if (r.trusted) continue;
    std::fprintf(stderr, "tkr: %s: entry %s (offset %u, size %u) reaches past the end of the file\n",
                 archive.c_str(), r.name.c_str(), r.dataOffset, r.dataSize);
    clean = false;
  }
  if (dir.truncated) {
    std::fprintf(stderr, "tkr: %s: the directory is damaged after %zu of %d records\n",
                 archive.c_str(), dir.records.size(), dir.entryCount);
    clean = false;
  }
  return clean;
}

int List(const std::string& archive) {
  OArchiveDirectory dir;
  if (!ReadArchive(archive, dir)) return 1;
  size_t width = 4;
  for (const OArchiveRecord& r : dir.records) width = std::max(width, r.name.size());
  std::printf("%-*s %10s %10s\n", static_cast<int>(width), "name", "size", "offset");
  for (const OArchiveRecord& r : dir.records)
    std::printf("%-*s %10u %10u%s\n", static_cast<int>(width), r.name.c_str(), r.dataSize,
                r.dataOffset, r.trusted ? "" : "  (damaged)");
  return ReportDamage(archive, dir) ? 0 : 1;
}

// A stored name may only lead to a file below DEST: relative, no "." or ".." steps, no empty steps.
bool SafeName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.back() == '/') return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t slash = name.find('/', start);
    if (slash == std::string::npos) slash = name.size();
    std::string step = name.substr(start, slash - start);
    if (step.empty() || step == "." || step == "..") return false;
    start = slash + 1;
  }
  return true;
}

int Extract(const std::string& archive, const std::string& dest,
            const std::vector<std::string>& names) {
  OArchiveDirectory dir;
  if (!ReadArchive(archive, dir)) return 1;
  int status = ReportDamage(archive, dir) ? 0 : 1;
  OResource resource(archive);
  resource.Open();

  std::vector<const OResourceEntry*> chosen;
  if (names.empty()) {
    for (const auto& [key, entry] : resource.index) chosen.push_back(entry.get());
  } else {
    for (const std::string& name : names) {
      auto it = resource.index.find(LowerArchiveName(name));
      if (it == resource.index.end()) {
        std::fprintf(stderr, "tkr: %s holds no entry named %s\n", archive.c_str(), name.c_str());
        status = 1;
        continue;
      }
      chosen.push_back(it->second.get());
    }
  }
  for (const OResourceEntry* entry : chosen) {
    if (!SafeName(entry->name)) {
      std::fprintf(stderr, "tkr: refusing to extract %s: not a plain relative path\n",
                   entry->name.c_str());
      status = 1;
      continue;
    }
    std::unique_ptr<u8[]> bytes = resource.Read(entry->name);
    if (!bytes) {
      std::fprintf(stderr, "tkr: cannot read %s from %s\n", entry->name.c_str(), archive.c_str());
      status = 1;
      continue;
    }
    fs::path target = fs::path(dest) / entry->name;
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.get()),
              static_cast<std::streamsize>(entry->dataSize));
    out.close();
    if (!out) {
      std::fprintf(stderr, "tkr: cannot write %s\n", target.c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1];
  try {
    if (command == "pack" && argc == 4) return Pack(argv[2], argv[3]);
    if (command == "list" && argc == 3) return List(argv[2]);
    if (command == "extract" && argc >= 4)
      return Extract(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
  } catch (const std::exception& e) {
    // Out of memory or a file-system error the checks above did not foresee.
    std::fprintf(stderr, "tkr: %s\n", e.what());
    return 1;
  }
  return Usage();
}
