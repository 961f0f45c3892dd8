// levelc: the level compiler. Reads the episode files of content/levels/, checks that every level
// can be played, and writes the byte tables the game holds as C++ source.
//
//   levelc compile OUT_DIR FILE...   writes OUT_DIR/LevelData.h and OUT_DIR/LevelData.cpp; the
//                                    files must hold episodes 0..5, each once
//   levelc check FILE...             reads and checks only
//   levelc stats BRICKS FILE...      what each level asks of the player (hits from BRICKS, the
//                                    text of content/bricks.txt), for balancing the designs: its
//                                    hit budget (the hits that clear it) and, for a corridor
//                                    stage, the hits per second of the stage's timer
//
// Any fault is reported as "file:line:column: message" and ends with exit status 1.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LevelFile.h"
#include "playfield/LevelCheck.h"

namespace {

constexpr i32 EPISODES = 6;

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

// Writes a file only when its text changed, so that a rebuild with the same levels recompiles
// nothing.
bool WriteIfChanged(const std::string& path, const std::string& text) {
  std::string old;
  if (ReadText(path, old) && old == text) return true;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

bool Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return false;
}

bool ReadAll(int first, int argc, char** argv, std::vector<OEpisodeFile>& files) {
  for (int i = first; i < argc; ++i) {
    std::string text, error;
    if (!ReadText(argv[i], text)) return Fail(std::string(argv[i]) + ":0:0: cannot read the file");
    OEpisodeFile file;
    if (!ReadEpisodeFile(argv[i], text, file, error) || !ValidateEpisode(file, error))
      return Fail(error);
    files.push_back(std::move(file));
  }
  return true;
}

std::string TableName(i32 episode) { return "LEVEL_BYTES_" + std::to_string(episode); }
std::string NamesName(i32 episode) { return "LEVEL_NAMES_" + std::to_string(episode); }

// A level's name as a C string literal.
std::string Quoted(const std::string& text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

std::string Header(const std::vector<const OEpisodeFile*>& byEpisode) {
  std::ostringstream h;
  h << "#pragma once\n"
       "// Written by levelc from content/levels/: edit the level files, not this.\n"
       "// One byte table per episode, one cell code per byte, in the order level (or corridor\n"
       "// layer), layer, row, column.\n"
       "#include \"core/Types.h\"\n\n";
  for (i32 e = 0; e < EPISODES; ++e)
    h << "extern const u8 " << TableName(e) << "[" << byEpisode[e]->bytes.size() << "];\n";
  h << "\n// The names of the levels (classic) or stages (corridor) of each episode, in play order.\n";
  for (i32 e = 0; e < EPISODES; ++e)
    h << "extern const char* const " << NamesName(e) << "[" << byEpisode[e]->levels.size() << "];\n";
  return h.str();
}

std::string Source(const std::vector<const OEpisodeFile*>& byEpisode) {
  std::ostringstream s;
  s << "// Written by levelc from content/levels/: edit the level files, not this.\n"
       "#include \"playfield/LevelData.h\"\n";
  for (i32 e = 0; e < EPISODES; ++e) {
    const OEpisodeFile& file = *byEpisode[e];
    const size_t layerSize = static_cast<size_t>(file.n) * file.n;
    s << "\n// " << file.path << "\nconst u8 " << TableName(e) << "[" << file.bytes.size()
      << "] = {\n";
    size_t at = 0;
    for (const OLevelText& level : file.levels) {
      s << "  // " << (file.corridor ? "stage" : "level") << " \"" << level.name << "\"\n";
      for (i32 layer = 0; layer < level.layers; ++layer) {
        s << " ";
        for (size_t k = 0; k < layerSize; ++k) s << " " << static_cast<int>(file.bytes[at++]) << ",";
        s << "\n";
      }
    }
    s << "};\n";
    s << "const char* const " << NamesName(e) << "[" << file.levels.size() << "] = {\n";
    for (const OLevelText& level : file.levels) s << "  " << Quoted(level.name) << ",\n";
    s << "};\n";
  }
  return s.str();
}

int Compile(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string outDir = argv[2];
  std::vector<OEpisodeFile> files;
  if (!ReadAll(3, argc, argv, files)) return 1;
  std::vector<const OEpisodeFile*> byEpisode(EPISODES, nullptr);
  for (const OEpisodeFile& f : files) {
    if (byEpisode[f.episode]) {
      Fail(f.path + ":1:0: episode " + std::to_string(f.episode) + " is also in " +
           byEpisode[f.episode]->path);
      return 1;
    }
    byEpisode[f.episode] = &f;
  }
  for (i32 e = 0; e < EPISODES; ++e)
    if (!byEpisode[e]) {
      Fail("levelc: no level file holds episode " + std::to_string(e));
      return 1;
    }
  if (!WriteIfChanged(outDir + "/LevelData.h", Header(byEpisode)) ||
      !WriteIfChanged(outDir + "/LevelData.cpp", Source(byEpisode))) {
    Fail("levelc: cannot write into " + outDir);
    return 1;
  }
  return 0;
}

int Stats(int argc, char** argv) {
  if (argc < 4) return 2;
  std::string text, error;
  std::vector<i32> hits;
  if (!ReadText(argv[2], text)) return Fail(std::string(argv[2]) + ":0:0: cannot read"), 1;
  if (!ParseBrickHits(text, hits, error)) return Fail(std::string(argv[2]) + ": " + error), 1;
  std::vector<OEpisodeFile> files;
  if (!ReadAll(3, argc, argv, files)) return 1;
  for (const OEpisodeFile& file : files) {
    const double timerS = StageTimeMs(file.episode) / 1000.0;
    std::printf("episode %d (%s)\n  # bricks  hits  multi  solid%s  name\n", file.episode,
                file.path.c_str(), file.corridor ? "  hits/s" : "");
    const i32 layerSize = file.n * file.n;
    i32 layer = 0, index = 0;
    for (const OLevelText& level : file.levels) {
      const OLevelStats st = MeasureCells(file.bytes.data() + static_cast<size_t>(layer) * layerSize,
                                          level.layers * layerSize, hits);
      std::printf("  %2d %6d %5d %6d %6d", index++, st.breakable, st.hits, st.multiHit, st.unbreakable);
      if (file.corridor) std::printf("  %6.2f", st.hits / timerS);
      std::printf("  %s\n", level.name.c_str());
      layer += level.layers;
    }
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: levelc compile OUT_DIR FILE...\n"
               "       levelc check FILE...\n"
               "       levelc stats BRICKS FILE...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  int status = 2;
  if (command == "compile") status = Compile(argc, argv);
  else if (command == "check") {
    std::vector<OEpisodeFile> files;
    status = ReadAll(2, argc, argv, files) ? 0 : 1;
  } else if (command == "stats") status = Stats(argc, argv);
  return status == 2 ? Usage() : status;
}
