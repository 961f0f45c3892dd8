#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

OCommandLine Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "brikon3d");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

}  // namespace

TEST(CommandLine, OptionsValuesAndMistakes) {
  using A = OCommandLine::Action;
  const struct {
    const char* what;
    std::vector<const char*> args;
    A action;
    int fullscreen, resolution;
    std::string data;
  } cases[] = {
      {"nothing: play as the settings say", {}, A::PLAY, -1, -1, ""},
      {"windowed at 1024x768", {"--windowed", "--resolution", "2"}, A::PLAY, 0, 2, ""},
      {"the = form", {"--fullscreen", "--resolution=0", "--data=/d"}, A::PLAY, 1, 0, "/d"},
      {"given twice: the last wins",
       {"--windowed", "--fullscreen", "--resolution", "0", "--resolution", "1", "--data", "a",
        "--data", "b"},
       A::PLAY, 1, 1, "b"},
      {"help, short and long", {"-h"}, A::HELP, -1, -1, ""},
      {"help wins over version and play options", {"--windowed", "--version", "--help"}, A::HELP,
       0, -1, ""},
      {"version", {"--version"}, A::VERSION, -1, -1, ""},
      {"an unknown option or a bare word", {"play"}, A::BAD, -1, -1, ""},
      {"a resolution out of range", {"--resolution", "3"}, A::BAD, -1, -1, ""},
      {"a resolution that is no number", {"--resolution", "1x"}, A::BAD, -1, -1, ""},
      {"a missing value at the end", {"--data"}, A::BAD, -1, -1, ""},
      {"an empty data folder", {"--data="}, A::BAD, -1, -1, ""},
      {"a value where none is taken", {"--windowed=1"}, A::BAD, -1, -1, ""},
      {"a mistake outweighs --help", {"--help", "--bogus"}, A::BAD, -1, -1, ""},
  };
  for (const auto& c : cases) {
    const OCommandLine line = Parse(c.args);
    EXPECT_EQ(line.action, c.action) << c.what;
    EXPECT_EQ(line.action == A::BAD, !line.error.empty()) << c.what << ": " << line.error;
    if (c.action == A::BAD) continue;
    EXPECT_EQ(line.run.fullscreen, c.fullscreen) << c.what;
    EXPECT_EQ(line.run.resolutionIndex, c.resolution) << c.what;
    EXPECT_EQ(line.dataDir, c.data) << c.what;
  }
  // The value after --data is taken as it is, even when it looks like an option.
  EXPECT_EQ(Parse({"--data", "--windowed"}).dataDir, "--windowed");
}
