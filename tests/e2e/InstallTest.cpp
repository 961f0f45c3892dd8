// The game installed into a staging folder, checked by the desktop's validators, then started from
// another folder to the menu and closed, writing only into the player's folders.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

// Every file under a folder with its size and change time, one per line, sorted.
std::string Snapshot(const std::string& folder) {
  std::string out;
  RunCommand("cd '" + folder + "' && find . -printf '%p %s %C@\\n' | sort", &out);
  return out;
}

}  // namespace

TEST(Install, InstalledGamePlaysFromAnyFolderAndKeepsItsFilesInTheUsersFolders) {
  ScratchDir dir;
  const std::string stage = dir.Path() + "/stage";
  std::string out;
  const std::string install = "DESTDIR='" + stage + "' cmake --install '" BRIKON_BINARY_DIR "'";
  ASSERT_EQ(RunCommand(install + " --prefix /usr", &out), 0) << out;

  // What a desktop finds: the program, its data, the icons and the manual; the entry and the
  // metadata are read by the desktop's validators below, the 48 and 256 pixel icons measured.
  const std::string usr = stage + "/usr";
  for (const std::string file : {"bin/brikon3d", "share/brikon3d/Resource.Tkr",
                                 "share/brikon3d/Sounds/hit_block.wav",
                                 "share/icons/hicolor/128x128/apps/brikon3d.png",
                                 "share/man/man6/brikon3d.6"})
    EXPECT_TRUE(FileExists(usr + "/" + file)) << file;
  EXPECT_FALSE(FileExists(usr + "/share/brikon3d/Config.Cfg")) << "no player's file is installed";
  const std::string entry = usr + "/share/applications/org.brikon3d.brikon3d.desktop";
  EXPECT_EQ(RunCommand("desktop-file-validate '" + entry + "'", &out), 0) << out;
  EXPECT_EQ(out, "") << "no warnings either";
  const std::string metadata = usr + "/share/metainfo/org.brikon3d.brikon3d.metainfo.xml";
  EXPECT_EQ(RunCommand("appstreamcli validate --no-net '" + metadata + "'", &out), 0) << out;
  const std::string icons = usr + "/share/icons/hicolor/";
  RunCommand("identify -format '%wx%h ' '" + icons + "48x48/apps/brikon3d.png' '" + icons +
                 "256x256/apps/brikon3d.png'",
             &out);
  EXPECT_EQ(out, "48x48 256x256 ");

  PrivateDisplay display(1024, 768);
  if (!display.Ok()) SKIP_OR_FAIL_IN_CI("needs Xvfb");
  // Started from a folder of its own, its HOME and XDG folders elsewhere, in a 640x480 window.
  RunCommand("mkdir -p work home");
  const std::string home = dir.Path() + "/home";
  const std::string before = Snapshot(stage);
  {
    RunningGame game({{"SDL_AUDIODRIVER", "dummy"},
                      {"HOME", home},
                      {"XDG_CONFIG_HOME", home + "/config"},
                      {"XDG_DATA_HOME", home + "/data"},
                      {"XDG_STATE_HOME", home + "/state"}},
                     usr + "/bin/brikon3d", {"--windowed", "--resolution", "0"},
                     dir.Path() + "/work");
    ASSERT_TRUE(game.Started());
    std::string info;
    const std::string id = game.FindWindow("^Brikon 3D", &info);
    ASSERT_FALSE(id.empty()) << ReadFile("game.log");
    EXPECT_NE(info.find("Width: 640"), std::string::npos) << info;
    // The main menu once something is drawn (loading ends before the window takes the close).
    EXPECT_TRUE(RunningGame::WaitUntilDrawn(id)) << "nothing was drawn";
    SleepMs(1000);
    ASSERT_TRUE(RequestWindowClose(std::stoul(id)));
    int status = 0;
    ASSERT_TRUE(game.WaitForExit(&status)) << "closing did not end the game";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << ReadFile("game.log");
  }

  // The settings in the config folder keep the stored choices (800x600, full screen), not the
  // command line's window of that run only; the log in the state folder, closed.
  const std::vector<std::string> config = Lines(ReadFile(home + "/config/brikon3d/Config.Cfg"));
  ASSERT_EQ(config.size(), 15u);
  EXPECT_EQ(config[0], "1") << "resolution";
  EXPECT_EQ(config[13], "1") << "full screen";
  const std::string settings = ReadFile(home + "/config/brikon3d/Settings.Cfg");
  EXPECT_EQ(settings.find("window.width = 640"), std::string::npos) << settings;
  EXPECT_NE(ReadFile(home + "/state/brikon3d/Report.html").find("Log file closed"),
            std::string::npos);
  // Nothing written into the install tree or the working folder.
  EXPECT_EQ(Snapshot(stage), before);
  RunCommand("ls -A work", &out);
  EXPECT_EQ(out, "");
}
