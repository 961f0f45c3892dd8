// Saving the player's files: whole or not at all, and by one copy of the game at a time.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/FileWrite.h"
#include "core/Log.h"
#include "core/Notice.h"
#include "core/PlayerFiles.h"

// A save replaces the whole file, through a link to its target; one that fails leaves the old file
// and no temporary behind. Two copies of the game saving the same file at once: a reader only ever
// sees one whole file. Only what a save in progress leaves is removed: never a player's file.
TEST(FileWrite, ReplacesWholeOrFailsLeavingTheOldFileNeverTearsAndRemovesOnlyTemporaries) {
  ScratchDir dir;
  std::string error;
  // A new file, then a replaced one: the bytes exactly, binary zeros included.
  const std::string bytes("one\0two\n", 8);
  ASSERT_TRUE(WriteFileAtomically("Data/a", bytes, &error)) << error;
  EXPECT_EQ(ReadFile("Data/a"), bytes);
  ASSERT_TRUE(WriteFileAtomically("Data/a", "", &error)) << error;
  EXPECT_EQ(ReadFile("Data/a"), "");
  // A player's file readable like their others (the temporary file is made private).
  struct stat st;
  ASSERT_EQ(stat("Data/a", &st), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

  // A relative link (a player keeps the scores elsewhere): the link stays, its target changes.
  WriteFile("Data/Real.Top", "old");
  ASSERT_EQ(symlink("Real.Top", "Data/Link.Top"), 0);
  ASSERT_TRUE(WriteFileAtomically("Data/Link.Top", "new", &error)) << error;
  ASSERT_EQ(lstat("Data/Link.Top", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile("Data/Real.Top"), "new");
  // A file name without a folder saves in the working folder.
  ASSERT_TRUE(WriteFileAtomically("b", "x", &error)) << error;
  EXPECT_EQ(ReadFile("b"), "x");

  // A folder that does not exist: nothing to write into, the reason given.
  EXPECT_FALSE(WriteFileAtomically("Data/None/Config.Cfg", "x", &error));
  EXPECT_FALSE(error.empty());
  // A folder standing where the file should be: fails even for root, nothing else changes.
  ASSERT_EQ(mkdir("Data/Dir", 0755), 0);
  WriteFile("Data/Config.Cfg", "kept");
  error.clear();
  EXPECT_FALSE(WriteFileAtomically("Data/Dir", "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "kept");
  EXPECT_EQ(RemoveStaleTemporaries("Data"), 0) << "a failed save left its temporary file";
  // A full device: the write fails, the message says so (through a link to /dev/full the
  // temporary file lands in /dev, where root may write; only run where that is refused).
  if (access("/dev", W_OK) != 0) {
    ASSERT_EQ(symlink("/dev/full", "Data/Full"), 0);
    EXPECT_FALSE(WriteFileAtomically("Data/Full", std::string(1 << 16, 'x')));
  }

  const std::string a(20000, 'a'), b(30000, 'b');
  WriteFile("Data/Config.Cfg", a);
  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  auto writer = [&](const std::string& bytes) {
    for (int i = 0; i < 200; ++i) failures += !WriteFileAtomically("Data/Config.Cfg", bytes);
  };
  std::thread reader([&] {
    while (!stop) {
      const std::string seen = ReadFile("Data/Config.Cfg");
      if (seen != a && seen != b) ++failures;
    }
  });
  std::thread w1(writer, a), w2(writer, b);
  w1.join();
  w2.join();
  stop = true;
  reader.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(RemoveStaleTemporaries("Data"), 0);

  for (const char* name : {"Data/.Config.Cfg.tmp-Ab12Cd", "Data/.Classic.Top.tmp-000000"})
    WriteFile(name, "torn");
  // Not ours: the files themselves, a name without the leading dot, a wrong tail length, a folder.
  const char* const kept[] = {"Data/Config.Cfg", "Data/Config.Cfg.tmp-Ab12Cd", "Data/.x.tmp-123",
                              "Data/.tmp-123456"};
  for (const char* name : kept) WriteFile(name, "keep");
  ASSERT_EQ(mkdir("Data/.Dir.tmp-Ab12Cd", 0755), 0);
  EXPECT_EQ(RemoveStaleTemporaries("Data"), 2);
  EXPECT_FALSE(FileExists("Data/.Config.Cfg.tmp-Ab12Cd"));
  for (const char* name : kept) EXPECT_EQ(ReadFile(name), "keep") << name;
  EXPECT_EQ(RemoveStaleTemporaries("Data/NoSuchFolder"), 0);
}

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
