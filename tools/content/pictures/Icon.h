#pragma once
// The game's icon for the desktop (menus, launchers, the window list): the playfield box seen from
// the bat, bricks at its far end and the ball on its way, in the game's palette. Painted once at
// the largest size and scaled down, then written as PNG, the format icon themes take.
#include <string>
#include <vector>

#include "core/Types.h"
#include "pictures/Canvas.h"

// The icon at size x size pixels (any size from 16 up), transparent around its rounded square.
OCanvas PaintIcon(int size);

// Writes OUT_DIR/<n>x<n>/apps/brikon3d.png for each size; false when a file cannot be written.
bool WriteIcons(const std::string& outDir, const std::vector<int>& sizes);
