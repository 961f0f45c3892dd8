#pragma once
// The text form of one episode's levels, as a person writes it in content/levels/, and its
// reading into the cell bytes the game holds.
#include <string>
#include <vector>

#include "core/Types.h"

// One level (classic) or stage (corridor) as read: its name, the file line of its heading, and
// the file line of each text row (top row first) with the column where each layer's group starts.
struct OLevelText {
  std::string name;
  i32 line = 0;
  i32 layers = 0;
  std::vector<i32> rowLines;
  std::vector<std::vector<i32>> groupColumns;
};

// One episode file, read and checked.
struct OEpisodeFile {
  std::string path;
  i32 episode = -1;
  bool corridor = false;
  i32 n = 0;
  i32 layers = 0;      // per level (classic) or the whole corridor
  i32 levelCount = 0;  // levels or stages the episode plays
  std::vector<OLevelText> levels;
  std::vector<u8> bytes;  // the episode's byte table, in the game's cell order
};

// Reads one episode file from its text. On failure returns false with `error` in the form
// "path:line:column: message" (column 0 when the whole line is at fault).
bool ReadEpisodeFile(const std::string& path, const std::string& text, OEpisodeFile& out,
                     std::string& error);

// Runs the playability rules over every level or stage of a read episode; names the file line of
// the first fault.
bool ValidateEpisode(const OEpisodeFile& file, std::string& error);
