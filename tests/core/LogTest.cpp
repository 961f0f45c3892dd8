// The run log's two blocks, byte for byte but for the time stamps.
#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"
#include "core/Log.h"

TEST(Log, OpeningAndClosingBlocksAndTruncation) {
  ScratchDir dir;
  // Each run starts the file afresh: what an earlier run left is gone.
  WriteFile("Report.html", "an earlier run's log\n");
  OLog log("Report.html");
  const std::string stamp = R"(\d{4}/\d\d/\d\d - \d\d:\d\d:\d\d )";
  const std::string opening =
      "<HTML>\n<HEAD>  <TITLE> Log file  </TITLE>  </HEAD>\n<BODY>\n"
      "<FONT  STYLE='FONT-SIZE: 10pt'>\n<PRE>\n<B><FONT color= '0000ff'>Log file opened: " +
      stamp + "</FONT></B>\n\n";
  EXPECT_TRUE(std::regex_match(ReadFile("Report.html"), std::regex(opening)))
      << ReadFile("Report.html");
  // The closing block is appended with the error count.
  log.errors = 3;
  log.Close();
  const std::string closing = "\n<B><FONT color= '0000ff'>Total Errors = 3\nLog file closed: " +
                              stamp + "</FONT></B>\n\n";
  EXPECT_TRUE(std::regex_match(ReadFile("Report.html"), std::regex(opening + closing)))
      << ReadFile("Report.html");
  // A log that cannot be opened is skipped without a word.
  OLog nowhere("NoSuchFolder/Report.html");
  nowhere.Close();
  EXPECT_FALSE(FileExists("NoSuchFolder/Report.html"));
}

// Errors and notes are lines of their own between the two blocks, as text even when they hold
// markup characters; errors are counted in the total. The process-wide entry reaches the log set
// for the run, and nothing without one.
TEST(Log, ErrorsAndNotesBetweenTheBlocks) {
  ScratchDir dir;
  OLog log("Report.html");
  SetRunLog(&log);
  LogError("Data/Textures/Menu.jpg: not in the archive");
  LogError("Data/<odd>&name: damaged");
  log.Note("Cannot write to /tmp/<a&b>");
  SetRunLog(nullptr);
  LogError("after the run log is gone");
  log.Close();
  const std::string text = ReadFile("Report.html");
  EXPECT_NE(text.find("Error: Data/Textures/Menu.jpg: not in the archive"), std::string::npos);
  EXPECT_NE(text.find("Data/&lt;odd&gt;&amp;name: damaged"), std::string::npos);
  EXPECT_EQ(text.find("after the run log"), std::string::npos);
  EXPECT_NE(text.find("Total Errors = 2\n"), std::string::npos) << "a note is no error";
  const size_t note = text.find("Cannot write to /tmp/&lt;a&amp;b&gt;\n");
  ASSERT_NE(note, std::string::npos) << text;
  EXPECT_LT(text.find("Log file opened"), text.find("Menu.jpg"));
  EXPECT_LT(text.find("Menu.jpg"), note);
  EXPECT_LT(note, text.find("Total Errors"));
}
