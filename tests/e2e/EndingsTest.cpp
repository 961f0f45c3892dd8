// The real program on a private virtual display, ended the ways a player ends it: the window
// closed as a window manager closes it, and a score that cannot be saved at the name prompt.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

// Settings for a small windowed game without sound: 640x480, and a resume record as given.
std::string Settings(const std::string& record) {
  return "0\n32\n10\n2\n0\n0\n65000\n50\n150\n0\n" + record;
}

const std::vector<std::pair<std::string, std::string>> kQuiet = {{"SDL_AUDIODRIVER", "dummy"}};

}  // namespace

// Window closes in a row, at every moment from the loading picture to the menu, each quitting
// through the normal path with status 0, the settings saved and a closed run log: in turn as a
// window manager closes a window, by another program destroying it (the game, drawing on, meets
// X errors on its window), and by the server dropping the game's connection (xkill); Xlib's own
// handlers would end the last two with status 1 and nothing saved.
TEST(Endings, WindowClosesEachExitZero) {
  PrivateDisplay display(1024, 768);
  if (!display.Ok()) GTEST_SKIP() << "needs Xvfb";
  ScratchDir dir;
  WriteFile("Data/Config.Cfg", Settings("0\n0\n0\n0\n0"));
  ASSERT_TRUE(LinkGameData());
  // Ten closes (one at each moment of the start) in every suite run; BRIKON_CLOSE_RUNS=50 asks
  // for the long run, which takes over a minute on a loaded machine.
  const char* asked = std::getenv("BRIKON_CLOSE_RUNS");
  const int runs = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 10;
  int failed = 0;
  for (int run = 0; run < runs && failed < 3; ++run) {
    const int kind = run % 3;  // 0 close, 1 destroy, 2 kill
    std::remove("Data/Settings.Cfg");
    RunningGame game(kQuiet);
    ASSERT_TRUE(game.Started());
    const std::string id = game.FindWindow("^Brikon 3D");
    ASSERT_FALSE(id.empty()) << "run " << run << ": no window in 30 s\n" << ReadFile("game.log");
    SleepMs(run % 10 * 150);  // while it loads, draws its first frames, or shows the menu
    const unsigned long window = std::stoul(id, nullptr, 0);
    const bool sent = kind == 0 ? RequestWindowClose(window)
                                : DestroyWindowFromOutside(window, kind == 2);
    ASSERT_TRUE(sent) << "run " << run << ": the display did not take the close within 10 s";
    int status = 0;
    ASSERT_TRUE(game.WaitForExit(&status)) << "run " << run << " did not end";
    const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    EXPECT_TRUE(clean) << "run " << run << " (kind " << kind << "): status " << status << "\n"
                       << ReadFile("game.log");
    if (!clean) ++failed;
    EXPECT_TRUE(FileExists("Data/Settings.Cfg")) << "run " << run << ": settings not saved";
    EXPECT_NE(ReadFile("Report.html").find("Total Errors = 0"), std::string::npos) << run;
  }
}

// A score that cannot be saved (a folder stands where the classic table's file goes, which no
// one can replace, as on a full disk): at the name prompt the player sees the failure line along
// the bottom, the log names the file and why, and what is left is consistent: the finished game
// is not resumable, the folder is untouched, and the game still quits cleanly.
TEST(Endings, AScoreThatCannotBeSavedIsToldAndLeavesAConsistentState) {
  PrivateDisplay display(1024, 768);
  if (!display.Ok()) GTEST_SKIP() << "needs Xvfb";
  if (RunCommand("command -v xdotool && command -v import && command -v compare") != 0)
    GTEST_SKIP() << "needs xdotool and ImageMagick";
  ScratchDir dir;
  // A game to continue: classic easy, second level, 5000 points, the last life.
  WriteFile("Data/Config.Cfg", Settings("0\n5000\n1\n0\n1"));
  ASSERT_EQ(mkdir("Data/Classic.Top", 0755), 0);
  ASSERT_TRUE(LinkGameData());
  RunningGame game(kQuiet);
  ASSERT_TRUE(game.Started());
  const std::string id = game.FindWindow("^Brikon 3D");
  ASSERT_FALSE(id.empty()) << ReadFile("game.log");
  auto run = [&](const std::string& args) { RunCommand("xdotool " + args); };
  const std::string window = " --window " + id + " ";
  SleepMs(4000);  // the menu
  // Continue (overlay point 255, 351 of the 640x480 window), then launch the ball and take the
  // bat away to a corner: the last life goes, and any key cuts the game-over scene short.
  run("mousemove" + window + "319 151 sleep 0.2 click 1");
  SleepMs(3000);
  run("mousemove" + window + "320 240 sleep 0.2 click 1 sleep 0.3 mousemove" + window + "5 5");
  for (int i = 0; i < 10; ++i) {
    SleepMs(2000);
    run("key" + window + "F1");
  }
  // The name prompt: a name, a picture of the bottom rows, Enter, the bottom rows again.
  run("type" + window + "Zed");
  SleepMs(500);
  const std::string bottom = " -crop 640x40+0+440 +repage ";
  RunCommand("import -window " + id + bottom + "before.png");
  run("key" + window + "Return");
  SleepMs(1000);
  RunCommand("import -window " + id + bottom + "after.png");
  EXPECT_GT(DifferingPixels("before.png", "after.png"), 300.0) << "no failure line along the bottom";

  run("key" + window + "Escape");
  SleepMs(1000);
  ASSERT_TRUE(RequestWindowClose(std::stoul(id, nullptr, 0)));
  int status = 0;
  ASSERT_TRUE(game.WaitForExit(&status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile("game.log");

  struct stat st;
  ASSERT_EQ(stat("Data/Classic.Top", &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  const std::vector<std::string> config = Lines(ReadFile("Data/Config.Cfg"));
  ASSERT_EQ(config.size(), 15u) << ReadFile("Data/Config.Cfg");
  EXPECT_EQ(config[14], "0") << "the finished game can still be resumed";
  const std::string log = ReadFile("Report.html");
  EXPECT_NE(log.find("Data/Classic.Top: Scores not saved: Is a directory"), std::string::npos)
      << log << ReadFile("game.log");
  EXPECT_NE(log.find("Total Errors = 1"), std::string::npos) << log;
}
