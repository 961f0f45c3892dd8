#pragma once
// One line the player is told on the screen, whatever screen shows: a save that failed, a second
// copy of the game that keeps this one from saving. Anything may post it; the application takes
// it and shows it for a few seconds over the current screen.
#include <string>

// Replaces any line not yet taken.
void PostNotice(const std::string& line);
// The line posted since the last call ("" when none), which is then cleared.
std::string TakeNotice();
