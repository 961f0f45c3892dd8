#pragma once
// A real OpenGL context for tests under the virtual display: the game's own window class opened
// windowed at 640x480 from a configuration file written into the working directory (use inside a
// ScratchDir). Message boxes are recorded instead of shown while it exists.
#include <string>

#include "shell/GLWindow.h"
#include "support/TestSupport.h"

class TestGLWindow : public OGLWindow {
public:
  TestGLWindow() = default;

  // Writes "Data/Config.Cfg" (windowed, 640x480, the given texture quality, every other value at
  // its default) and creates the window with its context current. False when no context came up
  // (no display, or the window failed: see Messages()).
  bool Open(u32 textureQuality = 10);

  const std::vector<RecordedMessage>& Messages() const { return recorder.Messages(); }

private:
  MessageRecorder recorder;
};

// The configuration file text for a windowed game at resolution 0 with that texture quality.
std::string WindowedConfigText(u32 textureQuality = 10);
