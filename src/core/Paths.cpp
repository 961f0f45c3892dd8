#include "core/Paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// The installed data folder seen from the installed executable's folder; the build sets it from
// the install layout.
#ifndef BRIKON_DATA_FROM_BIN
#define BRIKON_DATA_FROM_BIN "../share/brikon3d"
#endif

namespace {

std::string gameDataDir = "Data";

OUserFolders DefaultFolders() {
  OUserFolders f;
  f.config = "Data";
  f.data = "Data";
  f.state = ".";
  f.gameFolder = true;
  return f;
}

OUserFolders& Folders() {
  static OUserFolders folders = DefaultFolders();
  return folders;
}

bool IsDir(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// An environment variable that names an absolute path, without trailing slashes; "" otherwise.
std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return "";
  std::string path = value;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// $variable, else $HOME + fallback, each with "/brikon3d"; "" when neither is usable.
std::string BaseFolder(const char* variable, const char* fallback) {
  std::string base = AbsoluteVariable(variable);
  if (base.empty()) {
    const std::string home = AbsoluteVariable("HOME");
    if (home.empty()) return "";
    base = (home == "/" ? "" : home) + fallback;
  }
  return (base == "/" ? "" : base) + "/brikon3d";
}

std::string Parent(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() ? "" : folder + "/" + name;
}

// mkdir -p; the new folders are the user's alone, as the base directory rules ask.
bool MakeFolders(const std::string& path) {
  if (IsDir(path)) return true;
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return IsDir(path);
}

}  // namespace

void SetGameDataDir(const std::string& dir) { gameDataDir = dir; }
const std::string& GameDataDir() { return gameDataDir; }

std::string GameFile(const std::string& name) {
  if (name.size() > 5 && name.compare(0, 4, "Data") == 0 && (name[4] == '/' || name[4] == '\\'))
    return gameDataDir + "/" + name.substr(5);
  return name;
}

std::string ExecutableDir() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  return Parent(std::string(buf, static_cast<size_t>(n)));
}

std::string FindGameDataDir(const std::string& exeDir) {
  const std::string own = exeDir + "/Data";
  if (IsDir(own)) return own;
  const std::string installed = exeDir + "/" BRIKON_DATA_FROM_BIN;
  if (IsDir(installed)) return installed;
  return own;
}

OUserFolders FindUserFolders(const std::string& dataDir) {
  OUserFolders f;
  if (IsFile(dataDir + "/Config.Cfg")) {
    f.config = f.data = dataDir;
    const size_t slash = dataDir.find_last_of('/');
    const std::string last = slash == std::string::npos ? dataDir : dataDir.substr(slash + 1);
    f.state = last == "Data" ? Parent(dataDir) : dataDir;
    f.gameFolder = true;
    return f;
  }
  f.config = BaseFolder("XDG_CONFIG_HOME", "/.config");
  f.data = BaseFolder("XDG_DATA_HOME", "/.local/share");
  f.state = BaseFolder("XDG_STATE_HOME", "/.local/state");
  return f;
}

void SetUserFolders(const OUserFolders& folders) { Folders() = folders; }
const OUserFolders& UserFolders() { return Folders(); }
const std::string& UserConfigDir() { return Folders().config; }
const std::string& UserDataDir() { return Folders().data; }
const std::string& UserStateDir() { return Folders().state; }

std::string ConfigFilePath() { return Join(Folders().config, "Config.Cfg"); }
std::string ScoreFilePath(const std::string& name) { return Join(Folders().data, name); }
std::string LogFilePath() { return Join(Folders().state, "Report.html"); }

std::vector<std::string> PrepareUserFolders() {
  const OUserFolders& f = Folders();
  const struct {
    const std::string& folder;
    const char* what;
  } uses[] = {{f.config, "settings"}, {f.data, "high scores"}, {f.state, "run log"}};
  std::vector<std::string> problems;
  for (const auto& use : uses) {
    if (use.folder.empty()) {
      problems.push_back(std::string("No home folder (HOME is unset or not an absolute path): the ") +
                         use.what + " will not be saved.");
      continue;
    }
    if (MakeFolders(use.folder) && access(use.folder.c_str(), W_OK | X_OK) == 0) continue;
    problems.push_back("Cannot write to " + use.folder + " (" + std::strerror(errno) + "): the " +
                       use.what + " will not be saved.");
  }
  return problems;
}
