// The process entry: the run log opens before main and closes at exit; main runs the game.
#include <GL/gl.h>

#include <cstdlib>

#include "shell/Entry.h"
#include "shell/GLWindow.h"
#include "shell/Log.h"

namespace {

OLog runLog("Report.html");
void CloseRunLog() { runLog.Close(); }
const int closeRegistered = std::atexit(CloseRunLog);

// Stands in for the game's application until the screens exist: a black window that quits when
// it is closed.
class OStandIn : public OGLWindow {
public:
  void Frame(u32) override {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Present();
  }
};

}  // namespace

int main(int, char**) {
  (void)closeRegistered;
  OStandIn app;
  return RunApplication(app);
}
