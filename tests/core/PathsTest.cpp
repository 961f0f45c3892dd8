#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Paths.h"

namespace {

// Sets (nullptr unsets) the folders' variables; puts back the process's own values and folders.
struct Environment {
  static constexpr const char* kNames[4] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"};
  std::optional<std::string> saved[4];
  Environment() {
    for (size_t i = 0; i < 4; ++i)
      if (const char* value = std::getenv(kNames[i])) saved[i] = value;
  }
  ~Environment() {
    for (size_t i = 0; i < 4; ++i) Put(i, saved[i] ? saved[i]->c_str() : nullptr);
    SetUserFolders(OUserFolders{"Data", "Data", ".", true});
    SetGameDataDir("Data");
  }
  void Set(const char* home, const char* config, const char* data, const char* state) {
    const char* values[] = {home, config, data, state};
    for (size_t i = 0; i < 4; ++i) Put(i, values[i]);
  }
  static void Put(size_t i, const char* value) {
    if (value != nullptr) setenv(kNames[i], value, 1);
    else unsetenv(kNames[i]);
  }
};

}  // namespace

// The three folders from HOME and the XDG variables, as the base directory rules define them, or
// the game folder's; the names of the player's files and of the game's data; the folders made.
TEST(Paths, UserFoldersGameFolderFileNamesTheGameDataAndMakingTheFolders) {
  Environment env;
  ScratchDir dir;  // its Data/ holds no Config.Cfg
  const struct {
    const char* what;
    const char *home, *config, *data, *state;
    std::string wantConfig, wantData, wantState;
  } cases[] = {
      {"only HOME: the defaults under it", "/home/ann", nullptr, nullptr, nullptr,
       "/home/ann/.config/brikon3d", "/home/ann/.local/share/brikon3d",
       "/home/ann/.local/state/brikon3d"},
      {"absolute XDG variables win over HOME", "/home/ann", "/c", "/d/", "/s",
       "/c/brikon3d", "/d/brikon3d", "/s/brikon3d"},
      {"relative and empty XDG variables are ignored", "/home/ann", "rel/conf", "", "./s",
       "/home/ann/.config/brikon3d", "/home/ann/.local/share/brikon3d",
       "/home/ann/.local/state/brikon3d"},
      {"HOME unset: only absolute XDG variables give a folder", nullptr, "/c", nullptr, "",
       "/c/brikon3d", "", ""},
      {"a relative HOME is no home", "home", nullptr, nullptr, nullptr, "", "", ""},
      {"HOME is the root folder", "/", nullptr, nullptr, nullptr, "/.config/brikon3d",
       "/.local/share/brikon3d", "/.local/state/brikon3d"},
  };
  for (const auto& c : cases) {
    env.Set(c.home, c.config, c.data, c.state);
    const OUserFolders f = FindUserFolders(dir.Path() + "/Data");
    EXPECT_EQ(f.config, c.wantConfig) << c.what;
    EXPECT_EQ(f.data, c.wantData) << c.what;
    EXPECT_EQ(f.state, c.wantState) << c.what;
    EXPECT_FALSE(f.gameFolder) << c.what;
  }

  // A data folder holding a Config.Cfg file keeps settings and scores, and the log above a folder
  // named Data (beside others). No folder gives no file; only Data/ itself maps to the data folder,
  // found beside the executable (the installed share folder is the install test's).
  env.Set("/home/ann", "/c", "/d", "/s");
  mkdir("Other", 0755);
  mkdir("Dir", 0755);
  mkdir("Dir/Config.Cfg", 0755);
  WriteFile("Data/Config.Cfg", "");
  WriteFile("Other/Config.Cfg", "");
  const OUserFolders f = FindUserFolders(dir.Path() + "/Data");
  EXPECT_TRUE(f.gameFolder);
  EXPECT_EQ(f.config + " " + f.data + " " + f.state,
            dir.Path() + "/Data " + dir.Path() + "/Data " + dir.Path());
  EXPECT_EQ(FindUserFolders(dir.Path() + "/Other").state, dir.Path() + "/Other");
  EXPECT_FALSE(FindUserFolders(dir.Path() + "/Dir").gameFolder);

  SetUserFolders(OUserFolders{});
  EXPECT_EQ(ConfigFilePath() + ScoreFilePath("Modern.Top") + LogFilePath(), "");
  SetGameDataDir("/opt/game/share");
  EXPECT_EQ(GameFile("Data/Resource.Tkr"), "/opt/game/share/Resource.Tkr");
  EXPECT_EQ(GameFile("Data\\Sounds\\x.wav"), "/opt/game/share/Sounds\\x.wav");
  EXPECT_EQ(GameFile("Database/x"), "Database/x") << "only the Data folder itself";
  mkdir("bin", 0755);
  EXPECT_EQ(FindGameDataDir(dir.Path() + "/bin"), dir.Path() + "/bin/Data");
  EXPECT_EQ(FindGameDataDir(dir.Path()), dir.Path() + "/Data");

  // Folders are made as needed (private to the user); one that cannot be used is reported once
  // with what will not be saved, and nothing else happens.
  const std::string root = dir.Path();
  WriteFile("file", "");
  mkdir("locked", 0555);
  SetUserFolders(OUserFolders{root + "/a/b/config", root + "/file/data", root + "/locked/state", false});
  std::vector<std::string> problems = PrepareUserFolders();
  struct stat st;
  ASSERT_EQ(stat((root + "/a/b/config").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(problems.size(), geteuid() == 0 ? 1u : 2u);  // root writes anywhere but under a file
  if (geteuid() != 0) {
    EXPECT_NE(problems[1].find(root + "/locked/state"), std::string::npos) << problems[1];
    EXPECT_NE(problems[1].find("run log will not be saved"), std::string::npos) << problems[1];
  }
  EXPECT_NE(problems[0].find(root + "/file/data"), std::string::npos) << problems[0];
  EXPECT_NE(problems[0].find("high scores will not be saved"), std::string::npos) << problems[0];

  SetUserFolders(OUserFolders{});
  problems = PrepareUserFolders();
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_NE(problems[0].find("No home folder"), std::string::npos) << problems[0];
  chmod("locked", 0755);
}
