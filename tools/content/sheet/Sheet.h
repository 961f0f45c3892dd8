#pragma once
// The contact sheet: every texture of the built archive, loaded through the game's own loaders
// into a real OpenGL context and drawn side by side with its name, saved as one JPEG to look at.
#include <string>

// gameDir holds Data/Resource.Tkr; outPath is the JPEG to write. Needs a display (the virtual one
// in tests). Returns the process exit status: 0 written, 1 failed (the reason on standard error).
int WriteContactSheet(const std::string& gameDir, const std::string& outPath);
