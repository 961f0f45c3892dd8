// The log's blocks in a real run are the program's tests' (Entry, PlayerJourney).
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Log.h"

// A log that cannot be opened is skipped without a word.
TEST(Log, UnwritablePathIsSkipped) {
  ScratchDir dir;
  OLog log("NoSuchFolder/Report.html");
  log.Close();
  EXPECT_FALSE(FileExists("NoSuchFolder/Report.html"));
}

// A note lands between the two blocks, as text even when it holds markup characters.
TEST(Log, NoteBetweenTheBlocks) {
  ScratchDir dir;
  OLog log("Report.html");
  log.Note("Cannot write to /tmp/<a&b>");
  log.Close();
  const std::string text = ReadFile("Report.html");
  const size_t note = text.find("Cannot write to /tmp/&lt;a&amp;b&gt;\n");
  ASSERT_NE(note, std::string::npos) << text;
  EXPECT_LT(text.find("Log file opened"), note);
  EXPECT_GT(text.find("Log file closed"), note);
}
