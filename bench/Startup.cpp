// bench_Startup: time from process start to the first frame of the main menu, with the full
// content, the way the game starts. Run it from a game folder (it reads Data/ there):
//   cd build/game && ../bench/bench_Startup
// Prints the milliseconds since the process began, measured after the first menu frame has been
// rendered and swapped.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/Odizovid.h"
#include "shell/RenderWindow.h"

namespace {

// Seconds since boot when this process started (field 22 of /proc/self/stat, in clock ticks).
double ProcessStartSeconds() {
  std::ifstream in("/proc/self/stat");
  std::string line;
  std::getline(in, line);
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && rest >> field; ++i) {
  }
  return std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double NowSinceBoot() {
  timespec t;
  clock_gettime(CLOCK_BOOTTIME, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

}  // namespace

int main() {
  ROdizovid app;
  app.Create("3D", "Brikon 3D 2.0", 640, 480, true);
  if (!app.Load()) return 1;
  app.Frame(0);
  glFinish();
  double ms = (NowSinceBoot() - ProcessStartSeconds()) * 1000.0;
  std::printf("start to first menu frame: %.0f ms (screen %u, %dx%d)\n", ms,
              OApplication::Current() ? OApplication::Current()->id : 0, app.width, app.height);
  return 0;
}
