#pragma once
// Writes a song as a four-channel ProTracker module ("M.K."): 8-bit samples, periods in the three
// octaves the format plays, volume by the set-volume effect, note-offs as a cut to volume 0, speed
// and tempo set on the first row. Each instrument's sample is pitched so that the notes it plays
// in this song fall inside those three octaves.
#include <string>
#include <vector>

#include "audio/Song.h"

bool WriteMod(const OSong& song, std::vector<unsigned char>& out, std::string& error);
