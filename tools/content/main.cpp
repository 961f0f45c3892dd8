// brikon-content: builds the game's content from the sources in content/ and the generators here.
//
//   brikon-content build CONTENT_DIR GAME_DIR
//       writes GAME_DIR/Data/Resource.Tkr (pictures, models and music) and the sound effects
//       loose under GAME_DIR/Data/Sounds/. The normal build runs this.
//   brikon-content dump CONTENT_DIR OUT_DIR [pictures|models|music|sounds]
//       writes every generated file (or those of one generator) loose under OUT_DIR, by the name
//       the game loads it under, for inspection and tests.
//   brikon-content icons OUT_DIR
//       writes the desktop icon as OUT_DIR/{48x48,128x128,256x256}/apps/brikon3d.png (the layout
//       of the hicolor icon theme), for installing.
//   brikon-content sheet OUT.jpg [GAME_DIR]
//       draws every texture of GAME_DIR/Data/Resource.Tkr (default: the build's game folder)
//       through the game's loaders into one picture. Needs a display.
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "Content.h"
#include "assets/ArchiveWriter.h"
#include "pictures/Icon.h"
#include "sheet/Sheet.h"

namespace {

// Creates every folder on the way to a file.
void MakeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i)
    if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

// Writes through a temporary file and a rename, so that an interrupted build never leaves a
// half-written file that a later build would take as up to date.
bool WriteLoose(const std::string& root, const OContentFile& file) {
  std::string path = root + "/" + file.name;
  std::string temporary = path + ".part";
  MakeParents(path);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()),
              static_cast<std::streamsize>(file.bytes.size()));
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A generated name must be a relative path under Data/ without "." or ".." parts or empty parts,
// since it becomes a path on disk (dump, sounds) and a name the game looks up.
bool SafeName(const std::string& name) {
  if (name.compare(0, 5, "Data/") != 0) return false;
  size_t start = 0;
  for (;;) {
    size_t slash = name.find('/', start);
    std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (part.find('\\') != std::string::npos || part.find('\0') != std::string::npos) return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

// Every name safe, and no two equal when letter case is ignored (the archive ignores it, so one
// would hide the other).
bool CheckNames(const std::vector<OContentFile>& files) {
  std::map<std::string, std::string> seen;
  bool ok = true;
  for (const OContentFile& f : files) {
    if (!SafeName(f.name)) {
      std::fprintf(stderr, "brikon-content: unusable file name \"%s\"\n", f.name.c_str());
      ok = false;
      continue;
    }
    auto inserted = seen.emplace(Lower(f.name), f.name);
    if (!inserted.second) {
      std::fprintf(stderr, "brikon-content: \"%s\" and \"%s\" name the same file\n",
                   inserted.first->second.c_str(), f.name.c_str());
      ok = false;
    }
  }
  return ok;
}

int Usage() {
  std::fprintf(stderr,
               "usage: brikon-content build CONTENT_DIR GAME_DIR\n"
               "       brikon-content dump CONTENT_DIR OUT_DIR [pictures|models|music|sounds]\n"
               "       brikon-content icons OUT_DIR\n"
               "       brikon-content sheet OUT.jpg [GAME_DIR]\n");
  return 2;
}

int Build(const OContentContext& context, const std::string& gameDir) {
  std::vector<OContentFile> archived, loose;
  BuildPictures(context, archived);
  BuildModels(context, archived);
  BuildMusic(context, archived);
  BuildSounds(context, loose);
  std::vector<OContentFile> all = archived;
  all.insert(all.end(), loose.begin(), loose.end());
  if (!CheckNames(all)) return 1;

  std::vector<OArchiveEntry> entries;
  entries.reserve(archived.size());
  for (OContentFile& f : archived) entries.push_back(OArchiveEntry{f.name, std::move(f.bytes)});
  std::string archivePath = gameDir + "/Data/Resource.Tkr";
  MakeParents(archivePath);
  if (!WriteArchive(archivePath, entries)) {
    std::fprintf(stderr, "brikon-content: cannot write %s\n", archivePath.c_str());
    return 1;
  }
  for (const OContentFile& f : loose) {
    if (!WriteLoose(gameDir, f)) {
      std::fprintf(stderr, "brikon-content: cannot write %s/%s\n", gameDir.c_str(), f.name.c_str());
      return 1;
    }
  }
  std::printf("brikon-content: %zu archived files, %zu loose files\n", entries.size(), loose.size());
  return 0;
}

int Dump(const OContentContext& context, const std::string& out, const std::string& only) {
  if (!only.empty() && only != "pictures" && only != "models" && only != "music" && only != "sounds")
    return Usage();
  std::vector<OContentFile> files;
  if (only.empty() || only == "pictures") BuildPictures(context, files);
  if (only.empty() || only == "models") BuildModels(context, files);
  if (only.empty() || only == "music") BuildMusic(context, files);
  if (only.empty() || only == "sounds") BuildSounds(context, files);
  if (!CheckNames(files)) return 1;
  for (const OContentFile& f : files) {
    if (!WriteLoose(out, f)) {
      std::fprintf(stderr, "brikon-content: cannot write %s/%s\n", out.c_str(), f.name.c_str());
      return 1;
    }
  }
  std::printf("%zu files\n", files.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "sheet" && argc <= 4)
    return WriteContactSheet(argc == 4 ? argv[3] : BRIKON_CONTENT_GAME_DIR, argv[2]);
  if (argc == 3 && std::string(argv[1]) == "icons")
    return WriteIcons(argv[2], {48, 128, 256}) ? 0 : 1;
  if (argc < 4) return Usage();
  std::string command = argv[1];
  OContentContext context{argv[2]};
  if (command == "build" && argc == 4) return Build(context, argv[3]);
  if (command == "dump" && argc <= 5) return Dump(context, argv[3], argc > 4 ? argv[4] : "");
  return Usage();
}
