#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"
#include "shell/Log.h"

namespace {
const char* kOpening =
    "<HTML>\n<HEAD>  <TITLE> Log file  </TITLE>  </HEAD>\n<BODY>\n<FONT  STYLE='FONT-SIZE: 10pt'>\n"
    "<PRE>\n<B><FONT color= '0000ff'>Log file opened: \\d{4}/\\d{2}/\\d{2} - \\d{2}:\\d{2}:\\d{2} "
    "</FONT></B>\n\n";
const char* kClosing =
    "\n<B><FONT color= '0000ff'>Total Errors = 0\nLog file closed: \\d{4}/\\d{2}/\\d{2} - "
    "\\d{2}:\\d{2}:\\d{2} </FONT></B>\n\n";
}  // namespace

// The log's bytes: the opening block at construction, the closing block appended by Close.
TEST(Log, Blocks) {
  ScratchDir dir;
  OLog log("Report.html");
  EXPECT_TRUE(std::regex_match(ReadFile("Report.html"), std::regex(kOpening)));
  log.Close();
  EXPECT_TRUE(std::regex_match(ReadFile("Report.html"),
                               std::regex(std::string(kOpening) + kClosing)));
}

// A log that cannot be opened is skipped without a word.
TEST(Log, UnwritablePathIsSkipped) {
  ScratchDir dir;
  OLog log("NoSuchFolder/Report.html");
  log.Close();
  EXPECT_FALSE(FileExists("NoSuchFolder/Report.html"));
}
