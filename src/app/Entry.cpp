#include "app/Entry.h"

#include <cstdio>

#include "core/Exception.h"
#include "shell/GLWindow.h"
#include "core/Log.h"
#include "core/MessageBox.h"

const char* const kDriverMessage =
    "OpenGL compliant 3D video card detected, but hardware acceleration of OpenGL is unavailable "
    "due to the wrong version of drivers. To resolve problem you need install newer video drivers "
    "from your 3D card manufacturer\x92s page. See Help for more info.";
const char* const kNoWindowMessage = "The game's window cannot be opened:";
const char* const kMissingFilesMessage =
    "Game files are missing or corrupted. Reinstallation of the application may fix the problem.";

namespace {

int SoftwareGL(const OSoftwareGL& e) {
  LogError("the OpenGL renderer is a software rasteriser");
  ShowMessage(kDriverMessage, "Error");
  return static_cast<int>(e.code);
}

}  // namespace

std::string MissingFileText(const OFileNotFound& e) {
  return std::string(kMissingFilesMessage) + "\n\n" + e.message + ": " + e.reason;
}

int RunApplication(OGLWindow& app) {
  try {
    if (!app.Create("3D", "Brikon 3D 2.0", 640, 480, true)) {
      // Nothing could be shown: going on would run the game unseen, with no way to end it.
      const std::string text = std::string(kNoWindowMessage) + " " + app.failure;
      LogError(text);
      // Without a display there is nowhere to show a box either (and trying may wait for one).
      if (app.HasVideo()) {
        ShowMessage(text, "Error");
      } else {
        std::fprintf(stderr, "Error: %s\n", text.c_str());
      }
      return 1;
    }
  } catch (const OSoftwareGL& e) {
    return SoftwareGL(e);
  }
  try {
    app.Load();
    return app.Run();
  } catch (const OFileNotFound& e) {
    LogError(e.message + ": " + e.reason);
    ShowMessage(MissingFileText(e), "Error");
    return static_cast<int>(e.code);
  } catch (const OSoftwareGL& e) {
    // A display change that lands on a software-only renderer ends the game like start-up does.
    return SoftwareGL(e);
  }
}
