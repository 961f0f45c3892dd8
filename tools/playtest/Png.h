#pragma once
// The playtest's charts saved as PNG files (through the game library's PNG encoder).
#include <string>
#include <vector>

#include "core/Types.h"

// Writes width x height pixels of RGB bytes, rows top first. False when the file cannot be
// written or the sizes do not match.
bool WritePng(const std::string& path, i32 width, i32 height, const std::vector<u8>& rgb);
