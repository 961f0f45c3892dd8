#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Settings.h"

// What a hand-edited or damaged file may hold, and what the game reads from it.
TEST(Settings, ParsingKeepsWhatReadsAsKeyValue) {
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
}

TEST(Settings, ValuesOutOfShapeOrRangeTakeTheDefault) {
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
}

TEST(Settings, SavedFileReadsBackWithUnknownKeysKept) {
  ScratchDir dir;
  EXPECT_EQ(SettingsFileName("Data/Config.Cfg"), "Data/Settings.Cfg");
  EXPECT_EQ(SettingsFileName("/home/p/.config/brikon3d/Config.Cfg"),
            "/home/p/.config/brikon3d/Settings.Cfg");
  EXPECT_EQ(SettingsFileName("Config.Cfg"), "Settings.Cfg");
  EXPECT_EQ(SettingsFileName(""), "") << "no folder for settings, no second file";

  OSettings missing;
  EXPECT_FALSE(missing.Load("Data/Settings.Cfg"));
  EXPECT_TRUE(missing.Values().empty());

  // A newer copy of the game wrote a key this one does not know: it survives our save.
  WriteFile("Data/Settings.Cfg", "from.newer = 5\ngarbage line\n");
  OSettings s;
  ASSERT_TRUE(s.Load("Data/Settings.Cfg"));
  s.SetInt("window.width", 1280);
  s.SetBool("vsync", true);
  // Keys and values that would not read back as written are refused.
  EXPECT_FALSE(s.Set("two\nlines", "x"));
  EXPECT_FALSE(s.Set("k", "two\nlines"));
  EXPECT_FALSE(s.Set("#hidden", "x"));
  EXPECT_FALSE(s.Set("a=b", "x"));
  EXPECT_FALSE(s.Set("  ", "x"));
  ASSERT_TRUE(s.Save("Data/Settings.Cfg"));
  EXPECT_EQ(ReadFile("Data/Settings.Cfg"), "from.newer = 5\nvsync = 1\nwindow.width = 1280\n");
  OSettings again;
  ASSERT_TRUE(again.Load("Data/Settings.Cfg"));
  EXPECT_EQ(again.Values(), s.Values());
}
