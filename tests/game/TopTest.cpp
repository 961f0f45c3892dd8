#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "TestSupport.h"
#include "core/FileWrite.h"
#include "game/Top.h"

namespace {

std::string Scrambled(std::string text) {
  ScrambleTop(text);
  return text;
}

std::string Table(int entries) {
  std::string t;
  for (int i = 0; i < entries; ++i) t += "P" + std::to_string(i) + "\n" + std::to_string(100 - i) + "\n";
  return t;
}

}  // namespace

TEST(Top, TheTableAndItsFile) {
  ScratchDir dir;
  OTop top("Data/Classic.Top", 10);
  EXPECT_FALSE(top.Load());  // missing file: the default table, not written
  EXPECT_FALSE(FileExists("Data/Classic.Top"));
  EXPECT_FALSE(top.Qualifies(0));  // equal to the lowest entry: no place
  EXPECT_EQ(top.rank, -1);
  EXPECT_TRUE(top.Qualifies(1));  // anything above 0 takes place 1
  EXPECT_EQ(top.rank, 1);
  EXPECT_TRUE(top.Insert("Ann Lee", 500));
  EXPECT_TRUE(top.Insert("Bob", 700));
  EXPECT_TRUE(top.Insert("Cid", 500));  // equal score: directly below the older entry
  EXPECT_FALSE(top.Insert("Dan", 0));   // does not qualify: unchanged
  ASSERT_EQ(top.Count(), 10);           // capacity kept
  EXPECT_TRUE(top.Insert("   ", 50));  // a blank name is stored as NoName
  // Saved at once, in order: each name (blanks as "_") and score on a line of its own, scrambled.
  std::string plain = ReadFile("Data/Classic.Top");
  ScrambleTop(plain);
  std::string expected = "Bob\n700\nAnn_Lee\n500\nCid\n500\nNoName\n50\n";
  for (int i = 0; i < 6; ++i) expected += "Empty\n0\n";
  EXPECT_EQ(plain, expected);
  EXPECT_EQ(RemoveStaleTemporaries("Data"), 0);  // no temporary left behind

  // Read back, the blanks are spaces again; blanks of other kinds make one token with the rest
  // of the name and never break the file.
  EXPECT_TRUE(top.Insert("Tab\tNew\nLine", 900));
  OTop again("Data/Classic.Top", 10);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.Entry(0).name, "Tab New Line");
  EXPECT_EQ(again.Entry(2).name, "Ann Lee");
  EXPECT_EQ(again.Entry(4).score, 50);

  // Only a file of exactly ten pairs is taken; anything else gives the default table, whole.
  const std::string bad[] = {
      Scrambled(Table(9)),                 // too few
      Scrambled(Table(11)),                // too many
      Scrambled("A\n1\nB\nxx\n"),          // a score that does not parse
      Table(10),                           // plain text, not scrambled
  };
  for (const std::string& bytes : bad) {
    WriteFile("Data/Classic.Top", bytes);
    OTop damaged("Data/Classic.Top", 10);
    EXPECT_FALSE(damaged.Load());
    ASSERT_EQ(damaged.Count(), 10);
    EXPECT_EQ(damaged.Entry(0).name, "Empty");
    EXPECT_EQ(ReadFile("Data/Classic.Top"), bytes);  // Load never rewrites the file
  }

  // A table file from elsewhere is shown as one of ours: names as the name field could have typed
  // them (at most 20 characters the font draws as text, never a HUD icon), highest score first.
  std::string text;
  const struct {
    std::string name;
    i32 score;
  } file[] = {{"Low", 5},
              {std::string(100000, 'W'), 50},
              {"Ic{on|s", 40},
              {"\xA0\xE9\xFFhigh\x81", 30},
              {"\xE9\xFF", 30},
              {"Euro\x80", 20},
              {"A", 90},
              {"B", 10},
              {"C", 10},
              {"D", 0}};
  for (const auto& e : file) text += e.name + "\n" + std::to_string(e.score) + "\n";
  WriteFile("Data/Classic.Top", Scrambled(text));
  OTop foreign("Data/Classic.Top", 10);
  ASSERT_TRUE(foreign.Load());
  const struct {
    std::string name;
    i32 score;
    const char* what;
  } shown[] = {{"A", 90, "the highest score first"},
                  {std::string(20, 'W'), 50, "a long name cut to the field's length"},
                  {"Icons", 40, "the HUD icons dropped"},
                  {"high", 30, "characters past the font dropped"},
                  {"NoName", 30, "nothing drawable left; equal scores keep their order"},
                  {"Euro\x80", 20, "Windows-1252 letters the font has stay"},
                  {"B", 10, ""},
                  {"C", 10, "equal scores in file order"},
                  {"Low", 5, "the lowest last but one"},
                  {"D", 0, ""}};
  ASSERT_EQ(foreign.Count(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(foreign.Entry(i).name, shown[i].name) << i << " " << shown[i].what;
    EXPECT_EQ(foreign.Entry(i).score, shown[i].score) << i << " " << shown[i].what;
  }
  // Names inserted from elsewhere than the field obey the same rules.
  EXPECT_TRUE(foreign.Insert(std::string(30, 'x') + "|", 100));
  EXPECT_EQ(foreign.Entry(0).name, std::string(20, 'x'));
}

// A save that cannot be completed leaves the old file as it was, for root too: root writes into
// any folder, so the write itself is made to fail, by a file-size limit the new table exceeds.
TEST(Top, FailedSaveKeepsOldFile) {
  ScratchDir dir;
  OTop top("Data/Classic.Top", 10);
  top.Load();
  top.Insert("First", 10);
  const std::string before = ReadFile("Data/Classic.Top");
  ASSERT_GT(before.size(), 16u);
  std::signal(SIGXFSZ, SIG_IGN);  // an over-long write then fails instead of ending the process
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = top.Save();
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadFile("Data/Classic.Top"), before);
  EXPECT_EQ(RemoveStaleTemporaries("Data"), 0) << "a half-written table was left beside it";
  // (A folder in the file's place, a missing folder and a link are the atomic write's own test's.)
  // No folder for scores at all (""): the table plays in memory and nothing is written.
  OTop memoryOnly("", 10);
  EXPECT_FALSE(memoryOnly.Load());
  EXPECT_EQ(memoryOnly.Count(), 10);
  EXPECT_TRUE(memoryOnly.Insert("Ann", 5));
  EXPECT_EQ(memoryOnly.Entry(0).name, "Ann");
}
