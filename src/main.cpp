// The process entry: the run log opens before main and closes at exit; main runs the game.
#include <cstdlib>

#include "app/Entry.h"
#include "core/Log.h"
#include "core/PlayerFiles.h"
#include "app/Odizovid.h"

namespace {

OLog runLog("Report.html");
void CloseRunLog() {
  SetRunLog(nullptr);
  runLog.Close();
}
const int closeRegistered = (SetRunLog(&runLog), std::atexit(CloseRunLog));

}  // namespace

int main(int, char**) {
  (void)closeRegistered;
  // Before anything can save: a second copy of the game plays without writing the player's files.
  OPlayerFilesLock lock(PlayerFileFolders());
  ROdizovid app;
  return RunApplication(app);
}
