#pragma once
// Helpers shared by the suites.
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Types.h"

// A fresh scratch folder with a Data/ inside, the working directory while the object lives.
class ScratchDir {
public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path; }

private:
  std::string path;
  std::string previous;
};

std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& bytes);
bool FileExists(const std::string& name);

// Text helpers: the lines without their ends, and how often `what` occurs.
std::vector<std::string> Lines(const std::string& text);
int CountOf(const std::string& text, const std::string& what);

void SleepMs(int ms);

// Message boxes recorded instead of shown, for the life of the object.
struct RecordedMessage {
  std::string text;
  std::string title;
  u32 icon;
};
class MessageRecorder {
public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  const std::vector<RecordedMessage>& Messages() const;
};

// True when a virtual X display is there for tests that need a window.
bool HaveDisplay();

// Leaves a test that needs what the machine lacks (a display, the game's archive, a tool): skipped
// on a developer's machine, failed when CI is set, so that a CI machine cannot pass silently.
#define SKIP_OR_FAIL_IN_CI(needs)                                    \
  do {                                                               \
    if (std::getenv("CI") != nullptr) GTEST_FAIL() << (needs);       \
    else GTEST_SKIP() << (needs);                                    \
  } while (0)

// Runs a command through the shell: its exit status (or -1), standard output and error in `output`.
// One still running after `timeoutSeconds` is killed with all it started (-1, said in `output`).
int RunCommand(const std::string& command, std::string* output = nullptr,
               int timeoutSeconds = 240);

// Asks an X window to close as a window manager's close button would (WM_DELETE_WINDOW); gives up
// (false) after 10 s without an answer from the display.
bool RequestWindowClose(unsigned long windowId);

// A private Xvfb of the given screen size in DISPLAY for the life of the object.
class PrivateDisplay {
public:
  PrivateDisplay(int width, int height);
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  bool Ok() const { return ok; }

private:
  int pid = -1;
  bool ok = false;
  std::string previous;
};

// Links the built game's archive and sounds into ./Data, as a player's copy has them.
bool LinkGameData();

// HOME and the XDG config, data and state folders under ./home of the current folder, as shell
// assignments: a game run by a test never meets the real user's folders.
std::string GameHomeAssignments();

// The real game started in the current folder with extra environment variables (after
// GameHomeAssignments()'s) and --data ./Data; its output goes to game.log (a game left running
// must never hold the test's pipes), and it is killed if it is still running when this object goes.
class RunningGame {
public:
  explicit RunningGame(const std::vector<std::pair<std::string, std::string>>& environment);
  // Any program with its arguments, started in `folder` (its output still goes to game.log here).
  RunningGame(const std::vector<std::pair<std::string, std::string>>& environment,
              const std::string& program, const std::vector<std::string>& args,
              const std::string& folder);
  ~RunningGame();
  RunningGame(const RunningGame&) = delete;
  RunningGame& operator=(const RunningGame&) = delete;

  bool Started() const { return pid > 0; }
  // The id of the game's mapped window whose title matches the pattern (SDL may make short-lived
  // helper windows while it starts), with its xwininfo text; "" when none came within 30 s.
  std::string FindWindow(const std::string& titlePattern, std::string* info = nullptr);
  // Waits up to ~30 s for the game to end; true with its wait status when it did.
  bool WaitForExit(int* status);
  // Waits up to ~30 s until the window shows a picture (not blank, not one flat colour).
  static bool WaitUntilDrawn(const std::string& windowId);

private:
  int pid = -1;
};

// Pictures through ImageMagick: the mean and spread of a file's brightness (0..255, -1 when
// unreadable), and the pixels of two files that differ by more than 8 % (-1 when unreadable).
void Brightness(const std::string& file, double* mean, double* spread);
double DifferingPixels(const std::string& a, const std::string& b);
