#pragma once
// Writes a song as a FastTracker 2 extended module (XM 1.04): 16-bit delta-coded samples, one
// sample per instrument, a volume envelope per instrument whose release follows note-offs, linear
// frequency table. The order list has no restart loop, so the module ends after its last pattern.
#include <string>
#include <vector>

#include "audio/Song.h"

// Returns false with a message when the song does not fit the format.
bool WriteXm(const OSong& song, std::vector<unsigned char>& out, std::string& error);
