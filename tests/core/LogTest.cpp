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
