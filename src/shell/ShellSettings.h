#pragma once
// The display and control settings the window keeps in the second settings file (Settings.Cfg
// beside Config.Cfg): the full-screen size, the window's remembered size, v-sync, the frame-rate
// display and the mouse's sensitivity. Whether the game runs full screen stays Config.Cfg's flag.
#include <string>
#include <vector>

#include "core/Types.h"

// A display size in pixels.
struct ODisplayMode {
  i16 width;
  i16 height;
};

struct OShellSettings {
  // Full-screen size in pixels; 0 x 0 is the desktop's own size (no mode switch).
  i32 fullscreenWidth = 0;
  i32 fullscreenHeight = 0;
  // The window's size as the player left it; 0 x 0 until there is one.
  i32 windowWidth = 0;
  i32 windowHeight = 0;
  bool vsync = true;      // wait for the display's refresh where the driver offers it
  bool showFps = false;   // the frame rate in the top-left corner (F3)
  i32 mouseSensitivity = 100;  // percent of the pointer's movement the bat follows
  i32 keyboardSpeed = 100;     // percent of the bat's keyboard and gamepad speed
};

// Ranges: sizes 0 or 64..16384 (anything else takes 0), sensitivity 25..400 percent.
constexpr i32 MOUSE_SENSITIVITY_MIN = 25;
constexpr i32 MOUSE_SENSITIVITY_MAX = 400;

// Reads the settings of the file that belongs to that Config.Cfg path; missing, damaged or
// out-of-range values take their defaults.
OShellSettings LoadShellSettings(const std::string& configFileName);
// Writes them into that file, keeping every other key it holds. False when it was not written.
bool SaveShellSettings(const OShellSettings& settings, const std::string& configFileName);

// The full-screen sizes a player may choose from: 0 x 0 (the desktop's own size, no mode switch)
// first, then 640x480, 800x600, 1024x768 and every listed size the settings file can keep, each
// once, smallest first.
std::vector<ODisplayMode> FullscreenSizeChoices(const std::vector<ODisplayMode>& listed);
