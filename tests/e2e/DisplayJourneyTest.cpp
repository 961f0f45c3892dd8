// The real program on a 16:9 display under openbox: Alt+Enter to full screen and back, resized.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

struct Geometry {
  int x, y, w, h;
};

// The window's client area on the screen (xwininfo), once it has the size asked for (up to ~10 s).
Geometry WaitForSize(const std::string& id, int w, int h) {
  Geometry g{-1, -1, 0, 0};
  for (int i = 0; i < 100 && !(g.w == w && g.h == h); ++i) {
    if (i > 0) SleepMs(100);
    std::string out;
    RunCommand("xwininfo -id " + id, &out);
    const auto value = [&out](const std::string& label) {
      const size_t p = out.find(label);
      return p == std::string::npos ? -1 : std::atoi(out.c_str() + p + label.size());
    };
    g = {value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"),
         value("Height:")};
  }
  return g;
}

// Mean grey level (0..1) of a rectangle of a picture.
double Mean(const std::string& file, int x, int y, int w, int h) {
  std::string out;
  RunCommand("convert " + file + " -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                 std::to_string(x) + "+" + std::to_string(y) +
                 " +repage -colorspace gray -format '%[fx:mean]' info:",
             &out);
  return std::atof(out.c_str());
}

}  // namespace

TEST(DisplayJourney, WindowFullScreenAndResize) {
  if (RunCommand("command -v openbox && command -v xdotool && command -v import") != 0)
    GTEST_SKIP() << "needs openbox, xdotool and ImageMagick";
  PrivateDisplay display(1280, 720);
  ASSERT_TRUE(display.Ok());
  std::string pidText;
  RunCommand("openbox >/dev/null 2>&1 & echo $!", &pidText);
  const int wmPid = std::atoi(pidText.c_str());
  SleepMs(800);

  ScratchDir dir;
  // Windowed at 800x600, game speed 100.
  WriteFile("Data/Config.Cfg", "1\n32\n10\n2\n1\n1\n65000\n50\n100\n0\n0\n0\n0\n0\n0");
  ASSERT_TRUE(LinkGameData());
  {
    RunningGame game(std::vector<std::pair<std::string, std::string>>{{"SDL_AUDIODRIVER", "dummy"}});
    const std::string id = game.FindWindow("^Brikon 3D");
    ASSERT_FALSE(id.empty()) << ReadFile("game.log");
    RunCommand("xdotool mousemove 0 0");  // the pointer off the window
    SleepMs(3000);                          // loading

    // A decorated window of the mode's size, centred.
    Geometry g = WaitForSize(id, 800, 600);
    EXPECT_EQ(g.w, 800);
    EXPECT_EQ(g.h, 600);
    EXPECT_NEAR(g.x + g.w / 2, 640, 40);

    // Alt+Enter: the window covers the display; again: the old size comes back.
    RunCommand("xdotool key --window " + id + " alt+Return");
    g = WaitForSize(id, 1280, 720);
    EXPECT_EQ(g.w, 1280);
    EXPECT_EQ(g.h, 720);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    RunCommand("xdotool key --window " + id + " alt+Return");
    g = WaitForSize(id, 800, 600);
    EXPECT_EQ(g.w, 800);
    EXPECT_EQ(g.h, 600);

    // Resized wide and low: the menu keeps its shape in the middle, the dimmed background
    // fills the sides (the menu's own picture is brighter than its dimmed copy).
    RunCommand("xdotool windowsize " + id + " 1000 500");
    g = WaitForSize(id, 1000, 500);
    ASSERT_EQ(g.w, 1000);
    SleepMs(1500);
    const std::string shot = dir.Path() + "/resized.png";
    ASSERT_EQ(RunCommand("import -window " + id + " " + shot), 0);
    const double side = Mean(shot, 0, 100, 150, 300);
    const double middle = Mean(shot, 200, 100, 600, 300);
    EXPECT_LT(side, middle * 0.75) << "side " << side << " middle " << middle;
    // The 4:3 overlay is 667 wide: a stretched menu would reach the edges.
    EXPECT_GT(middle, 0.05);

    RequestWindowClose(std::strtoul(id.c_str(), nullptr, 10));
    int status = 0;
    EXPECT_TRUE(game.WaitForExit(&status));
  }
  if (wmPid > 0) kill(wmPid, SIGTERM);
  // The window's size as it was left is remembered beside it.
  EXPECT_NE(ReadFile("Data/Settings.Cfg").find("window.width = 1000"), std::string::npos)
      << ReadFile("Data/Settings.Cfg");
}
