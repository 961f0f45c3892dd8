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

#include "shell/MessageBox.h"

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

PrivateDisplay::PrivateDisplay(int width, int height) {
  const char* d = std::getenv("DISPLAY");
  if (d) previous = d;
  int n = 200 + static_cast<int>(getpid() % 300);
  while (FileExists("/tmp/.X" + std::to_string(n) + "-lock")) ++n;
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::string name = ":" + std::to_string(n);
  pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  setenv("DISPLAY", name.c_str(), 1);
  for (int i = 0; i < 100 && !ok; ++i) {
    Display* x = XOpenDisplay(name.c_str());
    if (x) {
      XCloseDisplay(x);
      ok = true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
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
