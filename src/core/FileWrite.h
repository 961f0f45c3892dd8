#pragma once
// Saving a player's file so that nothing earned is ever torn: the settings, the resume record and
// the score tables all go through here.
#include <string>

// Writes the bytes to a temporary file of a unique name in the target's folder, flushes it to the
// disk, renames it over the target and flushes the folder: a reader (another copy of the game,
// the game after a crash or a power cut) sees the old file whole or the new one whole. A symbolic
// link at `path` is followed: its target is replaced and the link stays. On failure nothing but
// the temporary file was touched (and that is removed), false is returned and, when `error` is
// given, it receives a short reason ("No space left on device").
bool WriteFileAtomically(const std::string& path, const std::string& bytes,
                         std::string* error = nullptr);

// Temporary files of WriteFileAtomically left in `folder` by a process that died mid-save: the
// target they were for is intact, so they are removed. Returns how many were removed. Only the
// copy of the game that holds the per-user folder's lock may call it: another copy's save in
// progress looks the same.
int RemoveStaleTemporaries(const std::string& folder);

// The prefix and suffix every temporary file of WriteFileAtomically carries around its target's
// name ("." + name + ".tmp-XXXXXX"), so that a clean-up never mistakes a player's file for one.
extern const char* const kTemporarySuffix;
