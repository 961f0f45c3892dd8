#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Config.h"

namespace {
const char* kDefaults = "1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0";

// What a record holds, as the file it would write.
std::string Saved(OConfig c) {
  c.fileName = "Data/Saved.Cfg";
  c.Save();
  return ReadFile(c.fileName);
}
}  // namespace

// A missing file is created from the values held at that moment (at start-up the defaults); the
// record is then reset. A folder that cannot be written saves nothing and says so.
TEST(Config, MissingFileIsCreated) {
  ScratchDir dir;
  OConfig changed;
  changed.soundVolume = 7;
  EXPECT_FALSE(changed.Load());
  EXPECT_EQ(changed.soundVolume, 65000u);  // in memory: the defaults
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "1\n32\n10\n2\n1\n1\n7\n50\n125\n0\n0\n0\n0\n1\n0");

  OConfig nowhere;
  nowhere.fileName = "NoSuchFolder/Config.Cfg";
  EXPECT_FALSE(nowhere.Save());
  EXPECT_FALSE(nowhere.Load());
  EXPECT_FALSE(FileExists(nowhere.fileName));
}

// Other layouts read like the written form; a value that does not parse stops the reading:
// earlier values are read, later ones kept.
TEST(Config, OtherLayoutsAndDamagedFiles) {
  ScratchDir dir;
  const std::string written = "2\n16\n3\n1\n0\n1\n100\n20\n90\n2\n4\n12345\n3\n0\n7";
  const struct {
    std::string file, loaded;
    const char* what;
  } cases[] = {
      {"2 16 3 1 0 1 100 20 90 2 4 12345 3 0 7", written, "all on one line"},
      {"2\r\n16\r\n3\r\n1\r\n0\r\n1\r\n100\r\n20\r\n90\r\n2\r\n4\r\n12345\r\n3\r\n0\r\n7\r\n", written,
       "CRLF line ends"},
      {"0\n16\n5\n1\n2\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1",
       "0\n16\n5\n1\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0", "a flag of 2 and all after it"},
      {"2\n16", "2\n16\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0", "truncated"},
      {"", kDefaults, "empty"},
      {std::string("\x00\xff\x7f\x80garbage", 11), kDefaults, "binary"},
      {"99999999999999999999\n16", kDefaults, "out of range for the stream"},
      {"-1\n16", "-1\n16\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0",
       "negative: read as written, no range check"},
  };
  for (const auto& c : cases) {
    WriteFile("Data/Config.Cfg", c.file);
    OConfig config;
    EXPECT_TRUE(config.Load()) << c.what;  // still reported as read
    EXPECT_EQ(Saved(config), c.loaded) << c.what;
  }
}

// No folder for settings (fileName ""): the defaults, and nothing written anywhere, not even
// beside the working folder.
TEST(Config, NoFolderMeansNoFile) {
  ScratchDir dir;
  OConfig config;
  config.fileName = "";
  config.soundVolume = 7;
  EXPECT_FALSE(config.Load());
  EXPECT_EQ(config.soundVolume, 65000u);
  EXPECT_FALSE(config.Save());
  std::string listing;
  RunCommand("ls -A . Data", &listing);
  EXPECT_EQ(listing, ".:\nData\n\nData:\n");
}
