// The whole game driven as a player drives it: the real program on a private virtual display,
// steered only by X input events (xdotool), looked at through screenshots of its window.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

// The window is 800x600 (resolution index 1); the screens place their buttons on a 512x512
// overlay with its origin at the bottom left.
constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Point {
  int x, y;
};

// Drives one running game window and keeps what it showed.
class Player {
public:
  explicit Player(std::string windowId) : id(std::move(windowId)) {}

  // Pictures a quarter of the window's size: cheap to compare, and they still see a page of
  // text turn.
  static std::string Small(const std::string& file) { return "small-" + file; }
  static std::string Quarter() {
    return " -resize " + std::to_string(kWidth / 4) + "x" + std::to_string(kHeight / 4) + "! ";
  }
  bool GrabSmall(const std::string& file) {
    return RunCommand("import -window " + id + Quarter() + file) == 0;
  }

  // A left click at a point of the 512x512 overlay.
  void ClickOverlay(Point v) { Click(v.x * kWidth / 512, kHeight - v.y * kHeight / 512); }
  // A left click at a window pixel (origin top left).
  void Click(int x, int y) { Move(x, y, " sleep 0.1 click 1"); }
  void Move(int x, int y, const std::string& then = "") {
    RunCommand("xdotool mousemove --window " + id + " " + std::to_string(x) + " " +
               std::to_string(y) + then);
  }
  void Key(const std::string& name) { RunCommand("xdotool key --window " + id + " " + name); }

  // After an action: waits until at least `fraction` of the window has changed from the shot
  // `before`, then lets the new screen settle. Polling rather than sleeping a fixed time keeps the
  // journey both quick on an idle machine and sound on a loaded one. True when the change came.
  bool WaitForChange(const std::string& before, double fraction, int timeoutMs = 20000) {
    const double needed = fraction * (kWidth / 4) * (kHeight / 4);
    for (int waited = 0; waited < timeoutMs; waited += 250) {
      SleepMs(250);
      if (GrabSmall("probe.png") && DifferingPixels(Small(before), "probe.png") >= needed) {
        SleepMs(500);
        return true;
      }
    }
    return false;
  }

  // Keeps the current picture as the named screen's shot.
  std::string Shot(const std::string& name) {
    const std::string file = name + ".png";
    RunCommand("import -window " + id + " " + file);
    RunCommand("convert " + file + Quarter() + Small(file));
    shots[name] = file;
    // The journey's pace in the log, for whoever reads a slow or failed run.
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    std::printf("%6.1f s  %s\n", seconds.count(), name.c_str());
    return file;
  }

  const std::map<std::string, std::string>& Shots() const { return shots; }

private:
  std::string id;
  std::map<std::string, std::string> shots;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

// The overlay points of the buttons the journey presses (centres of their reacting areas).
constexpr Point kMenuContinue{255, 351};
constexpr Point kMenuNew{255, 303};
constexpr Point kMenuOptions{255, 255};
constexpr Point kMenuTop{255, 207};
constexpr Point kMenuHelp{255, 159};
constexpr Point kMenuExit{255, 111};
constexpr Point kBackToMenu{275, 57};   // the Menu button of the selection, scores and help
constexpr Point kRightArrow{350, 57};   // the next table or page
constexpr Point kOptionsOk{211, 57};
constexpr Point kSpeedSliderTop{425, 197};  // near the fast end of the game speed bar
constexpr Point kSkinNext{461, 154};

}  // namespace

// start → menu → New → Classic Easy → play (launch, move, fire) → Esc → Continue → Esc →
// Options (faster game, next skin, OK) → Scores (both tables) → Help (five pages) → Exit.
// The game quits with status 0 and leaves its settings, its resume record and a closed run log;
// every screen it showed had a picture of its own.
TEST(PlayerJourney, EveryScreenFromStartToExit) {
  PrivateDisplay display(1024, 768);
  if (!display.Ok()) SKIP_OR_FAIL_IN_CI("needs Xvfb");
  if (RunCommand("command -v xdotool && command -v import && command -v compare") != 0)
    SKIP_OR_FAIL_IN_CI("needs xdotool and ImageMagick");
  ScratchDir dir;
  // 800x600 windowed, sound and music on, game speed 100, the first skin, nothing to resume.
  WriteFile("Data/Config.Cfg", "1\n32\n10\n2\n1\n1\n65000\n50\n100\n0\n0\n0\n0\n0\n0");
  ASSERT_TRUE(LinkGameData());
  RunningGame game(std::vector<std::pair<std::string, std::string>>{{"SDL_AUDIODRIVER", "dummy"}});
  ASSERT_TRUE(game.Started());
  std::string id = game.FindWindow("^Brikon 3D");
  ASSERT_FALSE(id.empty()) << ReadFile("game.log");
  Player player(id);

  // The menu, once something is drawn: the pointer parked where it covers no button.
  player.Move(20, 20);
  ASSERT_TRUE(RunningGame::WaitUntilDrawn(id)) << "the menu never appeared";
  SleepMs(1000);  // the buttons and the title finish loading their pictures
  std::string before = player.Shot("menu");

  // A screen switch repaints most of the window; a page or table turn only its text.
  constexpr double kNewScreen = 0.2;
  constexpr double kNewPage = 0.002;

  // Presses a button, waits for the change and keeps the shot; false when no change came.
  auto press = [&](Point at, const std::string& shot, double fraction) {
    player.ClickOverlay(at);
    const bool changed = player.WaitForChange(before, fraction);
    before = player.Shot(shot);
    return changed;
  };

  ASSERT_TRUE(press(kMenuNew, "select", kNewScreen)) << "New did not open the selection";
  player.Click(225, 170);  // Classic Easy
  ASSERT_TRUE(player.WaitForChange(before, kNewScreen)) << "the episode did not start";
  SleepMs(2500);  // the way into the playfield
  before = player.Shot("game");

  // Play: launch the ball, steer the bat across, fire.
  player.Click(400, 450);
  for (int step = 0; step <= 16; ++step) {
    player.Move(step <= 5 ? 400 - 50 * step : 150 + 50 * (step - 6), 450);
    SleepMs(100);
  }
  player.Click(500, 450);
  SleepMs(1000);
  player.Shot("play");

  player.Key("Escape");
  ASSERT_TRUE(player.WaitForChange(before, kNewScreen)) << "Esc did not leave the game";
  before = player.Shot("menu-with-game");
  player.ClickOverlay(kMenuContinue);
  ASSERT_TRUE(player.WaitForChange(before, kNewScreen)) << "Continue did not return to the game";
  SleepMs(1500);
  before = player.Shot("continued");
  player.Key("Escape");
  ASSERT_TRUE(player.WaitForChange(before, kNewScreen)) << "the second Esc did not leave the game";
  before = player.Shot("menu-again");

  ASSERT_TRUE(press(kMenuOptions, "options", kNewScreen)) << "Options did not open";
  player.ClickOverlay(kSpeedSliderTop);
  SleepMs(500);
  player.ClickOverlay(kSkinNext);
  SleepMs(1000);
  player.Shot("options-changed");
  ASSERT_TRUE(press(kOptionsOk, "menu-after-options", kNewScreen)) << "OK did not close the options";

  ASSERT_TRUE(press(kMenuTop, "scores-1", kNewScreen)) << "the scores did not open";
  EXPECT_TRUE(press(kRightArrow, "scores-2", kNewPage)) << "the other table did not show";
  ASSERT_TRUE(press(kBackToMenu, "menu-after-scores", kNewScreen)) << "Menu did not leave the scores";

  ASSERT_TRUE(press(kMenuHelp, "help-1", kNewScreen)) << "Help did not open";
  for (int page = 2; page <= 5; ++page)
    EXPECT_TRUE(press(kRightArrow, "help-" + std::to_string(page), kNewPage)) << "help page " << page;
  ASSERT_TRUE(press(kBackToMenu, "menu-last", kNewScreen)) << "Menu did not leave the help";

  player.ClickOverlay(kMenuExit);
  int status = 0;
  ASSERT_TRUE(game.WaitForExit(&status)) << "Exit did not quit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFile("game.log");

  // The settings chosen in Options and the record of the game that was left.
  std::vector<std::string> config = Lines(ReadFile("Data/Config.Cfg"));
  ASSERT_EQ(config.size(), 15u) << ReadFile("Data/Config.Cfg");
  EXPECT_GT(std::stoi(config[8]), 100) << "game speed";
  EXPECT_LE(std::stoi(config[8]), 150) << "game speed";
  EXPECT_EQ(config[9], "1") << "brick skin";
  EXPECT_EQ(config[10], "0") << "saved episode: Classic Easy";
  EXPECT_GT(std::stoi(config[12]), 0) << "saved lives";
  EXPECT_EQ(config[13], "0") << "windowed";

  // The run log was opened once, closed once, and saw no error.
  std::string log = ReadFile("Report.html");
  EXPECT_EQ(CountOf(log, "Log file opened"), 1);
  EXPECT_EQ(CountOf(log, "Log file closed"), 1);
  EXPECT_NE(log.find("Total Errors = 0"), std::string::npos);

  // Each screen had a picture, and each distinct screen a picture of its own.
  const std::vector<std::string> distinct = {"menu",     "select",   "game",   "options",
                                             "scores-1", "scores-2", "help-1", "help-2",
                                             "help-3",   "help-4"};
  for (const auto& [name, file] : player.Shots()) {
    double mean = 0, spread = 0;
    Brightness(file, &mean, &spread);
    EXPECT_GT(mean, 5.0) << name << " is blank";
    EXPECT_GT(spread, 5.0) << name << " is one flat colour";
  }
  for (size_t a = 0; a < distinct.size(); ++a) {
    for (size_t b = a + 1; b < distinct.size(); ++b) {
      EXPECT_GT(DifferingPixels(distinct[a] + ".png", distinct[b] + ".png"), 500.0)
          << distinct[a] << " looks like " << distinct[b];
    }
  }
  // Playing moved things on the playfield.
  EXPECT_GT(DifferingPixels("game.png", "play.png"), 200.0);
  // The kept shots, for a person to look at when something fails.
  const char* keep = std::getenv("BRIKON_E2E_SHOTS");
  if (keep != nullptr) RunCommand(std::string("mkdir -p '") + keep + "' && cp *.png '" + keep + "'");
}
