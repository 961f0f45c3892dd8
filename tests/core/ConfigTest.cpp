// The two settings files: the fixed record of Config.Cfg and the keys of Settings.Cfg.
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/Settings.h"

const char* const kDefaults = "1\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0";

// A missing file is created from the values held at that moment (at start-up the defaults); the
// record is then reset. No folder at all saves nothing.
TEST(Config, MissingFileLayoutsDamageAndRanges) {
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

  // Other layouts read like the written form; a value that does not parse stops the reading
  // (earlier values read, later ones kept); every value is brought into its range or to its
  // default; a resume record that cannot be played (a negative score, no life left) is cleared. (A
  // resolution read past its range is left for the window, which resets the whole record for it.)
  const std::string written = "2\n16\n3\n1\n0\n1\n100\n20\n90\n2\n4\n12345\n3\n0\n7";
  const struct {
    std::string file, loaded;
    const char* what;
  } cases[] = {
      {"2\r\n16\r\n3\r\n1\r\n0\r\n1\r\n100\r\n20\r\n90\r\n2\r\n4\r\n12345\r\n3\r\n0\r\n7\r\n", written,
       "CRLF line ends"},
      {"0\n16\n5\n1\n2\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1",
       "0\n16\n5\n1\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0", "a flag of 2 and all after it"},
      {"2\n16", "2\n16\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n1\n0", "truncated"},
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
    config.fileName = "Data/Saved.Cfg";    // what the record holds, as the file it writes
    config.Save();
    EXPECT_EQ(ReadFile(config.fileName), c.loaded) << c.what;
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

// What a hand-edited or damaged file may hold, and what the game reads from it.
TEST(Settings, ParsingValuesAndTheSavedFile) {
  const auto v = ParseSettings(
      "a = 1\n"
      "  spaced\t=\t two words  \r\n"  // trimmed, a Windows line end too
      "# a comment = not a key\n"
      "no equals sign\n"
      " = no key\n"
      "url = x=y\n"                    // only the first '=' splits
      "a = 2\n"                        // the last repeat wins
      "empty =\n"
      "\x01\xff = binary\n"            // odd bytes are a key like any other, and harmless
      "last = unended");               // the last line needs no line end
  const std::map<std::string, std::string> expected = {
      {"a", "2"}, {"spaced", "two words"}, {"url", "x=y"}, {"empty", ""},
      {"\x01\xff", "binary"}, {"last", "unended"}};
  EXPECT_EQ(v, expected);
  EXPECT_TRUE(ParseSettings("").empty());
  EXPECT_TRUE(ParseSettings(std::string("\0\0=\n", 4)).size() <= 1);

  // Values out of shape or range take the default.
  OSettings s;
  for (const auto& [key, value] : ParseSettings("n = 42\nneg = -3\njunk = 12abc\nbig = 99999999999999999999\n"
                                                "blank = \nlow = -1\nb1 = yes\nb0 = off\nbx = maybe"))
    s.Set(key, value);
  EXPECT_EQ(s.GetInt("n", 7, 0, 100), 42);
  EXPECT_EQ(s.GetInt("n", 7, 0, 41), 7);      // above the range
  EXPECT_EQ(s.GetInt("neg", 7, -5, 5), -3);
  EXPECT_EQ(s.GetInt("low", 7, 0, 5), 7);     // below the range
  EXPECT_EQ(s.GetInt("junk", 7, 0, 100), 7);  // trailing characters
  EXPECT_EQ(s.GetInt("big", 7, 0, 100), 7);   // overflow
  EXPECT_EQ(s.GetInt("blank", 7, 0, 100), 7);
  EXPECT_EQ(s.GetInt("missing", 7, 0, 100), 7);
  EXPECT_TRUE(s.GetBool("b1", false));
  EXPECT_FALSE(s.GetBool("b0", true));
  EXPECT_TRUE(s.GetBool("bx", true));
  EXPECT_EQ(s.Get("missing", "fallback"), "fallback");

  // The saved file lies beside Config.Cfg and reads back with the keys it does not know kept.
  ScratchDir dir;
  EXPECT_EQ(SettingsFileName("Data/Config.Cfg"), "Data/Settings.Cfg");
  EXPECT_EQ(SettingsFileName("Config.Cfg"), "Settings.Cfg");
  EXPECT_EQ(SettingsFileName(""), "") << "no folder for settings, no second file";

  OSettings missing;
  EXPECT_FALSE(missing.Load("Data/Settings.Cfg"));
  EXPECT_TRUE(missing.Values().empty());

  // A newer copy of the game wrote a key this one does not know: it survives our save.
  WriteFile("Data/Settings.Cfg", "from.newer = 5\ngarbage line\n");
  OSettings kept;
  ASSERT_TRUE(kept.Load("Data/Settings.Cfg"));
  kept.SetInt("window.width", 1280);
  kept.SetBool("vsync", true);
  // Keys and values that would not read back as written are refused.
  for (const auto& [key, value] : {std::pair<const char*, const char*>{"two\nlines", "x"}, {"k", "two\nlines"},
                                   {"#hidden", "x"}, {"a=b", "x"}, {"  ", "x"}})
    EXPECT_FALSE(kept.Set(key, value)) << key << " = " << value;
  ASSERT_TRUE(kept.Save("Data/Settings.Cfg"));
  EXPECT_EQ(ReadFile("Data/Settings.Cfg"), "from.newer = 5\nvsync = 1\nwindow.width = 1280\n");
  OSettings again;
  ASSERT_TRUE(again.Load("Data/Settings.Cfg"));
  EXPECT_EQ(again.Values(), kept.Values());
}
