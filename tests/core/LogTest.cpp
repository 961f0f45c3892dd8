// The run log byte for byte but for the time stamps.
#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"
#include "core/Log.h"

// Each run starts the file afresh. Errors and notes are lines of their own between the opening and
// closing blocks, as text even when they hold markup, and only errors are counted; LogError reaches
// the run's log, or nothing without one; a log that cannot be opened is skipped without a word.
TEST(Log, OpeningAndClosingBlocksTheLinesBetweenAndTruncation) {
  ScratchDir dir;
  WriteFile("Report.html", "an earlier run's log\n");
  OLog log("Report.html");
  const std::string stamp = R"(\d{4}/\d\d/\d\d - \d\d:\d\d:\d\d )";
  const std::string opening =
      "<HTML>\n<HEAD>  <TITLE> Log file  </TITLE>  </HEAD>\n<BODY>\n"
      "<FONT  STYLE='FONT-SIZE: 10pt'>\n<PRE>\n<B><FONT color= '0000ff'>Log file opened: " +
      stamp + "</FONT></B>\n\n";
  EXPECT_TRUE(std::regex_match(ReadFile("Report.html"), std::regex(opening)))
      << ReadFile("Report.html");
  SetRunLog(&log);
  LogError("Data/Textures/Menu.jpg: not in the archive");
  LogError("Data/<odd>&name: damaged");
  log.Note("Cannot write to /tmp/<a&b>");
  SetRunLog(nullptr);
  LogError("after the run log is gone");
  log.Close();
  const std::string error = R"(<FONT color= 'ff0000'>\d\d:\d\d:\d\d Error: )";
  const std::string lines = error + R"(Data/Textures/Menu\.jpg: not in the archive</FONT>)" + "\n" + error +
                            "Data/&lt;odd&gt;&amp;name: damaged</FONT>\nCannot write to /tmp/&lt;a&amp;b&gt;\n";
  const std::string closing = "\n<B><FONT color= '0000ff'>Total Errors = 2\nLog file closed: " +
                              stamp + "</FONT></B>\n\n";
  EXPECT_TRUE(std::regex_match(ReadFile("Report.html"), std::regex(opening + lines + closing)))
      << ReadFile("Report.html");
  OLog nowhere("NoSuchFolder/Report.html");
  nowhere.Close();
  EXPECT_FALSE(FileExists("NoSuchFolder/Report.html"));
}
