#include "app/Entry.h"

#include "core/Exception.h"
#include "shell/GLWindow.h"
#include "core/MessageBox.h"

const char* const kDriverMessage =
    "OpenGL compliant 3D video card detected, but hardware acceleration of OpenGL is unavailable "
    "due to the wrong version of drivers. To resolve problem you need install newer video drivers "
    "from your 3D card manufacturer\x92s page. See Help for more info.";
const char* const kMissingFilesMessage =
    "Game files are missing or corrupted. Reinstallation of the application may fix the problem.";

int RunApplication(OGLWindow& app) {
  try {
    app.Create("3D", "Brikon 3D 2.0", 640, 480, true);
  } catch (const OSoftwareGL& e) {
    ShowMessage(kDriverMessage, "Error");
    return static_cast<int>(e.code);
  }
  try {
    app.Load();
    return app.Run();
  } catch (const OFileNotFound& e) {
    ShowMessage(kMissingFilesMessage, "Error");
    return static_cast<int>(e.code);
  } catch (const OSoftwareGL& e) {
    // A display change that lands on a software-only renderer ends the game like start-up does.
    ShowMessage(kDriverMessage, "Error");
    return static_cast<int>(e.code);
  }
}
