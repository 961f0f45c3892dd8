// The program's way from start to menu to Exit is the player's journey test's; closing the window
// is the main loop's test's. Here: the ways it ends early.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

const std::string kGame = BRIKON_GAME_DIR "/brikon3d";

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

}  // namespace

// The real program on a software-only OpenGL (no X display, so the box returns at once): the
// driver message, exit status 1, and a run log that still has its closing block.
TEST(Entry, SoftwareOpenGLEndsWithStatus1) {
  ScratchDir dir;
  std::string cmd = "GALLIUM_DRIVER=softpipe SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                    GameCommand();
  std::string out;
  EXPECT_EQ(RunCommand(cmd, &out), 1) << out;
  EXPECT_NE(out.find("hardware acceleration of OpenGL is unavailable"), std::string::npos) << out;
  EXPECT_EQ(RunCommand(cmd, &out), 1);  // a second run leaves only itself in the log
  std::string log = ReadFile("home/.local/state/brikon3d/Report.html");
  EXPECT_EQ(Count(log, "Log file opened"), 1);
  EXPECT_EQ(Count(log, "Log file closed"), 1);
  EXPECT_NE(log.find("Total Errors = 0\n"), std::string::npos);
}

// The real program without its archive: the generic message and exit status 3 (no X display, so
// the box returns at once), and the run log still closes.
TEST(Entry, MissingArchiveEndsWithStatus3) {
  ScratchDir dir;
  WriteFile("Data/Config.Cfg", "0\n32\n10\n2\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0");
  std::string out;
  EXPECT_EQ(RunCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " + GameCommand(), &out), 3)
      << out;
  EXPECT_NE(out.find("Error: Game files are missing or corrupted."), std::string::npos) << out;
  EXPECT_NE(ReadFile("Report.html").find("Log file closed"), std::string::npos);
}
