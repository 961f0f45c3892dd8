#include "TestSupport.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "core/MessageBox.h"

ScratchDir::ScratchDir() {
  previous = std::filesystem::current_path().string();
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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

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

namespace {

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Waits for a child until the deadline (NowSeconds), then kills its process group; true with its
// wait status when it ended by itself.
bool WaitChild(pid_t pid, double deadline, int* status) {
  for (;;) {
    const pid_t done = waitpid(pid, status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno != EINTR) return false;
    if (NowSeconds() >= deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      waitpid(pid, status, 0);
      return false;
    }
    usleep(10000);
  }
}

// Appends what `fd` gives until it closes or, when `stop` is not 0, `stop` has come; false when
// the deadline (NowSeconds) passed first.
bool ReadUntil(int fd, double deadline, std::string& out, char stop = 0) {
  char buf[4096];
  while (stop == 0 || out.find(stop) == std::string::npos) {
    const double left = deadline - NowSeconds();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) continue;
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

int RunCommand(const std::string& command, std::string* output, int timeoutSeconds) {
  if (output) output->clear();
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    // A group of its own, so that a command that hangs goes with everything it started.
    setpgid(0, 0);
    dup2(fds[1], 1);
    dup2(fds[1], 2);
    close(fds[0]);
    close(fds[1]);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  const double deadline = NowSeconds() + timeoutSeconds;
  std::string out;
  // Never past the deadline: a program the command left behind may hold the pipe open long after
  // the command ended.
  const bool timedOut = !ReadUntil(fds[0], deadline, out);
  close(fds[0]);
  int status = 0;
  const bool ended = WaitChild(pid, timedOut ? NowSeconds() : deadline, &status);
  if (!ended) out += "\n[RunCommand: '" + command + "' did not end within " +
                     std::to_string(timeoutSeconds) + " s and was killed]\n";
  if (output) *output = out;
  if (!ended || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

#include <X11/Xlib.h>

namespace {

// Runs an X request from a child process, so that a display that does not answer costs the
// caller at most `seconds`; true when the child did its part.
template <typename Work>
bool WithinSeconds(int seconds, Work work) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    setpgid(0, 0);
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  return WaitChild(pid, NowSeconds() + seconds, &status) && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

bool SendWindowClose(unsigned long windowId) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  XEvent e{};
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

}  // namespace

bool RequestWindowClose(unsigned long windowId) {
  return WithinSeconds(10, [windowId] { return SendWindowClose(windowId); });
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
  // The number comes when the server is ready; one that takes over 30 s counts as not started.
  std::string number;
  if (!ReadUntil(fds[0], NowSeconds() + 30, number, '\n'))
    std::fprintf(stderr, "PrivateDisplay: Xvfb gave no display in 30 s\n");
  close(fds[0]);
  number = number.substr(0, number.find('\n'));
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
    int status = 0;
    if (!WaitChild(pid, NowSeconds() + 10, &status))
      std::fprintf(stderr, "PrivateDisplay: Xvfb did not stop in 10 s and was killed\n");
  }
  if (!previous.empty())
    setenv("DISPLAY", previous.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

bool LinkGameData() {
  return RunCommand("ln -s '" BRIKON_GAME_DIR "/Data/Resource.Tkr' Data/ && ln -s '" BRIKON_GAME_DIR
                    "/Data/Sounds' Data/") == 0;
}

namespace {
std::vector<std::pair<std::string, std::string>> GameHome() {
  const std::string home = std::filesystem::current_path().string() + "/home";
  return {{"HOME", home},
          {"XDG_CONFIG_HOME", home + "/.config"},
          {"XDG_DATA_HOME", home + "/.local/share"},
          {"XDG_STATE_HOME", home + "/.local/state"}};
}
}  // namespace

std::string GameHomeAssignments() {
  std::string line;
  for (const auto& [name, value] : GameHome()) line += name + "='" + value + "' ";
  return line;
}

RunningGame::RunningGame(const std::vector<std::pair<std::string, std::string>>& environment)
    : RunningGame(environment, BRIKON_GAME_DIR "/brikon3d",
                  {"--data", std::filesystem::current_path().string() + "/Data"}, "") {}

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
  // Wall-clock bound: each look asks the display twice, which may be slow on a loaded machine.
  const double deadline = NowSeconds() + 30;
  while (pid > 0 && NowSeconds() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string ids;
    RunCommand("xdotool search --pid " + std::to_string(pid) + " --name '" + titlePattern + "'",
               &ids, 10);
    std::istringstream list(ids);
    for (std::string w; list >> w;) {
      if (RunCommand("xwininfo -id " + w, &geometry, 10) == 0 &&
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

bool RunningGame::WaitUntilDrawn(const std::string& windowId) {
  for (int i = 0; i < 120; ++i) {
    SleepMs(250);
    double mean = -1, spread = -1;
    if (RunCommand("import -window " + windowId + " probe.png") == 0)
      Brightness("probe.png", &mean, &spread);
    if (mean > 5.0 && spread > 5.0) return true;
  }
  return false;
}

void Brightness(const std::string& file, double* mean, double* spread) {
  std::string out;
  RunCommand("convert " + file +
                 " -colorspace Gray -format '%[fx:mean*255] %[fx:standard_deviation*255]' info:",
             &out);
  std::istringstream in(out);
  *mean = -1.0;
  *spread = -1.0;
  in >> *mean >> *spread;
}

double DifferingPixels(const std::string& a, const std::string& b) {
  std::string out;
  RunCommand("compare -metric AE -fuzz 8% " + a + " " + b + " null:", &out);
  try {
    return std::stod(out);
  } catch (...) {
    return -1.0;
  }
}
