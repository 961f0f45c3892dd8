#pragma once
// What the command line asks of this one run. The window applies it over the settings file, and
// nothing ever writes it into the settings: the next run without options is as the player left it.
#include "core/Types.h"

struct ORunOptions {
  i32 fullscreen = -1;       // -1 as the settings say, 0 windowed, 1 full screen
  i32 resolutionIndex = -1;  // -1 as the settings say, else 0..2 (640x480, 800x600, 1024x768)
};

// The one record, all -1 until the entry fills it.
ORunOptions& GetRunOptions();
