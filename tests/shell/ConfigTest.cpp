#include <gtest/gtest.h>

#include <cstdio>

#include "TestSupport.h"
#include "shell/Config.h"

namespace {
const char* kDefaults = "1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0";
}

// A missing file is created from the values held at that moment; the record is then reset.
TEST(Config, MissingFileIsCreated) {
  ScratchDir dir;
  OConfig fresh;
  EXPECT_FALSE(fresh.Load());
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), kDefaults);  // at start-up: the default file

  std::remove("Data/Config.Cfg");
  OConfig changed;
  changed.soundVolume = 7;
  EXPECT_FALSE(changed.Load());
  EXPECT_EQ(changed.soundVolume, 65000u);  // in memory: the defaults
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "1\n32\n10\n2\n1\n1\n7\n50\n125\n0\n0\n0\n0\n1\n0");
}

// Every way a file can parse the same as the written form.
TEST(Config, EquivalentForms) {
  ScratchDir dir;
  const char* forms[] = {
      "2\n16\n3\n1\n0\n1\n100\n20\n90\n2\n4\n12345\n3\n0\n7",   // as written
      "2 16 3 1 0 1 100 20 90 2 4 12345 3 0 7",                 // all on one line
      "2\n16\n3\n1\n0\n1\n100\n20\n90\n2\n4\n12345\n3\n0\n7\n",  // trailing line feed
      "2\r\n16\r\n3\r\n1\r\n0\r\n1\r\n100\r\n20\r\n90\r\n2\r\n4\r\n12345\r\n3\r\n0\r\n7\r\n",  // CRLF
  };
  for (const char* form : forms) {
    WriteFile("Data/Config.Cfg", form);
    OConfig c;
    ASSERT_TRUE(c.Load()) << form;
    EXPECT_EQ(c.resolutionIndex, 2u);
    EXPECT_EQ(c.colorBits, 16u);
    EXPECT_EQ(c.textureQuality, 3u);
    EXPECT_EQ(c.modelDetail, 1u);
    EXPECT_EQ(c.soundOn, 0);
    EXPECT_EQ(c.musicOn, 1);
    EXPECT_EQ(c.soundVolume, 100u);
    EXPECT_EQ(c.musicVolume, 20u);
    EXPECT_EQ(c.gameSpeed, 90u);
    EXPECT_EQ(c.brickSkin, 2u);
    EXPECT_EQ(c.savedEpisode, 4u);
    EXPECT_EQ(c.savedScore, 12345u);
    EXPECT_EQ(c.savedLives, 3u);
    EXPECT_EQ(c.fullscreen, 0);
    EXPECT_EQ(c.savedLevel, 7u);
  }
}

// A value that does not parse stops the reading: earlier values are read, later ones kept.
TEST(Config, DamagedFilesKeepLaterValues) {
  ScratchDir dir;
  OConfig c;
  c.soundOn = 0;
  c.musicOn = 0;
  c.savedLevel = 99;

  WriteFile("Data/Config.Cfg", "0\n16\n5\n1\n2\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1");
  EXPECT_TRUE(c.Load());               // still reported as read
  EXPECT_EQ(c.resolutionIndex, 0u);    // values before the flag of 2 are taken
  EXPECT_EQ(c.modelDetail, 1u);
  EXPECT_EQ(c.soundOn, 0);             // the flag of 2 keeps its previous value
  EXPECT_EQ(c.musicOn, 0);             // and so does everything after it
  EXPECT_EQ(c.savedLevel, 99u);

  OConfig t;
  WriteFile("Data/Config.Cfg", "2\n16");  // truncated
  EXPECT_TRUE(t.Load());
  EXPECT_EQ(t.resolutionIndex, 2u);
  EXPECT_EQ(t.colorBits, 16u);
  EXPECT_EQ(t.textureQuality, 10u);  // default kept

  OConfig e;
  WriteFile("Data/Config.Cfg", "");  // empty
  EXPECT_TRUE(e.Load());
  EXPECT_EQ(e.resolutionIndex, 1u);

  OConfig b;
  WriteFile("Data/Config.Cfg", std::string("\x00\xff\x7f\x80garbage", 11));  // binary
  EXPECT_TRUE(b.Load());
  EXPECT_EQ(b.gameSpeed, 125u);

  OConfig big;
  WriteFile("Data/Config.Cfg", "99999999999999999999\n16");  // out of range for the stream
  EXPECT_TRUE(big.Load());
  EXPECT_EQ(big.resolutionIndex, 1u);
  EXPECT_EQ(big.colorBits, 32u);

  OConfig neg;
  WriteFile("Data/Config.Cfg", "-1\n16");  // negative values read as written (no range check)
  EXPECT_TRUE(neg.Load());
  EXPECT_EQ(neg.resolutionIndex, 0xFFFFFFFFu);
}

// A folder that cannot be written: nothing is saved, and the save says so.
TEST(Config, UnwritableFolderIsSilent) {
  ScratchDir dir;
  OConfig c;
  c.fileName = "NoSuchFolder/Config.Cfg";
  EXPECT_FALSE(c.Save());
  EXPECT_FALSE(FileExists(c.fileName));
  EXPECT_FALSE(c.Load());
  EXPECT_EQ(c.resolutionIndex, 1u);
}

TEST(Config, ResetKeepsFileName) {
  OConfig c;
  c.fileName = "x";
  c.gameSpeed = 1;
  c.Reset();
  EXPECT_EQ(c.fileName, "x");
  EXPECT_EQ(c.gameSpeed, 125u);
  EXPECT_EQ(&GetConfig(), &GetConfig());  // one record
}
