// brikon-content: builds the game's content from the sources in content/ and the generators here.
//
//   brikon-content dump CONTENT_DIR OUT_DIR [pictures|models|music|sounds]
//       writes every generated file (or those of one generator) loose under OUT_DIR, by the name
//       the game loads it under, for inspection and tests.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "Content.h"

namespace {

// Creates every folder on the way to a file.
void MakeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i)
    if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

bool WriteLoose(const std::string& root, const OContentFile& file) {
  std::string path = root + "/" + file.name;
  MakeParents(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.bytes.data()),
            static_cast<std::streamsize>(file.bytes.size()));
  return static_cast<bool>(out);
}

int Usage() {
  std::fprintf(stderr,
               "usage: brikon-content dump CONTENT_DIR OUT_DIR [pictures|models|music|sounds]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  std::string command = argv[1];
  OContentContext context{argv[2]};
  std::string out = argv[3];
  std::string only = argc > 4 ? argv[4] : "";

  if (command == "dump") {
    std::vector<OContentFile> files;
    if (only.empty() || only == "pictures") BuildPictures(context, files);
    if (only.empty() || only == "models") BuildModels(context, files);
    if (only.empty() || only == "music") BuildMusic(context, files);
    if (only.empty() || only == "sounds") BuildSounds(context, files);
    for (const OContentFile& f : files) {
      if (!WriteLoose(out, f)) {
        std::fprintf(stderr, "brikon-content: cannot write %s/%s\n", out.c_str(), f.name.c_str());
        return 1;
      }
    }
    std::printf("%zu files\n", files.size());
    return 0;
  }
  return Usage();
}
