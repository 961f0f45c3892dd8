#pragma once
// The process entry's steps for an application object: open the window, load, run the loop.
// The two fatal failures end here with their message box and exit status.
class OGLWindow;

// Create ("3D", "Brikon 3D 2.0", 640x480, full screen), Load, Run. Returns the exit status: Run's
// quit code, 1 after a software-only OpenGL, 3 after a missing or damaged data file.
int RunApplication(OGLWindow& app);

// The texts of the two fatal boxes (Windows-1252).
extern const char* const kDriverMessage;
extern const char* const kMissingFilesMessage;
