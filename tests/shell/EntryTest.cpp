#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

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
  std::string cmd = "GALLIUM_DRIVER=softpipe SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" +
                    kGame + "'";
  std::string out;
  EXPECT_EQ(RunCommand(cmd, &out), 1) << out;
  EXPECT_NE(out.find("hardware acceleration of OpenGL is unavailable"), std::string::npos) << out;
  EXPECT_EQ(RunCommand(cmd, &out), 1);  // a second run leaves only itself in the log
  std::string log = ReadFile("Report.html");
  EXPECT_EQ(Count(log, "Log file opened"), 1);
  EXPECT_EQ(Count(log, "Log file closed"), 1);
  EXPECT_NE(log.find("Total Errors = 0\n"), std::string::npos);
}

// The real program under the virtual display: a window titled "Brikon 3D 2.0" that reaches the
// main menu with its music playing (recorded through SDL's disk driver), and quits with status 0
// when a window manager's close button asks it to.
TEST(Entry, StartsToMenuAndClosesCleanly) {
  if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
  ScratchDir dir;
  WriteFile("Data/Config.Cfg", "0\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n0\n0");
  ASSERT_TRUE(LinkGameData());
  RunningGame game({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", "audio.raw"}});
  ASSERT_TRUE(game.Started());
  std::string geometry;
  std::string id = game.FindWindow("^Brikon 3D 2.0$", &geometry);
  ASSERT_FALSE(id.empty()) << "no window appeared";
  EXPECT_NE(geometry.find("Width: 640"), std::string::npos) << geometry;

  bool heard = false;
  for (int i = 0; i < 100 && !heard; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string audio = ReadFile("audio.raw");
    for (size_t k = 0; k + 1 < audio.size() && !heard; k += 2)
      heard = std::abs(static_cast<int16_t>((static_cast<u8>(audio[k + 1]) << 8) |
                                            static_cast<u8>(audio[k]))) > 200;
  }
  EXPECT_TRUE(heard) << "no menu music";

  ASSERT_TRUE(RequestWindowClose(std::stoul(id)));
  int status = 0;
  ASSERT_TRUE(game.WaitForExit(&status)) << "the game did not quit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(ReadFile("Report.html").find("Log file closed"), std::string::npos);
}

// The real program without its archive: the generic message and exit status 3 (no X display, so
// the box returns at once), and the run log still closes.
TEST(Entry, MissingArchiveEndsWithStatus3) {
  ScratchDir dir;
  WriteFile("Data/Config.Cfg", "0\n32\n10\n2\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0");
  std::string out;
  EXPECT_EQ(RunCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" + kGame + "'", &out), 3)
      << out;
  EXPECT_NE(out.find("Error: Game files are missing or corrupted."), std::string::npos) << out;
  EXPECT_NE(ReadFile("Report.html").find("Log file closed"), std::string::npos);
}
