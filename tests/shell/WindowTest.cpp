#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "core/Config.h"
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

// Windowed, the drawable is exactly the mode's size; full screen at the display's own mode is
// taken; at a mode the display does not have (this display has only its own size) the one
// fallback to 640x480 is refused too, so a 640x480 window opens, and the index reads 0.
TEST(Window, WindowedAndFullscreenModes) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs a display");
  PrivateDisplay display(1024, 768);
  ASSERT_TRUE(display.Ok());
  const struct {
    int fullscreen, index, wantIndex, width, height;
  } cases[] = {{0, 1, 1, 800, 600}, {1, 2, 2, 1024, 768}, {1, 1, 0, 640, 480}};
  for (const auto& c : cases) {
    ScratchDir dir;
    MessageRecorder boxes;
    WriteFile("Data/Config.Cfg", ConfigFile(c.index, c.fullscreen));
    OGLWindow w;
    Open(w);
    int dw, dh;
    w.GetDrawableSize(dw, dh);
    EXPECT_EQ(w.resolutionIndex, c.wantIndex);
    EXPECT_EQ(dw, c.width);
    EXPECT_EQ(dh, c.height);
    EXPECT_TRUE(w.MakeCurrent());
    EXPECT_TRUE(boxes.Messages().empty());
  }
}

// A resolution index of 3 or more: the file is rewritten with all defaults and the window opens
// at 800x600 (full screen, on a display that has that mode).
TEST(Window, BadResolutionIndexResetsConfig) {
  if (!HaveDisplay()) SKIP_OR_FAIL_IN_CI("needs a display");
  PrivateDisplay display(800, 600);
  ASSERT_TRUE(display.Ok());
  ScratchDir dir;
  WriteFile("Data/Config.Cfg", "3\n16\n1\n1\n0\n0\n5\n5\n50\n2\n1\n100\n2\n1\n4");
  OGLWindow w;
  Open(w);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0");
  EXPECT_EQ(w.resolutionIndex, 1);
  int dw, dh;
  w.GetDrawableSize(dw, dh);
  EXPECT_EQ(dw, 800);
  EXPECT_EQ(dh, 600);
}
