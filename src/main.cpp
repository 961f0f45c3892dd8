// The process entry: reads the command line, finds the game's data and the player's folders,
// opens the run log (closed at exit), then runs the game.
#include <limits.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Entry.h"
#include "app/Odizovid.h"
#include "core/Config.h"
#include "core/Log.h"
#include "core/Paths.h"
#include "core/PlayerFiles.h"
#include "core/RunOptions.h"

namespace {

OLog* runLog = nullptr;
void CloseRunLog() {
  SetRunLog(nullptr);
  runLog->Close();
}

// A folder given on the command line, made absolute while the working folder is the one it was
// given in; as given when it does not exist (the missing-files message follows).
std::string Absolute(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) != nullptr ? std::string(buf) : path;
}

}  // namespace

int main(int argc, char** argv) {
  const OCommandLine line = ParseCommandLine(argc, argv);
  switch (line.action) {
    case OCommandLine::HELP:
      std::fputs(kUsage, stdout);
      return 0;
    case OCommandLine::VERSION:
      std::printf("%s\n", kVersionText);
      return 0;
    case OCommandLine::BAD:
      std::fprintf(stderr, "brikon3d: %s\n%s", line.error.c_str(), kUsage);
      return 2;
    case OCommandLine::PLAY:
      break;
  }
  GetRunOptions() = line.run;

  std::string dataDir;
  if (!line.dataDir.empty()) {
    dataDir = Absolute(line.dataDir);
  } else {
    const std::string exeDir = ExecutableDir();
    dataDir = exeDir.empty() ? "Data" : FindGameDataDir(exeDir);
  }
  SetGameDataDir(dataDir);
  SetUserFolders(FindUserFolders(dataDir));
  const std::vector<std::string> problems = PrepareUserFolders();

  static OLog log(LogFilePath().c_str());
  runLog = &log;
  SetRunLog(&log);
  std::atexit(CloseRunLog);
  // Said once, here; afterwards whatever cannot be saved is simply not written.
  for (const std::string& problem : problems) {
    log.Note(problem);
    std::fprintf(stderr, "brikon3d: %s\n", problem.c_str());
  }
  GetConfig().fileName = ConfigFilePath();

  // Before anything can save: a second copy of the game plays without writing the player's files.
  OPlayerFilesLock lock(PlayerFileFolders());
  ROdizovid app;
  return RunApplication(app);
}
