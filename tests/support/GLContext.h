#pragma once
// A real OpenGL context under the virtual display: the game's own window class, windowed at 640x480
// from a configuration file written into the working directory (use inside a ScratchDir).
#include <string>
#include <vector>

#include "shell/GLWindow.h"
#include "support/TestSupport.h"

class TestGLWindow : public OGLWindow {
public:
  // Writes "Data/Config.Cfg" (windowed, 640x480, that texture quality) and creates the window with
  // its context current; false when no context came up (the reason on standard error). Message
  // boxes are recorded instead of shown.
  bool Open(u32 textureQuality = 10);

private:
  MessageRecorder recorder;
};

// The configuration file text for a windowed game at resolution 0 with that texture quality.
std::string WindowedConfigText(u32 textureQuality = 10);

// The current context's w x h back-buffer pixels, RGB, rows from the bottom as OpenGL counts them.
std::vector<u8> ReadBackBuffer(int w, int h);

// Keeps a picture read back as above as BRIKON_BINARY_DIR/<folder>/<name>.png, to be looked at
// (a PPM where ImageMagick is missing). Writes nothing the tests check.
void SavePicture(const std::string& folder, const std::string& name, int w, int h,
                 const std::vector<u8>& rgb);
