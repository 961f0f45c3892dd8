#include "TestSupport.h"

#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/MessageBox.h"

ScratchDir::ScratchDir() {
  char buf[PATH_MAX];
  if (getcwd(buf, sizeof buf)) previous = buf;
  char pattern[] = "/tmp/brikon-test-XXXXXX";
  char* made = mkdtemp(pattern);
  if (!made) throw std::runtime_error("mkdtemp failed");
  path = made;
  if (chdir(path.c_str()) != 0) throw std::runtime_error("chdir failed");
  mkdir("Data", 0755);
}

ScratchDir::~ScratchDir() {
  if (!previous.empty() && chdir(previous.c_str()) != 0) std::perror("chdir");
  std::string cmd = "rm -rf '" + path + "'";
  if (std::system(cmd.c_str()) != 0) std::perror("rm");
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::string& name) {
  struct stat st;
  return stat(name.c_str(), &st) == 0;
}

namespace {
std::vector<RecordedMessage> recorded;
void Record(const std::string& text, const std::string& title, u32 icon) {
  recorded.push_back({text, title, icon});
}
}  // namespace

MessageRecorder::MessageRecorder() {
  recorded.clear();
  SetMessageSink(Record);
}
MessageRecorder::~MessageRecorder() { SetMessageSink(nullptr); }
const std::vector<RecordedMessage>& MessageRecorder::Messages() const { return recorded; }

bool HaveDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d && *d;
}

int RunCommand(const std::string& command, std::string* output) {
  std::FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  if (output) *output = out;
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

#include <X11/Xlib.h>
#include <signal.h>

#include <cstring>
#include <thread>

bool RequestWindowClose(unsigned long windowId) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  XEvent e;
  std::memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = windowId;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  Status s = XSendEvent(d, windowId, False, NoEventMask, &e);
  XFlush(d);
  XCloseDisplay(d);
  return s != 0;
}

bool DestroyWindowFromOutside(unsigned long windowId) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  XDestroyWindow(d, windowId);
  XSync(d, False);
  XCloseDisplay(d);
  return true;
}

PrivateDisplay::PrivateDisplay(int width, int height) {
  const char* d = std::getenv("DISPLAY");
  if (d) previous = d;
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  // Xvfb picks a free display number itself and writes it to the pipe, so tests running side by
  // side never share (or fight over) one.
  int fds[2];
  if (pipe(fds) != 0) return;
  pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::freopen("/dev/null", "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
           "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) return;
  std::string name = ":" + number;
  setenv("DISPLAY", name.c_str(), 1);
  Display* x = XOpenDisplay(name.c_str());
  if (x) {
    ok = DisplayWidth(x, 0) == width && DisplayHeight(x, 0) == height;
    XCloseDisplay(x);
  }
}

PrivateDisplay::~PrivateDisplay() {
  if (pid > 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  if (!previous.empty())
    setenv("DISPLAY", previous.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

#include <sstream>

bool LinkGameData() {
  return RunCommand("ln -s '" BRIKON_GAME_DIR "/Data/Resource.Tkr' Data/ && ln -s '" BRIKON_GAME_DIR
                    "/Data/Sounds' Data/") == 0;
}

namespace {
std::string CurrentFolder() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string(".");
}
}  // namespace

std::vector<std::pair<std::string, std::string>> GameHome() {
  const std::string home = CurrentFolder() + "/home";
  return {{"HOME", home},
          {"XDG_CONFIG_HOME", home + "/.config"},
          {"XDG_DATA_HOME", home + "/.local/share"},
          {"XDG_STATE_HOME", home + "/.local/state"}};
}

std::string GameHomeAssignments() {
  std::string line;
  for (const auto& [name, value] : GameHome()) line += name + "='" + value + "' ";
  return line;
}

std::string GameCommand() {
  return GameHomeAssignments() + "'" BRIKON_GAME_DIR "/brikon3d' --data '" + CurrentFolder() +
         "/Data'";
}

RunningGame::RunningGame(const std::vector<std::pair<std::string, std::string>>& environment)
    : RunningGame(environment, BRIKON_GAME_DIR "/brikon3d", {"--data", CurrentFolder() + "/Data"},
                  "") {}

RunningGame::RunningGame(const std::vector<std::pair<std::string, std::string>>& environment,
                         const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder) {
  std::vector<const char*> argv = {program.c_str()};
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  pid = fork();
  if (pid == 0) {
    std::freopen("game.log", "w", stdout);
    std::freopen("game.log", "a", stderr);
    for (const auto& [name, value] : GameHome()) setenv(name.c_str(), value.c_str(), 1);
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    execv(program.c_str(), const_cast<char* const*>(argv.data()));
    _exit(127);
  }
}

RunningGame::~RunningGame() {
  if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

std::string RunningGame::FindWindow(const std::string& titlePattern, std::string* info) {
  std::string geometry;
  for (int i = 0; i < 300 && pid > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string ids;
    RunCommand("xdotool search --pid " + std::to_string(pid) + " --name '" + titlePattern + "'",
               &ids);
    std::istringstream list(ids);
    for (std::string w; list >> w;) {
      if (RunCommand("xwininfo -id " + w, &geometry) == 0 &&
          geometry.find("IsViewable") != std::string::npos) {
        if (info) *info = geometry;
        return w;
      }
    }
  }
  return "";
}

bool RunningGame::WaitForExit(int* status) {
  for (int i = 0; i < 300 && pid > 0; ++i) {
    if (waitpid(pid, status, WNOHANG) == pid) {
      pid = -1;  // reaped: nothing left to kill
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}
