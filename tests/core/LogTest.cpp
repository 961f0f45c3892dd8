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

// Errors are lines of their own between the two blocks, escaped, and counted in the total; the
// process-wide entry reaches the log set for the run, and nothing without one.
TEST(Log, ErrorsAreWrittenAndCounted) {
  ScratchDir dir;
  OLog log("Report.html");
  SetRunLog(&log);
  LogError("Data/Textures/Menu.jpg: not in the archive");
  LogError("Data/<odd>&name: damaged");
  SetRunLog(nullptr);
  LogError("after the run log is gone");
  log.Close();
  const std::string text = ReadFile("Report.html");
  EXPECT_NE(text.find("Error: Data/Textures/Menu.jpg: not in the archive"), std::string::npos);
  EXPECT_NE(text.find("Data/&lt;odd&gt;&amp;name: damaged"), std::string::npos);
  EXPECT_EQ(text.find("after the run log"), std::string::npos);
  EXPECT_NE(text.find("Total Errors = 2\n"), std::string::npos);
  EXPECT_LT(text.find("Log file opened"), text.find("Menu.jpg"));
  EXPECT_LT(text.find("Menu.jpg"), text.find("Total Errors"));
}
