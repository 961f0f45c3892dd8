#include "game/FirstLevelResume.h"

#include "core/Config.h"
#include "core/Settings.h"

namespace {

// The record the fact belongs to: "episode score lives".
std::string RecordKey(const OConfig& config) {
  return std::to_string(config.savedEpisode) + " " + std::to_string(config.savedScore) + " " +
         std::to_string(config.savedLives);
}

}  // namespace

bool SavedGameAvailable(const OConfig& config) {
  if (config.savedLevel >= 1) return true;
  // A record without lives is the cleared one (a game that ended writes zeros).
  if (config.savedLives == 0) return false;
  OSettings settings;
  settings.Load(SettingsFileName(config.fileName));
  return settings.Get(RESUME_FIRST_LEVEL_KEY, "") == RecordKey(config);
}

void MarkFirstLevelResume(const OConfig& config, bool atFirstLevel) {
  const std::string fileName = SettingsFileName(config.fileName);
  if (fileName.empty()) return;  // nowhere to keep the player's files
  OSettings settings;
  settings.Load(fileName);
  const std::string old = settings.Get(RESUME_FIRST_LEVEL_KEY, "");
  const bool mark = atFirstLevel && config.savedLevel == 0 && config.savedLives > 0;
  if (mark) {
    if (old == RecordKey(config)) return;
    settings.Set(RESUME_FIRST_LEVEL_KEY, RecordKey(config));
  } else {
    if (settings.Values().count(RESUME_FIRST_LEVEL_KEY) == 0) return;
    settings.Remove(RESUME_FIRST_LEVEL_KEY);
  }
  settings.Save(fileName);
}
