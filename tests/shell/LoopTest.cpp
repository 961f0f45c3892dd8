#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/Clock.h"
#include "shell/GLWindow.h"

namespace {

u32 now = 0;
u32 step = 0;        // added on every clock read
int reads = 0;
int activateAt = -1;  // the clock read on which the window becomes active
OGLWindow* target = nullptr;

u32 FakeClock() {
  now += step;
  if (reads++ == activateAt && target) target->active = 1;
  return now;
}

// A window whose frames are recorded; it quits after a given number of frames.
class LoopWindow : public OGLWindow {
public:
  void Frame(u32 elapsed) override {
    elapsedSeen.push_back(elapsed);
    passesAtFrame.push_back(frameCount);
    if (static_cast<int>(elapsedSeen.size()) == quitAfter) Quit();
  }
  void Unload() override { ++unloads; }
  std::vector<u32> elapsedSeen;
  std::vector<i32> passesAtFrame;
  int quitAfter = 3;
  int unloads = 0;
};

class Loop : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    now = 1000;
    step = 0;
    reads = 0;
    activateAt = -1;
    target = nullptr;
    SetClock(FakeClock);
  }
  void TearDown() override {
    SetClock(nullptr);
    SDL_Quit();
  }
};

}  // namespace

// Elapsed time is the whole milliseconds since the previous pass. The quit message ends the
// loop after Unload.
TEST_F(Loop, ElapsedBetweenPassesAndQuit) {
  step = 7;
  LoopWindow w;
  EXPECT_EQ(w.Run(), 0);
  EXPECT_EQ(w.elapsedSeen, (std::vector<u32>{7, 7, 7}));
  EXPECT_EQ(w.unloads, 1);
}

// While inactive no frame runs, but every pass is counted and moves the previous-frame stamp, so
// the first frame after reactivation covers only the last idle pass.
TEST_F(Loop, InactivePassesAreCountedNotRun) {
  step = 10;
  LoopWindow w;
  w.active = 0;
  w.quitAfter = 1;
  target = &w;
  activateAt = 5;  // read 0 is Run's start; reads 1..4 are idle passes
  w.Run();
  ASSERT_EQ(w.elapsedSeen.size(), 1u);
  EXPECT_EQ(w.elapsedSeen[0], 10u);
  EXPECT_EQ(w.passesAtFrame[0], 5);  // four idle passes and this one
}
