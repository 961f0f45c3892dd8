#pragma once
// The process entry's steps for an application object: open the window, load, run the loop.
// The two fatal failures end here with their message box and exit status.
#include <string>

class OFileNotFound;
class OGLWindow;

// Create ("3D", "Brikon 3D 2.0", 640x480, full screen), Load, Run. Returns the exit status: Run's
// quit code, 1 after a software-only OpenGL or when no window could be opened (no display, no
// window, no context), 3 after a missing or damaged data file. Each failure is also logged.
int RunApplication(OGLWindow& app);

// The texts of the two fatal boxes (Windows-1252).
extern const char* const kDriverMessage;
extern const char* const kMissingFilesMessage;
// The start of the message when no window opens; the reason follows.
extern const char* const kNoWindowMessage;
// The missing-files box for one file: the message, then the file and what is wrong with it.
std::string MissingFileText(const OFileNotFound& e);
