#pragma once
// The game's command line: a few options for this run only, as Linux games have them.
#include <string>

#include "core/RunOptions.h"

struct OCommandLine {
  enum Action { PLAY, HELP, VERSION, BAD };
  Action action = PLAY;
  ORunOptions run;      // --windowed, --fullscreen, --resolution N
  std::string dataDir;  // --data DIR; "" for the folder found beside the executable
  std::string error;    // what was wrong, for BAD
};

// Reads argv[1..argc-1]. Options: --help (-h), --version, --windowed, --fullscreen,
// --resolution 0|1|2, --data DIR (values also as --option=value). An option given twice: the
// last wins. Anything else, a missing value or a bad one gives BAD with the reason; a BAD
// anywhere outweighs --help and --version.
OCommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text printed by --help (to standard output) and after a bad option (to standard
// error).
extern const char* const kUsage;
// "Brikon 3D 2.0", printed by --version.
extern const char* const kVersionText;
