#pragma once
// The second settings file, "Settings.Cfg" beside Config.Cfg: what the game learned to remember
// after the fifteen values of Config.Cfg were fixed (older copies of the game and other readers
// of Config.Cfg must keep reading it, so it never grows). One "key = value" a line. A line that
// is not of that shape is ignored, a key the game does not know is kept (a newer copy of the game
// may have written it) but means nothing, and a key that is missing or out of its range takes its
// default.
#include <map>
#include <string>

#include "core/Types.h"

// "key = value" text to its pairs: keys and values trimmed of spaces and tabs, '#' lines and
// lines without '=' or with an empty key skipped, the last of a repeated key wins.
std::map<std::string, std::string> ParseSettings(const std::string& text);
// The pairs as text, one line each in key order, each line ended.
std::string FormatSettings(const std::map<std::string, std::string>& values);

// The second settings file's name for a Config.Cfg path: the same folder, "Settings.Cfg"; "" for
// "" (nowhere to keep settings: Save then writes nothing).
std::string SettingsFileName(const std::string& configFileName);

class OSettings {
public:
  // Reads the file; a missing or unreadable file leaves no values (every key at its default).
  // False when it could not be read.
  bool Load(const std::string& fileName);
  // Writes every value, known or not, atomically. False (and the reason in `error`) when the
  // file could not be written; the old file is then as it was.
  bool Save(const std::string& fileName, std::string* error = nullptr) const;

  // The value of a key, or `fallback` when it is missing.
  std::string Get(const std::string& key, const std::string& fallback) const;
  // A whole decimal number in [low, high], or `fallback` when it is missing, not a number (or
  // with anything after it) or out of that range.
  i32 GetInt(const std::string& key, i32 fallback, i32 low, i32 high) const;
  // "1"/"0" (also "true"/"false", "yes"/"no", "on"/"off"), or `fallback` for anything else.
  bool GetBool(const std::string& key, bool fallback) const;

  // Keys and values are stored trimmed. A key that is empty, starts with '#' or holds '=', and a
  // key or value holding a line end, would not read back as written: refused, false returned.
  bool Set(const std::string& key, const std::string& value);
  void SetInt(const std::string& key, i32 value);
  void SetBool(const std::string& key, bool value);
  void Remove(const std::string& key);

  const std::map<std::string, std::string>& Values() const { return values; }

private:
  std::map<std::string, std::string> values;
};
