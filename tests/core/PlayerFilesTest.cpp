// One copy of the game at a time writes the player's files; a second one plays read-only.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/FileWrite.h"
#include "core/Log.h"
#include "core/Notice.h"
#include "core/PlayerFiles.h"

// The first copy takes the folder and clears what a killed save left; a second lock on it leaves
// the temporaries alone and refuses saves (said on screen, logged once) until the first has gone.
TEST(PlayerFiles, ASecondCopyPlaysReadOnly) {
  ScratchDir dir;
  OLog log("Report.html");
  SetRunLog(&log);
  WriteFile("Data/.Config.Cfg.tmp-ABC123", "left by a killed save");
  WriteFile("Data/Config.Cfg", "0\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0");
  TakeNotice();
  {
    OPlayerFilesLock first({"Data", "Data"});
    EXPECT_TRUE(first.Held());
    EXPECT_FALSE(FileExists("Data/.Config.Cfg.tmp-ABC123")) << "the stale temporary stays";
    EXPECT_FALSE(PlayerFilesReadOnly());
    EXPECT_EQ(TakeNotice(), "");

    WriteFile("Data/.Config.Cfg.tmp-XYZ789", "another copy saving right now");
    {
      OPlayerFilesLock second({"Data"});
      EXPECT_FALSE(second.Held());
      EXPECT_TRUE(PlayerFilesReadOnly());
      EXPECT_TRUE(FileExists("Data/.Config.Cfg.tmp-XYZ789")) << "a save in progress was removed";
      EXPECT_EQ(TakeNotice(), "Another copy of the game is running: nothing is saved");
      OConfig config;
      config.soundVolume = 1;
      EXPECT_FALSE(config.Save());
      EXPECT_EQ(ReadFile("Data/Config.Cfg"), "0\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0");
      EXPECT_EQ(TakeNotice(), "Settings not saved: another copy of the game is running");
    }
    EXPECT_FALSE(PlayerFilesReadOnly());
  }
  // The first copy gone, the next one takes the folder; a save that fails there says what and
  // why on screen and in the log.
  OPlayerFilesLock next({"Data"});
  EXPECT_TRUE(next.Held());
  OConfig config;
  EXPECT_TRUE(config.Save());
  ASSERT_EQ(unlink("Data/Config.Cfg"), 0);
  ASSERT_EQ(mkdir("Data/Config.Cfg", 0755), 0);
  EXPECT_FALSE(config.Save());
  EXPECT_EQ(TakeNotice(), "Settings not saved: Is a directory");
  SetRunLog(nullptr);
  EXPECT_EQ(log.errors, 2);  // the second copy's start and the failed save; not each refused save
  log.Close();
  EXPECT_NE(ReadFile("Report.html").find("Data/Config.Cfg: Settings not saved: Is a directory"),
            std::string::npos);
}
