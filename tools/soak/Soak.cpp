// brikon-soak: a long run of the whole game, for what only shows after hours: leaks, memory that
// creeps up level after level, state that goes bad after many games. The real application (every
// screen, sound and music on SDL's output) plays all six episodes with the autoplayer.
//   brikon-soak [--minutes M] [--drawn S] [--every S] [--csv FILE] [--game DIR] [--seed N]
//               [--rounds R]
//     --minutes  game time of the whole run (default 60); at least this much is played
//     --drawn    game seconds drawn to the window at the start of each episode (default 60)
//     --every    game seconds between two rows of the CSV log (default 10)
//     --csv      the log: game time, episode, level, ticks, resident memory (default soak.csv)
//     --game     the game folder whose Data/ holds the archive and sounds (default .)
//     --seed     the autoplayer's first seed (default 1)
//     --rounds   times the six episodes are played in the run's time (default 1); 2 or more
//                show whether memory stays flat once every episode has been played
// It plays in a temporary folder of its own (settings and high scores are written there) and needs
// a display. Exit status 0 when there was no error and memory stayed flat after the first level
// (with --rounds 2 or more: after every episode's first play), 1 after an error, 2 when only the
// memory grew, 3 when the run could not start.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SoakRecord.h"
#include "SoakRun.h"
#include "core/Exception.h"
#include "core/MessageBox.h"
#include "app/Odizovid.h"

namespace fs = std::filesystem;

namespace {

OSoakRecord* messageRecord = nullptr;

// A message box in the middle of the soak is a failure the game reported: counted, never shown
// (a box would wait for a click that never comes).
void RecordMessage(const std::string& text, const std::string& title, u32) {
  if (messageRecord != nullptr) messageRecord->Error("message box \"" + title + "\": " + text);
}

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && value >= 0.0;
}

int Usage() {
  std::fprintf(stderr, "usage: brikon-soak [--minutes M] [--drawn S] [--every S] [--csv FILE] "
                       "[--game DIR] [--seed N] [--rounds R]\n");
  return 3;
}

// The settings of the run: the first resolution in a window, sound and music on, the default
// game speed, no game to resume.
void WriteSettings() {
  std::ofstream("Data/Config.Cfg") << "0\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n0\n0";
}

}  // namespace

int main(int argc, char** argv) {
  OSoakOptions options;
  std::string csvPath = "soak.csv";
  std::string gameDir = ".";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    double number = 0.0;
    if (arg == "--csv") {
      csvPath = value;
    } else if (arg == "--game") {
      gameDir = value;
    } else if (!ParseNumber(value, number)) {
      return Usage();
    } else if (arg == "--minutes") {
      options.minutes = number;
    } else if (arg == "--drawn") {
      options.drawnSeconds = number;
    } else if (arg == "--every" && number > 0.0) {
      options.everySeconds = number;
    } else if (arg == "--seed") {
      options.seed = static_cast<u32>(number);
    } else if (arg == "--rounds" && number >= 1.0) {
      options.rounds = static_cast<u32>(number);
    } else {
      return Usage();
    }
  }
  std::error_code ec;
  const fs::path data = fs::absolute(gameDir, ec) / "Data";
  if (!fs::exists(data / "Resource.Tkr")) {
    std::fprintf(stderr, "brikon-soak: no Data/Resource.Tkr in %s\n", gameDir.c_str());
    return 3;
  }
  OSoakRecord record(fs::absolute(csvPath, ec).string());
  if (!record.ok) {
    std::fprintf(stderr, "brikon-soak: cannot write %s\n", csvPath.c_str());
    return 3;
  }

  char folder[] = "/tmp/brikon_soak_XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) return 3;
  fs::create_directory("Data");
  fs::create_symlink(data / "Resource.Tkr", "Data/Resource.Tkr");
  if (fs::exists(data / "Sounds")) fs::create_directory_symlink(data / "Sounds", "Data/Sounds");
  WriteSettings();

  messageRecord = &record;
  SetMessageSink(RecordMessage);
  std::printf("soak: %.1f min of game, %.0f s drawn per episode, a row every %.0f s in %s\n",
              options.minutes, options.drawnSeconds, options.everySeconds, csvPath.c_str());
  std::fflush(stdout);
  {
    ROdizovid app;
    try {
      if (app.Create("3D", "Brikon 3D soak", 640, 480, false) && app.Load()) {
        OSoakRun run(app, options, record);
        run.Run();
      } else {
        record.Error("the application did not start");
      }
    } catch (const OException& e) {
      record.Error("exception: " + e.message);
    }
    app.Unload();
  }
  SetMessageSink(nullptr);
  messageRecord = nullptr;
  fs::remove_all(folder, ec);

  const bool good = record.Summary(stdout);
  if (!record.errors.empty()) return 1;
  return good ? 0 : 2;
}
