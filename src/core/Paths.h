#pragma once
// Where the game's files are on disk. The game names its data as it always has ("Data/Resource.Tkr",
// "Data/Sounds/hit_block.wav"); GameFile maps such a name into the game's data folder, which is
// found beside the executable, never through the working folder. The player's own files (settings,
// high scores, run log) live in the user's folders of the XDG base directory rules, except in a
// game folder that already keeps them: a data folder holding Config.Cfg keeps all of them there.
//
// Until the entry sets them (SetGameDataDir, SetUserFolders) both are the game folder's relative
// layout: data and per-user files under "Data/", the log in the working folder. The suites and the
// tools that run the game's code in their own scratch folder rely on that.
#include <string>
#include <vector>

// The data folder: what the game's names call "Data/" (it holds Resource.Tkr and Sounds/).
void SetGameDataDir(const std::string& dir);
const std::string& GameDataDir();
// A name the game uses ("Data/Sounds/x.wav") as a path on disk; names not under "Data/" (or
// "Data\") are returned unchanged.
std::string GameFile(const std::string& name);

// The folder of the running executable (from /proc/self/exe); "" when it cannot be read.
std::string ExecutableDir();
// The data folder for an executable in exeDir: its own "Data/" (a game folder, the build's
// build/game) when there is one, else the installed data (bin/../share/brikon3d). When neither
// exists, exeDir + "/Data", so that the usual missing-files message follows.
std::string FindGameDataDir(const std::string& exeDir);

// The folders of the player's files, each without a trailing slash; an empty folder means there
// is nowhere to keep those files (no usable home folder): they are read from nowhere and never
// written.
struct OUserFolders {
  std::string config;  // settings and the resume record (Config.Cfg)
  std::string data;    // high scores (Classic.Top, Modern.Top)
  std::string state;   // the run log (Report.html)
  bool gameFolder = false;  // true when the data folder keeps them (it already held Config.Cfg)
};

// The folders for the given data folder, from the environment: $XDG_CONFIG_HOME/brikon3d,
// $XDG_DATA_HOME/brikon3d, $XDG_STATE_HOME/brikon3d, each variable ignored when it is unset, empty
// or not an absolute path (the base directory rules say so), in which case $HOME/.config,
// $HOME/.local/share and $HOME/.local/state stand in; a HOME that is unset or relative gives "".
// A data folder that holds Config.Cfg keeps settings and scores itself and the log beside it (in
// its parent when it is named "Data", the game folder).
OUserFolders FindUserFolders(const std::string& gameDataDir);
void SetUserFolders(const OUserFolders& folders);
const OUserFolders& UserFolders();
const std::string& UserConfigDir();
const std::string& UserDataDir();
const std::string& UserStateDir();

// The player's files, by the names the game has always used; "" when their folder is "".
std::string ConfigFilePath();                     // Config.Cfg
std::string ScoreFilePath(const std::string& name);  // "Classic.Top" or "Modern.Top"
std::string LogFilePath();                        // Report.html

// Creates the user's folders that are missing (with their parents, private to the user) and
// checks that each can be written. Returns one line per folder that cannot be used, saying what
// will not be saved; an empty list when all is well. Never fatal: the game plays without saving.
std::vector<std::string> PrepareUserFolders();
