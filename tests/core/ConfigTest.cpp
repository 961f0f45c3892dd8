#include <gtest/gtest.h>
#include <unistd.h>

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
// record is then reset. No folder at all saves nothing.
TEST(Config, MissingFileIsCreated) {
  ScratchDir dir;
  OConfig changed;
  changed.soundVolume = 7;
  EXPECT_FALSE(changed.Load());
  EXPECT_EQ(changed.soundVolume, 65000u);  // in memory: the defaults
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "1\n32\n10\n2\n1\n1\n7\n50\n125\n0\n0\n0\n0\n1\n0");

  // No folder for settings (fileName ""): the defaults, and nothing written anywhere, not even
  // beside the working folder.
  OConfig none;
  none.fileName = "";
  none.soundVolume = 7;
  EXPECT_FALSE(none.Load());
  EXPECT_EQ(none.soundVolume, 65000u);
  EXPECT_FALSE(none.Save());
  std::string listing;
  RunCommand("ls -A . Data", &listing);
  EXPECT_EQ(listing, ".:\nData\n\nData:\nConfig.Cfg\n");
}

// Other layouts read like the written form; a value that does not parse stops the reading
// (earlier values read, later ones kept); every value is brought into its range or to its
// default; a resume record that cannot be played (a negative score, no life left) is cleared. (A
// resolution read past its range is left for the window, which resets the whole record for it.)
TEST(Config, LayoutsDamageAndRanges) {
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
      {std::string("\x00\xff\x7f\x80garbage", 11), kDefaults, "binary"},
      {"99999999999999999999\n16", kDefaults, "out of range for the stream"},
      {"-1\n16", "1\n16\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0",
       "a negative resolution: the default is stored"},
      {"1\n32\n10\n7\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0", kDefaults,
       "a model detail of 7 (every brick would be invisible)"},
      {"1\n32\n10\n2\n1\n1\n65536\n101\n500\n3\n0\n0\n0\n1\n0",
       "1\n32\n10\n2\n1\n1\n65535\n100\n150\n0\n0\n0\n0\n1\n0", "volumes, speed and skin above their ranges"},
      {"1\n24\n11\n0\n1\n1\n-5\n-1\n-1\n-2\n0\n0\n0\n1\n0", "1\n32\n10\n2\n1\n1\n0\n0\n75\n0\n0\n0\n0\n1\n0",
       "below their ranges, and a depth and quality that name no choice"},
      {"1\n16\n0\n1\n1\n1\n0\n0\n75\n2\n1\n500\n3\n1\n4", "1\n16\n0\n1\n1\n1\n0\n0\n75\n2\n1\n500\n3\n1\n4",
       "every end of every range kept"},
      {"1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n1\n-500\n3\n1\n4", kDefaults, "a record with a negative score"},
      {"1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n1\n500\n0\n1\n4", kDefaults, "a record without a life"},
  };
  for (const auto& c : cases) {
    WriteFile("Data/Config.Cfg", c.file);
    OConfig config;
    EXPECT_TRUE(config.Load()) << c.what;  // still reported as read
    EXPECT_EQ(Saved(config), c.loaded) << c.what;
  }
  // Stored values are brought into range too, and the record in memory agrees with the file.
  const std::string before = ReadFile("Data/Config.Cfg");
  ASSERT_EQ(link("Data/Config.Cfg", "Data/Old.Cfg"), 0);
  OConfig config;
  config.soundVolume = 65536;
  config.resolutionIndex = 3;
  EXPECT_TRUE(config.Save());
  EXPECT_EQ(config.soundVolume, 65535u);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "1\n32\n10\n2\n1\n1\n65535\n50\n125\n0\n0\n0\n0\n1\n0");
  // Saved as a new file put in place of the old one, so that a process killed while saving
  // leaves the old one whole (the file writer's test): a hard link to the old one still reads it.
  EXPECT_EQ(ReadFile("Data/Old.Cfg"), before);
}
