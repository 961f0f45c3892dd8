#include "app/CommandLine.h"

const char* const kUsage =
    "Usage: brikon3d [OPTION]...\n"
    "Plays Brikon 3D, a 3D brick-breaker.\n"
    "\n"
    "  --fullscreen        play full screen this time\n"
    "  --windowed          play in a window this time\n"
    "  --resolution N      this time at 0 = 640x480, 1 = 800x600, 2 = 1024x768\n"
    "  --data DIR          take the game's data (Resource.Tkr, Sounds/) from DIR\n"
    "  -h, --help          show this text and quit\n"
    "  --version           show the version and quit\n"
    "\n"
    "Options apply to this run only; the settings chosen in the game are kept as they are.\n"
    "Settings: ~/.config/brikon3d/, high scores: ~/.local/share/brikon3d/,\n"
    "run log: ~/.local/state/brikon3d/ (or the XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_STATE_HOME\n"
    "folders), unless the data folder already holds Config.Cfg.\n";

const char* const kVersionText = "Brikon 3D 2.0";

OCommandLine ParseCommandLine(int argc, const char* const* argv) {
  OCommandLine line;
  bool help = false, version = false;
  auto bad = [&line](const std::string& why) {
    if (line.action != OCommandLine::BAD) line.error = why;
    line.action = OCommandLine::BAD;
  };
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i] != nullptr ? argv[i] : "";
    std::string value;
    bool hasValue = false;
    const size_t equals = option.find('=');
    if (option.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option.erase(equals);
      hasValue = true;
    }
    const bool takesValue = option == "--resolution" || option == "--data";
    if (hasValue && !takesValue) {
      bad("option " + option + " takes no value");
      continue;
    }
    if (takesValue && !hasValue) {
      if (i + 1 >= argc || argv[i + 1] == nullptr) {
        bad("option " + option + " needs a value");
        continue;
      }
      value = argv[++i];
    }
    if (option == "--help" || option == "-h") {
      help = true;
    } else if (option == "--version") {
      version = true;
    } else if (option == "--windowed") {
      line.run.fullscreen = 0;
    } else if (option == "--fullscreen") {
      line.run.fullscreen = 1;
    } else if (option == "--resolution") {
      if (value.size() == 1 && value[0] >= '0' && value[0] <= '2')
        line.run.resolutionIndex = value[0] - '0';
      else
        bad("--resolution takes 0, 1 or 2, not \"" + value + "\"");
    } else if (option == "--data") {
      if (value.empty())
        bad("--data needs a folder");
      else
        line.dataDir = value;
    } else {
      bad("unknown option \"" + option + "\"");
    }
  }
  if (line.action != OCommandLine::BAD) {
    if (help)
      line.action = OCommandLine::HELP;
    else if (version)
      line.action = OCommandLine::VERSION;
  }
  return line;
}
