// The real program's ways of ending early.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"

namespace {

const std::string kGame = BRIKON_GAME_DIR "/brikon3d";
// Windowed at 640x480, sound and music off.
const char* const kConfig = "0\n32\n10\n2\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0";

// The game's own archive with one file replaced by `bytes`, written to ./Data.
bool WriteArchiveWith(const std::string& name, const std::string& bytes) {
  OResource game(std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr");
  if (!game.Open()) return false;
  std::vector<OArchiveEntry> entries;
  for (const auto& [key, entry] : game.index) {
    std::unique_ptr<u8[]> data = game.Read(entry->name);
    if (!data) return false;
    OArchiveEntry e{entry->name, std::vector<unsigned char>(data.get(), data.get() + entry->dataSize)};
    if (entry->name == name) e.bytes.assign(bytes.begin(), bytes.end());
    entries.push_back(std::move(e));
  }
  return WriteArchive("Data/Resource.Tkr", entries);
}

}  // namespace

// Each early end, run twice: its status and message, a closed log of the second run with its one
// error; a damaged file is named, and what was made before it freed (the sanitizer checks).
TEST(Entry, EarlyEndsAreToldAndLogged) {
  const struct {
    const char* what;
    const char* environment;
    const char* file;  // replaced in the game's archive by `bytes`; "" keeps the whole archive
    std::string bytes;
    int status;
    const char* said;
    std::string logged;  // on standard error too for a damaged file
  } cases[] = {
      {"software-only OpenGL", "GALLIUM_DRIVER=softpipe SDL_VIDEODRIVER=offscreen", "", "", 1,
       "hardware acceleration of OpenGL is unavailable", "software rasteriser"},
      {"no display", "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", "", "", 1,
       "The game's window cannot be opened: no display", "no display (DISPLAY is not set)"},
      {"a damaged picture", "SDL_VIDEODRIVER=offscreen", "Data/Textures/Menu.jpg",
       "\xFF\xD8\xFF\xE0 cut short", 3, "Error: Game files are missing or corrupted.",
       "Data/Textures/Menu.jpg: damaged picture"},
      {"a damaged model", "SDL_VIDEODRIVER=offscreen", "Data/Models/GnBall.Zmod",
       "ZMOD3D and no tables", 3, "Error: Game files are missing or corrupted.",
       "Data/Models/GnBall.Zmod: damaged model"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    WriteFile("Data/Config.Cfg", kConfig);
    ASSERT_TRUE(*c.file ? WriteArchiveWith(c.file, c.bytes) : LinkGameData()) << c.what;
    // `timeout` turns a game that keeps running into a status of its own.
    const std::string command = std::string("env ") + c.environment + " SDL_AUDIODRIVER=dummy " +
                                GameHomeAssignments() + "timeout -s KILL 10 '" + kGame +
                                "' --data \"$PWD/Data\"";
    std::string out;
    EXPECT_EQ(RunCommand(command, &out), c.status) << c.what << "\n" << out;
    EXPECT_EQ(RunCommand(command, &out), c.status) << c.what << "\n" << out;
    EXPECT_NE(out.find(c.said), std::string::npos) << c.what << "\n" << out;
    if (*c.file) {
      EXPECT_NE(out.find(c.logged), std::string::npos) << c.what << "\n" << out;
    }
    const std::string log = ReadFile("Report.html");
    EXPECT_NE(log.find(c.logged), std::string::npos) << c.what << "\n" << log;
    EXPECT_NE(log.find("Total Errors = 1\n"), std::string::npos) << c.what;
    EXPECT_EQ(CountOf(log, "Log file opened"), 1) << c.what;
    EXPECT_EQ(CountOf(log, "Log file closed"), 1) << c.what;
  }
}

// The command line's own answers come before anything starts: nothing is written anywhere. Folders
// that cannot keep anything: the game still starts (and ends, finding no archive), says what will
// not be saved and writes nothing elsewhere; a read-only game folder keeps its settings.
TEST(Entry, CommandLineAndFoldersThatCannotKeepFiles) {
  ScratchDir dir;
  const struct {
    const char* what;
    std::string args;
    int status;
    std::string stdoutHas, stderrHas;
  } cases[] = {
      {"help on standard output", "--help", 0, "Usage: brikon3d", ""},
      {"an unknown option: usage on standard error, status 2", "--bogus", 2, "",
       "unknown option \"--bogus\"\nUsage: brikon3d"},
  };
  for (const auto& c : cases) {
    const std::string command = GameHomeAssignments() + "'" + kGame + "' " + c.args;
    std::string out, err;
    // RunCommand joins both streams: each is taken alone inside a subshell.
    EXPECT_EQ(RunCommand("(" + command + " 2>/dev/null)", &out), c.status) << c.what;
    RunCommand("(" + command + " 2>&1 >/dev/null)", &err);
    EXPECT_NE(out.find(c.stdoutHas), std::string::npos) << c.what << out;  // "" is always found
    EXPECT_NE(err.find(c.stderrHas), std::string::npos) << c.what << err;
    EXPECT_EQ(c.stdoutHas.empty(), out.empty()) << c.what << ": " << out;
    std::string listing;
    RunCommand("ls -A", &listing);
    EXPECT_EQ(listing, "Data\n") << c.what << ": no home folder made, nothing in the working folder";
  }

  const struct {
    const char* what;
    std::string environment;  // after the test's own HOME and XDG folders
    bool readOnlyData;        // Data/ holds Config.Cfg and is read-only
    std::string said, listing;
  } folders[] = {
      {"HOME is a file", "HOME=\"$PWD/file\" XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_STATE_HOME=",
       false, "Cannot write to ", "Data\nfile\n"},
      {"a read-only Data/", "", true, "will not be saved", "Data\nReport.html\n"},
  };
  for (const auto& c : folders) {
    ScratchDir dir;
    WriteFile(c.readOnlyData ? "Data/Config.Cfg" : "file", c.readOnlyData ? kConfig : "");
    if (c.readOnlyData) chmod("Data", 0555);
    std::string err;
    const int status = RunCommand("(SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                                      GameHomeAssignments() + c.environment + " '" + kGame +
                                      "' --data \"$PWD/Data\" 2>&1 >/dev/null)",
                                  &err);
    chmod("Data", 0755);
    EXPECT_EQ(status, 3) << c.what << "\n" << err;
    EXPECT_NE(err.find("Error: Game files are missing or corrupted."), std::string::npos) << err;
    std::string listing;
    RunCommand("ls -A", &listing);
    EXPECT_EQ(listing, c.listing) << c.what;
    if (c.readOnlyData) {
      EXPECT_NE(ReadFile("Report.html").find("Log file closed"), std::string::npos);
    }
    if (geteuid() != 0 || !c.readOnlyData) {  // root may write into a read-only folder
      EXPECT_NE(err.find(c.said), std::string::npos) << c.what << "\n" << err;
    }
    if (geteuid() != 0 && c.readOnlyData) {
      EXPECT_EQ(ReadFile("Data/Config.Cfg"), kConfig);
    }
  }
}
