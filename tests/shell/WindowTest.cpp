#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "TestSupport.h"
#include "core/Config.h"
#include "scene/Camera.h"
#include "shell/GLWindow.h"

namespace {

std::string ConfigFile(int resolution, int fullscreen) {
  return std::to_string(resolution) + "\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n" +
         std::to_string(fullscreen) + "\n0";
}

// Opens a window as the game does, from the configuration in the current folder.
void Open(OGLWindow& w) {
  GetConfig().Reset();
  w.Create("3D", "Brikon 3D 2.0", 640, 480, true);
}

}  // namespace

// Windowed: the mode's size on first start, or the size the player left; full screen: the desktop's
// size unless a mode size was chosen; a mode the display lacks (it has only its own size) and the
// fallback to 640x480 both refused opens a 640x480 window at index 0; an index of 3 or more
// rewrites the file with all defaults (full screen at index 1). The 3D view keeps its vertical
// angle in every shape, only the horizontal one follows the window. Then switching in place.
TEST(Window, WindowedAndFullscreenModesAndSwitchingInPlace) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs a display");
  PrivateDisplay display(1024, 768);
  ASSERT_TRUE(display.Ok());
  const struct {
    int fullscreen, index;
    const char* settings;
    int wantIndex, width, height;
    bool covers;
  } cases[] = {
      {0, 1, "", 1, 800, 600, false},                                   // first start: the mode
      {0, 1, "window.width = 700\nwindow.height = 500\n", 1, 700, 500, false},  // remembered
      {0, 1, "window.width = 0\nwindow.height = -5\n", 1, 800, 600, false},     // damaged size
      {0, 0, "window.width = 5000\nwindow.height = 4000\n", 0, 1024, 768, false},  // too big
      {1, 1, "", 1, 1024, 768, true},                                   // desktop full screen
      {1, 2, "fullscreen.width = 1024\nfullscreen.height = 768\n", 2, 1024, 768, true},
      {1, 1, "fullscreen.width = 800\nfullscreen.height = 600\n", 0, 640, 480, false},
      {0, 3, "", 1, 1024, 768, true},                                   // no such index
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    ScratchDir dir;
    MessageRecorder boxes;
    WriteFile("Data/Config.Cfg", ConfigFile(c.index, c.fullscreen));
    WriteFile("Data/Settings.Cfg", c.settings);
    OGLWindow w;
    Open(w);
    int dw = 0, dh = 0;
    // A loaded X server may not have given the new window its size yet: ask again for up to 2 s.
    for (int i = 0; i < 100; ++i) {
      w.GetDrawableSize(dw, dh);
      if (dw > 0 && dh > 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(w.resolutionIndex, c.wantIndex);
    // Without a window manager a too-large window keeps its size; the desktop bounds it.
    EXPECT_LE(dw, c.width);
    EXPECT_LE(dh, c.height);
    if (c.width < 1024) {
      EXPECT_EQ(dw, c.width);
      EXPECT_EQ(dh, c.height);
    }
    EXPECT_EQ(w.width, dw);  // the size the window really has
    EXPECT_EQ(w.height, dh);
    EXPECT_EQ(w.IsFullscreen(), c.covers);
    EXPECT_TRUE(w.MakeCurrent());
    OCamera camera(640, 480, 60.0f, 1.0f, 1024.0f);
    camera.Apply(dw, dh);
    EXPECT_NEAR(camera.projection.m[5], 1.0f / std::tan(30.0f * 3.14159265f / 180.0f), 1e-4f);
    EXPECT_NEAR(camera.projection.m[0], camera.projection.m[5] * dh / dw, 1e-4f);
    EXPECT_TRUE(boxes.Messages().empty());
    if (c.index > 2) {
      EXPECT_EQ(ReadFile("Data/Config.Cfg"), "1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0");
    }
  }

  // A second switch the same way changes nothing (the way there and back is the keyboard test's
  // Alt+Enter). A listed display mode is entered and left in place; one not listed is refused.
  ScratchDir dir;
  MessageRecorder boxes;
  WriteFile("Data/Config.Cfg", ConfigFile(0, 0));
  OGLWindow w;
  Open(w);
  ASSERT_TRUE(w.SetFullscreen(true));
  EXPECT_TRUE(w.SetFullscreen(true));
  EXPECT_TRUE(w.IsFullscreen());
  ASSERT_TRUE(w.SetFullscreen(false));
  EXPECT_TRUE(w.MakeCurrent());

  EXPECT_EQ(w.DesktopSize().width, 1024);
  ASSERT_FALSE(w.ListedSizes().empty());
  EXPECT_EQ(w.ListedSizes()[0].height, 768);
  EXPECT_FALSE(w.SetFullscreenSize(800, 600));
  EXPECT_FALSE(w.IsFullscreen());
  ASSERT_TRUE(w.SetFullscreenSize(1024, 768));
  EXPECT_TRUE(w.IsModeSwitched());
  EXPECT_EQ(w.width, 1024);
  EXPECT_EQ(w.shellSettings.windowWidth, 640);  // for the way back
  EXPECT_TRUE(w.MakeCurrent());
  // Alt+Enter leaves the mode in place, and comes back to it when it is the chosen size.
  w.ToggleFullscreen();
  EXPECT_FALSE(w.IsFullscreen());
  EXPECT_FALSE(w.IsModeSwitched());
  EXPECT_EQ(w.width, 640);
  w.shellSettings.fullscreenWidth = 1024;
  w.shellSettings.fullscreenHeight = 768;
  w.ToggleFullscreen();
  EXPECT_TRUE(w.IsModeSwitched());
  EXPECT_TRUE(w.MakeCurrent());
}
