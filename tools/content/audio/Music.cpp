// The game's music: eight pieces composed as text scores in content/music/, turned into tracker
// modules with instruments synthesised here. Six are XM, one IT, and the menu piece a 4-channel MOD.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Content.h"
#include "audio/ItWriter.h"
#include "audio/ModWriter.h"
#include "audio/Song.h"
#include "audio/XmWriter.h"

namespace {

struct OPiece {
  const char* score;   // file under content/music/
  const char* module;  // name in the archive
};

const OPiece kPieces[] = {
    {"popcorn.score", "Data/Music/01_Popcorn.Xm"},
    {"magnitude.score", "Data/Music/02_Magnitude.It"},
    {"believing.score", "Data/Music/04_Believing.Xm"},
    {"modern.score", "Data/Music/05_Modern.Xm"},
    {"otis.score", "Data/Music/06_Otis.Xm"},
    {"star.score", "Data/Music/07_Star.Xm"},
    {"madsad.score", "Data/Music/08_Madsad.Xm"},
    {"menu.score", "Data/Music/MegaMix_Menu.Mod"},
};

// A broken score must stop the content build: a game without its music would only be found out
// by ear.
[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "brikon-content: music: %s\n", what.c_str());
  std::exit(1);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void BuildMusic(const OContentContext& context, std::vector<OContentFile>& archive) {
  for (const OPiece& piece : kPieces) {
    std::string path = context.contentDir + "/music/" + piece.score;
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    OSong song;
    std::string error;
    if (!ParseScore(text.str(), song, error)) Fail(path + ": " + error);
    OContentFile file{piece.module, {}};
    std::string name = piece.module;
    bool ok = EndsWith(name, ".Xm")   ? WriteXm(song, file.bytes, error)
              : EndsWith(name, ".It") ? WriteIt(song, file.bytes, error)
                                      : WriteMod(song, file.bytes, error);
    if (!ok) Fail(path + ": " + error);
    archive.push_back(std::move(file));
  }
}
