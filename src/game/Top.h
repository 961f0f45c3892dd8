#pragma once
// One high-score table (classic or modern): ten places, highest score first, kept in a small
// scrambled text file so that it is not readable or editable as plain text.
#include <memory>
#include <string>
#include <vector>

#include "core/Types.h"

// The longest name a table holds: the name field's length, in characters.
constexpr i32 TOP_NAME_LENGTH = 20;

struct OTopEntry {
  std::string name;  // shown as typed; stored with "_" for every space
  i32 score;
};

class OTop {
public:
  // No entries until Load; rank -1. An empty file name keeps the table in memory only (the player
  // has no folder for scores): Load gives the defaults and Save writes nothing.
  OTop(std::string fileName, i32 capacity);
  virtual ~OTop() = default;
  OTop(const OTop&) = delete;
  OTop& operator=(const OTop&) = delete;

  // Reads the table. A missing file, or one that does not hold exactly `capacity` name/score
  // pairs, gives the default table and false; a table is never partly loaded. The names read are
  // made TableNames and the entries sorted by score, highest first, equal scores in file order.
  virtual bool Load();
  // Writes the table atomically (WriteFileAtomically), through a symbolic link to its target: a
  // crash or a full disk during a save never loses the table that was there. False when not
  // written, and the failure reported (ReportSaveFailure); nothing is written while another copy
  // of the game holds the player's files.
  virtual bool Save();

  // Whether the score would enter the table; sets rank to the 1-based place it would take, or -1.
  // A score equal to the lowest entry does not qualify.
  bool Qualifies(i32 score);
  // Enters the score below any older entries of the same score, drops the last place and saves.
  // False (table unchanged) when the score does not qualify. The name is stored as its TableName.
  bool Insert(const std::string& name, i32 score);
  // `capacity` default entries ("Empty", 0).
  void Reset();

  int Count() const { return static_cast<int>(entries.size()); }
  // Place 0 is the top.
  const OTopEntry& Entry(int place) const { return *entries.at(static_cast<size_t>(place)); }

  std::string fileName;
  i32 capacity;
  std::vector<std::unique_ptr<OTopEntry>> entries;
  i32 rank;
};

// A name as a table holds it: blanks become spaces, characters the font does not draw as text
// are dropped, at most TOP_NAME_LENGTH characters are kept, and a blank name becomes "NoName".
std::string TableName(const std::string& name);

// The running key of the table files: XORs the bytes in place (scrambling and unscrambling are
// the same operation). The key repeats every 82 bytes.
void ScrambleTop(std::string& bytes);
// Parses unscrambled table text into entries; false unless exactly `capacity` pairs are there.
bool ParseTop(const std::string& text, i32 capacity, std::vector<OTopEntry>& out);
