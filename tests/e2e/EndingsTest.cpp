// The real program on a private virtual display, its window closed from outside.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

const std::vector<std::pair<std::string, std::string>> kQuiet = {{"SDL_AUDIODRIVER", "dummy"}};

// Closed while loading or on the menu by a window manager, destroyed by another program or its
// connection dropped (xkill), the game quits normally: status 0, settings saved, log closed.
TEST(Endings, WindowClosesEachExitZero) {
  PrivateDisplay display(1024, 768);
  if (!display.Ok()) SKIP_OR_FAIL_IN_CI("needs Xvfb");
  ScratchDir dir;
  WriteFile("Data/Config.Cfg", "0\n32\n10\n2\n0\n0\n65000\n50\n150\n0\n0\n0\n0\n0\n0");
  ASSERT_TRUE(LinkGameData());
  // Ten closes in every suite run; BRIKON_CLOSE_RUNS=50 asks for the long run.
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
    // Destroyed as tools that close windows by force do, or the owner's connection dropped (xkill).
    const bool sent = kind == 0 ? RequestWindowClose(std::stoul(id, nullptr, 0))
                                : RunCommand("xdotool window" + std::string(kind == 1 ? "close " : "kill ") + id,
                                             nullptr, 10) == 0;
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
