#pragma once
// Writes a song as an Impulse Tracker module (IT 2.14 layout): instrument mode, one 16-bit sample
// per instrument, a sustained volume envelope per instrument released by note-offs. The order list
// ends with the end-of-song mark, so the module stops after its last pattern.
#include <string>
#include <vector>

#include "audio/Song.h"

bool WriteIt(const OSong& song, std::vector<unsigned char>& out, std::string& error);
