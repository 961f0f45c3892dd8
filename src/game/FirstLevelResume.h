#pragma once
// Config.Cfg's resume record says level 0 for "nothing to resume", so on its own it would lose a
// game left at its first level. The second settings file (Settings.Cfg, beside it) keeps that one
// fact under RESUME_FIRST_LEVEL_KEY, as the episode, score and lives of the record it belongs to:
// a Config.Cfg written since by a copy of the game that does not know the key (and so cleared the
// record without clearing the key) no longer matches it and is not taken for a game to resume.
#include <string>

class OConfig;

constexpr const char* RESUME_FIRST_LEVEL_KEY = "resumeFirstLevel";

// Whether the configuration's record names a game to resume: a level above 0, or level 0 with the
// settings file's fact matching the record.
bool SavedGameAvailable(const OConfig& config);
// Called once the record has been written: marks (atFirstLevel) or clears the fact for the
// record as it now stands, rewriting the settings file only when that changes it. Other keys of
// the file are kept as they are.
void MarkFirstLevelResume(const OConfig& config, bool atFirstLevel);
